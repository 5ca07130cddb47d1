#pragma once

#include <QString>

class QDialog;
class QWidget;

// Everything that asks the user something: message boxes, file dialogs and modal dialogs.
// Windows hold a Prompts& so that tests can answer in their place (ScriptedPrompts).
class Prompts {
public:
    // Message-box flags as the message box takes them: the low four bits choose the buttons,
    // the next four the icon.
    enum Buttons : int {
        MbOk = 0x00,
        MbOkCancel = 0x01,
        MbAbortRetryIgnore = 0x02,
        MbYesNoCancel = 0x03,
        MbYesNo = 0x04,
        MbRetryCancel = 0x05,
    };
    enum Icon : int {
        MbIconError = 0x10,
        MbIconQuestion = 0x20,
        MbIconWarning = 0x30,
        MbIconInformation = 0x40,
    };
    // The id of the button pressed; 0 when the box was closed without one.
    enum Answer : int { IdOk = 1, IdCancel = 2, IdAbort = 3, IdRetry = 4, IdIgnore = 5, IdYes = 6, IdNo = 7 };

    struct FileRequest {
        QString caption;
        QString filter;      // Qt filter list, "Text (*.txt);;All files (*)"
        int filterIndex = 1; // 1-based; on return, the filter the user chose
        QString fileName;    // initial name or folder
    };

    virtual ~Prompts() = default;

    virtual int messageBox(QWidget* parent, const QString& text, const QString& caption,
                           int flags) = 0;
    // The chosen path, or empty text when the user cancelled.
    virtual QString openFileName(QWidget* parent, FileRequest& request) = 0;
    virtual QString saveFileName(QWidget* parent, FileRequest& request) = 0;
    // Runs the dialog modally and returns its result code.
    virtual int runModal(QDialog& dialog) = 0;
};
