#include "redirector/session/SocketControl.h"
#include "redirector/session/SocketArray.h"
#include "tests/redirector/session/SessionTestSupport.h"
#include "tests/support/TestWait.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

#include <sys/socket.h>

namespace {

const QString Loopback = QStringLiteral("127.0.0.1");

// A TCP client of `socket` connected to `listener`, with the accepted far end returned.
Endpoint connectClient(SocketControl& socket, Endpoint& listener) {
    socket.setRemoteHost(Loopback);
    socket.setRemotePort(listener.localPort());
    EXPECT_TRUE(socket.connectToHost()) << socket.errorDescription().toStdString();
    EXPECT_TRUE(waitUntil([&] { return socket.state() == SocketControl::StateConnected; }));
    return listener.acceptConnection();
}

TEST(SocketControlTest, TcpClientConnectsExchangesDataAndSeesThePeerClose) {
    Endpoint listener = Endpoint::tcpListener();
    SocketControl socket(4);
    QSignalSpy connects(&socket, &SocketControl::Connect);
    QSignalSpy arrivals(&socket, &SocketControl::DataArrival);
    QSignalSpy closes(&socket, &SocketControl::Close);
    QSignalSpy errors(&socket, &SocketControl::Error);
    socket.setRemoteHost(Loopback);
    socket.setRemotePort(listener.localPort());
    ASSERT_TRUE(socket.connectToHost());
    EXPECT_EQ(socket.state(), SocketControl::StateConnecting);
    ASSERT_TRUE(waitUntil([&] { return !connects.isEmpty(); }));
    EXPECT_EQ(connects.front().at(0).toInt(), 4);
    EXPECT_EQ(socket.state(), SocketControl::StateConnected);
    EXPECT_EQ(socket.remoteHostIP(), Loopback);
    EXPECT_GT(socket.localPort(), 0);
    Endpoint peer = listener.acceptConnection();

    ASSERT_TRUE(socket.sendData("to the peer"));
    EXPECT_EQ(peer.receive(11), QByteArray("to the peer"));
    ASSERT_TRUE(peer.send("to the session"));
    QByteArray received;
    ASSERT_TRUE(waitUntil([&] {
        received += socket.getData();
        return received.size() >= 14;
    }));
    EXPECT_EQ(received, QByteArray("to the session"));
    ASSERT_FALSE(arrivals.isEmpty());
    EXPECT_EQ(arrivals.front().at(0).toInt(), 4);
    EXPECT_GT(arrivals.front().at(1).toInt(), 0);

    peer.close();
    ASSERT_TRUE(waitUntil([&] { return !closes.isEmpty(); }));
    EXPECT_EQ(closes.front().at(0).toInt(), 4);
    EXPECT_EQ(socket.state(), SocketControl::StatePeerClosing);
    socket.close();
    EXPECT_EQ(socket.state(), SocketControl::StateClosed);
    pumpEvents(50);
    EXPECT_EQ(closes.size(), 1);
    EXPECT_TRUE(errors.isEmpty());
}

TEST(SocketControlTest, CloseFromTheCallerRaisesNoCloseEvent) {
    Endpoint listener = Endpoint::tcpListener();
    SocketControl socket;
    QSignalSpy closes(&socket, &SocketControl::Close);
    Endpoint peer = connectClient(socket, listener);
    socket.close();
    EXPECT_TRUE(peer.waitForEnd());
    pumpEvents(50);
    EXPECT_TRUE(closes.isEmpty());
    EXPECT_EQ(socket.state(), SocketControl::StateClosed);
}

TEST(SocketControlTest, FailedConnectionsArriveAsErrorEvents) {
    SocketControl socket(2);
    QSignalSpy errors(&socket, &SocketControl::Error);
    QSignalSpy closes(&socket, &SocketControl::Close);
    socket.setRemoteHost(Loopback);
    socket.setRemotePort(closedTcpPort());
    ASSERT_TRUE(socket.connectToHost()); // under way; the refusal comes as an event
    ASSERT_TRUE(waitUntil([&] { return !errors.isEmpty(); }));
    EXPECT_EQ(errors.front().at(0).toInt(), 2);
    EXPECT_EQ(errors.front().at(1).value<qint16>(), 10061);
    EXPECT_EQ(errors.front().at(2).toString(),
              QStringLiteral("The connection was refused by the remote host"));
    EXPECT_EQ(socket.state(), SocketControl::StateError);
    EXPECT_TRUE(closes.isEmpty());

    // A reset by the peer ends the connection the same way.
    Endpoint listener = Endpoint::tcpListener();
    socket.close();
    Endpoint peer = connectClient(socket, listener);
    const linger abortive{1, 0};
    ::setsockopt(peer.fd(), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    peer.close();
    ASSERT_TRUE(waitUntil([&] { return errors.size() == 2; }));
    EXPECT_EQ(errors.back().at(1).value<qint16>(), 10054);
    EXPECT_EQ(socket.state(), SocketControl::StateError);
    EXPECT_TRUE(closes.isEmpty());
}

TEST(SocketControlTest, RefusesCallsAtOnceWithWinsockNumbers) {
    Endpoint busy = Endpoint::tcpListener();
    Endpoint listener = Endpoint::tcpListener();
    SocketControl connected;
    Endpoint peer = connectClient(connected, listener);
    SocketControl udp;
    ASSERT_TRUE(udp.setProtocol(SocketControl::Udp));
    SocketControl fresh;

    const struct {
        const char* what;
        std::function<bool()> call;
        SocketControl& socket;
        int number;
        const char* description;
    } cases[] = {
        {"connect without a host", [&] { return fresh.connectToHost(); }, fresh, 10039,
         "A destination address is required"},
        {"connect while connected", [&] { return connected.connectToHost(); }, connected, 10056,
         "The socket is already connected"},
        {"send before connecting", [&] { return fresh.sendData("x"); }, fresh, 10057,
         "The socket is not connected"},
        {"listen on UDP", [&] { return udp.listen(); }, udp, 10045,
         "Operation not supported on this socket"},
        {"UDP send without a destination", [&] { return udp.sendData("x"); }, udp, 10039,
         "A destination address is required"},
        {"bind a listening port",
         [&] { return fresh.bind(busy.localPort(), Loopback) && fresh.listen(); }, fresh, 10048,
         "Address in use"},
        {"bind beyond 65535", [&] { return fresh.bind(65536); }, fresh, 10022, "Invalid argument"},
        {"protocol while open", [&] { return connected.setProtocol(SocketControl::Udp); },
         connected, 10022, "Invalid argument"},
        {"accept an unknown request", [&] { return fresh.accept(busy.fd()); }, fresh, 10022,
         "Invalid argument"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.call()) << c.what;
        EXPECT_EQ(c.socket.errorNumber(), c.number) << c.what;
        EXPECT_EQ(c.socket.errorDescription(), QString::fromLatin1(c.description)) << c.what;
    }
    fresh.setRemoteHost(Loopback);
    fresh.setRemotePort(65536);
    EXPECT_FALSE(fresh.connectToHost());
    EXPECT_EQ(fresh.errorNumber(), 10022);
}

TEST(SocketControlTest, ListenerOffersConnectionsThatLoadedElementsTakeOver) {
    SocketArray sockets;
    ASSERT_TRUE(sockets[0].bind(0, Loopback));
    ASSERT_TRUE(sockets[0].listen());
    EXPECT_EQ(sockets[0].state(), SocketControl::StateListening);
    const auto port = static_cast<std::uint16_t>(sockets[0].localPort());
    ASSERT_GT(port, 0);

    // The first two requests are taken by new elements, the third is left alone.
    QList<int> offeredBy;
    QObject::connect(&sockets, &SocketArray::ConnectionRequest, [&](int index, int request) {
        offeredBy << index;
        if (offeredBy.size() <= 2) {
            SocketControl& element = sockets.load();
            element.setLocalPort(sockets[0].localPort());
            EXPECT_TRUE(element.accept(request));
        }
    });
    QSignalSpy arrivals(&sockets, &SocketArray::DataArrival);
    Endpoint first = Endpoint::tcpConnect(port);
    ASSERT_TRUE(waitUntil([&] { return sockets.count() == 2; }));
    Endpoint second = Endpoint::tcpConnect(port);
    ASSERT_TRUE(waitUntil([&] { return sockets.count() == 3; }));
    for (int i : {1, 2}) {
        EXPECT_EQ(sockets[i].state(), SocketControl::StateConnected);
        EXPECT_EQ(sockets[i].remoteHostIP(), Loopback);
        EXPECT_EQ(sockets[i].localPort(), port);
    }
    ASSERT_TRUE(second.send("from the second"));
    ASSERT_TRUE(waitUntil([&] { return !arrivals.isEmpty(); }));
    EXPECT_EQ(arrivals.front().at(0).toInt(), 2); // raised with the element's index
    ASSERT_TRUE(sockets[1].sendData("to the first"));
    EXPECT_EQ(first.receive(12), QByteArray("to the first"));

    Endpoint third = Endpoint::tcpConnect(port);
    ASSERT_TRUE(waitUntil([&] { return offeredBy.size() == 3; }));
    EXPECT_EQ(offeredBy, (QList<int>{0, 0, 0}));
    EXPECT_TRUE(third.waitForEnd()); // not taken over: closed again
    EXPECT_EQ(sockets.count(), 3);
}

TEST(SocketControlTest, SendsNeverCutWhatTheyAreGivenAlsoAcrossClose) {
    Endpoint listener = Endpoint::tcpListener();
    SocketControl socket;
    Endpoint peer = connectClient(socket, listener);
    const QByteArray data = patternBytes(8 * 1024 * 1024);
    ASSERT_TRUE(socket.sendData(data)); // far more than the socket takes at once
    socket.close();
    const QByteArray arrived = peer.receive(data.size(), 20000);
    EXPECT_EQ(arrived.size(), data.size());
    EXPECT_TRUE(arrived == data);
    EXPECT_TRUE(peer.waitForEnd());
}

TEST(SocketControlTest, UdpAnswersWhoeverSpokeLast) {
    SocketControl server;
    ASSERT_TRUE(server.setProtocol(SocketControl::Udp));
    ASSERT_TRUE(server.bind(0, Loopback));
    EXPECT_EQ(server.state(), SocketControl::StateOpen);
    const auto port = static_cast<std::uint16_t>(server.localPort());
    QSignalSpy arrivals(&server, &SocketControl::DataArrival);
    Endpoint a = Endpoint::udpSocket();
    Endpoint b = Endpoint::udpSocket();

    for (Endpoint* speaker : {&a, &b, &a}) {
        const QByteArray word = QByteArray::number(speaker->localPort());
        const qsizetype before = arrivals.size();
        ASSERT_TRUE(speaker->sendTo(word, port));
        ASSERT_TRUE(waitUntil([&] { return arrivals.size() > before; }));
        EXPECT_EQ(arrivals.back().at(1).toInt(), word.size());
        EXPECT_EQ(server.getData(), word);
        EXPECT_EQ(server.remoteHostIP(), Loopback);
        EXPECT_EQ(server.remotePort(), speaker->localPort());
        ASSERT_TRUE(server.sendData("reply to " + word));
        std::uint16_t from = 0;
        EXPECT_EQ(speaker->receiveDatagram(&from), "reply to " + word);
        EXPECT_EQ(from, port);
    }
    EXPECT_TRUE(a.receiveFor(50).isEmpty());
    EXPECT_TRUE(b.receiveFor(50).isEmpty());

    // Datagrams stay apart: each getData takes one.
    ASSERT_TRUE(a.sendTo("one", port));
    ASSERT_TRUE(a.sendTo("two", port));
    ASSERT_TRUE(waitUntil([&] { return server.bytesReceived() == 6; }));
    EXPECT_EQ(server.getData(), QByteArray("one"));
    EXPECT_EQ(server.getData(), QByteArray("two"));
}

TEST(SocketControlTest, UdpClientSendsFromItsBoundPort) {
    Endpoint peer = Endpoint::udpSocket();
    SocketControl client;
    ASSERT_TRUE(client.setProtocol(SocketControl::Udp));
    client.setRemoteHost(Loopback);
    client.setRemotePort(peer.localPort());
    ASSERT_TRUE(client.sendData("unbound")); // binds a port of the system's on the way
    EXPECT_EQ(client.state(), SocketControl::StateOpen);
    std::uint16_t from = 0;
    EXPECT_EQ(peer.receiveDatagram(&from), QByteArray("unbound"));
    EXPECT_EQ(from, client.localPort());
    client.close();
    EXPECT_EQ(client.state(), SocketControl::StateClosed);
}

} // namespace
