#include "DataPathSupport.h"

#include "bench/datapath/LoopWait.h"
#include "bench/net/cmSocket.h"
#include "bench/ui/BevelButton.h"
#include "bench/ui/RadioGroup.h"
#include "bench/ui/TcmIPEdit.h"
#include "tests/support/TestWait.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

using SendLoopTest = DataPathTest;

TEST_F(SendLoopTest, NetworkLoopSendsLineByLineWithTheIntervalFloorAndEndsAtTheLastLine) {
    PlainSocket server = connectClient();
    form->MemoSend->setPlainText("a\nbb\nccc");
    form->Edit_SendInterval->setText("10");
    bool lockedWhileSending = false;
    QString caption;
    WhileSending watch(
        [&] {
            lockedWhileSending = !form->MemoSend->isEnabled() &&
                                 !form->ComboBox_Protocol->isEnabled() &&
                                 !form->cmBtn_NetConnect->isEnabled() &&
                                 !form->CheckBox_SendAsHex->isEnabled() &&
                                 !form->CheckBox_FileInput->isEnabled();
            caption = form->Btn_Send->text();
            return true;
        },
        [] {});
    QElapsedTimer clock;
    clock.start();
    form->Btn_SendClick();
    // Three groups, two waits of at least the 50 ms floor between them.
    EXPECT_GE(clock.elapsed(), 100);
    EXPECT_EQ(server.readExactly(8), "a\nbb\nccc");
    EXPECT_TRUE(lockedWhileSending);
    EXPECT_EQ(caption, "停止发送");
    EXPECT_EQ(form->NetInterval, 50);
    EXPECT_EQ(form->Edit_SendInterval->text(), "10");
    EXPECT_EQ(form->NetSendCount, 8);
    EXPECT_EQ(form->StaticTextSend->text(), "发送 : 8");
    EXPECT_EQ(form->HintLabel->text(), "成功发送 ccc");
    EXPECT_EQ(form->Btn_Send->text(), "发送");
    EXPECT_TRUE(form->MemoSend->isEnabled());
    EXPECT_TRUE(form->CheckBox_SendAsHex->isEnabled());
    EXPECT_TRUE(form->cmBtn_NetConnect->isEnabled());
    // The socket is still open: its settings stay locked.
    EXPECT_FALSE(form->ComboBox_Protocol->isEnabled());
}

TEST_F(SendLoopTest, CyclingStartsAgainAtTheFirstLineAndStopSendsNothingMore) {
    PlainSocket server = connectClient();
    form->Language = "0";
    form->MemoSend->setPlainText("x\ny");
    form->CheckBox_SendRecycled->setChecked(true);
    form->CheckBox_ClearAfterSend->setChecked(true);
    form->Edit_SendInterval->setText("0");
    QByteArray got;
    WhileSending watch(
        [&] {
            got += server.readAvailable();
            if (got.size() < 9)
                return false;
            EXPECT_EQ(form->Btn_Send->text(), "Stop");
            form->Btn_Send->clicked(); // the user presses Stop during a wait
            return true;
        },
        [&] { form->Btn_SendClick(); });
    form->Btn_SendClick();
    pumpEvents(150); // longer than the interval: a group after Stop would show
    got += server.readAvailable();
    EXPECT_TRUE(QByteArray("x\nyx\nyx\nyx\nyx\nyx\ny").startsWith(got)) << got.toStdString();
    EXPECT_GE(got.size(), 9);
    EXPECT_EQ(form->NetSendCount, got.size());
    EXPECT_EQ(form->Btn_Send->text(), "Send");
    EXPECT_EQ(form->MemoSend->toPlainText(), ""); // cleared after sending
}

TEST_F(SendLoopTest, ChecksumDialogSetsTheModeAndTheByteThatFollowsEachGroup) {
    PlainSocket server = connectClient();
    form->CheckBox_SendAsHex->setChecked(true);
    form->MemoSend->setPlainText("01 02 03");
    struct Case {
        int mode;
        const char* fixed;
        char appended;
    } cases[] = {{0, "0d", '\xFA'}, {1, "0d", '\x06'}, {2, "0d", '\x0D'}, {2, "7f", '\x7F'}};
    for (const Case& c : cases) {
        QString shownByte;
        prompts.setNextModal([&](QDialog& dialog) {
            shownByte = dialog.findChild<QLineEdit*>("Edit_FixChecksum")->text();
            dialog.findChild<RadioGroup*>("RadioGroupChecksum")->setItemIndex(c.mode);
            dialog.findChild<QLineEdit*>("Edit_FixChecksum")->setText(c.fixed);
            return int(Prompts::IdYes);
        });
        form->CheckBox_SendAutoChecksum->setChecked(false);
        form->CheckBox_SendAutoChecksum->setChecked(true);
        EXPECT_EQ(prompts.lastQuestion()->text, "附加位设置");
        EXPECT_EQ(form->NetChecksumMode, c.mode);
        const std::int32_t before = form->NetSendCount;
        form->Btn_SendClick();
        EXPECT_EQ(server.readExactly(4), QByteArray("\x01\x02\x03", 3) + c.appended);
        EXPECT_EQ(form->NetSendCount - before, 4);
        if (c.mode == 2) {
            EXPECT_EQ(shownByte, "0D"); // the stored byte, as two upper-case digits
        }
    }
    EXPECT_EQ(form->NetFixedByte, 0x7F);

    // No keeps the stored mode, and the dialog shows it again next time.
    prompts.setNextModal([](QDialog& dialog) {
        dialog.findChild<RadioGroup*>("RadioGroupChecksum")->setItemIndex(0);
        return int(Prompts::IdNo);
    });
    form->CheckBox_SendAutoChecksum->setChecked(false);
    form->CheckBox_SendAutoChecksum->setChecked(true);
    EXPECT_EQ(form->NetChecksumMode, 2);
    EXPECT_EQ(form->RadioGroupChecksum->itemIndex(), 2);
    EXPECT_TRUE(form->CheckBox_SendAutoChecksum->isChecked());
}

TEST_F(SendLoopTest, ClosedTransportIsRefusedWithTheMessageOfItsPane) {
    const QString dataFile = writeFile("data.bin", "abc");
    struct Case {
        bool serial;
        bool fileSource;
        const char* language;
        const char* text;
    } cases[] = {
        {false, false, "1", "网络尚未连接! \n\n发送失败！"},
        {false, false, "0", "Not connect! \n\nSend fail!"},
        {false, true, "0", "Not connect! \n\nSend fail！"},
        {true, false, "1", "串口没有打开！ \n\n发送失败！"},
        {true, true, "0", "Not cnnect! \n\nSend fail!"},
    };
    for (const Case& c : cases) {
        form->Language = c.language;
        QCheckBox* fileInput = c.serial ? form->CheckBox_FileInput_L : form->CheckBox_FileInput;
        if (c.fileSource) {
            prompts.setNextFileName(dataFile);
            fileInput->setChecked(true);
        }
        (c.serial ? form->Btn_Send_L : form->Btn_Send)->clicked();
        ASSERT_NE(prompts.lastQuestion(), nullptr);
        EXPECT_EQ(prompts.lastQuestion()->text, c.text);
        EXPECT_EQ(prompts.lastQuestion()->caption, "Warning");
        EXPECT_EQ(prompts.lastQuestion()->flags, Prompts::MbIconError);
        EXPECT_FALSE(form->NetSending || form->SerialSending);
        fileInput->setChecked(false);
    }
}

TEST_F(SendLoopTest, EmptySendBoxEndsAtOnceWithoutAStatusChange) {
    PlainSocket server = connectClient();
    form->HintLabel->setText("before");
    form->Btn_SendClick();
    EXPECT_EQ(form->HintLabel->text(), "before");
    EXPECT_FALSE(form->NetSending);
    EXPECT_EQ(form->NetSendCount, 0);
    EXPECT_EQ(form->Btn_Send->text(), "发送");
}

TEST_F(SendLoopTest, SerialLoopWritesHexGroupsToThePort) {
    openSerial();
    form->CheckBox_SendAsHex_L->setChecked(true);
    form->MemoSend_L->setPlainText("01 02\n\n03");
    form->Edit_SendInterval_L->setText(""); // refilled with the last valid interval, 0 at first
    form->Btn_Send_LClick();
    EXPECT_EQ(pty.receive(3), QByteArray("\x01\x02\x03", 3));
    EXPECT_EQ(form->Edit_SendInterval_L->text(), "0");
    EXPECT_EQ(form->SerialSingleInterval, 50);
    EXPECT_EQ(form->SerialSendCount, 3);
    EXPECT_EQ(form->StaticTextSendL->text(), "发送 : 3");
    EXPECT_EQ(form->HintLabelL->text(), "成功发送 03");
    EXPECT_EQ(form->Btn_Send_L->text(), "发送");
    // The port is open: its lists stay locked; the rest is free again.
    EXPECT_FALSE(form->cbWave->isEnabled());
    EXPECT_TRUE(form->MemoSend_L->isEnabled());
    EXPECT_TRUE(form->cmBtn_NetConnect_L->isEnabled());
}

TEST_F(SendLoopTest, LostConnectionEndsTheLoopWithSendFail) {
    PlainSocket server = connectClient();
    form->MemoSend->setPlainText("ping");
    form->CheckBox_SendRecycled->setChecked(true);
    WhileSending watch(
        [&] {
            if (server.readAvailable().isEmpty())
                return false;
            server.close();
            return true;
        },
        [&] { form->Btn_SendClick(); });
    form->Btn_SendClick();
    EXPECT_EQ(form->HintLabel->text(), "发送失败!");
    EXPECT_FALSE(form->NetSending);
    EXPECT_EQ(form->Btn_Send->text(), "发送");
}

TEST_F(SendLoopTest, WaitSleepsWithoutUsingTheProcessorAndEndsWhenSendingStops) {
    bool sending = true;
    const double cpuBefore = processCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    form->WaitInterval(2000, sending);
    EXPECT_GE(clock.elapsed(), 1990);
    // A loop of "process messages" would burn the whole two seconds.
    EXPECT_LT(processCpuSeconds() - cpuBefore, 0.2);

    QTimer::singleShot(20, [&] {
        sending = false;
        LoopWait::wake();
    });
    clock.restart();
    form->WaitInterval(60000, sending);
    EXPECT_LT(clock.elapsed(), 30000);
}

TEST_F(SendLoopTest, ClosingTheWindowEndsRunningSendersOfBothPanes) {
    PlainSocket server = connectClient();
    openSerial();
    form->MemoSend->setPlainText("n");
    form->CheckBox_SendRecycled->setChecked(true);
    form->MemoSend_L->setPlainText("s");
    form->CheckBox_SendRecycled_L->setChecked(true);
    form->Btn_Send_LClick(); // the cyclic worker
    WhileSending watch(
        [&] {
            if (server.readAvailable().isEmpty())
                return false;
            prompts.setNextAnswer(Prompts::IdYes);
            form->close();
            return true;
        },
        [&] { form->Btn_SendClick(); });
    form->Btn_SendClick(); // returns once the window is closed
    EXPECT_FALSE(form->AppRunning);
    EXPECT_FALSE(form->NetSending);
    EXPECT_FALSE(form->isVisible());
}
