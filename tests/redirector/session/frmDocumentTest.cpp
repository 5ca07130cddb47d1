// The session window without activation: what a new window holds, the layout switch, the
// port-number check and the option dialogs.
#include "redirector/session/OptionTransfer.h"
#include "redirector/session/frmClientOptions.h"
#include "redirector/session/frmLogin.h"
#include "redirector/session/frmServerOptions.h"
#include "tests/redirector/session/SessionWindowTest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QStringList entries(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

using frmDocumentTest = SessionWindowTest;

TEST_F(frmDocumentTest, NewWindowHoldsTheDefaults) {
    const frmDocument& w = *m_window;
    ASSERT_EQ(w.Combo2->count(), 257);
    EXPECT_EQ(w.Combo2->itemText(0), QStringLiteral("None"));
    EXPECT_EQ(w.Combo2->itemText(1), QStringLiteral("COM1"));
    EXPECT_EQ(w.Combo2->itemText(256), QStringLiteral("COM256"));
    EXPECT_EQ(w.Combo2->currentIndex(), 0);
    EXPECT_TRUE(w.Combo2->isEditable());

    const struct {
        QStringList entries;
        int selected;
    } lists[] = {
        {{"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "28800", "38400",
          "57600", "115200"},
         6},
        {{"None", "Even", "Odd", "Mark", "Space"}, 0},
        {{"5", "6", "7", "8"}, 3},
        {{"1", "1.5", "2"}, 0},
        {{"None", "Xon/Xoff", "Hardware", "Opto-RS"}, 0},
        {{"1024", "4096", "8192", "16384", "32768", "65536", "131072", "262144", "524288"}, 2},
    };
    for (std::size_t i = 0; i < std::size(lists); ++i) {
        EXPECT_EQ(entries(w.Combo1[i]), lists[i].entries) << i;
        EXPECT_EQ(w.Combo1[i]->currentIndex(), lists[i].selected) << i;
    }

    const struct {
        QWidget* control;
        const char* caption;
    } captions[] = {
        {w.Label1[0], "&Connector"},
        {w.Label1[5], "&Baud Rate"},
        {w.Label1[1], "&Parity"},
        {w.Label1[2], "&Data Bits"},
        {w.Label1[3], "&Stop Bits"},
        {w.Label1[4], "&Flow Control"},
        {w.Label1[6], "Buffer Size:"},
        {w.Label4, "Timeout value (ms):"},
        {w.Label2, "Remote Host IP Address"},
        {w.Label3, "Remote Port"},
        {w.StatusBar1[0], "COM Status:"},
        {w.StatusBar1[1], "TCP/IP Status:"},
        {w.chkVPort, "Create Virtual COM port"},
        {w.BufferSerData, "Buffer data if TCP/IP port closed"},
        {w.WaitForCr, "Wait for timeout before transmit"},
        {w.TCPOption[0], "PC act as TCP Client"},
        {w.TCPOption[1], "PC act as TCP Server"},
        {w.chkUDP, "Use UDP instead of TCP/IP"},
        {w.Command2, "I/O Options..."},
        {w.btnLogin, "Login Options..."},
        {w.Command1, "Activate"},
    };
    for (const auto& c : captions) {
        QString text;
        if (auto* label = qobject_cast<QLabel*>(c.control))
            text = label->text();
        else
            text = qobject_cast<QAbstractButton*>(c.control)->text();
        EXPECT_EQ(text, QString::fromUtf8(c.caption));
    }
    EXPECT_EQ(w.Frame1->title(), QStringLiteral("Serial Port"));
    EXPECT_EQ(w.Frame2->title(), QStringLiteral("TCP/IP Port"));
    EXPECT_EQ(w.Label1[0]->buddy(), w.Combo2); // the access key leads to its list

    for (QCheckBox* box : {w.chkVPort, w.BufferSerData, w.WaitForCr, w.chkUDP})
        EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(w.txtTimeoutValue->text(), QStringLiteral("150"));
    EXPECT_EQ(w.PortNumber->text(), QStringLiteral("1000"));
    EXPECT_EQ(w.PortNumber->maxLength(), 5);
    EXPECT_TRUE(w.IPAddress->text().isEmpty());
    EXPECT_EQ(w.IPAddress->maxLength(), 50);
    EXPECT_TRUE(w.TCPOption[0]->isChecked());
    EXPECT_FALSE(w.IPAddress->isHidden());
    EXPECT_TRUE(w.LocalIP->isHidden());
    EXPECT_TRUE(w.btnLogin->isHidden());
    EXPECT_FALSE(w.isActive());

    // This machine's address, as the socket reports it, leads the local address box.
    EXPECT_EQ(w.LocalAddress, SocketControl::localIP());
    EXPECT_EQ(w.TCPOption[1]->isEnabled(), !w.LocalAddress.isEmpty());
    if (!w.LocalAddress.isEmpty()) {
        EXPECT_EQ(w.LocalIP->currentText(), w.LocalAddress);
        EXPECT_TRUE(entries(w.LocalIP).contains(w.LocalAddress));
    }

    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_EQ(w.Timer1->interval(), 5000);
    EXPECT_TRUE(w.Timer2->isActive());
    EXPECT_EQ(w.Timer2->interval(), 50);
    EXPECT_EQ(w.MSComm1.receiveMode(), SerialPortControl::ReceiveEvents);
    EXPECT_EQ(w.Winsock1.count(), 1);
    EXPECT_EQ(w.ServerMode, 0);
    EXPECT_EQ(w.AllowMultiConnect, 1);
    EXPECT_EQ(w.ConnectOnVirtualOpen, 1);
    EXPECT_EQ(w.ServerSerialOptions + w.ServerTCPOptions + w.ClientOptions, 0);
    EXPECT_TRUE(w.UserPrompt.isEmpty() && w.PasswordPrompt.isEmpty());
    EXPECT_EQ(w.MyBuffer.Capacity + w.SerialOutBuffer.Capacity, 0);
    EXPECT_TRUE(m_prompts.questions().empty());
}

TEST_F(frmDocumentTest, LayoutSwitchesBetweenClientAndServer) {
    frmDocument& w = *m_window;
    w.TCPOption[1]->setChecked(true); // as a click, or a session file, selects it
    EXPECT_TRUE(w.IPAddress->isHidden());
    EXPECT_FALSE(w.LocalIP->isHidden());
    EXPECT_EQ(w.Label2->text(), QStringLiteral("Local IP Address"));
    EXPECT_EQ(w.Label3->text(), QStringLiteral("Local Port"));

    w.TCPOption[0]->setChecked(true);
    EXPECT_FALSE(w.IPAddress->isHidden());
    EXPECT_TRUE(w.LocalIP->isHidden());
    EXPECT_EQ(w.Label2->text(), QStringLiteral("Remote Host IP Address"));
    EXPECT_EQ(w.Label3->text(), QStringLiteral("Remote Port"));

    w.TCPOption_Click(1); // called by name, the buttons stay as they are
    EXPECT_FALSE(w.LocalIP->isHidden());
    EXPECT_TRUE(w.TCPOption[0]->isChecked());
}

TEST_F(frmDocumentTest, WarnsWhileTypingAPortAbove65535) {
    const struct {
        const char* text;
        bool warns;
    } cases[] = {{"65535", false}, {"65536", true}, {"99999", true},
                 {"-1", false},    {"abc", false},  {"7e10", false}};
    for (const auto& c : cases) {
        m_prompts.clear();
        m_window->PortNumber->setText(QString::fromLatin1(c.text));
        EXPECT_EQ(m_window->PortNumber->text(), QString::fromLatin1(c.text)); // left as typed
        ASSERT_EQ(m_prompts.questions().size(), c.warns ? 1u : 0u) << c.text;
        if (c.warns) {
            const ScriptedPrompts::Question& box = m_prompts.questions().front();
            EXPECT_EQ(box.text, QStringLiteral("Port numbers must range between 0 and 65565"));
            EXPECT_EQ(box.caption, QStringLiteral("Error"));
            EXPECT_EQ(box.flags, Prompts::MbOk);
        }
    }
}

TEST_F(frmDocumentTest, ClientOptionsDialogStoresOnOkOnly) {
    frmDocument& w = *m_window;
    m_prompts.setNextModal([](QDialog& shown) {
        auto& dialog = dynamic_cast<frmClientOptions&>(shown);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Client I/O Options"));
        EXPECT_EQ(dialog.Option1[2]->text(), QStringLiteral("Disable output to TCP/IP port."));
        EXPECT_TRUE(dialog.Option1[0]->isChecked()); // shows the session's values
        EXPECT_TRUE(dialog.chkConnectOnVirtualPort->isChecked());
        dialog.Option1[2]->click();
        dialog.chkConnectOnVirtualPort->click();
        dialog.Command1->click();
        return dialog.result();
    });
    w.Command2_Click();
    EXPECT_EQ(w.ClientOptions, 2);
    EXPECT_EQ(w.ConnectOnVirtualOpen, 0);

    // Cancel, and closing the dialog any other way, change nothing.
    for (bool useButton : {true, false}) {
        m_prompts.setNextModal([useButton](QDialog& shown) {
            auto& dialog = dynamic_cast<frmClientOptions&>(shown);
            EXPECT_TRUE(dialog.Option1[2]->isChecked());
            dialog.Option1[1]->click();
            dialog.chkConnectOnVirtualPort->click();
            if (useButton)
                dialog.Command2->click();
            else
                dialog.reject(); // Escape or the window's close button
            return dialog.result();
        });
        w.Command2->click();
        EXPECT_EQ(w.ClientOptions, 2);
        EXPECT_EQ(w.ConnectOnVirtualOpen, 0);
    }
}

TEST_F(frmDocumentTest, ServerOptionsDialogStoresOnOkOnly) {
    frmDocument& w = *m_window;
    w.TCPOption[1]->setChecked(true);
    w.ServerTCPOptions = 1;
    m_prompts.setNextModal([](QDialog& shown) {
        auto& dialog = dynamic_cast<frmServerOptions&>(shown);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Server I/O Options"));
        EXPECT_EQ(dialog.Frame2->title(), QStringLiteral("Inbound serial data options"));
        EXPECT_EQ(dialog.Command1->text(), QStringLiteral("&OK"));
        EXPECT_TRUE(dialog.chkMultiClients->isChecked());
        EXPECT_TRUE(dialog.OptionTCP[1]->isChecked());
        EXPECT_TRUE(dialog.OptionSerial[0]->isChecked());
        dialog.chkMultiClients->click();
        dialog.OptionTCP[2]->click();
        dialog.OptionSerial[1]->click();
        dialog.Command1->click();
        return dialog.result();
    });
    w.Command2_Click();
    EXPECT_EQ(w.AllowMultiConnect, 0);
    EXPECT_EQ(w.ServerTCPOptions, 2);
    EXPECT_EQ(w.ServerSerialOptions, 1);

    m_prompts.setNextModal([](QDialog& shown) {
        auto& dialog = dynamic_cast<frmServerOptions&>(shown);
        dialog.chkMultiClients->click();
        dialog.OptionTCP[0]->click();
        dialog.Command2->click();
        return dialog.result();
    });
    w.Command2_Click();
    EXPECT_EQ(w.AllowMultiConnect, 0);
    EXPECT_EQ(w.ServerTCPOptions, 2);
    EXPECT_EQ(w.ServerSerialOptions, 1);
    EXPECT_EQ(m_prompts.unscripted(), 0);
}

TEST_F(frmDocumentTest, StoredOptionOutsideTheButtonsSurvivesOk) {
    frmDocument& w = *m_window;
    w.ClientOptions = 7; // as a session file may hold it
    m_prompts.setNextModal([](QDialog& shown) {
        auto& dialog = dynamic_cast<frmClientOptions&>(shown);
        for (QRadioButton* option : dialog.Option1)
            EXPECT_FALSE(option->isChecked());
        dialog.Command1->click();
        return dialog.result();
    });
    w.Command2_Click();
    EXPECT_EQ(w.ClientOptions, 7);
}

TEST_F(frmDocumentTest, LoginDialogCarriesThePromptTexts) {
    frmDocument& w = *m_window;
    w.UserPrompt = QStringLiteral("Username:");
    m_prompts.setNextModal([](QDialog& shown) {
        auto& dialog = dynamic_cast<frmLogin&>(shown);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Client Login Options"));
        EXPECT_EQ(dialog.txtUserPrompt->text(), QStringLiteral("Username:"));
        dialog.txtUserPromptResponse->setText(QStringLiteral("operator"));
        dialog.txtPasswordPrompt->setText(QStringLiteral("Password:"));
        dialog.txtPasswordPromptResponse->setText(QStringLiteral("secret"));
        dialog.Command1->click();
        return dialog.result();
    });
    w.btnLogin_Click();
    EXPECT_EQ(w.UserPrompt, QStringLiteral("Username:"));
    EXPECT_EQ(w.UserPromptResponse, QStringLiteral("operator"));
    EXPECT_EQ(w.PasswordPrompt, QStringLiteral("Password:"));
    EXPECT_EQ(w.PasswordPromptResponse, QStringLiteral("secret"));
    EXPECT_FALSE(OptionTransfer::shared().LoginCancelled);

    // Cancelled, or ended without OK: the texts stay.
    m_prompts.setNextModal([](QDialog& shown) {
        auto& dialog = dynamic_cast<frmLogin&>(shown);
        dialog.txtUserPrompt->setText(QStringLiteral("changed"));
        dialog.Command2->click();
        return dialog.result();
    });
    w.btnLogin_Click();
    m_prompts.setNextModal([](QDialog& shown) {
        dynamic_cast<frmLogin&>(shown).txtUserPrompt->setText(QStringLiteral("changed"));
        return int(QDialog::Rejected);
    });
    w.btnLogin_Click();
    EXPECT_EQ(w.UserPrompt, QStringLiteral("Username:"));
    EXPECT_TRUE(OptionTransfer::shared().LoginCancelled);
}

TEST_F(frmDocumentTest, GetstatusAndUpdateStatusCopyTheNineValues) {
    OptionTransfer& record = OptionTransfer::shared();
    record = OptionTransfer{};
    record.AllowMultiConnect = 0;
    record.ServerSerialOptions = 2;
    record.ServerTCPOptions = 1;
    record.ClientOptions = 2;
    record.ConnectOnVirtualOpen = 0;
    record.UserPrompt = QStringLiteral("u");
    record.UserPromptResponse = QStringLiteral("ur");
    record.PasswordPrompt = QStringLiteral("p");
    record.PasswordPromptResponse = QStringLiteral("pr");
    m_window->UpdateStatus();

    frmDocument other(m_prompts);
    other.Getstatus(); // a fresh session's values replace the record's
    EXPECT_EQ(record.AllowMultiConnect, 1);
    EXPECT_EQ(record.ConnectOnVirtualOpen, 1);
    EXPECT_TRUE(record.UserPrompt.isEmpty());

    m_window->Getstatus();
    EXPECT_EQ(record.AllowMultiConnect, 0);
    EXPECT_EQ(record.ServerSerialOptions, 2);
    EXPECT_EQ(record.ServerTCPOptions, 1);
    EXPECT_EQ(record.ClientOptions, 2);
    EXPECT_EQ(record.ConnectOnVirtualOpen, 0);
    EXPECT_EQ(record.UserPrompt, QStringLiteral("u"));
    EXPECT_EQ(record.UserPromptResponse, QStringLiteral("ur"));
    EXPECT_EQ(record.PasswordPrompt, QStringLiteral("p"));
    EXPECT_EQ(record.PasswordPromptResponse, QStringLiteral("pr"));
}

} // namespace
