// A TCP client against a plain listening socket.
#include "tests/bench/net/SocketTestSupport.h"
#include "tests/support/TestWait.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>

namespace {

const QString WouldBlock = QStringLiteral("connect() failed : ") + TcmSocket::MapErrorCode(10035);

class cmSocketTcpClient : public ::testing::Test {
protected:
    void SetUp() override {
        // As the network pane sets a client up: the local end is the machine's own address.
        m_socket.SetProtocol(cmTcpClient);
        m_socket.SetLocalHost(QStringLiteral("0"));
        m_socket.SetLocalPort(0);
        m_socket.SetRemoteHost(QStringLiteral("127.0.0.1"));
    }

    TcmSocket m_socket;
    SocketEvents m_events{m_socket};
};

TEST_F(cmSocketTcpClient, BecomesActiveOnlyWhenTheConnectionCompletes) {
    PlainSocket listener = PlainSocket::listener();
    m_socket.SetRemotePort(listener.localPort());
    m_socket.SetActive(true);

    EXPECT_FALSE(m_socket.Active());
    EXPECT_EQ(m_events.activeChanges, 0);
    ASSERT_EQ(m_events.errors.size(), 1u);
    EXPECT_EQ(m_events.errors[0].code, 10035);
    EXPECT_EQ(m_events.errors[0].text, WouldBlock);

    ASSERT_TRUE(waitUntil([&] { return m_socket.Active(); }));
    EXPECT_EQ(m_events.activeChanges, 1);
    EXPECT_TRUE(m_events.hasError(0, QStringLiteral("Message:FD_CONNECT")));

    // The local end now reads as the connection's own, as the accepted peer sees it.
    PlainSocket peer = listener.accept();
    sockaddr_in seen{};
    socklen_t length = sizeof seen;
    ::getpeername(peer.fd(), reinterpret_cast<sockaddr*>(&seen), &length);
    EXPECT_EQ(m_socket.LocalPort(), ntohs(seen.sin_port));
    EXPECT_EQ(m_socket.LocalHost(), TcmSocket::HostIP(seen.sin_addr.s_addr));

    EXPECT_TRUE(m_socket.Send("ping", 0));
    EXPECT_EQ(peer.readExactly(4), QByteArray("ping"));
    peer.writeAll("pong");
    ASSERT_TRUE(waitUntil([&] { return m_events.receivedBytes() == "pong"; }));
    EXPECT_EQ(m_events.received.front().port, listener.localPort());
    EXPECT_EQ(m_events.received.front().ip, loopbackAddress());

    // The server's orderly end closes the client.
    peer.close();
    ASSERT_TRUE(waitUntil([&] { return !m_socket.Active(); }));
    EXPECT_EQ(m_socket.Socket(), -1);
    EXPECT_EQ(m_events.activeChanges, 2);
}

TEST_F(cmSocketTcpClient, RefusedConnectionIsReportedAndClosesTheAttempt) {
    const std::uint16_t port = closedPort();
    m_socket.SetRemotePort(port);
    m_socket.SetActive(true);
    ASSERT_TRUE(waitUntil([&] { return m_socket.Socket() == -1; }));

    ASSERT_FALSE(m_events.errors.empty());
    EXPECT_EQ(m_events.errors.back().code, 10061);
    EXPECT_EQ(m_events.errors.back().text,
              QStringLiteral("connect() failed : The attempt to connect was forcefully "
                             "rejected.(连接被拒绝)"));
    EXPECT_FALSE(m_socket.Active());
    EXPECT_EQ(m_events.activeChanges, 1); // the pane goes back to its closed look
    for (const SocketEvents::Error& error : m_events.errors)
        EXPECT_NE(error.text.left(4), QStringLiteral("1035"));

    // The next attempt starts afresh and succeeds once someone listens.
    PlainSocket listener = PlainSocket::listener();
    m_socket.SetRemotePort(listener.localPort());
    m_socket.SetActive(true);
    EXPECT_TRUE(waitUntil([&] { return m_socket.Active(); }));
}

TEST_F(cmSocketTcpClient, WithoutARemotePortItBindsAndWaitsQuietly) {
    m_socket.SetRemotePort(0);
    m_socket.SetActive(true);
    EXPECT_NE(m_socket.Socket(), -1);
    pumpEvents(100);
    EXPECT_FALSE(m_socket.Active());
    EXPECT_TRUE(m_events.errors.empty());
    EXPECT_EQ(m_events.activeChanges, 0);
}

TEST_F(cmSocketTcpClient, ResetByThePeerIsReportedAndCloses) {
    PlainSocket listener = PlainSocket::listener();
    m_socket.SetRemotePort(listener.localPort());
    m_socket.SetActive(true);
    ASSERT_TRUE(waitUntil([&] { return m_socket.Active(); }));
    PlainSocket peer = listener.accept();
    const linger abortive{1, 0};
    ::setsockopt(peer.fd(), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    peer.close();

    ASSERT_TRUE(waitUntil([&] { return !m_socket.Active(); }));
    EXPECT_EQ(m_socket.Socket(), -1);
    EXPECT_TRUE(m_events.hasError(10054, QStringLiteral("recvfrom() failed : ") +
                                             TcmSocket::MapErrorCode(10054)));
}

} // namespace
