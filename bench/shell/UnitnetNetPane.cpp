// The network pane: opening and closing the socket in its three roles, following its state,
// the list of TCP peers, and delivering a group to the current target. Received data is in
// UnitnetReceive.cpp.

#include "bench/datapath/Codec.h"
#include "bench/datapath/LoopWait.h"
#include "bench/net/cmSocket.h"
#include "bench/shell/Unitnet.h"
#include "bench/ui/TcmIPEdit.h"
#include "platform/Prompts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>


namespace {

// The protocol list's items in order.
constexpr TcmSocketProtocol ProtocolOfIndex[] = {cmUDP, cmTcpServer, cmTcpClient};

QString text(bool english, const char* en, const char* zh) {
    return QString::fromUtf8(english ? en : zh);
}

std::string_view digits(const QLineEdit* box, QByteArray& storage) {
    storage = box->text().toUtf8();
    return {storage.constData(), static_cast<size_t>(storage.size())};
}

} // namespace

void TFormNet::createSocket() {
    MySocket = new TcmSocket(this);
    connect(MySocket, &TcmSocket::OnAccept, this, &TFormNet::MySocketAccept);
    connect(MySocket, &TcmSocket::OnActiveChanged, this, &TFormNet::MySocketActiveChanged);
    connect(MySocket, &TcmSocket::OnDiscard, this, &TFormNet::MySocketDiscard);
    connect(MySocket, &TcmSocket::OnError, this, &TFormNet::MySocketError);
    connect(MySocket, &TcmSocket::OnReceive, this, &TFormNet::MySocketReceive);
    connect(MySocket, &TcmSocket::sendBacklogDrained, this, [] { LoopWait::wake(); });
    MySocket->SetBufferSize(65535);
}

QString TFormNet::peerText(quint32 ip, quint16 port) {
    return TcmIPEdit::format(ip) + QLatin1Char(':') + QString::number(port);
}

bool TFormNet::warn(const QString& message, int icon) {
    m_services.prompts.messageBox(this, message, QStringLiteral("Warning"), Prompts::MbOk | icon);
    return false;
}

QString TFormNet::ConnectCaption() const {
    const bool en = english();
    if (MySocket->Active())
        return text(en, "Disconnect ", "断开 ");
    if (MySocket->Protocol() == cmTcpServer)
        return text(en, "Listening ", "开始监听 ");
    return text(en, "Connect ", "连接 ");
}

void TFormNet::ComboBox_ProtocolChange() {
    const int index = ComboBox_Protocol->currentIndex();
    if (index < 0 || index >= static_cast<int>(std::size(ProtocolOfIndex)))
        return;
    MySocket->SetProtocol(ProtocolOfIndex[index]);
    if (MySocket->Active())
        MySocket->SetActive(false);
    UpdateNetControls();
}

void TFormNet::cmBtn_NetConnectClick() {
    if (MySocket->Active()) {
        MySocket->SetActive(false);
        return;
    }
    QByteArray storage;
    if (!IsAllDigits(digits(Edit_PortNUM, storage))) {
        warn(QStringLiteral("无效的端口号!"), Prompts::MbIconError);
        return;
    }
    const int port = DecStrToInt(digits(Edit_PortNUM, storage));
    if (MySocket->Protocol() == cmTcpClient) {
        MySocket->SetLocalHost(QStringLiteral("0"));
        MySocket->SetLocalPort(0);
        MySocket->SetRemoteHost(cmIPEdit_Local->GetIPstr());
        MySocket->SetRemotePort(port);
    } else {
        MySocket->SetLocalHost(cmIPEdit_Local->GetIPstr());
        MySocket->SetLocalPort(port);
        MySocket->SetRemoteHost(QStringLiteral("0"));
        MySocket->SetRemotePort(0);
    }
    MySocket->SetActive(true);
}

void TFormNet::UpdateNetControls() {
    const bool en = english();
    const bool active = MySocket->Active();
    const TcmSocketProtocol protocol = MySocket->Protocol();
    cmBtn_NetConnect->setIcon(ImageList1[active ? 1 : 0]);
    cmBtn_NetConnect->setText(ConnectCaption());
    if (active) {
        switch (protocol) {
        case cmUDP:
            Label_IP2->setText(text(en, "RemoteIP:", "目标主机:"));
            Label_portNUM2->setText(text(en, "Port:", "端口:"));
            for (QWidget* w : {static_cast<QWidget*>(Label_portNUM2),
                               static_cast<QWidget*>(cmIPEdit_Target),
                               static_cast<QWidget*>(Edit_PortNUM2)}) {
                w->show();
                w->setEnabled(true);
            }
            ComboBox_Connections->hide();
            break;
        case cmTcpServer:
            Label_IP2->setText(text(en, "Peers:", "连接对象:"));
            cmIPEdit_Target->hide();
            Label_portNUM2->hide();
            Edit_PortNUM2->hide();
            ComboBox_Connections->show();
            ComboBox_Connections->clear();
            ComboBox_Connections->addItem(QStringLiteral(" All Connections"));
            ComboBox_Connections->setCurrentIndex(0);
            break;
        case cmTcpClient:
            Label_IP2->setText(text(en, "Local host:", "本地主机:"));
            Label_portNUM2->setText(text(en, "Port:", "端口:"));
            cmIPEdit_Target->SetIPstr(MySocket->LocalHost());
            cmIPEdit_Target->show();
            cmIPEdit_Target->setEnabled(false);
            Label_portNUM2->show();
            Edit_PortNUM2->setText(QString::number(MySocket->LocalPort()));
            Edit_PortNUM2->show();
            Edit_PortNUM2->setEnabled(false);
            ComboBox_Connections->hide();
            break;
        default:
            break;
        }
    }
    for (QWidget* w : {static_cast<QWidget*>(ComboBox_Protocol),
                       static_cast<QWidget*>(cmIPEdit_Local), static_cast<QWidget*>(Edit_PortNUM)})
        w->setEnabled(!active);
    PanelToolBar->setVisible(active);

    const bool client = protocol == cmTcpClient;
    findChild<QLabel*>(QStringLiteral("Label_Protocol"))
        ->setText(text(en, "（1）Protocol", "（1）协议类型"));
    findChild<QLabel*>(QStringLiteral("Label_IPAddress"))
        ->setText(client ? text(en, "（2）ServerIP", "（2）服务器IP地址")
                         : text(en, "（2）Local hostIP", "（2）本地IP地址"));
    findChild<QLabel*>(QStringLiteral("Label_PortNum"))
        ->setText(client ? text(en, "（3）Server Port", "（3）服务器端口号")
                         : text(en, "（3）Local host port", "（3）本地端口号"));
}

void TFormNet::MySocketActiveChanged(QObject*) {
    UpdateNetControls();
    // A send loop waiting for the peer to take its data gives up when the socket closes.
    LoopWait::wake();
}

void TFormNet::MySocketError(QObject*, int, const QString& message) {
    HintLabel->setText(message);
    HintLabel->repaint();
}

void TFormNet::MySocketAccept(QObject*, int, quint32 IP, quint16 Port) {
    ComboBox_Connections->addItem(peerText(IP, Port));
    ComboBox_Connections->setCurrentIndex(1);
}

void TFormNet::MySocketDiscard(QObject*, int, quint32 IP, quint16 Port) {
    const int index = ComboBox_Connections->findText(peerText(IP, Port), Qt::MatchExactly);
    if (index < 0)
        return;
    if (ComboBox_Connections->currentIndex() == index)
        ComboBox_Connections->setCurrentIndex(0);
    ComboBox_Connections->removeItem(index);
}

GroupResult TFormNet::NetSendGroup(const std::uint8_t* buf, int len, bool fileSource) {
    const auto sent = [](bool ok) { return ok ? GroupResult::Sent : GroupResult::Failed; };
    const auto stop = [this](const char* message, int icon) {
        warn(QString::fromUtf8(message), icon);
        return GroupResult::Stop;
    };
    switch (MySocket->Protocol()) {
    case cmTcpClient:
        return sent(MySocket->Send(buf, len));
    case cmUDP: {
        QByteArray storage;
        if (!IsAllDigits(digits(Edit_PortNUM2, storage)))
            return stop("无效的目标端口号!", Prompts::MbIconError);
        const auto port = static_cast<std::uint16_t>(DecStrToInt(digits(Edit_PortNUM2, storage)));
        return sent(MySocket->SendTo(cmIPEdit_Target->IPdata(), port, buf, len));
    }
    case cmTcpServer: {
        if (ComboBox_Connections->count() <= 1)
            return stop("当前没有连接对象!", Prompts::MbIconWarning);
        cm_Server_Connections& peers = MySocket->connections();
        const int selected = ComboBox_Connections->currentIndex();
        if (selected > 0) {
            peers.Current = peers.First;
            for (int i = 1; i < selected && peers.Current; ++i)
                peers.Current = peers.Current->Next;
            if (!peers.Current) {
                if (fileSource) {
                    ComboBox_Connections->removeItem(selected);
                    ComboBox_Connections->setCurrentIndex(0);
                }
                return stop("无效的连接对象!", Prompts::MbIconWarning);
            }
            return sent(MySocket->SendTo(peers.Current->Socket, buf, len));
        }
        bool last = false;
        for (peers.Current = peers.First; peers.Current; peers.Current = peers.Current->Next)
            last = MySocket->SendTo(peers.Current->Socket, buf, len);
        return sent(last);
    }
    default:
        return GroupResult::Failed;
    }
}
