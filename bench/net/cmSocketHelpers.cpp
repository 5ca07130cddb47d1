// TcmSocket's static helpers: error texts and addresses. They touch no endpoint state, so
// they may be called from any thread.
#include "bench/net/cmSocket.h"

#include "platform/HostAddresses.h"

#include <arpa/inet.h>

#include <utility>

namespace {

constexpr std::pair<int, const char*> ErrorTexts[] = {
    {10004, "The (blocking) call was canceled through WSACancelBlockingCall.(函数被中断)"},
    {10013, "Attempt to connect datagram socket to broadcast address failed because setsockopt "
            "SO_BROADCAST is not enabled; or the requested address is a broadcast address, but the "
            "appropriate flag was not set.(无权限)"},
    {10014,
     "The name or the namelen argument is not a valid part of the user address space, the namelen "
     "argument is too small, the name argument contains incorrect address format for the "
     "associated address family, or the first two bytes of the memory block specified by name does "
     "not match the address family associated with the socket descriptor s.(错误地址)"},
    {10022, "The socket is not(or is already) bound to an address ,etc."},
    {10024, "No more socket descriptors are available.(打开过多文件)"},
    {10035, "The socket is marked as nonblocking and the requested operation would block,and "
            "cannot be completed immediately. "}, // ends with a blank
    {10036, "A blocking Windows Sockets 1.1 call is in progress, or the service provider is still "
            "processing a callback function(操作正进行)."},
    {10037, "A nonblocking connect call is in progress on the specified socket.(操作正进行)"},
    {10038, "The descriptor is not a socket."},
    {10039, "需要目标地址"},
    {10040, "The socket is message oriented, and the message is larger than the maximum supported "
            "by the underlying transport.(消息过长)"},
    {10041, "The specified protocol is the wrong type for this socket."},
    {10043, "The specified protocol is not supported."},
    {10044, "The specified socket type is not supported in this address family."},
    {10045, "MSG_OOB was "
            "specified, but the socket is not stream style such as type SOCK_STREAM, "
            "out-of-band data is not supported in the communication domain associated with this "
            "socket, or the socket is unidirectional and supports only receive operations."},
    {10047, "The specified address family is not supported.(地址类型不被协议支持)"},
    {10048, "The specified address is already in use(地址已使用)."},
    {10049, "The specified address is not available from the local machine.(不能关联到指定地址)"},
    {10050, "The network subsystem or the associated service provider has failed.(网络已关闭)."},
    {10051, "The network cannot be reached from this host at this time."},
    {10052, "The connection has been broken due to the remote host resetting.(网络重置时连接丢失)"},
    {10053, "The virtual circuit was terminated due to a time-out or other failure. The "
            "application should close the socket as it is no longer usable.(软件造成连接取消)"},
    {10054, "The virtual circuit was reset by the remote side executing a 'hard' or 'abortive' "
            "close. For UPD sockets, the remote host was unable to deliver a previously sent UDP "
            "datagram and responded with a 'Port Unreachable' ICMP packet. The application should "
            "close the socket as it is no longer usable.(连接被对方重置)"},
    {10055, "Not enough buffers available, no more socket、connections or other action!"},
    {10056, "The socket is already connected (connection-oriented sockets only).(已经连接)"},
    {10057, "The socket is not connected."},
    {10058, "he socket has been shut down; it is not possible to send on a socket after shutdown "
            "has been invoked with how set to SD_SEND or SD_BOTH."},
    {10060, "Operation time out,the connection may have be been dropped, because of a network "
            "failure or because the system on the other end went down without notice."},
    {10061, "The attempt to connect was forcefully rejected.(连接被拒绝)"},
    {10064, "主机已关闭"},
    {10065, "The remote host cannot be reached from this host at this time."},
    {10093, "A successful WSAStartup must occur before using this function."},
};

constexpr std::uint32_t AllOnes = 0xFFFFFFFF;

} // namespace

QString TcmSocket::MapErrorCode(int code) {
    for (const auto& [number, text] : ErrorTexts)
        if (number == code) return QString::fromUtf8(text);
    return QStringLiteral("未知错误");
}

bool TcmSocket::wsa_startup() {
    return true;
}

bool TcmSocket::isValidIP(const QString& text) {
    in_addr address{};
    return text.size() >= 7 && ::inet_pton(AF_INET, text.toLatin1().constData(), &address) == 1 &&
           address.s_addr != AllOnes;
}

std::uint32_t TcmSocket::IP_UnicastToBroadcast(std::uint32_t ip) {
    const std::uint32_t host = ntohl(ip);
    const std::uint32_t first = host >> 24;
    std::uint32_t hostBits = 0;
    if (first >= 192 && first <= 223)
        hostBits = 0x000000FF;
    else if (first >= 128 && first <= 191)
        hostBits = 0x0000FFFF;
    else if (first >= 1 && first <= 127)
        hostBits = 0x00FFFFFF;
    return htonl(host | hostBits);
}

std::uint32_t TcmSocket::get_ip_data(const QString& name, TcmCastMode mode) {
    std::uint32_t address = 0;
    if (isValidIP(name)) {
        in_addr parsed{};
        ::inet_pton(AF_INET, name.toLatin1().constData(), &parsed);
        address = parsed.s_addr;
    } else {
        const std::vector<std::uint32_t> found =
            name.isEmpty() ? HostAddresses::localIPv4Addresses()
                           : HostAddresses::resolveIPv4(name.toStdString());
        if (!found.empty()) address = found.front();
    }
    return mode == cmBroadcast ? IP_UnicastToBroadcast(address) : address;
}

QString TcmSocket::BroadcastIP(const QString& name) {
    return HostIP(get_ip_data(name, cmBroadcast));
}

QString TcmSocket::HostName() {
    return QString::fromStdString(HostAddresses::hostName());
}

QString TcmSocket::HostIP(std::uint32_t ip) {
    if (ip == AllOnes) {
        const std::vector<std::uint32_t> local = HostAddresses::localIPv4Addresses();
        if (local.empty()) return {};
        ip = local.front();
    }
    in_addr address{};
    address.s_addr = ip;
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return QString::fromLatin1(text);
}
