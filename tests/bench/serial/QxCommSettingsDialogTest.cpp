#include "bench/serial/Qxcommdevice.h"
#include "bench/serial/TForm_QxCommDevice_Settings.h"
#include "platform/ScriptedPrompts.h"
#include "platform/SerialTermios.h"
#include "tests/bench/serial/PortFolderTest.h"
#include "tests/bench/serial/QStringPrinter.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <termios.h>

using namespace ZaldoComm32;
using Dialog = TForm_QxCommDevice_Settings;

namespace {

constexpr int ErrorBox = Prompts::MbOk | Prompts::MbIconError;

// A device on COM3 and a second port COM8, both pseudo-terminals in the port folder; the
// dialog's list has exactly those two.
class SettingsDialogTest : public PortFolderTest {
protected:
    void SetUp() override {
        PortFolderTest::SetUp();
        m_com3 = publishPort(3);
        m_com8 = publishPort(8);
        m_device = std::make_unique<TQxCommDevice>(); // after COMPORTS_DIR is set
        m_device->setPortNo(3);
    }
    void TearDown() override {
        m_device.reset();
        PortFolderTest::TearDown();
    }

    std::unique_ptr<Dialog> makeDialog(bool open = false,
                                       SystemLanguage language = SystemLanguage::English) {
        auto dialog = std::make_unique<Dialog>(*m_device, open, m_prompts, nullptr, language,
                                               SerialSystemFolders{path("no-sysfs"), dir()});
        dialog->show();
        return dialog;
    }
    // What a mouse click on OK does: the button takes the focus, then the click runs.
    static void clickOk(Dialog& dialog) {
        dialog.BnOK->setFocus();
        dialog.BnOK->click();
    }
    // COMn now leads nowhere, as when an adapter is unplugged after the list was read.
    void unplug(int portNo) {
        const QString link = path(QStringLiteral("com%1").arg(portNo));
        ASSERT_TRUE(QFile::remove(link));
        ASSERT_TRUE(QFile::link(path("gone"), link));
    }
    int messageCount() const {
        int count = 0;
        for (const ScriptedPrompts::Question& q : m_prompts.questions())
            count += q.kind == ScriptedPrompts::Kind::Message;
        return count;
    }

    std::unique_ptr<PtyPair> m_com3;
    std::unique_ptr<PtyPair> m_com8;
    std::unique_ptr<TQxCommDevice> m_device;
    ScriptedPrompts m_prompts;
};

} // namespace

TEST_F(SettingsDialogTest, ShowsTheDeviceSettings) {
    TQxCommDevice& d = *m_device;
    d.setBaud(br9600);
    d.setParity(ptOddParity);
    d.setByteSize(7);
    d.setStopBits(sbTwoStopBit);
    d.setFlowControl(fcTranXonXoff);
    d.setAutoAnswer(3);
    d.setInBufSize(5000);
    d.setOutBufSize(6000);
    auto dialog = makeDialog();

    EXPECT_EQ(dialog->windowTitle(), "COM port Setup");
    ASSERT_EQ(dialog->CbPort->count(), 2);
    EXPECT_EQ(dialog->CbPort->itemText(1), "COM8");
    EXPECT_EQ(dialog->CbPort->currentText(), "COM3");
    EXPECT_EQ(dialog->CbSelBaud->count(), 15);
    EXPECT_EQ(dialog->CbSelBaud->currentText(), "9600");
    EXPECT_EQ(dialog->CbParity->currentText(), "Odd");
    EXPECT_EQ(dialog->CbByteSize->currentText(), "7");
    EXPECT_EQ(dialog->CbStopBits->currentText(), "2");
    EXPECT_EQ(dialog->CbFlow->currentText(), "Xon/Xoff");
    EXPECT_EQ(dialog->EditAutoAns->text(), "3");
    EXPECT_EQ(dialog->EditInBufSize->text(), "5000");
    EXPECT_EQ(dialog->EditOutBufSize->text(), "6000");
    EXPECT_TRUE(dialog->BnAbout->isHidden());
    EXPECT_TRUE(dialog->BnDefault->isHidden());
    EXPECT_TRUE(dialog->BnOK->isVisible());

    // The hidden buttons' handlers still work.
    dialog->BnDefaultClick();
    EXPECT_EQ(dialog->CbSelBaud->currentText(), "115200");
    EXPECT_EQ(dialog->CbParity->currentIndex(), 0);
    EXPECT_EQ(dialog->CbByteSize->currentText(), "8");
    EXPECT_EQ(dialog->CbStopBits->currentIndex(), 0);
    EXPECT_EQ(dialog->CbFlow->currentIndex(), 0);
    EXPECT_EQ(dialog->EditAutoAns->text(), "0");
    EXPECT_EQ(dialog->EditInBufSize->text(), "8192");
    EXPECT_EQ(dialog->EditOutBufSize->text(), "8192");
    EXPECT_EQ(dialog->CbPort->currentText(), "COM3") << "the port stays";
    dialog->BnAboutClick();
    ASSERT_NE(m_prompts.lastQuestion(), nullptr);
    EXPECT_TRUE(m_prompts.lastQuestion()->text.startsWith("TQxCommDevice "));
    EXPECT_EQ(d.Baud(), br9600) << "nothing applied";
}

// Values a list cannot show leave it without a selection, and OK names the first of them.
TEST_F(SettingsDialogTest, ValuesTheListsLackAreRefusedOnOk) {
    m_device->setPortNo(5);
    m_device->setByteSize(9);
    auto dialog = makeDialog();
    EXPECT_EQ(dialog->CbPort->currentIndex(), -1);
    EXPECT_EQ(dialog->CbByteSize->currentIndex(), -1);
    clickOk(*dialog);
    ASSERT_NE(m_prompts.lastQuestion(), nullptr);
    EXPECT_EQ(m_prompts.lastQuestion()->text, "Must select COM Port");
    dialog->CbPort->setCurrentIndex(0);
    clickOk(*dialog);
    EXPECT_EQ(m_prompts.lastQuestion()->text, "Must select byte size");
    EXPECT_EQ(dialog->result(), 0);
    EXPECT_EQ(m_device->PortNo(), 5);
}

TEST_F(SettingsDialogTest, ChecksInOrderAndStopsAtTheFirstFault) {
    struct Case {
        const char* what;
        std::function<void(Dialog&)> change;
        const char* message;
        std::function<QWidget*(Dialog&)> focused;
    };
    auto unselect = [](QComboBox* Dialog::*list) {
        return [list](Dialog& d) { (d.*list)->setCurrentIndex(-1); };
    };
    auto type = [](QLineEdit* Dialog::*edit, const char* text) {
        return [edit, text](Dialog& d) { (d.*edit)->setText(QString::fromUtf8(text)); };
    };
    auto at = [](auto control) { return [control](Dialog& d) -> QWidget* { return d.*control; }; };
    auto both = [](std::function<void(Dialog&)> a, std::function<void(Dialog&)> b) {
        return [a, b](Dialog& d) {
            a(d);
            b(d);
        };
    };
    const Case cases[] = {
        {"port", unselect(&Dialog::CbPort), "Must select COM Port", at(&Dialog::CbPort)},
        {"baud before auto answer",
         both(unselect(&Dialog::CbSelBaud), type(&Dialog::EditAutoAns, "x")),
         "Must select baud rate", at(&Dialog::CbSelBaud)},
        {"byte size before parity",
         both(unselect(&Dialog::CbParity), unselect(&Dialog::CbByteSize)), "Must select byte size",
         at(&Dialog::CbByteSize)},
        {"parity", unselect(&Dialog::CbParity), "Must select parity check", at(&Dialog::CbParity)},
        {"stop bits", unselect(&Dialog::CbStopBits), "Must select stop bits",
         at(&Dialog::CbStopBits)},
        {"flow", unselect(&Dialog::CbFlow), "Must select flow control", at(&Dialog::CbFlow)},
        {"rings 256", type(&Dialog::EditAutoAns, "256"), "Auto Answer: 0 - 255",
         at(&Dialog::EditAutoAns)},
        {"rings -1", type(&Dialog::EditAutoAns, "-1"), "Auto Answer: 0 - 255",
         at(&Dialog::EditAutoAns)},
        {"rings letter", type(&Dialog::EditAutoAns, "a"), "Auto Answer: 0 - 255",
         at(&Dialog::EditAutoAns)},
        {"rings blank", type(&Dialog::EditAutoAns, "  "), "Auto Answer: 0 - 255",
         at(&Dialog::EditAutoAns)},
        {"input 4095", type(&Dialog::EditInBufSize, "4095"), "Input Buffer size error",
         at(&Dialog::EditInBufSize)},
        {"input empty", type(&Dialog::EditInBufSize, ""), "Input Buffer size error",
         at(&Dialog::EditInBufSize)},
        {"input beyond an int", type(&Dialog::EditInBufSize, "4294971392"),
         "Input Buffer size error", at(&Dialog::EditInBufSize)},
        {"output 4095", type(&Dialog::EditOutBufSize, "4095"), "Output Buffer size error",
         at(&Dialog::EditOutBufSize)},
        {"output text", type(&Dialog::EditOutBufSize, "8k"), "Output Buffer size error",
         at(&Dialog::EditOutBufSize)},
    };
    for (const Case& c : cases) {
        m_prompts.clear();
        auto dialog = makeDialog(true);
        c.change(*dialog);
        clickOk(*dialog);
        ASSERT_EQ(m_prompts.questions().size(), 1u) << c.what;
        const ScriptedPrompts::Question& q = m_prompts.questions().front();
        EXPECT_EQ(q.text, c.message) << c.what;
        EXPECT_EQ(q.caption, "COM port Setup") << c.what;
        EXPECT_EQ(q.flags, ErrorBox) << c.what;
        EXPECT_EQ(dialog->focusWidget(), c.focused(*dialog)) << c.what;
        EXPECT_TRUE(dialog->isVisible()) << c.what;
        EXPECT_FALSE(m_device->Active()) << c.what << ": nothing applied";
    }
}

// Enter reaches OK as the default button: in a field it moves on, from the last it accepts.
TEST_F(SettingsDialogTest, EnterMovesThroughTheFieldsThenAccepts) {
    auto dialog = makeDialog(true);
    QWidget* const fields[] = {dialog->CbSelBaud,     dialog->CbParity,      dialog->CbByteSize,
                               dialog->CbStopBits,    dialog->CbFlow,        dialog->EditAutoAns,
                               dialog->EditInBufSize, dialog->EditOutBufSize};
    dialog->CbSelBaud->setCurrentIndex(br9600);
    dialog->CbPort->setFocus();
    for (QWidget* next : fields) {
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        ASSERT_EQ(dialog->focusWidget(), next);
    }
    EXPECT_TRUE(m_prompts.questions().empty());
    EXPECT_EQ(m_device->Baud(), br115200);
    EXPECT_FALSE(m_device->Active());
    EXPECT_TRUE(dialog->isVisible());

    QTest::keyClick(dialog->EditOutBufSize, Qt::Key_Enter);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(m_device->Baud(), br9600);
    EXPECT_TRUE(m_device->Active());
}

TEST_F(SettingsDialogTest, OkAppliesEverythingAndOpensAsAsked) {
    struct Case {
        bool wasActive;
        bool open;
        bool active;
    };
    for (const Case c :
         {Case{false, false, false}, Case{false, true, true}, Case{true, false, true}}) {
        SCOPED_TRACE(testing::Message() << "active " << c.wasActive << ", open " << c.open);
        m_device = std::make_unique<TQxCommDevice>();
        m_device->setPortNo(3);
        m_device->setActive(c.wasActive);
        m_prompts.setNextModal([](QDialog& modal) {
            auto& dialog = static_cast<Dialog&>(modal);
            dialog.show();
            dialog.CbPort->setCurrentIndex(dialog.CbPort->findText("COM8"));
            dialog.CbSelBaud->setCurrentIndex(br9600);
            dialog.CbStopBits->setCurrentIndex(sbTwoStopBit);
            dialog.CbFlow->setCurrentIndex(1);
            dialog.EditAutoAns->setText(" 7 ");
            dialog.EditInBufSize->setText("4096");
            dialog.EditOutBufSize->setText("10000");
            clickOk(dialog);
            return dialog.result();
        });
        ASSERT_TRUE(m_device->SettingsDialog(nullptr, c.open, m_prompts));
        TQxCommDevice& d = *m_device;
        EXPECT_EQ(d.PortNo(), 8);
        EXPECT_EQ(d.Baud(), br9600);
        EXPECT_EQ(d.StopBits(), sbTwoStopBit);
        EXPECT_EQ(d.FlowControl(), fcRtsCts);
        EXPECT_EQ(d.AutoAnswer(), 7);
        EXPECT_EQ(d.InBufSize(), 4096);
        EXPECT_EQ(d.OutBufSize(), 10000);
        ASSERT_EQ(d.Active(), c.active);
        if (!c.active) continue;
        // Open on COM8's device with the new line.
        EXPECT_EQ(deviceBaudRate(d.Handle()), 9600);
        termios t{};
        ASSERT_EQ(tcgetattr(d.Handle(), &t), 0);
        EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS), tcflag_t(CSTOPB | CRTSCTS));
        const std::uint8_t bytes[] = {0x55, 0xAA};
        ASSERT_EQ(d.Write(bytes, 2), 2);
        EXPECT_EQ(m_com8->receive(2), QByteArray("\x55\xAA"));
    }
}

TEST_F(SettingsDialogTest, CancelLeavesTheDeviceAlone) {
    m_device->setActive(true);
    m_prompts.setNextModal([](QDialog& modal) {
        auto& dialog = static_cast<Dialog&>(modal);
        dialog.CbPort->setCurrentIndex(dialog.CbPort->findText("COM8"));
        dialog.CbSelBaud->setCurrentIndex(br300);
        dialog.BnCancel->click();
        return dialog.result();
    });
    EXPECT_FALSE(m_device->SettingsDialog(nullptr, true, m_prompts));
    EXPECT_EQ(m_device->PortNo(), 3);
    EXPECT_EQ(m_device->Baud(), br115200);
    EXPECT_TRUE(m_device->Active());
}

// The chosen port is gone by the time OK is pressed: everything returns to the settings from
// before, the port reopens where it was (unless that port is gone too, which the restore
// bears silently), and the dialog stays open with the error.
TEST_F(SettingsDialogTest, FailedApplyRestoresTheDevice) {
    for (const bool originalGone : {false, true}) {
        SCOPED_TRACE(originalGone ? "original port gone too" : "original port present");
        m_prompts.clear();
        m_device.reset();
        m_com3 = publishPort(3);
        m_com8 = publishPort(8);
        m_device = std::make_unique<TQxCommDevice>();
        TQxCommDevice& d = *m_device;
        d.setPortNo(3);
        d.setBaud(br19200);
        d.setParity(ptEvenParity);
        d.setByteSize(7);
        d.setStopBits(sbTwoStopBit);
        d.setFlowControl(fcXonXoff);
        d.setAutoAnswer(2);
        d.setInBufSize(5000);
        d.setOutBufSize(6000);
        d.setActive(true);
        auto dialog = makeDialog();
        dialog->CbPort->setCurrentIndex(dialog->CbPort->findText("COM8"));
        dialog->BnDefaultClick();
        dialog->EditAutoAns->setText("9");
        unplug(8);
        if (originalGone) unplug(3);

        clickOk(*dialog);
        EXPECT_EQ(messageCount(), 1);
        ASSERT_NE(m_prompts.lastQuestion(), nullptr);
        EXPECT_EQ(m_prompts.lastQuestion()->text,
                  QString::fromUtf8(EComm32Error(EComm32Error::OpenPort).what()));
        EXPECT_EQ(m_prompts.lastQuestion()->caption, "COM port Setup");
        EXPECT_EQ(m_prompts.lastQuestion()->flags, ErrorBox);
        EXPECT_EQ(dialog->focusWidget(), dialog->CbPort);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), 0);

        EXPECT_EQ(d.PortNo(), 3);
        EXPECT_EQ(d.Baud(), br19200);
        EXPECT_EQ(d.Parity(), ptEvenParity);
        EXPECT_EQ(d.ByteSize(), 7);
        EXPECT_EQ(d.StopBits(), sbTwoStopBit);
        EXPECT_EQ(d.FlowControl(), fcXonXoff);
        EXPECT_EQ(d.AutoAnswer(), 2);
        EXPECT_EQ(d.InBufSize(), 5000);
        EXPECT_EQ(d.OutBufSize(), 6000);
        ASSERT_EQ(d.Active(), !originalGone);
        if (!originalGone) {
            EXPECT_EQ(deviceBaudRate(d.Handle()), 19200);
        }
    }
}

TEST_F(SettingsDialogTest, SpeaksTheSystemsLanguage) {
    struct Case {
        SystemLanguage language;
        const char* caption;
        const char* portLabel;
        const char* ok;
        const char* spaceParity;
        const char* bothFlows;
        const char* fontFamily;
        const char* noPort;
    };
    const Case cases[] = {
        {SystemLanguage::English, "COM port Setup", "COM port", "&OK", "Space Parity",
         "RTS/CTS & Xon/Xoff", "MS Sans Serif", "Must select COM Port"},
        {SystemLanguage::SimplifiedChinese, "端口设置", "端口", "确定", "Space (空格)",
         "RTS/CTS & Xon/Xoff (硬&软)", "宋体", "必须选择端口"},
        {SystemLanguage::TraditionalChinese, "序列埠設置", "序 列 埠", "確定", "Space (空白)",
         "RTS/CTS & Xon/Xoff (硬&軟)", "細明體", "必須選擇序列埠"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        m_prompts.clear();
        auto dialog = makeDialog(false, c.language);
        EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8(c.caption));
        EXPECT_EQ(dialog->lbPort->text(), QString::fromUtf8(c.portLabel));
        EXPECT_EQ(dialog->BnOK->text(), QString::fromUtf8(c.ok));
        EXPECT_EQ(dialog->CbParity->itemText(4), QString::fromUtf8(c.spaceParity));
        EXPECT_EQ(dialog->CbFlow->itemText(3), QString::fromUtf8(c.bothFlows));
        EXPECT_EQ(dialog->font().family(), QString::fromUtf8(c.fontFamily));
        dialog->CbPort->setCurrentIndex(-1);
        clickOk(*dialog);
        ASSERT_NE(m_prompts.lastQuestion(), nullptr);
        EXPECT_EQ(m_prompts.lastQuestion()->text, QString::fromUtf8(c.noPort));
        EXPECT_EQ(m_prompts.lastQuestion()->caption, QString::fromUtf8(c.caption));
    }
}
