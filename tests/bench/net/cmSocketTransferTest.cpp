// Moving data over a connected TCP client: receive chunking, the receive buffer, sends that
// outrun the peer, urgent data, and closing with data still waiting.
#include "tests/bench/net/SocketTestSupport.h"
#include "tests/support/TestWait.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

class cmSocketTransfer : public ::testing::Test {
protected:
    void SetUp() override {
        m_socket.SetProtocol(cmTcpClient);
        m_socket.SetLocalHost(QStringLiteral("127.0.0.1"));
        m_socket.SetRemoteHost(QStringLiteral("127.0.0.1"));
        m_socket.SetRemotePort(m_listener.localPort());
    }
    void connect() {
        m_socket.SetActive(true);
        ASSERT_TRUE(waitUntil([&] { return m_socket.Active(); }));
        m_peer = m_listener.accept();
        m_events.errors.clear();
    }
    // Small socket buffers on both ends, so that a few kilobytes fill them.
    void connectNarrow() {
        const int small = 4096;
        ::setsockopt(m_listener.fd(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        connect();
        ::setsockopt(m_socket.Socket(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    }
    // Sends one piece and waits until it arrived whole, so that it arrives as one reception.
    void deliver(const QByteArray& piece) {
        const QByteArray before = m_events.receivedBytes();
        m_peer.writeAll(piece);
        ASSERT_TRUE(waitUntil([&] { return m_events.receivedBytes() == before + piece; }));
    }

    PlainSocket m_listener = PlainSocket::listener();
    TcmSocket m_socket;
    SocketEvents m_events{m_socket};
    PlainSocket m_peer;
};

TEST_F(cmSocketTransfer, BurstLargerThanTheBufferArrivesInSeveralReceptions) {
    m_socket.SetBufferSize(1000);
    connect();
    const QByteArray burst = patternBytes(10000);
    m_peer.writeAll(burst);
    ASSERT_TRUE(waitUntil([&] { return m_events.receivedBytes().size() >= burst.size(); }));
    EXPECT_EQ(m_events.receivedBytes(), burst);
    EXPECT_GE(m_events.received.size(), 10u);
    for (const SocketEvents::Chunk& chunk : m_events.received) {
        EXPECT_LE(chunk.data.size(), 1000);
        EXPECT_TRUE(chunk.terminated);
    }
    EXPECT_TRUE(m_events.errors.empty()); // draining the socket to the end is no failure
}

TEST_F(cmSocketTransfer, RelayDumpAccumulatesUntilTheBufferIsFull) {
    m_socket.SetBufferSize(10);
    m_socket.SetRelayDump(true);
    connect();
    deliver("abcd");
    deliver("efgh");
    const std::uint8_t* start = m_events.received[0].at;
    EXPECT_EQ(m_events.received[1].at, start + 4);
    EXPECT_EQ(m_socket.BufOffset(), 8);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(start), 8), QByteArray("abcdefgh"));

    // Two bytes fill the buffer; the rest starts over at its beginning.
    deliver("ijkl");
    EXPECT_EQ(m_events.received[2].data, QByteArray("ij"));
    EXPECT_EQ(m_events.received[2].at, start + 8);
    EXPECT_EQ(m_events.received[3].data, QByteArray("kl"));
    EXPECT_EQ(m_events.received[3].at, start);
    EXPECT_EQ(m_socket.BufOffset(), 2);

    m_socket.SetRelayDump(false);
    deliver("mnop");
    deliver("qrst");
    EXPECT_EQ(m_events.received[4].at, start);
    EXPECT_EQ(m_events.received[5].at, start);
    EXPECT_EQ(m_socket.BufOffset(), 4);
}

TEST_F(cmSocketTransfer, SendsLargerThanTheSocketBuffersReachASlowReaderWhole) {
    connectNarrow();

    // Groups as the send loops give them, far more than the socket takes at once.
    const QByteArray data = patternBytes(4 * 1024 * 1024);
    const int group = 4098;
    for (int offset = 0; offset < data.size(); offset += group)
        ASSERT_TRUE(m_socket.Send(data.constData() + offset,
                                  std::min<int>(group, static_cast<int>(data.size()) - offset)));
    EXPECT_GT(m_socket.pendingSendBytes(m_socket.Socket()), 0u);
    EXPECT_EQ(m_socket.totalPendingSendBytes(), m_socket.pendingSendBytes(m_socket.Socket()));

    EXPECT_EQ(m_peer.readExactly(static_cast<int>(data.size()), 30000), data);
    ASSERT_TRUE(waitUntil([&] { return !m_events.drained.empty(); }));
    EXPECT_EQ(m_events.drained.back(), m_socket.Socket());
    EXPECT_EQ(m_socket.pendingSendBytes(m_socket.Socket()), 0u);
    EXPECT_TRUE(m_events.errors.empty());
}

TEST_F(cmSocketTransfer, CloseStillDeliversWhatWaitsThenEndsTheConnection) {
    connectNarrow();
    const QByteArray data = patternBytes(2 * 1024 * 1024, 3);
    ASSERT_TRUE(m_socket.Send(data.constData(), static_cast<int>(data.size())));
    ASSERT_GT(m_socket.pendingSendBytes(m_socket.Socket()), 0u);
    m_socket.SetActive(false);
    EXPECT_EQ(m_socket.Socket(), -1);

    EXPECT_EQ(m_peer.readExactly(static_cast<int>(data.size()), 30000), data);
    EXPECT_EQ(m_peer.readExactly(1), QByteArray()); // then the orderly end
}

TEST_F(cmSocketTransfer, UrgentDataIsAnnouncedAndTheStreamGoesOn) {
    connect();
    ::send(m_peer.fd(), "!", 1, MSG_OOB);
    ASSERT_TRUE(waitUntil([&] { return m_events.hasError(0, QStringLiteral("Message:FD_OOB")); }));
    deliver("after");
    EXPECT_EQ(m_events.countErrors(QStringLiteral("Message:FD_OOB")), 1);
}

TEST_F(cmSocketTransfer, FailingCloseIsReportedOnce) {
    connect();
    ::close(m_socket.Socket()); // behind its back: closing it again fails
    m_socket.SetActive(false);
    EXPECT_EQ(m_socket.Socket(), -1);
    EXPECT_FALSE(m_socket.Active());
    ASSERT_EQ(m_events.errors.size(), 1u);
    EXPECT_EQ(m_events.errors[0].code, 10038);
    EXPECT_EQ(m_events.errors[0].text,
              QStringLiteral("closesocket() failed : ") + TcmSocket::MapErrorCode(10038));
    EXPECT_EQ(m_events.activeChanges, 2); // opened, closed
}

TEST_F(cmSocketTransfer, NeverWritesToADescriptorItDoesNotOwn) {
    connect();
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK), 0);
    EXPECT_FALSE(m_socket.SendTo(pipeEnds[1], "stray", 5));
    char byte;
    EXPECT_EQ(::read(pipeEnds[0], &byte, 1), -1);
    EXPECT_EQ(m_events.errors.back().code, 10038);
    EXPECT_EQ(m_events.errors.back().text,
              QStringLiteral("send() failed : ") + TcmSocket::MapErrorCode(10038));
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}

} // namespace
