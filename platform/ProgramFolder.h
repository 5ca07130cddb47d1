#pragma once

#include <QString>

// The folder where a program keeps its own files (settings, session files, error log): beside
// the executable when that folder is writable, as on a portable install; otherwise the user's
// configuration folder for the program, $XDG_CONFIG_HOME/<program> (~/.config/<program>).
namespace ProgramFolder {

// The rule alone, without looking at the system.
QString choose(const QString& executableFolder, bool executableFolderWritable,
               const QString& configHome, const QString& program);

// The rule for an executable in `executableFolder` on this system; the configuration folder is
// created when it is chosen and missing. When it cannot be created the path is returned anyway,
// and writing there fails with the writer's own message.
QString forExecutableFolder(const QString& executableFolder, const QString& program);

// The folder of the running program (needs the application object).
QString path(const QString& program);

} // namespace ProgramFolder
