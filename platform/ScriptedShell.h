#pragma once

#include "platform/Shell.h"

#include <QStringList>

// Shell for tests: records what it was asked to open or start and answers as told.
class ScriptedShell : public Shell {
public:
    bool openUrl(const QUrl& url) override {
        opened.append(url.toString());
        return succeed;
    }
    bool startDetached(const QString& commandLine) override {
        started.append(commandLine);
        return succeed;
    }

    bool succeed = true;
    QStringList opened;
    QStringList started;
};
