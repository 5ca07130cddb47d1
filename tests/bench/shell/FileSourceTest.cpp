#include "DataPathSupport.h"

#include "bench/net/cmSocket.h"
#include "bench/serial/Qxcommdevice.h"
#include "bench/ui/BevelButton.h"
#include "tests/support/TestWait.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <sys/socket.h>

class FileSourceTest : public DataPathTest {
protected:
    // Checks the pane's file-source box and chooses `path` in its dialog.
    void chooseSource(QCheckBox* box, const QString& path) {
        prompts.setNextFileName(path);
        box->setChecked(true);
    }
};

TEST_F(FileSourceTest, CheckBoxShowsTheFileAndBothPanesStreamTheLastChosen) {
    form->MemoSend->setPlainText("typed");
    form->CheckBox_FileInput->setChecked(true); // the dialog is cancelled
    EXPECT_FALSE(form->CheckBox_FileInput->isChecked());
    EXPECT_EQ(form->MemoSend->toPlainText(), "typed");
    chooseSource(form->CheckBox_FileInput, folder.filePath("missing.bin"));
    EXPECT_FALSE(form->CheckBox_FileInput->isChecked());
    EXPECT_EQ(prompts.lastQuestion()->text, "Can not open file!");
    EXPECT_EQ(form->MemoSend->toPlainText(), "typed");

    const QString first = writeFile("first.bin", "first");
    chooseSource(form->CheckBox_FileInput, first);
    EXPECT_EQ(form->MemoSend->toPlainText(), "启用外部文件数据源：\n" + first + " ...");
    EXPECT_TRUE(form->MemoSend->isReadOnly());
    EXPECT_EQ(form->MemoSend->palette().color(QPalette::Base), QColor(0xDFDFDF));
    const QString second = writeFile("second.bin", "second");
    chooseSource(form->CheckBox_FileInput_L, second);
    EXPECT_EQ(form->DataFilePath, second);

    PlainSocket peer = PlainSocket::udp();
    openUdpTo(peer);
    form->Btn_SendClick();
    ASSERT_TRUE(waitUntil([&] { return form->NetSendCount == 6; }));
    EXPECT_EQ(datagrams(peer), std::vector<QByteArray>{"second"});

    form->CheckBox_FileInput->setChecked(false);
    EXPECT_EQ(form->MemoSend->toPlainText(), "");
    EXPECT_FALSE(form->MemoSend->isReadOnly());

    QFile::remove(second);
    form->Btn_Send_LClick(); // the port is not open
    openSerial();
    form->Btn_Send_LClick();
    EXPECT_EQ(prompts.lastQuestion()->text, "Can not open data file！");
    EXPECT_FALSE(form->SerialSending);
}

TEST_F(FileSourceTest, PlainFilesGoInBlocksAndHexFilesLineByLine) {
    PlainSocket peer = PlainSocket::udp();
    openUdpTo(peer);
    chooseSource(form->CheckBox_FileInput, writeFile("text.txt", "AB\r\nCD"));
    form->Btn_SendClick();
    EXPECT_EQ(datagrams(peer), std::vector<QByteArray>{"AB\r\nCD"}); // line ends included
    EXPECT_EQ(form->HintLabel->text(), "发送完毕!");
    EXPECT_EQ(form->StaticTextSend->text(), "发送 : 6");

    form->CheckBox_FileInput->setChecked(false);
    chooseSource(form->CheckBox_FileInput, writeFile("hex.txt", "41 42\r\n\r\n43"));
    form->CheckBox_SendAsHex->setChecked(true);
    form->Btn_SendClick();
    EXPECT_EQ(datagrams(peer), (std::vector<QByteArray>{"AB", "C"}));

    // Cycling repeats the file until stopped; an interval of 0 means no pause.
    form->Language = "0";
    form->CheckBox_SendRecycled->setChecked(true);
    form->Edit_SendInterval->setText("0");
    std::vector<QByteArray> got;
    WhileSending watch(
        [&] {
            for (QByteArray& d : datagrams(peer))
                got.push_back(std::move(d));
            if (got.size() < 6)
                return false;
            form->Btn_SendClick();
            return true;
        },
        [&] { form->Btn_SendClick(); });
    form->Btn_SendClick();
    pumpEvents(50);
    for (QByteArray& d : datagrams(peer))
        got.push_back(std::move(d));
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i], i % 2 ? "C" : "AB") << i;
    EXPECT_EQ(form->NetInterval, 0);
    EXPECT_EQ(form->HintLabel->text(), "Succeed sending!");
    EXPECT_EQ(form->Btn_Send->text(), "Send");
}

TEST_F(FileSourceTest, LargeFileReachesASlowTcpReaderWholeAndInOrder) {
    const QByteArray data = patternBytes(20 * 1024 * 1024);
    chooseSource(form->CheckBox_FileInput, writeFile("big.bin", data));
    PlainSocket server = connectClient();
    form->Edit_SendInterval->setText("0");
    // About 10 MB/s: once the system's buffers are full the sender waits for the reader.
    SlowReader reader(server.fd(), data.size(), 16384, 1500);
    form->Btn_SendClick();
    EXPECT_EQ(form->HintLabel->text(), "发送完毕!");
    EXPECT_EQ(form->NetSendCount, data.size());
    const QByteArray got = reader.finish();
    EXPECT_EQ(got.size(), data.size());
    EXPECT_TRUE(got == data);
}

TEST_F(FileSourceTest, LargeFileReachesASlowPseudoTerminalReaderWholeAndInOrder) {
    const QByteArray data = patternBytes(20 * 1024 * 1024);
    chooseSource(form->CheckBox_FileInput_L, writeFile("big.bin", data));
    openSerial();
    form->Edit_SendInterval_L->setText("0");
    SlowReader reader(pty.master(), data.size());
    form->Btn_Send_LClick();
    EXPECT_EQ(form->HintLabelL->text(), "发送完毕!");
    const QByteArray got = reader.finish();
    EXPECT_EQ(got.size(), data.size());
    EXPECT_TRUE(got == data);
    EXPECT_EQ(form->SerialSendCount, data.size());
}

TEST_F(FileSourceTest, StopWhileThePeerTakesNothingEndsTheLoopAndLeavesWholeGroups) {
    const QByteArray data = patternBytes(12 * 1024 * 1024);
    const QString path = writeFile("big.bin", data);
    PlainSocket server = connectClient(); // never reads until the loop has ended
    const int window = 16 * 1024;
    ::setsockopt(server.fd(), SOL_SOCKET, SO_RCVBUF, &window, sizeof window);
    openSerial(); // nor does the far end of the line
    for (bool serial : {false, true}) {
        SCOPED_TRACE(serial ? "serial" : "network");
        chooseSource(serial ? form->CheckBox_FileInput_L : form->CheckBox_FileInput, path);
        (serial ? form->Edit_SendInterval_L : form->Edit_SendInterval)->setText("0");
        std::int32_t& count = serial ? form->SerialSendCount : form->NetSendCount;
        std::int32_t last = -1;
        int still = 0;
        WhileSending watch(
            [&] {
                // Stalled: nothing went out for a while, the loop waits for the peer.
                still = count == last ? still + 1 : 0;
                last = count;
                if (still < 25)
                    return false;
                (serial ? form->Btn_Send_L : form->Btn_Send)->clicked();
                return true;
            },
            [&] { (serial ? form->Btn_Send_L : form->Btn_Send)->clicked(); });
        if (serial)
            form->Btn_Send_LClick();
        else
            form->Btn_SendClick();
        EXPECT_LT(count, data.size());
        SlowReader reader(serial ? pty.master() : server.fd(), data.size(), 65536, 0, 1000);
        const QByteArray got = reader.finish();
        // What was counted arrives, and it is whole groups of the file from its start.
        EXPECT_EQ(got.size(), count);
        EXPECT_EQ(got.size() % 4096, 0);
        EXPECT_TRUE(got == data.left(got.size()));
    }
}
