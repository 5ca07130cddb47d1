#include "platform/ScriptedPrompts.h"

#include <QDialog>

void ScriptedPrompts::clear() {
    m_answers.clear();
    m_files.clear();
    m_modals.clear();
    m_questions.clear();
    m_unscripted = 0;
}

int ScriptedPrompts::messageBox(QWidget*, const QString& text, const QString& caption,
                                int flags) {
    m_questions.push_back({Kind::Message, text, caption, flags});
    if (m_answers.empty()) {
        ++m_unscripted;
        return 0;
    }
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

QString ScriptedPrompts::answerFile(Kind kind, FileRequest& request) {
    m_questions.push_back({kind, request.fileName, request.caption, request.filterIndex});
    if (m_files.empty()) {
        ++m_unscripted;
        return {};
    }
    const FileAnswer answer = m_files.front();
    m_files.pop_front();
    request.filterIndex = answer.filterIndex;
    return answer.path;
}

QString ScriptedPrompts::openFileName(QWidget*, FileRequest& request) {
    return answerFile(Kind::OpenFile, request);
}

QString ScriptedPrompts::saveFileName(QWidget*, FileRequest& request) {
    return answerFile(Kind::SaveFile, request);
}

int ScriptedPrompts::runModal(QDialog& dialog) {
    m_questions.push_back({Kind::Modal, dialog.windowTitle(), {}, 0});
    if (m_modals.empty()) {
        ++m_unscripted;
        return QDialog::Rejected;
    }
    ModalScript script = std::move(m_modals.front());
    m_modals.pop_front();
    return script(dialog);
}
