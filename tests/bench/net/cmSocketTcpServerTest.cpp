// A TCP server with plain clients: the peer registry and its events.
#include "tests/bench/net/SocketTestSupport.h"
#include "tests/support/TestWait.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>

namespace {

class cmSocketTcpServer : public ::testing::Test {
protected:
    void SetUp() override {
        m_socket.SetProtocol(cmTcpServer);
        m_socket.SetLocalHost(QStringLiteral("127.0.0.1"));
        m_socket.SetActive(true);
        ASSERT_TRUE(m_socket.Active());
    }

    // A plain client, once the server registered it.
    PlainSocket join() {
        const std::size_t before = m_events.accepted.size();
        PlainSocket client =
            PlainSocket::connectTo(static_cast<std::uint16_t>(m_socket.LocalPort()));
        EXPECT_TRUE(waitUntil([&] { return m_events.accepted.size() > before; }));
        return client;
    }
    std::vector<int> registeredSockets() {
        std::vector<int> sockets;
        cm_Server_Connections& peers = m_socket.connections();
        for (peers.Current = peers.First; peers.Current; peers.Current = peers.Current->Next)
            sockets.push_back(peers.Current->Socket);
        return sockets;
    }

    TcmSocket m_socket;
    SocketEvents m_events{m_socket};
};

TEST_F(cmSocketTcpServer, RegistersPeersInOrderAndSendsToOneOrAll) {
    PlainSocket first = join();
    PlainSocket second = join();
    EXPECT_TRUE(m_events.hasError(0, QStringLiteral("Message:FD_ACCEPT")));

    const cm_Server_Connections& peers = m_socket.connections();
    ASSERT_EQ(peers.Count, 2);
    EXPECT_EQ(peers.First->Port, first.localPort());
    EXPECT_EQ(peers.First->IP, loopbackAddress());
    EXPECT_EQ(peers.Last->Port, second.localPort());
    EXPECT_EQ(peers.First->Next, peers.Last);
    ASSERT_EQ(m_events.accepted.size(), 2u);
    EXPECT_EQ(m_events.accepted[0].socket, peers.First->Socket);
    EXPECT_EQ(m_events.accepted[0].port, first.localPort());
    EXPECT_EQ(m_events.accepted[1].socket, peers.Last->Socket);

    EXPECT_TRUE(m_socket.SendTo(peers.First->Socket, "one|", 0));
    EXPECT_EQ(first.readExactly(4), QByteArray("one|"));
    for (int socket : registeredSockets())
        EXPECT_TRUE(m_socket.SendTo(socket, "all|", 0));
    EXPECT_EQ(first.readExactly(4), QByteArray("all|"));
    EXPECT_EQ(second.readExactly(4), QByteArray("all|")); // and nothing of "one|" before it

    // Data from a peer names that peer.
    second.writeAll("from second");
    ASSERT_TRUE(waitUntil([&] { return m_events.receivedBytes() == "from second"; }));
    EXPECT_EQ(m_events.received.back().socket, peers.Last->Socket);
    EXPECT_EQ(m_events.received.back().port, second.localPort());
}

TEST_F(cmSocketTcpServer, LeavingPeerIsDiscardedAndClosedAloneAndCloseEndsTheRest) {
    PlainSocket first = join();
    PlainSocket second = join();
    PlainSocket third = join();
    const std::vector<int> sockets = registeredSockets();
    const std::uint16_t secondPort = second.localPort();

    second.close();
    ASSERT_TRUE(waitUntil([&] { return !m_events.discarded.empty(); }));
    ASSERT_EQ(m_events.discarded.size(), 1u);
    EXPECT_EQ(m_events.discarded[0].socket, sockets[1]);
    EXPECT_EQ(m_events.discarded[0].port, secondPort);
    EXPECT_EQ(m_events.discarded[0].ip, loopbackAddress());
    EXPECT_EQ(registeredSockets(), (std::vector<int>{sockets[0], sockets[2]}));
    EXPECT_EQ(m_socket.connections().Count, 2);
    EXPECT_EQ(m_socket.connections().Last->Socket, sockets[2]);
    // Its socket is gone: sending there is refused rather than written to whatever reuses it.
    EXPECT_FALSE(m_socket.SendTo(sockets[1], "x", 1));

    const int changes = m_events.activeChanges;
    m_socket.SetActive(false);
    EXPECT_EQ(m_events.activeChanges, changes + 1);
    EXPECT_EQ(m_events.discarded.size(), 1u);
    EXPECT_EQ(m_socket.connections().Count, 0);
    EXPECT_EQ(m_socket.connections().First, nullptr);
    EXPECT_EQ(first.readExactly(1), QByteArray()); // both remaining peers see the end
    EXPECT_EQ(third.readExactly(1), QByteArray());
}

TEST_F(cmSocketTcpServer, PeersComingAndGoingLeaveNoDescriptorBehind) {
    pumpEvents(20);
    const int baseline = openDescriptorCount();
    for (int i = 0; i < 50; ++i) {
        PlainSocket::connectTo(static_cast<std::uint16_t>(m_socket.LocalPort())).close();
        ASSERT_TRUE(waitUntil([&] { return m_events.discarded.size() == std::size_t(i + 1); }));
    }
    EXPECT_EQ(m_events.accepted.size(), 50u);
    EXPECT_EQ(m_socket.connections().Count, 0);
    EXPECT_TRUE(waitUntil([&] { return openDescriptorCount() <= baseline; }))
        << openDescriptorCount() << " open, " << baseline << " before";
}

TEST_F(cmSocketTcpServer, OutOfDescriptorsAcceptRetriesInsteadOfSpinning) {
    PlainSocket client(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    const int highest = ::fcntl(client.fd(), F_DUPFD_CLOEXEC, 0); // the lowest free descriptor
    ::close(highest);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(highest);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);

    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_addr.s_addr = loopbackAddress();
    server.sin_port = htons(static_cast<std::uint16_t>(m_socket.LocalPort()));
    ::connect(client.fd(), reinterpret_cast<const sockaddr*>(&server), sizeof server);
    const QString shortage = QStringLiteral("accept() failed : ") + TcmSocket::MapErrorCode(10024);
    const bool reported = waitUntil([&] { return m_events.countErrors(shortage) > 0; }, 2000);
    pumpEvents(300);
    const int reports = m_events.countErrors(shortage);
    ::setrlimit(RLIMIT_NOFILE, &saved);

    EXPECT_TRUE(reported);
    EXPECT_LT(reports, 20);
    EXPECT_TRUE(waitUntil([&] { return m_events.accepted.size() == 1; }));
}

} // namespace
