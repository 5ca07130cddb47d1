#include "bench/serial/TCommSerialPortInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <numeric>
#include <vector>

namespace ZaldoComm32 {

namespace {

// The kernel keeps placeholder ttyS lines with no UART behind them; their type reads 0.
// Lines without the attribute are taken as present.
bool hasUart(const QString& ttyEntry) {
    QFile type(ttyEntry + QStringLiteral("/type"));
    if (!type.open(QIODevice::ReadOnly)) return true;
    bool ok = false;
    const int value = type.readAll().trimmed().toInt(&ok);
    return !ok || value != 0;
}

} // namespace

TCommSerialPortInfo::TCommSerialPortInfo(SerialSystemFolders folders)
    : m_folders(std::move(folders)) {
    Refresh();
}

void TCommSerialPortInfo::Refresh() {
    m_ports.clear();
    m_listedFromSystem = false;
    ListFromSystem();
    if (m_ports.isEmpty()) {
        m_ports = {PortName(1), PortName(2), PortName(3), PortName(4)};
        m_listedFromSystem = false;
    }
}

void TCommSerialPortInfo::ListFromSystem() {
    addUarts();
    addLinks();
    std::vector<int> order(static_cast<std::size_t>(m_ports.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](int i, int j) { return PortListSortCompare(m_ports, i, j) < 0; });
    QStringList sorted;
    sorted.reserve(m_ports.size());
    for (int i : order)
        sorted.append(m_ports[i]);
    m_ports = std::move(sorted);
    m_listedFromSystem = true;
}

void TCommSerialPortInfo::addUarts() {
    static const QRegularExpression uartName(QStringLiteral("^ttyS([0-9]{1,9})$"));
    const QDir ttyClass(m_folders.sysfsRoot + QStringLiteral("/class/tty"));
    const PortMap portMap(m_folders.portFolder);
    for (const QString& name : ttyClass.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = uartName.match(name);
        if (!match.hasMatch()) continue;
        const QString entry = ttyClass.filePath(name);
        if (!QFileInfo::exists(entry + QStringLiteral("/device")) || !hasUart(entry)) continue;
        const int portNo = match.captured(1).toInt() + 1;
        // Even a dangling link takes the number over (the port map opens the link).
        const QFileInfo link(portMap.linkPath(portNo));
        if (link.isSymLink() || link.exists()) continue;
        m_ports.append(PortName(portNo));
    }
}

void TCommSerialPortInfo::addLinks() {
    const QDir folder(m_folders.portFolder);
    const PortMap portMap(m_folders.portFolder);
    const auto filter = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
    for (const QString& name : folder.entryList(filter)) {
        const int portNo = PortNo(name);
        // Only the names the port map opens ("com5", not "COM5" or "com05").
        if (portNo <= 0 || QFileInfo(portMap.linkPath(portNo)).fileName() != name) continue;
        const QFileInfo target(folder.filePath(name));
        if (target.exists() && !target.isDir()) m_ports.append(PortName(portNo));
    }
}

int TCommSerialPortInfo::PortNo(const QString& name) {
    if (name.left(3).toUpper() != QLatin1String("COM")) return 0;
    long long number = 0;
    for (qsizetype i = 3; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (c < u'0' || c > u'9') break;
        number = number * 10 + (c - u'0');
        if (number > std::numeric_limits<int>::max()) return 0;
    }
    return static_cast<int>(number);
}

QString TCommSerialPortInfo::PortName(std::int32_t n) {
    return QStringLiteral("COM%1").arg(n);
}

int TCommSerialPortInfo::PortListSortCompare(const QStringList& list, int i, int j) {
    return PortNo(list[i]) - PortNo(list[j]);
}

} // namespace ZaldoComm32
