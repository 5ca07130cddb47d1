#include "bench/net/cmSocket.h"

#include "platform/LingeringClose.h"
#include "platform/Prompts.h"
#include "platform/WinsockErrors.h"

#include <QMetaMethod>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int AllEvents = 0xFF;
constexpr int ListenBacklog = 5;
constexpr std::uint32_t HighestPort = 65535;
constexpr int WsaEInval = 10022;
// Full receive buffers read per readiness report before other events get their turn.
constexpr int MaxReadsPerEvent = 16;
// Out of descriptors or buffers, a waiting connection cannot be taken; try again after a
// pause rather than at once and forever.
constexpr int AcceptRetryMs = 100;

bool resourceShortage(int code) {
    return code == 10024 || code == 10055;
}

} // namespace

TcmSocket::TcmSocket(QObject* parent) : QObject(parent) {}

TcmSocket::~TcmSocket() {
    // The owner is going away too: no event may reach it now.
    blockSignals(true);
    Close();
}

void TcmSocket::SetActive(bool active) {
    if (active == m_Active) return;
    if (active)
        Open();
    else
        Close();
}

void TcmSocket::SetBufferSize(int size) {
    if (size == m_MaxBufSize && (m_buffer != nullptr) == (size > 0)) return;
    m_MaxBufSize = size;
    m_buffer.reset();
    if (size > 0 && m_Active) {
        m_buffer = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(size) + 1);
        m_buffer[0] = 0;
    }
}

int TcmSocket::Create(TcmSocketProtocol protocol) {
    m_Protocol = protocol;
    int type = SOCK_RAW;
    int number = IPPROTO_RAW;
    if (isStream()) {
        type = SOCK_STREAM;
        number = IPPROTO_TCP;
    } else if (protocol == cmUDP) {
        type = SOCK_DGRAM;
        number = IPPROTO_UDP;
    } else if (protocol == cmICMP) {
        number = IPPROTO_ICMP;
    }
    Close();
    m_Socket = ErrorCheck(::socket(AF_INET, type | SOCK_CLOEXEC, number), "socket() failed");
    if (m_Socket != -1) {
        m_endpoints.try_emplace(m_Socket, !isStream());
        AsyncSelect(AllEvents);
    }
    return m_Socket;
}

void TcmSocket::Open() {
    if (m_Active || Create(m_Protocol) == -1) return;
    if (m_Protocol == cmUDP) {
        const int on = 1;
        ::setsockopt(m_Socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    } else if (m_Protocol == cmTcpServer) {
        // A server restarted on its port must not wait out the old connections' TIME_WAIT.
        const int on = 1;
        ::setsockopt(m_Socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
    if (m_LocalHost == QLatin1String("0") || m_LocalHost.isEmpty())
        m_LocalHost = HostIP(0xFFFFFFFF);
    m_bound = Bind(m_LocalHost, static_cast<std::uint32_t>(m_LocalPort));
    if (m_bound) {
        switch (m_Protocol) {
        case cmTcpServer:
            m_Active = Listen(ListenBacklog);
            break;
        case cmTcpClient:
            // Normally reports 10035 and becomes active on the first write-ready.
            m_Active = Connect(m_RemoteHost, static_cast<std::uint32_t>(m_RemotePort));
            break;
        case cmUDP:
            m_Active = !m_RemoteHost.isEmpty() && m_RemotePort > 0
                           ? Connect(m_RemoteHost, static_cast<std::uint32_t>(m_RemotePort))
                           : true;
            break;
        default:
            m_Active = true;
            break;
        }
    }
    if (m_Active) DeclareConnect(true);
    m_BufOffset = 0;
}

void TcmSocket::Close() {
    if (m_Socket == -1 && !m_Active) return;
    // Marked closed first: a failing close reported below, or a handler of that report,
    // finds nothing left to close and cannot start another Close.
    const int own = std::exchange(m_Socket, -1);
    m_Active = false;
    m_bound = false;
    std::map<int, Endpoint> endpoints = std::exchange(m_endpoints, {});
    m_connections.clear();
    for (auto& [socket, endpoint] : endpoints)
        closeEndpoint(socket, endpoint,
                      socket == own ? "closesocket() failed"
                                    : "closesocket() failed to close remote socket");
    DeclareConnect(false);
}

void TcmSocket::closeEndpoint(int socket, Endpoint& endpoint, const char* failText) {
    endpoint.readiness.reset();
    if (!endpoint.backlog.empty())
        LingeringClose::start(socket, std::move(endpoint.backlog));
    else
        ErrorCheck(::close(socket), failText);
}

bool TcmSocket::fillAddress(const QString& host, std::uint32_t port, const char* failText) {
    if (port > HighestPort) {
        // htons would quietly make another port of it.
        reportError(WsaEInval, failText);
        return false;
    }
    m_addr = sockaddr_in{};
    m_addr.sin_family = AF_INET;
    m_addr.sin_addr.s_addr = get_ip_data(host, cmUnicast);
    m_addr.sin_port = htons(static_cast<std::uint16_t>(port));
    return true;
}

bool TcmSocket::Bind(const QString& host, std::uint32_t port) {
    if (!fillAddress(host, port, "bind() failed")) return false;
    return ErrorCheck(::bind(m_Socket, reinterpret_cast<const sockaddr*>(&m_addr), sizeof m_addr),
                      "bind() failed") != -1;
}

bool TcmSocket::Connect(const QString& host, std::uint32_t port) {
    if (host.isEmpty() || port == 0 || !fillAddress(host, port, "connect() failed")) return false;
    const int socket = m_Socket;
    const int code =
        ::connect(socket, reinterpret_cast<const sockaddr*>(&m_addr), sizeof m_addr) == -1
            ? winsock::lastError()
            : 0;
    if (code != 0) reportError(code, "connect() failed");
    // Under way (10035) or done: the watcher reports the outcome either way.
    if (Endpoint* own = endpoint(socket);
        (code == 0 || code == winsock::WsaEWouldBlock) && own && own->readiness)
        own->readiness->connecting();
    return code == 0;
}

bool TcmSocket::Listen(int backlog) {
    if (backlog == 0 || ErrorCheck(::listen(m_Socket, backlog), "listen() failed") == -1)
        return false;
    if (Endpoint* own = endpoint(m_Socket); own && own->readiness) own->readiness->listening();
    return true;
}

int TcmSocket::Accept() {
    socklen_t length = sizeof m_addr;
    const int socket = ErrorCheck(::accept4(m_Socket, reinterpret_cast<sockaddr*>(&m_addr), &length,
                                            SOCK_NONBLOCK | SOCK_CLOEXEC),
                                  "accept() failed");
    if (socket != -1) {
        addEndpoint(socket);
        watch(socket);
    }
    return socket;
}

bool TcmSocket::AsyncSelect(int events) {
    if (events == 0 || !endpoint(m_Socket)) return false;
    if (ErrorCheck(::fcntl(m_Socket, F_SETFL, ::fcntl(m_Socket, F_GETFL) | O_NONBLOCK),
                   "WSAAsyncSelect() failed") == -1)
        return false;
    return watch(m_Socket);
}

bool TcmSocket::watch(int socket) {
    Endpoint* watched = endpoint(socket);
    if (!watched) return false;
    watched->readiness = SocketReadiness::watch(socket);
    connect(watched->readiness.get(), &SocketReadiness::notify, this, &TcmSocket::OnSocketMessage);
    return true;
}

void TcmSocket::addEndpoint(int socket) {
    m_endpoints.try_emplace(socket, !isStream());
}

TcmSocket::Endpoint* TcmSocket::endpoint(int socket) {
    const auto found = m_endpoints.find(socket);
    return found == m_endpoints.end() ? nullptr : &found->second;
}

const TcmSocket::Endpoint* TcmSocket::endpoint(int socket) const {
    const auto found = m_endpoints.find(socket);
    return found == m_endpoints.end() ? nullptr : &found->second;
}

void TcmSocket::DeclareConnect(bool connected) {
    if (connected) {
        sockaddr_in own{};
        socklen_t length = sizeof own;
        if (::getsockname(m_Socket, reinterpret_cast<sockaddr*>(&own), &length) == 0) {
            m_LocalPort = ntohs(own.sin_port);
            m_LocalHost = HostIP(own.sin_addr.s_addr);
        }
        if (!m_buffer) SetBufferSize(m_MaxBufSize);
    }
    Q_EMIT OnActiveChanged(this);
}

bool TcmSocket::SendTo(std::uint32_t ip, std::uint16_t port, const void* data, int len) {
    if (!data || m_Socket == -1) return false;
    m_addr = sockaddr_in{};
    m_addr.sin_family = AF_INET;
    m_addr.sin_addr.s_addr = ip;
    m_addr.sin_port = htons(port);
    return deliver(m_Socket, data, len, &m_addr, "send to() failed");
}

bool TcmSocket::SendTo(const QString& host, std::uint16_t port, const void* data, int len) {
    return SendTo(get_ip_data(host, cmUnicast), port, data, len);
}

bool TcmSocket::SendTo(int socket, const void* data, int len) {
    if (!data || m_Socket == -1) return false;
    return deliver(socket, data, len, nullptr, "send() failed");
}

bool TcmSocket::Send(const void* data, int len) {
    return SendTo(m_Socket, data, len);
}

bool TcmSocket::deliver(int socket, const void* data, int len, const sockaddr_in* to,
                        const char* failText) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    const std::size_t length =
        len > 0 ? static_cast<std::size_t>(len) : std::strlen(static_cast<const char*>(data));
    Endpoint* target = endpoint(socket);
    if (!target) {
        // Whatever that descriptor is now, it is not ours to write to.
        ShowError(QString::fromLatin1(failText), winsock::WsaENotSock);
        return false;
    }
    switch (target->backlog.send(socket, bytes, length, to)) {
    case SendBacklog::Result::Done:
        return true;
    case SendBacklog::Result::Waiting:
        if (target->readiness) target->readiness->sendBlocked();
        return true;
    case SendBacklog::Result::Failed:
        break;
    }
    ErrorCheck(-1, failText);
    return false;
}

void TcmSocket::flushBacklog(int socket) {
    Endpoint* waiting = endpoint(socket);
    if (!waiting || waiting->backlog.empty()) return;
    switch (waiting->backlog.flush(socket)) {
    case SendBacklog::Result::Waiting:
        if (waiting->readiness) waiting->readiness->sendBlocked();
        return;
    case SendBacklog::Result::Failed:
        ErrorCheck(-1, isStream() ? "send() failed" : "send to() failed");
        break;
    case SendBacklog::Result::Done:
        break;
    }
    Q_EMIT sendBacklogDrained(this, socket);
}

std::size_t TcmSocket::pendingSendBytes(int socket) const {
    const Endpoint* waiting = endpoint(socket);
    return waiting ? waiting->backlog.size() : 0;
}

std::size_t TcmSocket::totalPendingSendBytes() const {
    std::size_t total = 0;
    for (const auto& [socket, waiting] : m_endpoints)
        total += waiting.backlog.size();
    return total;
}

int TcmSocket::Receive(std::uint8_t* buf, int size, int socket, sockaddr_in* from) {
    if (!buf || size <= 0) return 0;
    if (socket == -1) socket = m_Socket;
    const char* failText = from ? "recvfrom() failed" : "recv() failed";
    if (!endpoint(socket)) {
        // Not ours: reading it would take another owner's data.
        ShowError(QString::fromLatin1(failText), winsock::WsaENotSock);
        return 0;
    }
    ssize_t n;
    // A datagram longer than the room left is cut; MSG_TRUNC tells its real length.
    const int flags = isStream() ? 0 : MSG_TRUNC;
    if (from) {
        socklen_t length = sizeof *from;
        n = ::recvfrom(socket, buf, static_cast<std::size_t>(size), flags,
                       reinterpret_cast<sockaddr*>(from), &length);
    } else {
        n = ::recv(socket, buf, static_cast<std::size_t>(size), flags);
    }
    const int err = errno;
    if (Endpoint* source = endpoint(socket); source && source->readiness)
        source->readiness->received();
    if (n < 0 && (err == EAGAIN || err == EWOULDBLOCK))
        return 0; // the socket is drained: nothing failed
    errno = err;
    if (ErrorCheck(static_cast<int>(n), failText) == -1) return 0;
    if (n > size) {
        ShowError(QString::fromLatin1(failText), winsock::WsaEMsgSize);
        n = size;
    }
    if (from && isStream()) {
        socklen_t length = sizeof *from;
        ErrorCheck(::getpeername(socket, reinterpret_cast<sockaddr*>(from), &length),
                   "getpeername() failt!");
    }
    return static_cast<int>(n);
}

int TcmSocket::ErrorCheck(int result, const char* msg) {
    if (result != -1) return result;
    reportError(winsock::lastError(), msg);
    return -1;
}

void TcmSocket::reportError(int code, const char* msg) {
    m_lastError = code;
    // An error while opening closes the half-opened endpoint again.
    if (code != winsock::WsaEWouldBlock && !m_Active && m_Socket != -1) {
        ShowError(QStringLiteral("!!!!!!!!socket closed for error") +
                      QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0')),
                  0);
        Close();
    }
    ShowError(QString::fromLatin1(msg), code);
}

void TcmSocket::ShowError(const QString& msg, int code) {
    if (!isSignalConnected(QMetaMethod::fromSignal(&TcmSocket::OnError))) return;
    Q_EMIT OnError(this, code, code > 0 ? msg + QStringLiteral(" : ") + MapErrorCode(code) : msg);
}

void TcmSocket::ShowMessage(const QString& text) {
    if (m_prompts) m_prompts->messageBox(nullptr, text, QString(), Prompts::MbOk);
}

void TcmSocket::OnSocketMessage(int socket, int event, int error) {
    if (!endpoint(socket)) return; // a report that overtook the socket's close
    switch (event) {
    case SocketReadiness::Read:
        readAll(socket);
        break;
    case SocketReadiness::Write:
        onWriteReady(socket);
        break;
    case SocketReadiness::Oob:
        ShowError(QStringLiteral("Message:FD_OOB"), 0);
        break;
    case SocketReadiness::Accept:
        onAcceptReady(socket);
        break;
    case SocketReadiness::Connect:
        // A refused or failed connection ends the attempt like a failed connect() call.
        if (error != 0)
            reportError(error, "connect() failed");
        else
            ShowError(QStringLiteral("Message:FD_CONNECT"), 0);
        break;
    case SocketReadiness::Close:
        if (error != 0) ShowError(QStringLiteral("recvfrom() failed"), error);
        onPeerEnd(socket);
        break;
    }
}

void TcmSocket::readAll(int socket) {
    if (!m_buffer || !isSignalConnected(QMetaMethod::fromSignal(&TcmSocket::OnReceive)))
        return; // the data stays queued
    int n = 0;
    int room = 0;
    // A sender faster than the handlers would keep every buffer full and this loop going for
    // good; after a few buffers the rest is left for the next pass (reading re-arms readiness).
    int reads = 0;
    do {
        if (!m_RelayDump || m_BufOffset >= m_MaxBufSize) m_BufOffset = 0;
        room = m_MaxBufSize - m_BufOffset;
        n = Receive(m_buffer.get() + m_BufOffset, room, socket, &m_addr);
        if (n > 0) {
            m_BufOffset += n;
            m_buffer[static_cast<std::size_t>(m_BufOffset)] = 0;
            Q_EMIT OnReceive(this, socket, ntohs(m_addr.sin_port), m_addr.sin_addr.s_addr,
                             m_buffer.get() + m_BufOffset - n, n);
        }
        // A handler may have closed the socket or dropped the buffer.
    } while (n > 0 && n == room && m_buffer && endpoint(socket) && ++reads < MaxReadsPerEvent);
}

void TcmSocket::onWriteReady(int socket) {
    if (!m_Active && m_bound) {
        m_Active = true;
        DeclareConnect(true);
    }
    if (m_Protocol == cmTcpServer && socket != m_Socket && endpoint(socket))
        reg_connections(socket, true);
    flushBacklog(socket);
}

void TcmSocket::onAcceptReady(int socket) {
    const int accepted = Accept();
    const int code = accepted == -1 ? m_lastError : 0;
    if (Endpoint* listening = endpoint(socket); listening && listening->readiness) {
        if (resourceShortage(code))
            QTimer::singleShot(AcceptRetryMs, listening->readiness.get(),
                               &SocketReadiness::accepted);
        else
            listening->readiness->accepted();
    }
    ShowError(QStringLiteral("Message:FD_ACCEPT"), 0);
}

void TcmSocket::onPeerEnd(int socket) {
    if (m_Protocol != cmTcpServer || socket == m_Socket) {
        Close();
        return;
    }
    reg_connections(socket, false);
    // Also a peer that left before it was registered, or whose entry a reconnection took over.
    if (auto found = m_endpoints.find(socket); found != m_endpoints.end()) {
        Endpoint peer = std::move(found->second);
        m_endpoints.erase(found);
        closeEndpoint(socket, peer, "closesocket() failed to close remote socket");
    }
}

void TcmSocket::reg_connections(int socket, bool add) {
    if (!add) {
        if (std::unique_ptr<cm_Connection_Node> gone = m_connections.unlink(socket))
            Q_EMIT OnDiscard(this, socket, gone->IP, gone->Port);
        return;
    }
    if (m_connections.findSocket(socket)) return;
    socklen_t length = sizeof m_addr;
    if (ErrorCheck(::getpeername(socket, reinterpret_cast<sockaddr*>(&m_addr), &length),
                   "getpeername() failt!") == -1)
        return;
    const std::uint32_t ip = m_addr.sin_addr.s_addr;
    const std::uint16_t port = ntohs(m_addr.sin_port);
    if (cm_Connection_Node* same = m_connections.findPeer(ip, port)) {
        same->Socket = socket; // the same peer again: it keeps its place
        return;
    }
    m_connections.append(socket, ip, port);
    Q_EMIT OnAccept(this, socket, ip, port);
}
