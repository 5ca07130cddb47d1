#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace ProgramFolder {

QString choose(const QString& executableFolder, bool executableFolderWritable,
               const QString& configHome, const QString& program) {
    if (executableFolderWritable) return QDir::cleanPath(executableFolder);
    return QDir::cleanPath(configHome + QLatin1Char('/') + program);
}

QString forExecutableFolder(const QString& executableFolder, const QString& program) {
    // access() rather than the permission bits: it also knows read-only mounts and root.
    const bool writable = !executableFolder.isEmpty() &&
                          ::access(QFile::encodeName(executableFolder).constData(), W_OK) == 0;
    const QString folder =
        choose(executableFolder, writable,
               QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation), program);
    if (!writable) QDir().mkpath(folder);
    return folder;
}

QString path(const QString& program) {
    return forExecutableFolder(QCoreApplication::applicationDirPath(), program);
}

} // namespace ProgramFolder
