#pragma once

#include "platform/Prompts.h"

// Prompts shown with Qt's own message boxes and file dialogs.
class QtPrompts : public Prompts {
public:
    int messageBox(QWidget* parent, const QString& text, const QString& caption,
                   int flags) override;
    QString openFileName(QWidget* parent, FileRequest& request) override;
    QString saveFileName(QWidget* parent, FileRequest& request) override;
    int runModal(QDialog& dialog) override;
};
