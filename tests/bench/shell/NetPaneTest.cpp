#include "FormNetFixture.h"

#include "bench/net/cmSocket.h"
#include "bench/ui/TcmIPEdit.h"
#include "tests/bench/net/SocketTestSupport.h"
#include "tests/support/TestWait.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

enum { Udp = 0, TcpServer = 1, TcpClient = 2 };

} // namespace

class NetPaneTest : public FormNetTest {
protected:
    QString label(const char* name) { return form->findChild<QLabel*>(name)->text(); }

    // Opens the pane in a role on 127.0.0.1 and the given port (0: the system picks).
    void open(int protocol, std::uint16_t port = 0) {
        form->ComboBox_Protocol->setCurrentIndex(protocol);
        form->cmIPEdit_Local->SetIPstr("127.0.0.1");
        form->Edit_PortNUM->setText(QString::number(port));
        form->cmBtn_NetConnect->click();
    }
    bool waitActive(bool active = true) {
        return waitUntil([&] { return form->MySocket->Active() == active; });
    }
    QString received() {
        QCoreApplication::processEvents();
        return form->TextRecv->toPlainText();
    }
};

TEST_F(NetPaneTest, ClosedLookFollowsTheProtocolInBothLanguages) {
    struct Case {
        int protocol;
        const char* language;
        const char* button;
        const char* address;
        const char* port;
    } cases[] = {
        {Udp, "1", "连接 ", "（2）本地IP地址", "（3）本地端口号"},
        {TcpServer, "1", "开始监听 ", "（2）本地IP地址", "（3）本地端口号"},
        {TcpClient, "1", "连接 ", "（2）服务器IP地址", "（3）服务器端口号"},
        {Udp, "0", "Connect ", "（2）Local hostIP", "（3）Local host port"},
        {TcpServer, "0", "Listening ", "（2）Local hostIP", "（3）Local host port"},
        {TcpClient, "0", "Connect ", "（2）ServerIP", "（3）Server Port"},
    };
    for (const Case& c : cases) {
        form->Language = c.language;
        form->ComboBox_Protocol->setCurrentIndex(c.protocol);
        form->ComboBox_ProtocolChange();
        EXPECT_EQ(form->cmBtn_NetConnect->text(), c.button);
        EXPECT_EQ(label("Label_IPAddress"), c.address);
        EXPECT_EQ(label("Label_PortNum"), c.port);
        EXPECT_FALSE(form->PanelToolBar->isVisible());
        EXPECT_TRUE(form->ComboBox_Protocol->isEnabled());
    }
}

TEST_F(NetPaneTest, StartsWithTheMachinesAddressInBothBoxes) {
    const QString own = TcmIPEdit::format(TcmSocket::get_ip_data(QString(), cmUnicast));
    EXPECT_FALSE(own.isEmpty());
    EXPECT_EQ(form->cmIPEdit_Local->GetIPstr(), own);
    EXPECT_EQ(form->cmIPEdit_Target->GetIPstr(), own);
}

TEST_F(NetPaneTest, UdpReceivesWithSourceHeadersAndAnswersTheChosenTarget) {
    form->CheckBox_ReceiveAutoReturn->setChecked(true);
    form->CheckBox_ReceiveShowHex->setChecked(false);
    open(Udp);
    ASSERT_TRUE(waitActive());
    EXPECT_EQ(form->cmBtn_NetConnect->text(), "断开 ");
    EXPECT_EQ(form->Label_IP2->text(), "目标主机:");
    EXPECT_TRUE(form->PanelToolBar->isVisible());
    EXPECT_TRUE(form->Edit_PortNUM2->isEnabled());
    EXPECT_FALSE(form->ComboBox_Protocol->isEnabled());
    EXPECT_FALSE(form->Edit_PortNUM->isEnabled());

    PlainSocket peer = PlainSocket::udp();
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(form->MySocket->LocalPort()));
    to.sin_addr.s_addr = loopbackAddress();
    auto sendDatagram = [&](PlainSocket& from, const char* bytes) {
        ::sendto(from.fd(), bytes, strlen(bytes), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    };
    const QString header = QStringLiteral("【Receive from 127.0.0.1 : %1】：").arg(peer.localPort());
    sendDatagram(peer, "ab");
    ASSERT_TRUE(waitUntil([&] { return form->NetRecvCount == 2; }));
    sendDatagram(peer, "cd");
    ASSERT_TRUE(waitUntil([&] { return form->NetRecvCount == 4; }));
    EXPECT_EQ(received(), header + "\nab\ncd\n");
    EXPECT_EQ(form->StaticTextRecv->text(), "接收 : 4");

    form->CheckBox_ReceiveShowHex->setChecked(true);
    PlainSocket other = PlainSocket::udp();
    sendDatagram(other, "ef");
    ASSERT_TRUE(waitUntil([&] { return form->NetRecvCount == 6; }));
    EXPECT_TRUE(received().endsWith(
        QStringLiteral("【Receive from 127.0.0.1 : %1】：\n65 66\n").arg(other.localPort())));

    // Sending goes to the target row's address and port.
    form->cmIPEdit_Target->SetIPstr("127.0.0.1");
    form->Edit_PortNUM2->setText(QString::number(peer.localPort()));
    const std::uint8_t group[] = {1, 2, 3};
    EXPECT_EQ(form->NetSendGroup(group, 3, false), GroupResult::Sent);
    EXPECT_EQ(peer.readExactly(3), QByteArray("\x01\x02\x03", 3));

    form->Edit_PortNUM2->setText("abc");
    EXPECT_EQ(form->NetSendGroup(group, 3, false), GroupResult::Stop);
    EXPECT_EQ(prompts.lastQuestion()->text, "无效的目标端口号!");
    EXPECT_EQ(prompts.lastQuestion()->caption, "Warning");

    // Changing the protocol closes the endpoint first.
    form->ComboBox_Protocol->setCurrentIndex(TcpServer);
    EXPECT_FALSE(form->MySocket->Active());
    EXPECT_FALSE(form->PanelToolBar->isVisible());
}

TEST_F(NetPaneTest, TcpServerListsPeersAndSendsToOneOrAll) {
    form->Language = "0";
    open(TcpServer);
    ASSERT_TRUE(waitActive());
    EXPECT_EQ(form->cmBtn_NetConnect->text(), "Disconnect ");
    EXPECT_EQ(form->Label_IP2->text(), "Peers:");
    EXPECT_EQ(form->ComboBox_Connections->currentText(), " All Connections");
    const std::uint8_t group[] = {'h', 'i'};
    EXPECT_EQ(form->NetSendGroup(group, 2, false), GroupResult::Stop);
    EXPECT_EQ(prompts.lastQuestion()->text, "当前没有连接对象!");

    const auto port = static_cast<std::uint16_t>(form->MySocket->LocalPort());
    PlainSocket first = PlainSocket::connectTo(port);
    ASSERT_TRUE(waitUntil([&] { return form->ComboBox_Connections->count() == 2; }));
    PlainSocket second = PlainSocket::connectTo(port);
    ASSERT_TRUE(waitUntil([&] { return form->ComboBox_Connections->count() == 3; }));
    auto peer = [](PlainSocket& s) {
        sockaddr_in a{};
        socklen_t n = sizeof a;
        ::getsockname(s.fd(), reinterpret_cast<sockaddr*>(&a), &n);
        return QStringLiteral("127.0.0.1:%1").arg(ntohs(a.sin_port));
    };
    EXPECT_EQ(form->ComboBox_Connections->itemText(1), peer(first));
    EXPECT_EQ(form->ComboBox_Connections->itemText(2), peer(second));
    EXPECT_EQ(form->ComboBox_Connections->currentIndex(), 1);

    form->ComboBox_Connections->setCurrentIndex(2);
    EXPECT_EQ(form->NetSendGroup(group, 2, false), GroupResult::Sent);
    EXPECT_EQ(second.readExactly(2), "hi");
    form->ComboBox_Connections->setCurrentIndex(0);
    EXPECT_EQ(form->NetSendGroup(group, 2, false), GroupResult::Sent);
    EXPECT_EQ(first.readExactly(2), "hi");
    EXPECT_EQ(second.readExactly(2), "hi");

    // The selected peer leaves: "All Connections" is selected and only its entry goes.
    form->ComboBox_Connections->setCurrentIndex(1);
    const QString secondText = peer(second);
    first.close();
    ASSERT_TRUE(waitUntil([&] { return form->ComboBox_Connections->count() == 2; }));
    EXPECT_EQ(form->ComboBox_Connections->currentIndex(), 0);
    EXPECT_EQ(form->ComboBox_Connections->itemText(1), secondText);

    form->cmBtn_NetConnect->click();
    EXPECT_TRUE(waitActive(false));
    EXPECT_EQ(form->cmBtn_NetConnect->text(), "Listening ");
    EXPECT_FALSE(form->PanelToolBar->isVisible());
}

TEST_F(NetPaneTest, TcpClientShowsItsLocalEndReadOnly) {
    PlainSocket listener = PlainSocket::listener();
    open(TcpClient, listener.localPort());
    ASSERT_TRUE(waitActive());
    PlainSocket server = listener.accept();
    EXPECT_EQ(form->Label_IP2->text(), "本地主机:");
    sockaddr_in local{};
    socklen_t size = sizeof local;
    ::getpeername(server.fd(), reinterpret_cast<sockaddr*>(&local), &size);
    EXPECT_EQ(form->cmIPEdit_Target->IPdata(), local.sin_addr.s_addr);
    EXPECT_FALSE(form->cmIPEdit_Target->isEnabled());
    EXPECT_EQ(form->Edit_PortNUM2->text(), QString::number(ntohs(local.sin_port)));
    EXPECT_FALSE(form->Edit_PortNUM2->isEnabled());
    const std::uint8_t group[] = {'o', 'k'};
    EXPECT_EQ(form->NetSendGroup(group, 2, false), GroupResult::Sent);
    EXPECT_EQ(server.readExactly(2), "ok");
}

TEST_F(NetPaneTest, RefusedClientShowsTheErrorAndReturnsToTheClosedLook) {
    open(TcpClient, closedPort());
    ASSERT_TRUE(waitUntil([&] { return form->HintLabel->text().contains("10061") ||
                                       form->HintLabel->text().contains("forcefully"); }));
    EXPECT_EQ(form->HintLabel->text(),
              "connect() failed : The attempt to connect was forcefully rejected.(连接被拒绝)");
    EXPECT_FALSE(form->MySocket->Active());
    EXPECT_EQ(form->cmBtn_NetConnect->text(), "连接 ");
    EXPECT_TRUE(form->ComboBox_Protocol->isEnabled());
}

TEST_F(NetPaneTest, PortThatIsNotANumberIsRefusedBeforeTheSocketIsTouched) {
    form->ComboBox_Protocol->setCurrentIndex(TcpServer);
    form->Edit_PortNUM->setText("12a");
    form->cmBtn_NetConnect->click();
    EXPECT_FALSE(form->MySocket->Active());
    ASSERT_NE(prompts.lastQuestion(), nullptr);
    EXPECT_EQ(prompts.lastQuestion()->text, "无效的端口号!");
    EXPECT_EQ(prompts.lastQuestion()->flags, Prompts::MbOk | Prompts::MbIconError);
}
