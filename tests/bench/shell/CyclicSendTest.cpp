#include "DataPathSupport.h"

#include "bench/ui/BevelButton.h"
#include "tests/support/TestWait.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

// Cyclic sending of the serial pane runs on its worker: the test's thread stays free, and
// reads the far end of the line while the window goes on working.
class CyclicSendTest : public DataPathTest {
protected:
    void SetUp() override {
        DataPathTest::SetUp();
        openSerial();
        form->CheckBox_SendRecycled_L->setChecked(true);
        form->Edit_SendInterval_L->setText("0"); // the 50 ms floor
    }
    // Reads the line until `got` holds at least `count` bytes.
    bool readUntil(int count) {
        return waitUntil(
            [&] {
                got += pty.receiveFor(1);
                return got.size() >= count;
            },
            10000);
    }
    // The groups of `text` cycled, as they follow each other on the line.
    static QByteArray cycle(const QByteArray& round) { return round.repeated(200); }

    QByteArray got;
};

TEST_F(CyclicSendTest, SendStartsStopPausesAndSendContinuesWithTheNextLine) {
    form->SerialChecksumMode = 2;
    form->SerialFixedByte = '!';
    form->CheckBox_SendAutoChecksum_L->setChecked(true); // the dialog is closed: mode kept
    form->MemoSend_L->setPlainText("a\nb\nc");
    form->Btn_Send_L->clicked();
    EXPECT_EQ(form->Btn_Send_L->text(), "停止发送");
    EXPECT_FALSE(form->MemoSend_L->isEnabled());
    EXPECT_FALSE(form->CheckBox_SendAsHex_L->isEnabled());
    EXPECT_EQ(form->SerialInterval, 50);
    ASSERT_TRUE(readUntil(8));
    EXPECT_TRUE(form->Btn_Send_L->looksPressed());

    // Pause when the line ends in the middle of the text.
    ASSERT_TRUE(waitUntil([&] {
        got += pty.receiveFor(1);
        return got.endsWith("b\n!");
    }, 10000));
    form->Btn_Send_L->clicked();
    EXPECT_EQ(form->Btn_Send_L->text(), "发送");
    EXPECT_FALSE(form->Btn_Send_L->looksPressed());
    EXPECT_TRUE(form->MemoSend_L->isEnabled());
    EXPECT_FALSE(form->cbWave->isEnabled()); // the port is still open
    pumpEvents(100);
    got += pty.receiveFor(20);
    const qsizetype paused = got.size();
    pumpEvents(150);
    got += pty.receiveFor(20);
    EXPECT_EQ(got.size(), paused); // nothing while paused

    form->Btn_Send_L->clicked();
    ASSERT_TRUE(readUntil(static_cast<int>(paused) + 6));
    form->Btn_Send_L->clicked();
    pumpEvents(100);
    got += pty.receiveFor(20);
    // One unbroken cycle: the pause went on with the line after it, not from the start.
    EXPECT_TRUE(cycle("a\n!b\n!c!").startsWith(got)) << got.toStdString();
    EXPECT_EQ(form->SerialSendCount, got.size());
}

TEST_F(CyclicSendTest, UncheckingTheCycleBoxPausesAndSendsTheBoxOnceFromItsStart) {
    form->MemoSend_L->setPlainText("a\nb\nc");
    form->Btn_Send_LClick();
    ASSERT_TRUE(waitUntil([&] {
        got += pty.receiveFor(1);
        return got.endsWith("a\n");
    }, 10000));
    form->CheckBox_SendRecycled_L->setChecked(false); // returns after the one pass
    EXPECT_EQ(form->Btn_Send_L->text(), "发送");
    EXPECT_FALSE(form->SerialSending);
    EXPECT_TRUE(form->CheckBox_SendAsHex_L->isEnabled());
    pumpEvents(150);
    got += pty.receiveFor(50);
    ASSERT_TRUE(got.endsWith("a\nb\nc")) << got.toStdString();
    EXPECT_TRUE(cycle("a\nb\nc").startsWith(got.chopped(5))) << got.toStdString();
}

TEST_F(CyclicSendTest, LoopThatRanOutIsStartedAfreshByTheNextSend) {
    form->Btn_Send_LClick(); // nothing to send: the loop ends at once
    ASSERT_TRUE(waitUntil([&] { return !form->WorkerSending; }));
    EXPECT_EQ(form->Btn_Send_L->text(), "发送");
    EXPECT_TRUE(form->MemoSend_L->isEnabled());
    EXPECT_TRUE(form->CheckBox_SendAsHex_L->isEnabled());

    form->MemoSend_L->setPlainText("q");
    form->Btn_Send_LClick();
    EXPECT_EQ(form->Btn_Send_L->text(), "停止发送");
    ASSERT_TRUE(readUntil(3));
    form->Btn_Send_LClick();
    EXPECT_TRUE(got.startsWith("qqq"));
}
