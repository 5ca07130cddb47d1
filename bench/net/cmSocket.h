#pragma once

#include "bench/net/cm_Server_Connections.h"
#include "platform/SendBacklog.h"
#include "platform/SocketReadiness.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <netinet/in.h>

class Prompts;

// Kind of endpoint, stored as one byte; callers compare it with these numbers.
enum TcmSocketProtocol : std::uint8_t {
    cmICMP = 0,
    cmIGMP = 1,
    cmUDP = 2,
    cmRawIP = 3,
    cmTcpServer = 4,
    cmTcpClient = 5,
};

// Second argument of get_ip_data: the address as resolved, or its classful broadcast address.
enum TcmCastMode : int { cmUnicast = 0, cmBroadcast = 1 };

// One network endpoint (UDP, TCP server, TCP client, or a raw socket) whose readiness
// becomes events. The socket is non-blocking and watched on the GUI thread; everything here,
// calls and events alike, happens on that thread, and events never overlap a call.
//
// Addresses are IPv4 in network byte order (first octet in the lowest byte); ports are in host
// byte order. Errors are Winsock numbers, reported through OnError with the texts of
// MapErrorCode; no call throws.
//
// A TCP client is active once its connection completes (OnActiveChanged tells); a refused or
// failed connection is reported and closes the attempt. A TCP server registers each peer on
// that peer's first write-ready (OnAccept), in connections(), and removes and closes it when
// the peer ends (OnDiscard). Close closes every peer without OnDiscard.
//
// Incoming data is read only while OnReceive is connected; without it, data stays queued.
//
// Sends never cut what they are given: what the system does not take at once waits in the
// socket's backlog and goes out when the socket can send again. pendingSendBytes tells how
// much waits, sendBacklogDrained tells when it went out; send loops pace themselves on these.
// A socket closed with bytes still waiting stays open in the background until they went out.
//
// Events are Qt signals; connect them directly (pBuf of OnReceive is valid during the call).
class TcmSocket : public QObject {
    Q_OBJECT
public:
    explicit TcmSocket(QObject* parent = nullptr);
    ~TcmSocket() override;

    TcmSocketProtocol Protocol() const { return m_Protocol; }
    void SetProtocol(TcmSocketProtocol protocol) { m_Protocol = protocol; }
    // Accumulate successive receptions in the buffer instead of starting each at its beginning.
    bool RelayDump() const { return m_RelayDump; }
    void SetRelayDump(bool relay) { m_RelayDump = relay; }
    // The endpoint's socket, -1 when none.
    int Socket() const { return m_Socket; }
    int BufOffset() const { return m_BufOffset; }
    int RemotePort() const { return m_RemotePort; }
    void SetRemotePort(int port) { m_RemotePort = port; }
    QString RemoteHost() const { return m_RemoteHost; }
    void SetRemoteHost(const QString& host) { m_RemoteHost = host; }
    // After activation, the port actually bound.
    int LocalPort() const { return m_LocalPort; }
    void SetLocalPort(int port) { m_LocalPort = port; }
    // "0" or empty binds to the machine's own first address; after activation, the address
    // actually bound.
    QString LocalHost() const { return m_LocalHost; }
    void SetLocalHost(const QString& host) { m_LocalHost = host; }
    // Receive buffer capacity; the buffer exists only once the endpoint became active.
    int MaxBufSize() const { return m_MaxBufSize; }
    void SetBufferSize(int size);
    bool Active() const { return m_Active; }
    void SetActive(bool active);

    // The TCP server's peers.
    cm_Server_Connections& connections() { return m_connections; }

    // Stores the protocol, closes the current endpoint, creates and watches a new socket.
    int Create(TcmSocketProtocol protocol);
    void Open();
    void Close();
    bool Bind(const QString& host, std::uint32_t port);
    bool Connect(const QString& host, std::uint32_t port);
    bool Listen(int backlog);
    // Accepts one waiting connection; the new socket is watched and reports on its own.
    int Accept();
    // Makes the endpoint's socket non-blocking and watches it for every network event (any
    // non-zero mask selects them all); false for a mask of 0.
    bool AsyncSelect(int events);
    void DeclareConnect(bool connected);

    // A len of 0 or less sends the zero-terminated text at data. True when everything was
    // sent or waits in the backlog; false after reporting a real error.
    bool SendTo(std::uint32_t ip, std::uint16_t port, const void* data, int len);
    bool SendTo(const QString& host, std::uint16_t port, const void* data, int len);
    // On the endpoint's own socket or on a peer's; never on a socket this endpoint does not own.
    bool SendTo(int socket, const void* data, int len);
    bool Send(const void* data, int len);
    // Bytes received into buf (0 on error or when nothing waits). A socket of -1 is the
    // endpoint's own; `from`, when given, receives the sender's (or the stream peer's) address.
    // Sockets this endpoint does not own are refused.
    int Receive(std::uint8_t* buf, int size, int socket, sockaddr_in* from);

    // Bytes given to a send and still waiting for `socket` (a handle: Socket() or a peer's),
    // and for all sockets together.
    std::size_t pendingSendBytes(int socket) const;
    std::size_t totalPendingSendBytes() const;

    // Returns result. A result of -1 is reported as msg with the socket's error; an error
    // other than would-block while the endpoint is still opening also closes it again.
    int ErrorCheck(int result, const char* msg);
    void ShowError(const QString& msg, int code);
    // A message box with an empty caption and OK; shown only when prompts were given.
    void ShowMessage(const QString& text);
    void setPrompts(Prompts* prompts) { m_prompts = prompts; }
    static QString MapErrorCode(int code);

    // BSD sockets need no start-up: always true.
    static bool wsa_startup();
    // A dotted IPv4 address of at least 7 characters, other than 255.255.255.255.
    static bool isValidIP(const QString& text);
    static std::uint32_t IP_UnicastToBroadcast(std::uint32_t ip);
    // A dotted address as it is, otherwise the first address the name resolves to (0 when it
    // does not); an empty name is this machine, its real address first.
    static std::uint32_t get_ip_data(const QString& name, TcmCastMode mode);
    static QString BroadcastIP(const QString& name);
    static QString HostName();
    // Dotted text; 0xFFFFFFFF stands for this machine's first address (empty when none).
    static QString HostIP(std::uint32_t ip);

Q_SIGNALS:
    void OnError(QObject* sender, int ErroCode, const QString& ErrorMsg);
    // pBuf points into the receive buffer, valid during the call; pBuf[DataLen] is 0.
    void OnReceive(QObject* Sender, int PeerSocket, quint16 PeerPort, quint32 PeerIP,
                   const std::uint8_t* pBuf, int DataLen);
    void OnAccept(QObject* sender, int socket, quint32 IP, quint16 Port);
    void OnActiveChanged(QObject* Sender);
    void OnDiscard(QObject* sender, int socket, quint32 IP, quint16 Port);
    // The backlog of `socket` is empty again (sent, or dropped after a reported error).
    void sendBacklogDrained(QObject* sender, int socket);

private:
    // A socket this endpoint owns: its own, or an accepted peer's.
    struct Endpoint {
        explicit Endpoint(bool datagrams) : backlog(datagrams) {}
        SocketReadiness::Handle readiness;
        SendBacklog backlog;
    };

    void OnSocketMessage(int socket, int event, int error);
    void readAll(int socket);
    void onWriteReady(int socket);
    void onAcceptReady(int socket);
    void onPeerEnd(int socket);
    void reg_connections(int socket, bool add);
    void flushBacklog(int socket);
    bool deliver(int socket, const void* data, int len, const sockaddr_in* to,
                 const char* failText);
    void reportError(int code, const char* msg);
    void closeEndpoint(int socket, Endpoint& endpoint, const char* failText);
    Endpoint* endpoint(int socket);
    const Endpoint* endpoint(int socket) const;
    void addEndpoint(int socket);
    bool watch(int socket);
    bool isStream() const { return m_Protocol == cmTcpServer || m_Protocol == cmTcpClient; }
    bool fillAddress(const QString& host, std::uint32_t port, const char* failText);

    TcmSocketProtocol m_Protocol = cmUDP;
    bool m_RelayDump = false;
    int m_Socket = -1;
    int m_BufOffset = 0;
    int m_RemotePort = 0;
    QString m_RemoteHost;
    int m_LocalPort = 0;
    QString m_LocalHost = QStringLiteral("0");
    int m_MaxBufSize = 2048;
    bool m_Active = false;
    bool m_bound = false;
    // The address last used or last received from.
    sockaddr_in m_addr{};
    std::unique_ptr<std::uint8_t[]> m_buffer;
    cm_Server_Connections m_connections;
    std::map<int, Endpoint> m_endpoints;
    Prompts* m_prompts = nullptr;
    int m_lastError = 0; // the Winsock number last reported
};
