// The Activate / De-Activate toggle against real transports: a pseudo-terminal as COM3,
// loopback listeners and datagram sockets, virtual ports in the test's port folder.
#include "tests/redirector/session/SessionWindowTest.h"
#include "tests/support/TestWait.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString Loopback = QStringLiteral("127.0.0.1");

class frmDocumentActivationTest : public SessionWindowTest {
protected:
    void SetUp() override {
        SessionWindowTest::SetUp();
        ASSERT_TRUE(m_device.linkAs(dir(), 3));
        m_window->Combo2->setCurrentIndex(3);
    }

    void useClient(const QString& port, const QString& host = Loopback) {
        m_window->IPAddress->setText(host);
        m_window->PortNumber->setText(port);
    }
    void useServer(const QString& port) {
        m_window->TCPOption[1]->setChecked(true);
        m_window->LocalIP->setEditText(Loopback);
        m_window->PortNumber->setText(port);
    }
    void useVirtualPort(int portNumber) {
        m_window->chkVPort->setChecked(true);
        m_window->Combo2->setCurrentIndex(portNumber);
    }
    // Whether another program could take COM3 now.
    static bool serialPortFree() {
        SerialPortControl probe;
        return probe.setPortNumber(3) && probe.setPortOpen(true);
    }
    static bool tcpPortFree(int port) {
        SocketControl probe;
        return probe.bind(port, Loopback) && probe.listen();
    }
    // The controls frozen while the session is active.
    std::vector<QWidget*> frozenControls() const {
        const frmDocument& w = *m_window;
        return {w.Combo2,    w.Combo1[0],  w.Combo1[1], w.Combo1[2],    w.Combo1[3],
                w.Combo1[4], w.Combo1[5],  w.Command2,  w.TCPOption[0], w.TCPOption[1],
                w.IPAddress, w.PortNumber, w.LocalIP,   w.chkVPort,     w.chkUDP};
    }
    void expectInactive() {
        EXPECT_FALSE(m_window->isActive());
        EXPECT_EQ(m_window->Command1->text(), QStringLiteral("Activate"));
        for (QWidget* control : frozenControls())
            EXPECT_EQ(control->isEnabled(),
                      control != m_window->TCPOption[1] || !m_window->LocalAddress.isEmpty());
    }

    PseudoTerminal m_device;
};

TEST_F(frmDocumentActivationTest, TcpClientActivatesAndDeactivates) {
    Endpoint listener = Endpoint::tcpListener();
    useClient(QString::number(listener.localPort()));
    m_window->Command1->click();

    frmDocument& w = *m_window;
    EXPECT_TRUE(w.isActive());
    EXPECT_EQ(w.Command1->text(), QStringLiteral("De-Activate"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("COM3 - Serial to TCP/IP"));
    EXPECT_EQ(comStatus(), QStringLiteral("COM Status: Open"));
    EXPECT_EQ(tcpStatus(), QStringLiteral("TCP/IP Status: Connecting..."));
    for (QWidget* control : frozenControls())
        EXPECT_FALSE(control->isEnabled());
    for (QWidget* control : std::initializer_list<QWidget*>{w.BufferSerData, w.WaitForCr,
                                                            w.txtTimeoutValue, w.Command1})
        EXPECT_TRUE(control->isEnabled());
    EXPECT_EQ(w.ServerMode, 0);
    EXPECT_EQ(w.ComPortNumber, 3);
    EXPECT_EQ(w.MyBuffer.Capacity, 8192);
    EXPECT_EQ(w.SerialOutBuffer.Capacity, 8192);
    EXPECT_EQ(w.MyBuffer.Data.size(), 8192u);
    EXPECT_TRUE(w.MSComm1.isPortOpen());
    EXPECT_EQ(w.MSComm1.inputBufferSize(), 8192);
    EXPECT_EQ(w.MSComm1.outputBufferSize(), 8192);
    EXPECT_FALSE(serialPortFree());
    Endpoint peer = listener.acceptConnection();
    ASSERT_TRUE(peer.isOpen());
    ASSERT_TRUE(waitUntil([&] { return w.Winsock1[0].state() == SocketControl::StateConnected; }));

    w.Command1->click();
    expectInactive();
    EXPECT_EQ(comStatus(), QStringLiteral("COM Status: Closed"));
    EXPECT_EQ(tcpStatus(), QStringLiteral("TCP/IP Status: Closed"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("COM3 - Serial to TCP/IP")); // left alone
    EXPECT_TRUE(peer.waitForEnd());
    EXPECT_TRUE(serialPortFree());
    EXPECT_EQ(w.Winsock1[0].state(), SocketControl::StateClosed);
    EXPECT_EQ(w.Winsock1[0].localPort(), 0);
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_EQ(w.MyBuffer.Capacity, 8192); // the buffers stay until the next activation
}

TEST_F(frmDocumentActivationTest, SerialLineFollowsTheLists) {
    const struct {
        int baud, parity, data, stop, flow;
        const char* settings;
        int handshaking;
        bool lineControl;
    } cases[] = {
        {6, 1, 2, 2, 0, "9600,E,7,2", 0, true},
        {12, 4, 3, 1, 3, "115200,S,8,1.5", 2, false}, // Opto-RS
        {0, 3, 0, 0, 2, "110,M,5,1", 2, true},        // Hardware
        {7, 2, 1, 0, 1, "14400,O,6,1", 1, true},      // Xon/Xoff
    };
    useServer(QStringLiteral("0"));
    frmDocument& w = *m_window;
    for (const auto& c : cases) {
        for (auto [list, index] :
             {std::pair{0, c.baud}, std::pair{1, c.parity}, std::pair{2, c.data},
              std::pair{3, c.stop}, std::pair{4, c.flow}})
            w.Combo1[static_cast<std::size_t>(list)]->setCurrentIndex(index);
        w.Command1_Click();
        ASSERT_TRUE(w.isActive()) << c.settings << " " << comStatus().toStdString();
        EXPECT_EQ(w.MSComm1.settings(), QString::fromLatin1(c.settings));
        EXPECT_EQ(w.MSComm1.handshaking(), c.handshaking) << c.settings;
        EXPECT_EQ(w.MSComm1.lineControl(), c.lineControl) << c.settings;
        w.Command1_Click();
        EXPECT_FALSE(w.isActive());
    }
}

TEST_F(frmDocumentActivationTest, TcpServerListensOnTheLocalAddress) {
    useServer(QStringLiteral("0")); // the remote host box stays empty: a server needs none
    m_window->Combo1[5]->setCurrentIndex(0);
    m_window->Command1_Click();
    frmDocument& w = *m_window;
    ASSERT_TRUE(w.isActive()) << tcpStatus().toStdString();
    EXPECT_EQ(tcpStatus(), QStringLiteral("TCP/IP Status: Listening..."));
    EXPECT_EQ(w.ServerMode, 1);
    EXPECT_EQ(w.MyBuffer.Capacity, 1024);
    EXPECT_EQ(w.Winsock1[0].state(), SocketControl::StateListening);
    const int port = w.Winsock1[0].localPort();
    EXPECT_FALSE(tcpPortFree(port));
    EXPECT_TRUE(Endpoint::tcpConnect(static_cast<std::uint16_t>(port)).isOpen());

    w.Command1_Click();
    expectInactive();
    EXPECT_TRUE(tcpPortFree(port));
}

TEST_F(frmDocumentActivationTest, UdpBindsAsClientAndAsServer) {
    for (bool server : {false, true}) {
        frmDocument& w = *m_window;
        w.chkUDP->setChecked(true);
        int port = 0;
        if (server) {
            useServer(QStringLiteral("0"));
        } else {
            port = Endpoint::udpSocket().localPort(); // free again once the probe is gone
            useClient(QString::number(port));
        }
        w.Command1_Click();
        ASSERT_TRUE(w.isActive()) << server;
        EXPECT_TRUE(w.UdpMode);
        EXPECT_EQ(w.ServerMode, server ? 1 : 0);
        EXPECT_EQ(tcpStatus(), server ? QStringLiteral("TCP/IP Status: Listening...")
                                      : QStringLiteral("TCP/IP Status: Connecting..."));
        SocketControl& socket = w.Winsock1[0];
        EXPECT_EQ(socket.protocol(), SocketControl::Udp);
        EXPECT_EQ(socket.state(), SocketControl::StateOpen);
        if (!server) {
            EXPECT_EQ(socket.localPort(), port); // the port it also sends to
        }
        Endpoint peer = Endpoint::udpSocket();
        ASSERT_TRUE(peer.sendTo("datagram", static_cast<std::uint16_t>(socket.localPort())));
        EXPECT_TRUE(waitUntil([&] { return socket.bytesReceived() == 8; }));

        w.Command1_Click();
        expectInactive();
        EXPECT_EQ(socket.protocol(), SocketControl::Tcp);
        EXPECT_EQ(socket.state(), SocketControl::StateClosed);
        w.TCPOption[0]->setChecked(true);
    }
}

TEST_F(frmDocumentActivationTest, VirtualPortTakesThePlaceOfTheSerialPort) {
    for (std::int16_t connectOnOpen : {1, 0}) {
        Endpoint listener = Endpoint::tcpListener();
        frmDocument& w = *m_window;
        w.ConnectOnVirtualOpen = connectOnOpen;
        w.StatusBar1[1]->setText(QStringLiteral("TCP/IP Status:"));
        useVirtualPort(7);
        useClient(QString::number(listener.localPort()));
        w.Command1_Click();
        ASSERT_TRUE(w.isActive()) << comStatus().toStdString();
        EXPECT_EQ(comStatus(), QStringLiteral("Virtual Port COM7 created"));
        EXPECT_EQ(w.windowTitle(), QStringLiteral("COM7 - Serial to TCP/IP"));
        EXPECT_TRUE(QFileInfo(linkPath(7)).isSymLink());
        EXPECT_TRUE(w.VSPort1.notifications());
        EXPECT_FALSE(w.MSComm1.isPortOpen());
        EXPECT_EQ(w.MyBuffer.Capacity, 8192);
        if (connectOnOpen != 0) {
            // The connection waits for a program to open the port.
            EXPECT_EQ(tcpStatus(), QStringLiteral("TCP/IP Status:"));
            EXPECT_EQ(w.Winsock1[0].state(), SocketControl::StateClosed);
        } else {
            EXPECT_EQ(tcpStatus(), QStringLiteral("TCP/IP Status: Connecting..."));
            EXPECT_TRUE(listener.acceptConnection().isOpen());
        }

        w.Command1_Click();
        expectInactive();
        EXPECT_EQ(comStatus(), QStringLiteral("Virtual port closed"));
        EXPECT_FALSE(QFileInfo(linkPath(7)).isSymLink());
    }
}

TEST_F(frmDocumentActivationTest, ConnectorNoneOpensNothing) {
    m_window->Combo2->setCurrentIndex(0);
    useClient(QStringLiteral("1000"));
    m_window->setWindowTitle(QStringLiteral("COM3 - Serial to TCP/IP"));
    m_window->StatusBar1[0]->setText(QStringLiteral("COM Status: Closed"));
    m_window->StatusBar1[1]->setText(QStringLiteral("TCP/IP Status: Closed"));
    m_window->Command1_Click();
    expectInactive();
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("New - Serial to TCP/IP"));
    EXPECT_EQ(comStatus(), QStringLiteral("COM Status:"));
    EXPECT_EQ(tcpStatus(), QStringLiteral("TCP/IP Status:"));
    EXPECT_TRUE(serialPortFree());
}

TEST_F(frmDocumentActivationTest, RefusesAnEmptyHostOrAPortOutOfRange) {
    const struct {
        const char* host;
        const char* port;
        const char* status;
    } cases[] = {
        {"", "1000", "TCP/IP Status: Error - Invalid IP Address"},
        {"127.0.0.1", "65536", "TCP/IP Status: Error - Invalid Port Number"},
        {"127.0.0.1", "-1", "TCP/IP Status: Error - Invalid Port Number"},
    };
    for (const auto& c : cases) {
        useClient(QString::fromLatin1(c.port), QString::fromLatin1(c.host));
        m_window->Command1_Click();
        expectInactive();
        EXPECT_EQ(tcpStatus(), QString::fromLatin1(c.status));
        EXPECT_EQ(comStatus(), QStringLiteral("COM Status:")); // nothing was opened
        EXPECT_TRUE(serialPortFree());
    }
}

TEST_F(frmDocumentActivationTest, PortsZeroTo65535ActivateAndASecondPressDeactivates) {
    for (const char* port : {"65535", "abc", "0"}) {
        useClient(QString::fromLatin1(port));
        m_window->Command1_Click();
        ASSERT_TRUE(m_window->isActive()) << port << " " << tcpStatus().toStdString();
        EXPECT_EQ(m_window->Winsock1[0].remotePort(), QString::fromLatin1(port).toInt());
        pumpEvents(50); // the connection is refused meanwhile
        m_window->Command1_Click();
        expectInactive();
        EXPECT_EQ(tcpStatus(), QStringLiteral("TCP/IP Status: Closed"));
    }
}

TEST_F(frmDocumentActivationTest, MissingSerialDeviceStopsBeforeTheNetwork) {
    ASSERT_TRUE(QFile::link(path("unplugged"), linkPath(7)));
    m_window->Combo2->setCurrentIndex(7);
    useServer(QStringLiteral("0"));
    m_window->Command1_Click();
    expectInactive();
    EXPECT_EQ(comStatus(), QStringLiteral("COM Status: Error - COM7 does not exist"));
    EXPECT_EQ(tcpStatus(), QStringLiteral("TCP/IP Status:"));
    EXPECT_EQ(m_window->Winsock1[0].state(), SocketControl::StateClosed);
}

TEST_F(frmDocumentActivationTest, BusyListeningPortUndoesTheSerialSide) {
    for (bool virtualPort : {false, true}) {
        const Endpoint busy = Endpoint::tcpListener();
        if (virtualPort) useVirtualPort(5);
        useServer(QString::number(busy.localPort()));
        m_window->Command1_Click();
        expectInactive();
        EXPECT_EQ(tcpStatus(), QStringLiteral("TCP/IP Status: Error - Address in use"));
        const SocketControl& socket = m_window->Winsock1[0];
        EXPECT_EQ(socket.state(), SocketControl::StateClosed);
        EXPECT_TRUE(socket.remoteHost().isEmpty());
        EXPECT_EQ(socket.remotePort(), 0);
        if (virtualPort) {
            EXPECT_EQ(comStatus(), QStringLiteral("Virtual port closed"));
            EXPECT_FALSE(QFileInfo(linkPath(5)).isSymLink());
        } else {
            EXPECT_EQ(comStatus(), QStringLiteral("COM Status: Closed"));
            EXPECT_TRUE(serialPortFree());
        }
    }
}

TEST_F(frmDocumentActivationTest, ClosingTheWindowReleasesPortSocketsAndLink) {
    useServer(QStringLiteral("0"));
    m_window->Command1_Click();
    ASSERT_TRUE(m_window->isActive());
    const int port = m_window->Winsock1[0].localPort();

    frmDocument virtualSession(m_prompts);
    Endpoint listener = Endpoint::tcpListener();
    virtualSession.chkVPort->setChecked(true);
    virtualSession.Combo2->setCurrentIndex(6);
    virtualSession.ConnectOnVirtualOpen = 0;
    virtualSession.IPAddress->setText(Loopback);
    virtualSession.PortNumber->setText(QString::number(listener.localPort()));
    virtualSession.Command1_Click();
    ASSERT_TRUE(virtualSession.isActive());
    Endpoint peer = listener.acceptConnection();

    m_window->close();
    virtualSession.close();
    EXPECT_TRUE(serialPortFree());
    EXPECT_TRUE(tcpPortFree(port));
    EXPECT_FALSE(QFileInfo(linkPath(6)).isSymLink());
    EXPECT_TRUE(peer.waitForEnd());
}

} // namespace
