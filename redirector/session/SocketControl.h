#pragma once

#include "platform/SendBacklog.h"
#include "platform/SocketReadiness.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <deque>
#include <netinet/in.h>

// One socket of a session (an element of Winsock1): a TCP client, a TCP listener, a socket
// that took over an accepted connection, or a UDP socket. Non-blocking; its readiness is turned
// into events on the GUI thread (platform/SocketReadiness.h). GUI thread only: every call and
// every event happens there, and no event is raised from inside a call.
//
// Calls that fail return false and leave the Winsock number and a plain English text in
// errorNumber() and errorDescription(). What fails later (a refused connection, a reset) is
// raised as the Error event with the number as a signed 16-bit value. close() never raises
// the Close event: only the peer's orderly end does.
//
// Received data waits in the socket until getData() takes it; while too much waits, the
// socket stops reading, so that a slow taker slows the peer down instead of losing bytes.
// Sends never cut what they are given: what the system does not take at once goes out when
// it can, also after close().
//
// In UDP the remote host and port become the sender of the latest datagram received, so that
// a reply goes to whoever spoke last.
class SocketControl : public QObject {
    Q_OBJECT
public:
    enum Protocol : int { Tcp = 0, Udp = 1 };
    enum State : int {
        StateClosed = 0,
        StateOpen = 1, // bound (TCP) or ready to send and receive (UDP)
        StateListening = 2,
        StateConnectionPending = 3,
        StateResolvingHost = 4,
        StateHostResolved = 5,
        StateConnecting = 6,
        StateConnected = 7,
        StatePeerClosing = 8, // the peer ended the connection; close() finishes it
        StateError = 9,       // the connection failed; close() finishes it
    };

    // `index` is the element's place in its array; every event carries it.
    explicit SocketControl(int index = 0, QObject* parent = nullptr);
    ~SocketControl() override;

    int index() const { return m_index; }

    QString remoteHost() const { return m_remoteHost; }
    void setRemoteHost(const QString& host);
    int remotePort() const { return m_remotePort; }
    void setRemotePort(int port);
    // The port to bind; after a bind, listen, connect or accept the port actually bound.
    int localPort() const { return m_localPort; }
    void setLocalPort(int port) { m_localPort = port; }
    int protocol() const { return m_protocol; }
    // Tcp or Udp, only while closed.
    bool setProtocol(int protocol);
    int state() const { return m_state; }
    // The dotted address of the connected peer (UDP: of the latest sender); empty before.
    QString remoteHostIP() const { return m_remoteHostIP; }
    // This machine's own address, dotted; empty when it has none.
    static QString localIP();

    // TCP: starts connecting to the remote host and port; Connect or Error tells how it ended.
    // Fails at once for a wrong state, an empty or unknown host, or a port outside 0-65535.
    bool connectToHost();
    // Binds a closed socket to `port` (0: any) and `localAddress` (empty: every address).
    bool bind(int port, const QString& localAddress = {});
    // TCP: listens on the bound port (binding localPort() first when still closed). Each
    // waiting connection is offered once through ConnectionRequest; one that no socket takes
    // over with accept() during that event is closed again.
    bool listen();
    // Takes over the connection offered by ConnectionRequest; this socket must be closed.
    bool accept(int requestId);
    // TCP: on a connected socket. UDP: one datagram to the remote host and port.
    bool sendData(const QByteArray& bytes);
    // TCP: everything received so far. UDP: the oldest datagram not yet taken.
    QByteArray getData();
    int bytesReceived() const;
    void close();

    int errorNumber() const { return m_errorNumber; }
    const QString& errorDescription() const { return m_errorDescription; }

Q_SIGNALS:
    void Connect(int Index);
    void ConnectionRequest(int Index, int requestID);
    // bytesTotal: what getData() would take now.
    void DataArrival(int Index, int bytesTotal);
    void Close(int Index);
    void Error(int Index, qint16 Number, const QString& Description);

private:
    bool fail(int number);
    bool failWithErrno();
    bool openSocket();
    bool resolveRemote(sockaddr_in& address);
    void watch();
    void onReadiness(int socket, int event, int error);
    void readStream();
    void readDatagram();
    void acceptWaiting();
    void flushBacklog();
    void connectionFailed(int number);
    void raiseError(int number);
    void takeAddresses();

    int m_index = 0;
    int m_protocol = Tcp;
    int m_state = StateClosed;
    QString m_remoteHost;
    int m_remotePort = 0;
    int m_localPort = 0;
    QString m_remoteHostIP;
    int m_errorNumber = 0;
    QString m_errorDescription;

    int m_socket = -1;
    // Counts opened sockets, so that a report queued for an earlier one is recognised.
    std::uint64_t m_generation = 0;
    SocketReadiness::Handle m_readiness;
    SendBacklog m_backlog{false};
    QByteArray m_stream;                // TCP bytes not yet taken
    std::deque<QByteArray> m_datagrams; // UDP datagrams not yet taken
    bool m_readingHeld = false;         // stopped reading until getData() makes room
    // UDP: where datagrams go; valid while m_destinationKnown.
    sockaddr_in m_destination{};
    bool m_destinationKnown = false;
};
