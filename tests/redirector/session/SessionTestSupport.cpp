#include "tests/redirector/session/SessionTestSupport.h"

#include "tests/support/TestWait.h"

#include <QFile>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace {

sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int boundSocket(int type) {
    const int fd = ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(0);
    ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return fd;
}

bool wouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

} // namespace

void PortFolderTest::SetUp() {
    TempDirTest::SetUp();
    m_hadValue = qEnvironmentVariableIsSet("COMPORTS_DIR");
    m_saved = qgetenv("COMPORTS_DIR");
    qputenv("COMPORTS_DIR", QFile::encodeName(dir()));
}

void PortFolderTest::TearDown() {
    if (m_hadValue)
        qputenv("COMPORTS_DIR", m_saved);
    else
        qunsetenv("COMPORTS_DIR");
}

QString PortFolderTest::linkPath(int portNumber) const {
    return path(QStringLiteral("com%1").arg(portNumber));
}

Endpoint::Endpoint(Endpoint&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

Endpoint& Endpoint::operator=(Endpoint&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

Endpoint::~Endpoint() {
    close();
}

void Endpoint::close() {
    if (m_fd >= 0) ::close(std::exchange(m_fd, -1));
}

bool Endpoint::send(const QByteArray& bytes, int timeoutMs) {
    qsizetype done = 0;
    return waitUntil(
               [&] {
                   const ssize_t n = ::write(m_fd, bytes.constData() + done,
                                             static_cast<std::size_t>(bytes.size() - done));
                   if (n > 0) done += n;
                   return done == bytes.size() || (n < 0 && !wouldBlock());
               },
               timeoutMs) &&
           done == bytes.size();
}

QByteArray Endpoint::receive(qsizetype count, int timeoutMs) {
    QByteArray bytes;
    char buffer[65536];
    waitUntil(
        [&] {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0) bytes.append(buffer, n);
            return bytes.size() >= count || n == 0 || (n < 0 && !wouldBlock());
        },
        timeoutMs);
    return bytes;
}

QByteArray Endpoint::receiveFor(int ms) {
    QByteArray bytes;
    char buffer[65536];
    waitUntil(
        [&] {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0) bytes.append(buffer, n);
            return false;
        },
        ms);
    return bytes;
}

bool Endpoint::waitForEnd(int timeoutMs) {
    char buffer[65536];
    return waitUntil(
        [&] {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            return n == 0 || (n < 0 && !wouldBlock());
        },
        timeoutMs);
}

std::uint16_t Endpoint::localPort() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

Endpoint Endpoint::openDevice(const QString& path) {
    return Endpoint(
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
}

Endpoint Endpoint::tcpListener() {
    Endpoint listener(boundSocket(SOCK_STREAM));
    ::listen(listener.fd(), 16);
    return listener;
}

Endpoint Endpoint::tcpConnect(std::uint16_t port) {
    // Blocking while connecting: a loopback connection completes in the kernel at once.
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return Endpoint();
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    return Endpoint(fd);
}

Endpoint Endpoint::acceptConnection(int timeoutMs) {
    int accepted = -1;
    waitUntil(
        [&] {
            accepted = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            return accepted >= 0;
        },
        timeoutMs);
    return Endpoint(accepted);
}

Endpoint Endpoint::udpSocket() {
    return Endpoint(boundSocket(SOCK_DGRAM));
}

bool Endpoint::sendTo(const QByteArray& datagram, std::uint16_t port) {
    const sockaddr_in address = loopback(port);
    return ::sendto(m_fd, datagram.constData(), static_cast<std::size_t>(datagram.size()), 0,
                    reinterpret_cast<const sockaddr*>(&address), sizeof address) == datagram.size();
}

QByteArray Endpoint::receiveDatagram(std::uint16_t* fromPort, int timeoutMs) {
    QByteArray datagram;
    char buffer[65536];
    waitUntil(
        [&] {
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t n = ::recvfrom(m_fd, buffer, sizeof buffer, 0,
                                         reinterpret_cast<sockaddr*>(&from), &length);
            if (n < 0) return false;
            datagram = QByteArray(buffer, n);
            if (fromPort) *fromPort = ntohs(from.sin_port);
            return true;
        },
        timeoutMs);
    return datagram;
}

PseudoTerminal::PseudoTerminal() {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    ::close(slave); // the code under test opens it
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    this->master = Endpoint(master);
    slavePath = QString::fromLocal8Bit(name);
}

bool PseudoTerminal::linkAs(const QString& folder, int portNumber) const {
    return QFile::link(slavePath, folder + QStringLiteral("/com%1").arg(portNumber));
}

std::uint16_t closedTcpPort() {
    const Endpoint probe(boundSocket(SOCK_STREAM));
    return probe.localPort();
}

QByteArray patternBytes(int count) {
    QByteArray bytes(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}
