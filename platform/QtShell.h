#pragma once

#include "platform/Shell.h"

class QtShell : public Shell {
public:
    bool openUrl(const QUrl& url) override;
    bool startDetached(const QString& commandLine) override;
};
