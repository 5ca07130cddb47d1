#include "platform/PortMap.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString folderFromEnvironment() {
    const QString explicitFolder = qEnvironmentVariable("COMPORTS_DIR");
    if (!explicitFolder.isEmpty()) return explicitFolder;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/comports");
}

} // namespace

PortMap::PortMap() : m_folder(folderFromEnvironment()) {}

PortMap::PortMap(QString folder) : m_folder(std::move(folder)) {}

QString PortMap::linkPath(int portNo) const {
    return m_folder + QStringLiteral("/com%1").arg(portNo);
}

QString PortMap::devicePath(int portNo) const {
    const QString link = linkPath(portNo);
    // A dangling link still names the port: opening it fails rather than reaching ttyS.
    if (QFileInfo(link).isSymLink() || QFileInfo::exists(link)) return link;
    return QStringLiteral("/dev/ttyS%1").arg(portNo - 1);
}

QString PortMap::devicePath(const QString& portName) const {
    const int portNo = portNumber(portName);
    return portNo > 0 ? devicePath(portNo) : QString();
}

int PortMap::portNumber(const QString& portName) {
    static const QRegularExpression pattern(QStringLiteral("^COM([0-9]{1,9})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(portName);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}
