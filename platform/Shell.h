#pragma once

#include <QString>
#include <QUrl>

// The desktop's shell: opening documents and pages, starting programs.
class Shell {
public:
    virtual ~Shell() = default;
    // False when the desktop could not open it.
    virtual bool openUrl(const QUrl& url) = 0;
    // Starts a command line (program and arguments, quoted as a shell would) without waiting.
    virtual bool startDetached(const QString& commandLine) = 0;
};
