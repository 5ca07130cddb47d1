#pragma once

#include "bench/net/cmSocket.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// Everything a TcmSocket reports, recorded in order.
struct SocketEvents {
    struct Error {
        int code;
        QString text;
    };
    struct Peer {
        int socket;
        quint32 ip;
        quint16 port;
    };
    struct Chunk {
        int socket;
        quint16 port;
        quint32 ip;
        QByteArray data;
        const std::uint8_t* at; // where it lay in the receive buffer
        bool terminated;        // the byte after it was 0
    };

    explicit SocketEvents(TcmSocket& socket);

    bool hasError(int code, const QString& text) const;
    int countErrors(const QString& text) const;
    QByteArray receivedBytes() const;

    std::vector<Error> errors;
    std::vector<Peer> accepted;
    std::vector<Peer> discarded;
    std::vector<Chunk> received;
    std::vector<int> drained;
    int activeChanges = 0;
};

// A plain blocking socket closed when it goes out of scope.
class PlainSocket {
public:
    explicit PlainSocket(int fd = -1) : m_fd(fd) {}
    PlainSocket(PlainSocket&& other) noexcept : m_fd(other.release()) {}
    PlainSocket& operator=(PlainSocket&& other) noexcept;
    ~PlainSocket();

    int fd() const { return m_fd; }
    int release();
    void close();
    // Host-order port the socket is bound to.
    std::uint16_t localPort() const;
    // Reads what is there now without waiting (the socket stays blocking otherwise).
    QByteArray readAvailable();
    // Reads until `count` bytes came or the peer ended, pumping events meanwhile; bounded.
    QByteArray readExactly(int count, int timeoutMs = 10000);
    void writeAll(const QByteArray& bytes);

    static PlainSocket udp();      // bound to 127.0.0.1, any port
    static PlainSocket listener(); // listening on 127.0.0.1, any port
    static PlainSocket connectTo(std::uint16_t port, const char* host = "127.0.0.1");
    PlainSocket accept();

private:
    int m_fd;
};

// 127.0.0.1 in network order, as the socket reports addresses.
std::uint32_t loopbackAddress();
// A port on 127.0.0.1 where nothing listens (a socket bound there, then closed).
std::uint16_t closedPort();
// Open descriptors of this process.
int openDescriptorCount();
// Bytes whose value tells their position, so that lost, doubled or reordered data shows.
QByteArray patternBytes(int count, int seed = 0);
