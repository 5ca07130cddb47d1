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
    static constexpr int MbOk = 0x00;
    static constexpr int MbOkCancel = 0x01;
    static constexpr int MbAbortRetryIgnore = 0x02;
    static constexpr int MbYesNoCancel = 0x03;
    static constexpr int MbYesNo = 0x04;
    static constexpr int MbRetryCancel = 0x05;
    static constexpr int MbIconError = 0x10;
    static constexpr int MbIconQuestion = 0x20;
    static constexpr int MbIconWarning = 0x30;
    static constexpr int MbIconInformation = 0x40;
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
