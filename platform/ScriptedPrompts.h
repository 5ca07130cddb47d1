#pragma once

#include "platform/Prompts.h"

#include <QString>

#include <deque>
#include <functional>
#include <vector>

// Prompts for tests: records every question and answers from a script. An unscripted
// message box answers 0 (closed without a button), an unscripted file dialog is cancelled
// and an unscripted modal dialog is rejected; each of those is counted in unscripted().
class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Message, OpenFile, SaveFile, Modal };
    struct Question {
        Kind kind;
        QString text;    // message text; dialog window title for Modal
        QString caption; // message caption; file dialog caption
        int flags = 0;   // message flags; file dialog filter index
    };
    using ModalScript = std::function<int(QDialog&)>;

    void setNextAnswer(int answer) { m_answers.push_back(answer); }
    void setNextFileName(const QString& path, int filterIndex = 1) {
        m_files.push_back({path, filterIndex});
    }
    // The script gets the live dialog, may work its controls, and returns the result code.
    void setNextModal(ModalScript script) { m_modals.push_back(std::move(script)); }

    const std::vector<Question>& questions() const { return m_questions; }
    const Question* lastQuestion() const {
        return m_questions.empty() ? nullptr : &m_questions.back();
    }
    int unscripted() const { return m_unscripted; }
    void clear();

    int messageBox(QWidget* parent, const QString& text, const QString& caption,
                   int flags) override;
    QString openFileName(QWidget* parent, FileRequest& request) override;
    QString saveFileName(QWidget* parent, FileRequest& request) override;
    int runModal(QDialog& dialog) override;

private:
    struct FileAnswer {
        QString path;
        int filterIndex;
    };
    QString answerFile(Kind kind, FileRequest& request);

    std::deque<int> m_answers;
    std::deque<FileAnswer> m_files;
    std::deque<ModalScript> m_modals;
    std::vector<Question> m_questions;
    int m_unscripted = 0;
};
