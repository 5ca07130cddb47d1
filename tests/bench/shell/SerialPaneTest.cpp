#include "FormNetFixture.h"

#include "bench/serial/Qxcommdevice.h"
#include "tests/bench/serial/PtyPair.h"
#include "tests/support/TestWait.h"

#include <QComboBox>
#include <QFile>
#include <QToolButton>

class SerialPaneTest : public FormNetTest {
protected:
    // A pseudo-terminal published as COM2, chosen in the port list.
    void useTerminal() {
        ASSERT_TRUE(pty.isValid());
        ASSERT_TRUE(pty.linkAs(portFolder, 2));
        form->cbSerial->setCurrentIndex(1);
    }
    QStringList listsEnabled() {
        QStringList enabled;
        for (QComboBox* list : {form->cbSerial, form->cbWave, form->cbCheck, form->cbData,
                                form->cbStop})
            if (list->isEnabled())
                enabled << list->objectName();
        return enabled;
    }

    PtyPair pty;
};

TEST_F(SerialPaneTest, ListsReachThePortFromTheStart) {
    EXPECT_EQ(form->QxCommDevice1->PortNo(), 1);
    EXPECT_EQ(form->QxCommDevice1->Baud(), br9600);
    EXPECT_EQ(form->QxCommDevice1->Parity(), ptNoParity);
    EXPECT_EQ(form->QxCommDevice1->ByteSize(), 8);
    EXPECT_EQ(form->QxCommDevice1->StopBits(), sbOneStopBit);
    EXPECT_EQ(form->cmBtn_NetConnect_L->text(), "打开");

    form->cbCheck->setCurrentIndex(2);
    EXPECT_EQ(form->QxCommDevice1->Parity(), ptEvenParity);
    form->cbCheck->setCurrentIndex(0);
    EXPECT_EQ(form->QxCommDevice1->Parity(), ptNoParity);
    form->cbData->setCurrentIndex(0);
    form->cbStop->setCurrentIndex(1);
    form->cbWave->setCurrentIndex(12);
    EXPECT_EQ(form->QxCommDevice1->ByteSize(), 5);
    EXPECT_EQ(form->QxCommDevice1->StopBits(), sbTwoStopBit);
    EXPECT_EQ(form->QxCommDevice1->Baud(), br115200);
}

TEST_F(SerialPaneTest, OpensAndClosesAPortAndBytesFlow) {
    useTerminal();
    form->cmBtn_NetConnect_L->click();
    ASSERT_TRUE(form->QxCommDevice1->Active());
    EXPECT_TRUE(form->SerialOpened);
    EXPECT_EQ(form->cmBtn_NetConnect_L->text(), "关闭");
    EXPECT_TRUE(listsEnabled().isEmpty());

    const std::uint8_t out[] = {'p', 'i', 'n', 'g'};
    EXPECT_EQ(form->QxCommDevice1->Write(out, 4), 4);
    EXPECT_EQ(pty.receive(4), "ping");
    ASSERT_TRUE(pty.send("pong"));
    // The pane's 10 ms poll takes what arrives.
    ASSERT_TRUE(waitUntil([&] { return form->SerialRecvCount == 4; }));

    form->M0201->trigger();
    EXPECT_EQ(form->cmBtn_NetConnect_L->text(), "Close");
    form->M0202->trigger();
    EXPECT_EQ(form->cmBtn_NetConnect_L->text(), "关闭");

    form->cmBtn_NetConnect_L->click();
    EXPECT_FALSE(form->QxCommDevice1->Active());
    EXPECT_FALSE(form->SerialOpened);
    EXPECT_EQ(form->cmBtn_NetConnect_L->text(), "打开");
    EXPECT_EQ(listsEnabled().size(), 5);
}

TEST_F(SerialPaneTest, ChangingAListClosesThePortAndTheNextClickUsesIt) {
    useTerminal();
    form->cmBtn_NetConnect_L->click();
    ASSERT_TRUE(form->QxCommDevice1->Active());
    // Lists are disabled while open, as the user sees them; code can still change them.
    form->cbWave->setCurrentIndex(9);
    EXPECT_FALSE(form->QxCommDevice1->Active());
    EXPECT_TRUE(form->SerialOpened); // the last click's wish stays until the next click
    EXPECT_EQ(listsEnabled().size(), 5);
    form->cmBtn_NetConnect_L->click();
    EXPECT_TRUE(form->QxCommDevice1->Active());
    EXPECT_EQ(form->QxCommDevice1->Baud(), br38400);
}

TEST_F(SerialPaneTest, PortThatCannotOpenShowsTheEnginesMessage) {
    ASSERT_TRUE(QFile::link(portFolder + "/missing-device", portFolder + "/com5"));
    form->cbSerial->setCurrentIndex(4);
    form->cmBtn_NetConnect_L->click();
    EXPECT_FALSE(form->QxCommDevice1->Active());
    EXPECT_TRUE(form->SerialOpened); // unchanged
    EXPECT_EQ(form->cmBtn_NetConnect_L->text(), "打开");
    ASSERT_NE(prompts.lastQuestion(), nullptr);
    EXPECT_FALSE(prompts.lastQuestion()->text.isEmpty());
    EXPECT_EQ(prompts.lastQuestion()->flags, Prompts::MbOk | Prompts::MbIconError);
}

TEST_F(SerialPaneTest, FarEndHangingUpShowsThePortClosed) {
    useTerminal();
    form->cmBtn_NetConnect_L->click();
    ASSERT_TRUE(form->QxCommDevice1->Active());
    pty.closeMaster();
    EXPECT_TRUE(waitUntil([&] { return !form->QxCommDevice1->Active(); }, 3000));
    EXPECT_EQ(form->cmBtn_NetConnect_L->text(), "打开");
    EXPECT_EQ(listsEnabled().size(), 5);
}
