// Loopback throughput of TcmSocket against plain blocking sockets on the same machine in the
// same run: a 200 MB stream received through OnReceive and sent through Send, each next to a
// plain blocking loop (the ceiling). Prints MB/s and the ratio; the best of a few rounds counts.
#include "bench/net/cmSocket.h"

#include <QCoreApplication>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr long long StreamBytes = 200LL * 1000 * 1000;
constexpr int Rounds = 3;
// The bench's receive buffer, and the plain loops' buffer and write size alike.
constexpr int BufferBytes = 65535;
// Keep this much waiting in the component at most before letting the event loop run.
constexpr std::size_t HighWater = 256 * 1024;

using Clock = std::chrono::steady_clock;

double megabytesPerSecond(Clock::time_point start) {
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return static_cast<double>(StreamBytes) / 1e6 / seconds;
}

sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

struct Listener {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    std::uint16_t port = 0;
    Listener() {
        const sockaddr_in address = loopback(0);
        ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        ::listen(fd, 4);
        sockaddr_in bound{};
        socklen_t length = sizeof bound;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
        port = ntohs(bound.sin_port);
    }
    ~Listener() { ::close(fd); }
};

int connectTo(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(port);
    ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    return fd;
}

void sendAll(int fd, int chunk) {
    std::vector<char> data(static_cast<std::size_t>(chunk), 'x');
    for (long long sent = 0; sent < StreamBytes;) {
        const auto piece = static_cast<std::size_t>(std::min<long long>(chunk, StreamBytes - sent));
        const ssize_t n = ::send(fd, data.data(), piece, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += n;
    }
}

long long receiveAll(int fd) {
    std::vector<char> buffer(BufferBytes);
    long long total = 0;
    for (ssize_t n; total < StreamBytes && (n = ::recv(fd, buffer.data(), buffer.size(), 0)) > 0;)
        total += n;
    return total;
}

// A plain sender thread into a plain blocking recv loop.
double plainReceive() {
    Listener listener;
    std::thread sender([&] {
        const int fd = connectTo(listener.port);
        sendAll(fd, BufferBytes);
        ::close(fd);
    });
    const int fd = ::accept(listener.fd, nullptr, nullptr);
    const auto start = Clock::now();
    receiveAll(fd);
    const double rate = megabytesPerSecond(start);
    sender.join();
    ::close(fd);
    return rate;
}

// A plain sender thread into the component's OnReceive.
double componentReceive() {
    Listener listener;
    TcmSocket socket;
    socket.SetBufferSize(BufferBytes);
    socket.SetProtocol(cmTcpClient);
    socket.SetLocalHost(QStringLiteral("127.0.0.1"));
    socket.SetRemoteHost(QStringLiteral("127.0.0.1"));
    socket.SetRemotePort(listener.port);
    long long received = 0;
    Clock::time_point start;
    QObject::connect(
        &socket, &TcmSocket::OnReceive, &socket,
        [&](QObject*, int, quint16, quint32, const std::uint8_t*, int len) { received += len; });
    socket.SetActive(true);
    std::thread sender([&] {
        const int fd = ::accept(listener.fd, nullptr, nullptr);
        start = Clock::now();
        sendAll(fd, BufferBytes);
        ::close(fd);
    });
    while (received < StreamBytes && (socket.Active() || socket.Socket() != -1))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    sender.join(); // start is written before the first byte leaves
    return megabytesPerSecond(start);
}

// A plain blocking send loop into a plain reader thread.
double plainSend(int chunk) {
    Listener listener;
    std::thread reader([&] {
        const int fd = ::accept(listener.fd, nullptr, nullptr);
        receiveAll(fd);
        ::close(fd);
    });
    const int fd = connectTo(listener.port);
    const auto start = Clock::now();
    sendAll(fd, chunk);
    reader.join();
    const double rate = megabytesPerSecond(start);
    ::close(fd);
    return rate;
}

// The component's Send, paced on its backlog, into a plain reader thread.
double componentSend(int chunk) {
    Listener listener;
    TcmSocket socket;
    socket.SetProtocol(cmTcpClient);
    socket.SetLocalHost(QStringLiteral("127.0.0.1"));
    socket.SetRemoteHost(QStringLiteral("127.0.0.1"));
    socket.SetRemotePort(listener.port);
    std::thread reader([&] {
        const int fd = ::accept(listener.fd, nullptr, nullptr);
        receiveAll(fd);
        ::close(fd);
    });
    socket.SetActive(true);
    while (!socket.Active())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const std::vector<char> data(static_cast<std::size_t>(chunk), 'x');
    const auto start = Clock::now();
    for (long long sent = 0; sent < StreamBytes && socket.Active();) {
        while (socket.pendingSendBytes(socket.Socket()) > HighWater)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const int piece = static_cast<int>(std::min<long long>(chunk, StreamBytes - sent));
        if (!socket.Send(data.data(), piece)) break;
        sent += piece;
    }
    while (socket.pendingSendBytes(socket.Socket()) > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    reader.join();
    return megabytesPerSecond(start);
}

template <typename Run> double best(Run run) {
    double rate = 0;
    for (int round = 0; round < Rounds; ++round)
        rate = std::max(rate, run());
    return rate;
}

void report(const char* what, double ceiling, double component) {
    std::printf("%-34s plain %8.1f MB/s   TcmSocket %8.1f MB/s   ratio %.2f\n", what, ceiling,
                component, component / ceiling);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("TCP stream of %lld MB on loopback, best of %d rounds\n", StreamBytes / 1000000,
                Rounds);
    report("receive (OnReceive, 65535 buffer)", best(plainReceive), best(componentReceive));
    report("send (Send, 64 KiB pieces)", best([] { return plainSend(BufferBytes); }),
           best([] { return componentSend(BufferBytes); }));
    report("send (Send, 4098-byte groups)", best([] { return plainSend(4098); }),
           best([] { return componentSend(4098); }));
    return 0;
}
