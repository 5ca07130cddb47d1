#pragma once

#include <QObject>
#include <QString>

#include <array>

class Prompts;
class QDialog;
class QHBoxLayout;
class QWidget;

// The bench's message dialog: a modal, stay-on-top box with a message or a panel, an optional
// icon and a row of buttons, in English or Chinese. Shown through Prompts so tests can answer.
class TcmInfoDlg : public QObject {
    Q_OBJECT
public:
    // The low four bits of the flags choose the buttons as for a message box; UserButtons shows
    // the buttons named with SetUserButton. Bits 4 to 7 choose one of four icons (0: none).
    enum : int { UserButtons = 15 };
    enum Language : int { English = 0, Chinese = 1 };

    explicit TcmInfoDlg(Prompts& prompts, QObject* parent = nullptr);

    // The pressed button: a message-box id (Yes 6, No 7, ...), or the slot 0-3 of a user
    // button; 0 when the dialog was closed without a button.
    int MessageDlg(const QString& text, const QString& caption, int flags);
    // Shows `control` inside the dialog (it goes back to its parent afterwards).
    int ControlDlg(QWidget* control, const QString& caption, int flags);
    // Slot 0 (rightmost) shows b4, slot 1 b3, slot 2 b2, slot 3 b1; empty names are hidden.
    void SetUserButton(const QString& b1, const QString& b2, const QString& b3, const QString& b4);

    int language() const { return m_language; }
    void setLanguage(int language) { m_language = language == Chinese ? Chinese : English; }
    bool skinned() const { return m_skinned; }
    void setSkinned(bool skinned) { m_skinned = skinned; }

    // Caption of standard button n (0 "OK" ... 6 "No") in the given language.
    static QString standardCaption(int language, int n);

private:
    int run(QWidget* content, const QString& caption, int flags);
    void addButtons(QDialog& dialog, QHBoxLayout& row, int flags) const;

    Prompts& m_prompts;
    int m_language = English;
    bool m_skinned = false;
    std::array<QString, 4> m_userButtons; // by slot
};
