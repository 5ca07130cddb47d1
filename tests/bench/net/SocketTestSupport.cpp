#include "tests/bench/net/SocketTestSupport.h"

#include "tests/support/TestWait.h"

#include <QDir>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

SocketEvents::SocketEvents(TcmSocket& socket) {
    QObject::connect(&socket, &TcmSocket::OnError, &socket,
                     [this](QObject*, int code, const QString& text) {
                         errors.push_back({code, text});
                     });
    QObject::connect(&socket, &TcmSocket::OnAccept, &socket,
                     [this](QObject*, int s, quint32 ip, quint16 port) {
                         accepted.push_back({s, ip, port});
                     });
    QObject::connect(&socket, &TcmSocket::OnDiscard, &socket,
                     [this](QObject*, int s, quint32 ip, quint16 port) {
                         discarded.push_back({s, ip, port});
                     });
    QObject::connect(&socket, &TcmSocket::OnActiveChanged, &socket,
                     [this](QObject*) { ++activeChanges; });
    QObject::connect(
        &socket, &TcmSocket::OnReceive, &socket,
        [this](QObject*, int s, quint16 port, quint32 ip, const std::uint8_t* buf, int len) {
            received.push_back({s, port, ip, QByteArray(reinterpret_cast<const char*>(buf), len),
                                buf, buf[len] == 0});
        });
    QObject::connect(&socket, &TcmSocket::sendBacklogDrained, &socket,
                     [this](QObject*, int s) { drained.push_back(s); });
}

bool SocketEvents::hasError(int code, const QString& text) const {
    for (const Error& error : errors)
        if (error.code == code && error.text == text) return true;
    return false;
}

int SocketEvents::countErrors(const QString& text) const {
    int count = 0;
    for (const Error& error : errors)
        count += error.text == text ? 1 : 0;
    return count;
}

QByteArray SocketEvents::receivedBytes() const {
    QByteArray all;
    for (const Chunk& chunk : received)
        all += chunk.data;
    return all;
}

PlainSocket& PlainSocket::operator=(PlainSocket&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = other.release();
    }
    return *this;
}

PlainSocket::~PlainSocket() {
    close();
}

int PlainSocket::release() {
    return std::exchange(m_fd, -1);
}

void PlainSocket::close() {
    if (m_fd != -1) ::close(std::exchange(m_fd, -1));
}

std::uint16_t PlainSocket::localPort() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

QByteArray PlainSocket::readAvailable() {
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n <= 0) return bytes;
        bytes.append(buffer, static_cast<int>(n));
    }
}

QByteArray PlainSocket::readExactly(int count, int timeoutMs) {
    QByteArray bytes;
    bool ended = false;
    waitUntil(
        [&] {
            char buffer[65536];
            for (;;) {
                const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
                if (n == 0) ended = true;
                if (n <= 0) break;
                bytes.append(buffer, static_cast<int>(n));
            }
            return ended || bytes.size() >= count;
        },
        timeoutMs);
    return bytes;
}

void PlainSocket::writeAll(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(m_fd, bytes.constData() + done,
                                 static_cast<std::size_t>(bytes.size() - done), MSG_NOSIGNAL);
        if (n <= 0) return;
        done += n;
    }
}

namespace {
sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = loopbackAddress();
    address.sin_port = htons(port);
    return address;
}

PlainSocket bound(int type) {
    PlainSocket socket(::socket(AF_INET, type | SOCK_CLOEXEC, 0));
    const sockaddr_in address = loopback(0);
    ::bind(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return socket;
}
} // namespace

PlainSocket PlainSocket::udp() {
    return bound(SOCK_DGRAM);
}

PlainSocket PlainSocket::listener() {
    PlainSocket socket = bound(SOCK_STREAM);
    ::listen(socket.fd(), 16);
    return socket;
}

PlainSocket PlainSocket::connectTo(std::uint16_t port, const char* host) {
    PlainSocket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address = loopback(port);
    ::inet_pton(AF_INET, host, &address.sin_addr);
    if (::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        socket.close();
    return socket;
}

PlainSocket PlainSocket::accept() {
    return PlainSocket(::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC));
}

std::uint32_t loopbackAddress() {
    return htonl(INADDR_LOOPBACK);
}

std::uint16_t closedPort() {
    PlainSocket socket = bound(SOCK_STREAM);
    return socket.localPort();
}

int openDescriptorCount() {
    // Includes the descriptor of the listing itself, the same every time.
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                                .size());
}

QByteArray patternBytes(int count, int seed) {
    QByteArray bytes(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251 + seed) & 0xFF);
    return bytes;
}
