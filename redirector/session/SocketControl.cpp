#include "redirector/session/SocketControl.h"

#include "platform/HostAddresses.h"
#include "platform/LingeringClose.h"
#include "platform/WinsockErrors.h"
#include "redirector/session/SocketErrorText.h"

#include <QTimer>

#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <set>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int WsaEInval = 10022;
constexpr int WsaEDestAddrReq = 10039;
constexpr int WsaEOpNotSupp = 10045;
constexpr int WsaEIsConn = 10056;
constexpr int WsaENotConn = 10057;
constexpr int HighestPort = 65535;
// Beyond this much unread data a socket stops reading until getData() makes room.
constexpr qsizetype MaxWaitingBytes = 1024 * 1024;
constexpr std::size_t MaxWaitingDatagrams = 1024;
// Out of descriptors, a waiting connection cannot be taken; try again after a pause rather
// than at once and forever.
constexpr int AcceptRetryMs = 100;

// Connections offered through ConnectionRequest and not yet taken over. Only descriptors
// listed here can be taken by accept(), so a stray number never captures another descriptor.
std::set<int>& offeredConnections() {
    static std::set<int> offered;
    return offered;
}

QString dotted(const in_addr& address) {
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return QString::fromLatin1(text);
}

// A dotted address as it stands, else the first address the name resolves to.
bool addressOf(const QString& host, in_addr& address) {
    if (::inet_pton(AF_INET, host.toLatin1().constData(), &address) == 1) return true;
    const std::vector<std::uint32_t> found = HostAddresses::resolveIPv4(host.toStdString());
    if (found.empty()) return false;
    address.s_addr = found.front();
    return true;
}

bool resourceShortage(int err) {
    return err == EMFILE || err == ENFILE || err == ENOBUFS || err == ENOMEM;
}

} // namespace

SocketControl::SocketControl(int index, QObject* parent) : QObject(parent), m_index(index) {}

SocketControl::~SocketControl() {
    // The owner is going away too: no event may reach it now.
    blockSignals(true);
    close();
}

void SocketControl::setRemoteHost(const QString& host) {
    m_remoteHost = host;
    m_destinationKnown = false;
}

void SocketControl::setRemotePort(int port) {
    m_remotePort = port;
    m_destinationKnown = false;
}

bool SocketControl::setProtocol(int protocol) {
    if ((protocol != Tcp && protocol != Udp) || m_state != StateClosed) return fail(WsaEInval);
    m_protocol = protocol;
    m_backlog = SendBacklog(protocol == Udp);
    return true;
}

QString SocketControl::localIP() {
    const std::vector<std::uint32_t> local = HostAddresses::localIPv4Addresses();
    if (local.empty()) return {};
    in_addr address{};
    address.s_addr = local.front();
    return dotted(address);
}

bool SocketControl::fail(int number) {
    m_errorNumber = number;
    m_errorDescription = socketErrorDescription(number);
    return false;
}

bool SocketControl::failWithErrno() {
    return fail(winsock::lastError());
}

bool SocketControl::openSocket() {
    const int type = m_protocol == Tcp ? SOCK_STREAM : SOCK_DGRAM;
    const int socket = ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0) return failWithErrno();
    if (m_protocol == Tcp) {
        const int on = 1;
        // A listener restarted on its port must not wait out the old connections' TIME_WAIT;
        // a port that another listener holds stays refused all the same.
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        // Urgent bytes stay in the stream, so none of the peer's data is skipped.
        ::setsockopt(socket, SOL_SOCKET, SO_OOBINLINE, &on, sizeof on);
    }
    m_socket = socket;
    ++m_generation;
    m_backlog = SendBacklog(m_protocol == Udp);
    return true;
}

void SocketControl::watch() {
    m_readiness = SocketReadiness::watch(m_socket);
    QObject::connect(m_readiness.get(), &SocketReadiness::notify, this,
                     &SocketControl::onReadiness);
}

bool SocketControl::resolveRemote(sockaddr_in& address) {
    if (m_remoteHost.isEmpty()) return fail(WsaEDestAddrReq);
    if (m_remotePort < 0 || m_remotePort > HighestPort) return fail(WsaEInval);
    address = sockaddr_in{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(m_remotePort));
    if (!addressOf(m_remoteHost, address.sin_addr)) return fail(WsaHostNotFound);
    return true;
}

bool SocketControl::bind(int port, const QString& localAddress) {
    if (m_state != StateClosed || port < 0 || port > HighestPort) return fail(WsaEInval);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (!localAddress.isEmpty() && !addressOf(localAddress, local.sin_addr)) return fail(10049);
    if (!openSocket()) return false;
    if (::bind(m_socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        failWithErrno();
        ::close(std::exchange(m_socket, -1));
        return false;
    }
    takeAddresses();
    watch();
    m_state = StateOpen;
    return true;
}

bool SocketControl::listen() {
    if (m_protocol != Tcp) return fail(WsaEOpNotSupp);
    if (m_state == StateClosed && !bind(m_localPort)) return false;
    if (m_state != StateOpen) return fail(WsaEInval);
    if (::listen(m_socket, SOMAXCONN) != 0) return failWithErrno();
    m_state = StateListening;
    m_readiness->listening();
    return true;
}

bool SocketControl::connectToHost() {
    if (m_protocol != Tcp) return fail(WsaEOpNotSupp);
    if (m_state != StateClosed) return fail(m_state == StateConnected ? WsaEIsConn : WsaEInval);
    sockaddr_in remote{};
    if (!resolveRemote(remote)) return false;
    if (m_localPort != 0) {
        if (!bind(m_localPort)) return false;
    } else if (!openSocket()) {
        return false;
    } else {
        watch();
    }
    m_state = StateConnecting;
    if (::connect(m_socket, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == 0 ||
        errno == EINPROGRESS || errno == EINTR) {
        m_readiness->connecting();
        return true;
    }
    // A connection that fails at once (refused on this machine) still ends in the Error
    // event, as every other failed connection does, once the caller has its answer.
    const int number = winsock::lastError();
    QTimer::singleShot(0, this, [this, generation = m_generation, number] {
        if (generation == m_generation && m_state == StateConnecting) connectionFailed(number);
    });
    return true;
}

bool SocketControl::accept(int requestId) {
    if (m_state != StateClosed || offeredConnections().erase(requestId) == 0)
        return fail(WsaEInval);
    m_protocol = Tcp;
    m_socket = requestId;
    ++m_generation;
    m_backlog = SendBacklog(false);
    const int on = 1;
    ::setsockopt(m_socket, SOL_SOCKET, SO_OOBINLINE, &on, sizeof on);
    watch();
    m_state = StateConnected;
    takeAddresses();
    return true;
}

void SocketControl::takeAddresses() {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        m_localPort = ntohs(address.sin_port);
    length = sizeof address;
    if (m_protocol == Tcp &&
        ::getpeername(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        m_remoteHostIP = dotted(address.sin_addr);
        m_remotePort = ntohs(address.sin_port);
    }
}

bool SocketControl::sendData(const QByteArray& bytes) {
    const sockaddr_in* to = nullptr;
    if (m_protocol == Tcp) {
        if (m_state != StateConnected) return fail(WsaENotConn);
    } else {
        if (!m_destinationKnown) {
            if (m_remotePort <= 0) return fail(WsaEDestAddrReq);
            if (!resolveRemote(m_destination)) return false;
            m_destinationKnown = true;
        }
        if (m_state == StateClosed && !bind(m_localPort)) return false;
        to = &m_destination;
    }
    if (bytes.isEmpty()) return true;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    switch (m_backlog.send(m_socket, data, static_cast<std::size_t>(bytes.size()), to)) {
    case SendBacklog::Result::Done:
        return true;
    case SendBacklog::Result::Waiting:
        m_readiness->sendBlocked();
        return true;
    case SendBacklog::Result::Failed:
        break;
    }
    return failWithErrno();
}

QByteArray SocketControl::getData() {
    QByteArray data;
    if (m_protocol == Tcp) {
        data = std::exchange(m_stream, {});
    } else if (!m_datagrams.empty()) {
        data = std::move(m_datagrams.front());
        m_datagrams.pop_front();
    }
    if (m_readingHeld && m_readiness) {
        m_readingHeld = false;
        m_readiness->received();
    }
    return data;
}

int SocketControl::bytesReceived() const {
    qsizetype total = m_stream.size();
    for (const QByteArray& datagram : m_datagrams)
        total += datagram.size();
    return static_cast<int>(total);
}

void SocketControl::close() {
    if (m_socket >= 0) {
        m_readiness.reset();
        const int socket = std::exchange(m_socket, -1);
        if (m_backlog.empty())
            ::close(socket);
        else
            LingeringClose::start(socket, std::move(m_backlog));
    }
    m_backlog = SendBacklog(m_protocol == Udp);
    m_state = StateClosed;
    m_stream.clear();
    m_datagrams.clear();
    m_readingHeld = false;
}

void SocketControl::onReadiness(int socket, int event, int error) {
    if (socket != m_socket) return; // a report that overtook a close
    switch (event) {
    case SocketReadiness::Read:
        if (m_protocol == Tcp)
            readStream();
        else
            readDatagram();
        break;
    case SocketReadiness::Write:
        flushBacklog();
        break;
    case SocketReadiness::Connect:
        if (error != 0) {
            connectionFailed(error);
        } else {
            m_state = StateConnected;
            takeAddresses();
            Q_EMIT Connect(m_index);
        }
        break;
    case SocketReadiness::Accept:
        acceptWaiting();
        break;
    case SocketReadiness::Close:
        if (error != 0) {
            connectionFailed(error);
        } else {
            m_state = StatePeerClosing;
            Q_EMIT Close(m_index);
        }
        break;
    default:
        break; // urgent bytes arrive inline (SO_OOBINLINE)
    }
}

void SocketControl::readStream() {
    std::array<char, 64 * 1024> buffer;
    ssize_t n;
    do {
        n = ::recv(m_socket, buffer.data(), buffer.size(), 0);
    } while (n < 0 && errno == EINTR);
    if (n > 0) m_stream.append(buffer.data(), n);
    // The end of the stream and a failed connection show on the next look as Close.
    if (m_stream.size() < MaxWaitingBytes)
        m_readiness->received();
    else
        m_readingHeld = true;
    if (n > 0) Q_EMIT DataArrival(m_index, static_cast<int>(m_stream.size()));
}

void SocketControl::readDatagram() {
    std::array<char, 64 * 1024> buffer;
    sockaddr_in from{};
    socklen_t length = sizeof from;
    ssize_t n;
    do {
        n = ::recvfrom(m_socket, buffer.data(), buffer.size(), 0,
                       reinterpret_cast<sockaddr*>(&from), &length);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        m_remoteHostIP = dotted(from.sin_addr);
        m_remoteHost = m_remoteHostIP;
        m_remotePort = ntohs(from.sin_port);
        m_destination = from;
        m_destinationKnown = true;
        m_datagrams.emplace_back(buffer.data(), n);
    }
    if (m_datagrams.size() < MaxWaitingDatagrams)
        m_readiness->received();
    else
        m_readingHeld = true;
    if (n > 0) Q_EMIT DataArrival(m_index, static_cast<int>(n));
}

void SocketControl::acceptWaiting() {
    const int connection = ::accept4(m_socket, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    const int err = connection < 0 ? errno : 0;
    if (resourceShortage(err))
        QTimer::singleShot(AcceptRetryMs, m_readiness.get(), &SocketReadiness::accepted);
    else
        m_readiness->accepted();
    if (connection < 0) return;
    offeredConnections().insert(connection);
    Q_EMIT ConnectionRequest(m_index, connection);
    // Not taken over during the event: the caller did not want it.
    if (offeredConnections().erase(connection) != 0) ::close(connection);
}

void SocketControl::flushBacklog() {
    if (m_backlog.empty()) return;
    switch (m_backlog.flush(m_socket)) {
    case SendBacklog::Result::Waiting:
        m_readiness->sendBlocked();
        break;
    case SendBacklog::Result::Failed: {
        const int number = winsock::lastError();
        // A stream that cannot deliver is broken; a datagram that could not leave is not.
        if (m_protocol == Tcp)
            connectionFailed(number);
        else
            raiseError(number);
        break;
    }
    case SendBacklog::Result::Done:
        break;
    }
}

void SocketControl::connectionFailed(int number) {
    m_state = StateError;
    raiseError(number);
}

void SocketControl::raiseError(int number) {
    // The event carries a 16-bit number, as the session's handlers expect it.
    Q_EMIT Error(m_index, static_cast<qint16>(number), socketErrorDescription(number));
}
