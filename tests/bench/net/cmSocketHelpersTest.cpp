// The component's static helpers and its error numbers and texts.
#include "bench/net/cmSocket.h"
#include "platform/HostAddresses.h"
#include "platform/WinsockErrors.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>

namespace {

std::uint32_t ip(const char* dotted) {
    in_addr address{};
    inet_pton(AF_INET, dotted, &address);
    return address.s_addr;
}

TEST(cmSocketHelpers, isValidIP) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"1.2.3.4", true},    {"192.168.1.20", true},     {"0.0.0.0", true},
        {"1.2.3", false},     {"255.255.255.255", false}, {"", false},
        {"256.1.1.1", false}, {"a.b.c.d", false},         {"1.2.3.4.5", false},
        {"localhost", false}, {"1.2.3.4 ", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TcmSocket::isValidIP(QString::fromLatin1(c.text)), c.valid) << c.text;
    EXPECT_FALSE(TcmSocket::isValidIP(QString()));
}

TEST(cmSocketHelpers, UnicastToBroadcastByClass) {
    const struct {
        const char* unicast;
        const char* broadcast;
    } cases[] = {
        {"192.168.1.20", "192.168.1.255"},
        {"223.1.2.3", "223.1.2.255"},
        {"172.16.5.9", "172.16.255.255"},
        {"128.0.0.1", "128.0.255.255"},
        {"10.1.2.3", "10.255.255.255"},
        {"127.0.0.1", "127.255.255.255"},
        {"0.1.2.3", "0.1.2.3"},
        {"224.0.0.1", "224.0.0.1"},
        {"255.255.255.255", "255.255.255.255"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TcmSocket::IP_UnicastToBroadcast(ip(c.unicast)), ip(c.broadcast)) << c.unicast;
    EXPECT_EQ(TcmSocket::BroadcastIP(QStringLiteral("172.16.5.9")),
              QStringLiteral("172.16.255.255"));
}

TEST(cmSocketHelpers, HostIPAndAddressLookups) {
    EXPECT_EQ(TcmSocket::HostIP(ip("127.0.0.1")), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(TcmSocket::HostIP(0), QStringLiteral("0.0.0.0"));
    EXPECT_EQ(TcmSocket::get_ip_data(QStringLiteral("10.1.2.3"), cmUnicast), ip("10.1.2.3"));
    EXPECT_EQ(TcmSocket::get_ip_data(QStringLiteral("localhost"), cmUnicast), ip("127.0.0.1"));
    EXPECT_EQ(TcmSocket::get_ip_data(QStringLiteral("no-such-host.invalid"), cmUnicast), 0u);

    // All ones is this machine, never the text 255.255.255.255; its real address leads when
    // it has one, even where the host name resolves only to loopback.
    const std::vector<std::uint32_t> local = HostAddresses::localIPv4Addresses();
    const QString own = TcmSocket::HostIP(0xFFFFFFFF);
    if (local.empty()) {
        EXPECT_TRUE(own.isEmpty());
        return;
    }
    EXPECT_EQ(own, TcmSocket::HostIP(local.front()));
    EXPECT_EQ(TcmSocket::get_ip_data(QString(), cmUnicast), local.front());
    const bool hasRealAddress = std::any_of(
        local.begin(), local.end(), [](std::uint32_t a) { return (ntohl(a) >> 24) != 127; });
    EXPECT_EQ(!own.startsWith(QLatin1String("127.")), hasRealAddress) << own.toStdString();
}

TEST(cmSocketHelpers, ErrnoBecomesWinsockNumber) {
    const struct {
        int err;
        int winsock;
    } cases[] = {
        {0, 0},
        {EWOULDBLOCK, 10035},
        {EINPROGRESS, 10035},
        {EALREADY, 10037},
        {ENOTSOCK, 10038},
        {EBADF, 10038},
        {EMSGSIZE, 10040},
        {EACCES, 10013},
        {EPERM, 10013},
        {EINVAL, 10022},
        {EMFILE, 10024},
        {EADDRINUSE, 10048},
        {EADDRNOTAVAIL, 10049},
        {ENETDOWN, 10050},
        {ENETUNREACH, 10051},
        {ECONNABORTED, 10053},
        {ECONNRESET, 10054},
        {ENOBUFS, 10055},
        {EISCONN, 10056},
        {ENOTCONN, 10057},
        {EPIPE, 10058},
        {ETIMEDOUT, 10060},
        {ECONNREFUSED, 10061},
        {EHOSTDOWN, 10064},
        {EHOSTUNREACH, 10065},
        {ENOENT, ENOENT}, // no Winsock counterpart: unchanged
    };
    for (const auto& c : cases)
        EXPECT_EQ(winsock::fromErrno(c.err), c.winsock) << c.err;
}

TEST(cmSocketHelpers, ErrorTexts) {
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {10035, "The socket is marked as nonblocking and the requested operation would "
                "block,and cannot be completed immediately. "},
        {10061, "The attempt to connect was forcefully rejected.(连接被拒绝)"},
        {10039, "需要目标地址"},
        {10058, "he socket has been shut down; it is not possible to send on a socket after "
                "shutdown has been invoked with how set to SD_SEND or SD_BOTH."},
        {10093, "A successful WSAStartup must occur before using this function."},
        {10042, "未知错误"},
        {0, "未知错误"},
        {1035, "未知错误"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TcmSocket::MapErrorCode(c.code), QString::fromUtf8(c.text)) << c.code;
}

} // namespace
