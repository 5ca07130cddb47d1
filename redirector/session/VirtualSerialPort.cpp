#include "redirector/session/VirtualSerialPort.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int HighestPortNumber = 256;
// How often a closed port looks whether a program has opened it.
constexpr int OpenerPollMs = 50;
// Beyond this much unread input the port stops reading: the writing program waits.
constexpr qsizetype MaxWaitingBytes = 1024 * 1024;
// Beyond this much undelivered output, write() takes no more.
constexpr qsizetype MaxOutgoingBytes = 1024 * 1024;

const QString PseudoTerminalFolder = QStringLiteral("/dev/pts/");

// A link to a pseudo-terminal that has gone.
bool isStaleLink(const QString& path) {
    const QFileInfo link(path);
    if (!link.isSymLink()) return false;
    const QString target = link.symLinkTarget();
    return target.startsWith(PseudoTerminalFolder) && !QFileInfo::exists(target);
}

// A new pseudo-terminal in raw mode; the master descriptor, or -1.
int openMaster(QString& slavePath) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0) return -1;
    std::array<char, 128> name{};
    termios raw{};
    // Terminal attributes set on the master are the slave's: no echo, no line editing, no
    // translation, whatever the opening program expects of a serial port.
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name.data(), name.size()) != 0 || ::tcgetattr(master, &raw) != 0) {
        ::close(master);
        return -1;
    }
    ::cfmakeraw(&raw);
    ::tcsetattr(master, TCSANOW, &raw);
    slavePath = QString::fromLocal8Bit(name.data());
    // The master reports a hang-up only once the slave has been closed: opening and closing
    // it here makes "no program has it open" visible from the start.
    const int slave = ::open(name.data(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave >= 0) ::close(slave);
    return master;
}

bool hungUp(int master) {
    pollfd state{master, POLLIN, 0};
    return ::poll(&state, 1, 0) == 1 && (state.revents & POLLHUP) != 0;
}

} // namespace

VirtualSerialPort::VirtualSerialPort(QObject* parent) : VirtualSerialPort(PortMap(), parent) {}

VirtualSerialPort::VirtualSerialPort(PortMap map, QObject* parent)
    : QObject(parent), m_map(std::move(map)) {
    m_openerPoll = new QTimer(this);
    m_openerPoll->setInterval(OpenerPollMs);
    connect(m_openerPoll, &QTimer::timeout, this, &VirtualSerialPort::lookForOpener);
}

VirtualSerialPort::~VirtualSerialPort() {
    blockSignals(true);
    if (!deletePort()) releasePort(); // the link stays for the next ResetBus
}

bool VirtualSerialPort::create(const QString& portName) {
    const int portNumber = PortMap::portNumber(portName);
    if (exists() || portNumber < 1 || portNumber > HighestPortNumber) return false;
    if (!QDir().mkpath(m_map.folder())) return false;
    const QString link = m_map.linkPath(portNumber);
    if (isStaleLink(link) && !QFile::remove(link)) return false;
    QString slavePath;
    const int master = openMaster(slavePath);
    if (master < 0) return false;
    // symlink() fails when the name is taken, also by a port created a moment ago.
    if (::symlink(QFile::encodeName(slavePath).constData(), QFile::encodeName(link).constData()) !=
        0) {
        ::close(master);
        return false;
    }
    m_master = master;
    m_devicePath = slavePath;
    m_linkPath = link;
    m_notifications = false;
    m_opened = false;
    m_readNotifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    m_writeNotifier = new QSocketNotifier(master, QSocketNotifier::Write, this);
    m_readNotifier->setEnabled(false);
    m_writeNotifier->setEnabled(false);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &VirtualSerialPort::onReadable);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &VirtualSerialPort::onWritable);
    m_openerPoll->start();
    return true;
}

bool VirtualSerialPort::linkIsOurs() const {
    const QFileInfo link(m_linkPath);
    return link.isSymLink() && link.symLinkTarget() == m_devicePath;
}

bool VirtualSerialPort::deletePort() {
    if (!exists()) return true;
    // A link that someone else has put in its place is theirs to keep.
    if (linkIsOurs() && !QFile::remove(m_linkPath)) return false;
    releasePort();
    return true;
}

void VirtualSerialPort::releasePort() {
    m_openerPoll->stop();
    // Also reached from a notifier's own report: they go once that report is over.
    for (QSocketNotifier* notifier : {m_readNotifier, m_writeNotifier}) {
        if (!notifier) continue;
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    m_readNotifier = m_writeNotifier = nullptr;
    if (m_master >= 0) ::close(std::exchange(m_master, -1));
    m_devicePath.clear();
    m_linkPath.clear();
    m_opened = false;
    m_waiting.clear();
    m_outgoing.clear();
}

void VirtualSerialPort::lookForOpener() {
    if (exists() && !hungUp(m_master)) becameOpened();
}

void VirtualSerialPort::becameOpened() {
    m_openerPoll->stop();
    m_opened = true;
    m_readNotifier->setEnabled(true);
    if (m_notifications) Q_EMIT openedChanged(true);
}

void VirtualSerialPort::becameClosed() {
    m_opened = false;
    // Bytes on their way to a program that has gone are dropped, as on a real line.
    m_outgoing.clear();
    m_readNotifier->setEnabled(false);
    m_writeNotifier->setEnabled(false);
    m_openerPoll->start();
    if (m_notifications) Q_EMIT openedChanged(false);
}

void VirtualSerialPort::onReadable() {
    std::array<char, 4096> buffer;
    qsizetype got = 0;
    bool closed = false;
    while (m_waiting.size() < MaxWaitingBytes) {
        const ssize_t n = ::read(m_master, buffer.data(), buffer.size());
        if (n > 0) {
            m_waiting.append(buffer.data(), n);
            got += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            // EIO once the program's bytes are read: it has closed the port.
            closed = n == 0 || errno != EAGAIN;
            break;
        }
    }
    if (!closed && m_waiting.size() >= MaxWaitingBytes) m_readNotifier->setEnabled(false);
    if (got > 0 && m_notifications) {
        Q_EMIT dataReceived();
        if (!exists()) return; // deleted by the receiver
    }
    if (closed && m_opened) becameClosed();
}

QByteArray VirtualSerialPort::read(int count) {
    const qsizetype taken = std::clamp<qsizetype>(count, 0, m_waiting.size());
    QByteArray bytes = m_waiting.left(taken);
    m_waiting.remove(0, taken);
    if (m_opened) m_readNotifier->setEnabled(true);
    return bytes;
}

bool VirtualSerialPort::discard() {
    if (!exists()) return false;
    m_waiting.clear();
    if (m_opened) m_readNotifier->setEnabled(true);
    return true;
}

int VirtualSerialPort::write(const QByteArray& bytes) {
    if (!exists() || !m_opened) return 0;
    const qsizetype taken = std::min<qsizetype>(bytes.size(), MaxOutgoingBytes - m_outgoing.size());
    if (taken <= 0) return 0;
    m_outgoing.append(bytes.constData(), taken);
    sendOutgoing();
    return static_cast<int>(taken);
}

void VirtualSerialPort::onWritable() {
    sendOutgoing();
}

void VirtualSerialPort::sendOutgoing() {
    while (!m_outgoing.isEmpty()) {
        const ssize_t n =
            ::write(m_master, m_outgoing.constData(), static_cast<std::size_t>(m_outgoing.size()));
        if (n > 0) {
            m_outgoing.remove(0, n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n == 0 || errno == EAGAIN) {
            break; // full: the rest follows when the pseudo-terminal takes it
        } else {
            // The program has gone; reading notices and drops the rest.
            m_writeNotifier->setEnabled(false);
            return;
        }
    }
    m_writeNotifier->setEnabled(!m_outgoing.isEmpty());
}

void VirtualSerialPort::ResetBus() {
    static const QRegularExpression portLink(QStringLiteral("^com[0-9]+$"));
    const QDir folder(m_map.folder());
    // Links whose target has gone count as System entries.
    const QStringList names = folder.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString path = folder.filePath(name);
        if (portLink.match(name).hasMatch() && isStaleLink(path)) QFile::remove(path);
    }
}
