// A UDP endpoint against a plain datagram socket.
#include "tests/bench/net/SocketTestSupport.h"
#include "tests/support/TestWait.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>

namespace {

class cmSocketUdp : public ::testing::Test {
protected:
    void SetUp() override {
        m_socket.SetLocalHost(QStringLiteral("127.0.0.1"));
        m_socket.SetRemoteHost(QStringLiteral("0"));
    }

    void open() {
        m_socket.SetActive(true);
        ASSERT_TRUE(m_socket.Active());
    }
    void sendToSocket(const QByteArray& datagram) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = loopbackAddress();
        to.sin_port = htons(static_cast<std::uint16_t>(m_socket.LocalPort()));
        ::sendto(m_peer.fd(), datagram.constData(), static_cast<std::size_t>(datagram.size()), 0,
                 reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }

    TcmSocket m_socket;
    SocketEvents m_events{m_socket};
    PlainSocket m_peer = PlainSocket::udp();
};

TEST_F(cmSocketUdp, ActiveAtOnceAndExchangesWithAnyPeer) {
    open();
    EXPECT_EQ(m_events.activeChanges, 1);
    EXPECT_NE(m_socket.LocalPort(), 0);
    EXPECT_EQ(m_socket.LocalHost(), QStringLiteral("127.0.0.1"));

    sendToSocket("datagram one");
    ASSERT_TRUE(waitUntil([&] { return !m_events.received.empty(); }));
    const SocketEvents::Chunk& chunk = m_events.received.front();
    EXPECT_EQ(chunk.data, QByteArray("datagram one"));
    EXPECT_TRUE(chunk.terminated);
    EXPECT_EQ(chunk.socket, m_socket.Socket());
    EXPECT_EQ(chunk.port, m_peer.localPort());
    EXPECT_EQ(chunk.ip, loopbackAddress());

    // A length of 0 sends the zero-terminated text; each variant addresses the peer itself.
    EXPECT_TRUE(m_socket.SendTo(loopbackAddress(), m_peer.localPort(), "by address", 0));
    EXPECT_EQ(m_peer.readExactly(10), QByteArray("by address"));
    EXPECT_TRUE(m_socket.SendTo(QStringLiteral("127.0.0.1"), m_peer.localPort(), "by name!!", 7));
    EXPECT_EQ(m_peer.readExactly(7), QByteArray("by name"));
    EXPECT_TRUE(m_events.errors.empty());
}

TEST_F(cmSocketUdp, RemoteHostFixesTheDefaultPeer) {
    m_socket.SetRemoteHost(QStringLiteral("127.0.0.1"));
    m_socket.SetRemotePort(m_peer.localPort());
    open();
    EXPECT_TRUE(m_socket.Send("to the default peer", 0));
    EXPECT_EQ(m_peer.readExactly(19), QByteArray("to the default peer"));
}

TEST_F(cmSocketUdp, DatagramLongerThanTheBufferIsReportedNotLostQuietly) {
    m_socket.SetBufferSize(16);
    open();
    sendToSocket(QByteArray(40, 'x'));
    ASSERT_TRUE(waitUntil([&] { return !m_events.received.empty(); }));
    EXPECT_EQ(m_events.received.front().data, QByteArray(16, 'x'));
    EXPECT_TRUE(m_events.hasError(10040, QStringLiteral("recvfrom() failed : ") +
                                             TcmSocket::MapErrorCode(10040)));
}

TEST_F(cmSocketUdp, RawModesOpenOrReportTheMissingPrivilege) {
    for (TcmSocketProtocol raw : {cmICMP, cmIGMP, cmRawIP}) {
        TcmSocket socket;
        SocketEvents events(socket);
        socket.SetProtocol(raw);
        socket.SetLocalHost(QStringLiteral("127.0.0.1"));
        socket.SetActive(true);
        if (socket.Active()) {
            EXPECT_NE(socket.Socket(), -1);
        } else {
            EXPECT_EQ(socket.Socket(), -1);
            ASSERT_FALSE(events.errors.empty());
            EXPECT_EQ(events.errors.back().code, 10013);
            EXPECT_TRUE(events.errors.back().text.startsWith(QLatin1String("socket() failed : ")));
        }
    }
}

TEST_F(cmSocketUdp, SendsToAClosedEndpointFailWithoutTouchingAnything) {
    EXPECT_FALSE(m_socket.SendTo(loopbackAddress(), m_peer.localPort(), "x", 1));
    EXPECT_FALSE(m_socket.Send("x", 1));
    open();
    EXPECT_FALSE(m_socket.Send(nullptr, 1));
    EXPECT_TRUE(m_events.errors.empty());
}

TEST_F(cmSocketUdp, OccupiedPortIsReportedTwiceAndLeavesTheEndpointIdle) {
    m_socket.SetLocalPort(m_peer.localPort());
    m_socket.SetActive(true);
    EXPECT_FALSE(m_socket.Active());
    EXPECT_EQ(m_socket.Socket(), -1);
    ASSERT_EQ(m_events.errors.size(), 2u);
    EXPECT_EQ(m_events.errors[0].text, QStringLiteral("!!!!!!!!socket closed for error2740"));
    EXPECT_EQ(m_events.errors[0].code, 0);
    EXPECT_EQ(m_events.errors[1].text,
              QStringLiteral("bind() failed : ") + TcmSocket::MapErrorCode(10048));
    EXPECT_EQ(m_events.errors[1].code, 10048);
    EXPECT_EQ(m_events.activeChanges, 1); // fired by the Close of the half-opened endpoint
}

} // namespace
