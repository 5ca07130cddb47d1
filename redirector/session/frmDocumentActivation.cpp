// The Activate / De-Activate toggle: opening and closing the serial side (physical or
// virtual port) and preparing and closing the network side.
#include "redirector/session/frmDocument.h"

#include "redirector/tools/NumericValue.h"
#include "redirector/tools/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

constexpr int SerialBufferBytes = 8192;
// Flow control entries above this one ("Opto-RS") use the hardware handshake without the
// line-control flag.
constexpr int HighestPlainFlowControl = 2;

} // namespace

void frmDocument::Command1_Click() {
    UdpMode = chkUDP->isChecked();
    PingTicks = 0;
    Timer1->stop();
    if (isActive())
        deactivate();
    else
        activate();
}

void frmDocument::activate() {
    if (!IPAddress->isHidden() && IPAddress->text().isEmpty()) {
        showTcpStatus(LoadResString(5088));
        return;
    }
    const double port = numericValue(PortNumber->text());
    if (port < 0 || port > HighestPort) {
        showTcpStatus(LoadResString(5089));
        return;
    }
    ComPortNumber = static_cast<std::int16_t>(Combo2->currentIndex());
    if (ComPortNumber <= 0) {
        // "None": nothing to open; the session stays inactive.
        setWindowTitle(captionFor(LoadResString(5119)));
        StatusBar1[0]->setText(LoadResString(5090));
        StatusBar1[1]->setText(LoadResString(5091));
        return;
    }
    if (!(chkVPort->isChecked() ? createVirtualPort() : openSerialPort())) return;
    if (!prepareNetwork()) return;
    setWindowTitle(captionFor(Combo2->currentText()));
    setSettingsEnabled(false);
    Command1->setText(LoadResString(5118));
}

void frmDocument::deactivate() {
    if (chkVPort->isChecked()) {
        // A virtual port that stays is still in use: so is the rest of the session.
        if (!deleteVirtualPort()) return;
    } else {
        closeSerialPort();
    }
    for (int i = 0; i <= HighestSocketIndex && i < Winsock1.count(); ++i) {
        Winsock1[i].close();
        Winsock1[i].setLocalPort(0);
    }
    ConnectedClients = 0;
    Winsock1[0].setProtocol(SocketControl::Tcp);
    showTcpStatus(LoadResString(5100));
    setSettingsEnabled(true);
    Command1->setText(LoadResString(5087));
}

bool frmDocument::openSerialPort() {
    if (MSComm1.isPortOpen()) MSComm1.setPortOpen(false);
    const QString settings = Combo1[0]->currentText() + u',' + Combo1[1]->currentText().left(1) +
                             u',' + Combo1[2]->currentText() + u',' + Combo1[3]->currentText();
    const int flowControl = Combo1[4]->currentIndex();
    bool ok = MSComm1.setPortNumber(ComPortNumber) && MSComm1.setSettings(settings);
    if (ok && flowControl > HighestPlainFlowControl)
        ok = MSComm1.setHandshaking(SerialPortControl::HandshakeRtsCts) &&
             MSComm1.setLineControl(false);
    else if (ok)
        ok = MSComm1.setLineControl(true) && MSComm1.setHandshaking(flowControl);
    ok = ok && MSComm1.setInputBufferSize(SerialBufferBytes) &&
         MSComm1.setOutputBufferSize(SerialBufferBytes);
    if (ok) {
        sizeBuffers();
        ok = MSComm1.setPortOpen(true);
    }
    if (!ok) {
        if (MSComm1.isPortOpen()) MSComm1.setPortOpen(false);
        showComStatus(LoadResString(5099) + u' ' + MSComm1.errorDescription());
        return false;
    }
    if (!MSComm1.isPortOpen()) {
        showComStatus(LoadResString(5095));
        return false;
    }
    showComStatus(LoadResString(5096));
    return true;
}

void frmDocument::closeSerialPort() {
    if (MSComm1.isPortOpen()) MSComm1.setPortOpen(false);
    showComStatus(LoadResString(5100));
}

bool frmDocument::createVirtualPort() {
    VSPort1.deletePort();
    const QString number = QString::number(ComPortNumber);
    if (!VSPort1.create(QStringLiteral("COM") + number)) {
        StatusBar1[0]->setText(LoadResString(5092) + QStringLiteral(" COM") + number);
        return false;
    }
    VSPort1.setNotifications(true);
    StatusBar1[0]->setText(LoadResString(5093) + QStringLiteral(" COM") + number + u' ' +
                           LoadResString(5094));
    sizeBuffers();
    return true;
}

bool frmDocument::deleteVirtualPort() {
    const bool deleted = VSPort1.deletePort();
    StatusBar1[0]->setText(LoadResString(deleted ? 5085 : 5084));
    return deleted;
}

void frmDocument::sizeBuffers() {
    const int capacity = integerValue(Combo1[5]->currentText());
    MyBuffer.allocate(capacity);
    SerialOutBuffer.allocate(capacity);
}

bool frmDocument::prepareNetwork() {
    SocketControl& socket = Winsock1[0];
    if (UdpMode) {
        socket.setProtocol(SocketControl::Udp);
    } else {
        socket.close();
        socket.setProtocol(SocketControl::Tcp);
    }
    const int port = integerValue(PortNumber->text());
    if (TCPOption[1]->isChecked()) {
        ServerMode = 1;
        socket.setLocalPort(port);
        if (!socket.bind(port, LocalIP->currentText()) || (!UdpMode && !socket.listen()))
            return networkFailed(socket.errorDescription());
        showTcpStatus(LoadResString(5098));
        return true;
    }
    ServerMode = 0;
    socket.setRemoteHost(IPAddress->text());
    socket.setRemotePort(port);
    if (chkVPort->isChecked() && ConnectOnVirtualOpen != 0) {
        // The connection follows the virtual port's opening; a UDP socket only listens.
        if (UdpMode) socket.bind(port);
        return true;
    }
    showTcpStatus(LoadResString(5097));
    if (UdpMode) {
        socket.bind(port); // a UDP client sends just as well from a port of the system's
        return true;
    }
    return socket.connectToHost() || networkFailed(socket.errorDescription());
}

bool frmDocument::networkFailed(const QString& description) {
    SocketControl& socket = Winsock1[0];
    socket.close();
    socket.setRemoteHost(QString());
    socket.setRemotePort(0);
    showTcpStatus(LoadResString(5099) + u' ' + description);
    if (chkVPort->isChecked())
        deleteVirtualPort();
    else
        closeSerialPort();
    return false;
}

void frmDocument::setSettingsEnabled(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             Combo2, Combo1[0], Combo1[1], Combo1[2], Combo1[3], Combo1[4], Combo1[5], Command2,
             TCPOption[0], IPAddress, PortNumber, LocalIP, chkVPort, chkUDP})
        control->setEnabled(enabled);
    // Without a local address there is no server role, also after a de-activation.
    TCPOption[1]->setEnabled(enabled && !LocalAddress.isEmpty());
}
