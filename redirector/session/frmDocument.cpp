#include "redirector/session/frmDocument.h"

#include "platform/ModemLines.h"
#include "platform/Prompts.h"
#include "redirector/session/OptionTransfer.h"
#include "redirector/session/frmClientOptions.h"
#include "redirector/session/frmLogin.h"
#include "redirector/session/frmServerOptions.h"
#include "redirector/tools/LoadResource.h"
#include "redirector/tools/LocalAddressList.h"
#include "redirector/tools/NumericValue.h"
#include "redirector/tools/StringTable.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

constexpr int ReconnectMs = 5000;
constexpr int TickMs = 50;

} // namespace

frmDocument::frmDocument(Prompts& prompts, const PortMap& ports, QWidget* parent)
    : QWidget(parent), MSComm1(ports, ModemLines::system()), VSPort1(ports), m_prompts(prompts) {
    buildControls();
    ApplyResourceStrings(this);
    MSComm1.setReceiveMode(SerialPortControl::ReceiveEvents);
    fillLists();
    LocalAddressList(LocalIP);
    LocalAddress = Winsock1[0].localIP();
    if (!LocalAddress.isEmpty()) {
        LocalIP->setEditText(LocalAddress);
        TCPOption[1]->setEnabled(true);
    } else {
        // No server role without a local address.
        TCPOption[1]->setEnabled(false);
        ServerMode = 0;
    }

    Timer1 = new QTimer(this);
    Timer1->setInterval(ReconnectMs);
    Timer2 = new QTimer(this);
    Timer2->setInterval(TickMs);
    Timer2->start();

    connect(Command1, &QPushButton::clicked, this, &frmDocument::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmDocument::Command2_Click);
    connect(btnLogin, &QPushButton::clicked, this, &frmDocument::btnLogin_Click);
    connect(PortNumber, &QLineEdit::textChanged, this, &frmDocument::PortNumber_Change);
    // Selecting a button by code (as loading a session file does) switches the layout too.
    for (std::int16_t index : {0, 1})
        connect(TCPOption[static_cast<std::size_t>(index)], &QRadioButton::toggled, this,
                [this, index](bool checked) {
                    if (checked) TCPOption_Click(index);
                });
}

QString frmDocument::captionFor(const QString& name) {
    return name + QStringLiteral(" - ") + LoadResString(5120);
}

bool frmDocument::isActive() const {
    return Command1->text() == LoadResString(5118);
}

void frmDocument::TCPOption_Click(std::int16_t Index) {
    const bool server = Index == 1;
    IPAddress->setHidden(server);
    LocalIP->setVisible(server);
    Label2->setText(LoadResString(server ? 5106 : 5104));
    Label3->setText(LoadResString(server ? 5107 : 5105));
}

void frmDocument::PortNumber_Change() {
    if (numericValue(PortNumber->text()) > HighestPort)
        m_prompts.messageBox(this, LoadResString(5102), LoadResString(5103), Prompts::MbOk);
}

void frmDocument::Command2_Click() {
    OptionTransfer& options = OptionTransfer::shared();
    if (TCPOption[1]->isChecked()) {
        options.AllowMultiConnect = AllowMultiConnect;
        options.ServerSerialOptions = ServerSerialOptions;
        options.ServerTCPOptions = ServerTCPOptions;
        frmServerOptions dialog(options, this);
        m_prompts.runModal(dialog);
        if (options.AllowMultiConnect != -1) {
            AllowMultiConnect = options.AllowMultiConnect;
            ServerSerialOptions = options.ServerSerialOptions;
            ServerTCPOptions = options.ServerTCPOptions;
        }
        return;
    }
    options.ClientOptions = ClientOptions;
    options.ConnectOnVirtualOpen = ConnectOnVirtualOpen;
    frmClientOptions dialog(options, this);
    m_prompts.runModal(dialog);
    if (options.ClientOptions != -1) {
        ClientOptions = options.ClientOptions;
        ConnectOnVirtualOpen = options.ConnectOnVirtualOpen;
    }
}

void frmDocument::btnLogin_Click() {
    OptionTransfer& options = OptionTransfer::shared();
    options.UserPrompt = UserPrompt;
    options.UserPromptResponse = UserPromptResponse;
    options.PasswordPrompt = PasswordPrompt;
    options.PasswordPromptResponse = PasswordPromptResponse;
    frmLogin dialog(options, this);
    m_prompts.runModal(dialog);
    if (!options.LoginCancelled) {
        UserPrompt = options.UserPrompt;
        UserPromptResponse = options.UserPromptResponse;
        PasswordPrompt = options.PasswordPrompt;
        PasswordPromptResponse = options.PasswordPromptResponse;
    }
}

void frmDocument::Getstatus() {
    OptionTransfer& options = OptionTransfer::shared();
    options.AllowMultiConnect = AllowMultiConnect;
    options.ServerSerialOptions = ServerSerialOptions;
    options.ServerTCPOptions = ServerTCPOptions;
    options.ClientOptions = ClientOptions;
    options.ConnectOnVirtualOpen = ConnectOnVirtualOpen;
    options.UserPrompt = UserPrompt;
    options.UserPromptResponse = UserPromptResponse;
    options.PasswordPrompt = PasswordPrompt;
    options.PasswordPromptResponse = PasswordPromptResponse;
}

void frmDocument::UpdateStatus() {
    const OptionTransfer& options = OptionTransfer::shared();
    AllowMultiConnect = options.AllowMultiConnect;
    ServerSerialOptions = options.ServerSerialOptions;
    ServerTCPOptions = options.ServerTCPOptions;
    ClientOptions = options.ClientOptions;
    ConnectOnVirtualOpen = options.ConnectOnVirtualOpen;
    UserPrompt = options.UserPrompt;
    UserPromptResponse = options.UserPromptResponse;
    PasswordPrompt = options.PasswordPrompt;
    PasswordPromptResponse = options.PasswordPromptResponse;
}

void frmDocument::showComStatus(const QString& state) {
    StatusBar1[0]->setText(LoadResString(5090) + u' ' + state);
}

void frmDocument::showTcpStatus(const QString& state) {
    StatusBar1[1]->setText(LoadResString(5091) + u' ' + state);
}

void frmDocument::closeEvent(QCloseEvent* event) {
    // A closed session must leave no port busy and no link behind, whether or not the
    // window object lives on.
    releaseControls();
    event->accept();
}

void frmDocument::releaseControls() {
    Timer1->stop();
    MSComm1.setPortOpen(false);
    for (int i = 0; i < Winsock1.count(); ++i)
        Winsock1[i].close();
    VSPort1.deletePort();
}
