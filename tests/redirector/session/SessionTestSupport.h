#pragma once

// What the session tests drive the session's controls with: a temporary port folder, and
// plain descriptors for the far ends (a pseudo-terminal's master, a program that opens a
// virtual port, loopback sockets). Every wait pumps the event loop, so that the code under
// test keeps running, and every wait is bounded.

#include "tests/support/TempDir.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// COMPORTS_DIR names a fresh folder for the duration of each test.
class PortFolderTest : public TempDirTest {
protected:
    void SetUp() override;
    void TearDown() override;
    QString linkPath(int portNumber) const;

private:
    QByteArray m_saved;
    bool m_hadValue = false;
};

// One non-blocking descriptor, closed when it goes out of scope.
class Endpoint {
public:
    explicit Endpoint(int fd = -1) : m_fd(fd) {}
    Endpoint(Endpoint&& other) noexcept;
    Endpoint& operator=(Endpoint&& other) noexcept;
    ~Endpoint();

    int fd() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    void close();

    bool send(const QByteArray& bytes, int timeoutMs = 5000);
    // `count` bytes, or fewer when the other side ended or the time ran out.
    QByteArray receive(qsizetype count, int timeoutMs = 5000);
    // Whatever arrives within `ms`.
    QByteArray receiveFor(int ms);
    // True once reading reports the end (orderly close, hang-up or reset); data before the
    // end is skipped.
    bool waitForEnd(int timeoutMs = 5000);
    std::uint16_t localPort() const;

    // A device opened as a program opens a serial port.
    static Endpoint openDevice(const QString& path);
    static Endpoint tcpListener(); // on 127.0.0.1, a port of the system's choice
    static Endpoint tcpConnect(std::uint16_t port);
    Endpoint acceptConnection(int timeoutMs = 5000);
    static Endpoint udpSocket(); // bound to 127.0.0.1, a port of the system's choice
    bool sendTo(const QByteArray& datagram, std::uint16_t port);
    // The next datagram, and the port it came from.
    QByteArray receiveDatagram(std::uint16_t* fromPort = nullptr, int timeoutMs = 5000);

private:
    int m_fd;
};

// A pseudo-terminal standing in for a serial device: the test holds the master (the far end
// of the line); the slave is the device the code under test opens.
struct PseudoTerminal {
    PseudoTerminal();
    // Publishes the slave as COMn in `folder`.
    bool linkAs(const QString& folder, int portNumber) const;

    Endpoint master;
    QString slavePath;
};

// A TCP port on 127.0.0.1 where nothing listens.
std::uint16_t closedTcpPort();
// Bytes whose values tell their position, so that lost or reordered bytes show.
QByteArray patternBytes(int count);
