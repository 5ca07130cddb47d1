#include "DataPathSupport.h"

#include "bench/net/cmSocket.h"
#include "tests/support/TestWait.h"

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

class ReceiveTest : public DataPathTest {
protected:
    void SetUp() override {
        DataPathTest::SetUp();
        openUdpTo(peer);
        openSerial();
    }
    // One datagram into the network pane, counted before this returns.
    void toNet(const QByteArray& bytes, const PlainSocket& from) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(form->MySocket->LocalPort()));
        to.sin_addr.s_addr = loopbackAddress();
        const std::int32_t expected = form->NetRecvCount + static_cast<std::int32_t>(bytes.size());
        ::sendto(from.fd(), bytes.constData(), bytes.size(), 0,
                 reinterpret_cast<const sockaddr*>(&to), sizeof to);
        ASSERT_TRUE(waitUntil([&] { return form->NetRecvCount == expected; }));
    }
    void toNet(const QByteArray& bytes) { toNet(bytes, peer); }
    // Bytes through the pseudo-terminal into the serial pane, counted before this returns.
    void toSerial(const QByteArray& bytes) {
        const std::int32_t expected =
            form->SerialRecvCount + static_cast<std::int32_t>(bytes.size());
        ASSERT_TRUE(pty.send(bytes));
        ASSERT_TRUE(waitUntil([&] { return form->SerialRecvCount == expected; }));
    }
    QString header(const PlainSocket& from) const {
        return QStringLiteral("【Receive from 127.0.0.1 : %1】：").arg(from.localPort());
    }
    // Chooses `path` in the redirection dialog; `slot` answers the question about a file that
    // holds data (2 overwrite, 1 append, 0 cancel).
    void redirect(QCheckBox* box, const QString& path, int filterIndex = 1, int slot = -1) {
        prompts.setNextFileName(path, filterIndex);
        if (slot >= 0)
            prompts.setNextModal([this, slot](QDialog& dialog) {
                QStringList captions;
                for (QPushButton* b : dialog.findChildren<QPushButton*>())
                    captions << b->text();
                buttons = captions;
                dialog.findChildren<QPushButton*>().at(2 - slot)->click();
                return dialog.result();
            });
        box->setChecked(true);
    }

    PlainSocket peer = PlainSocket::udp();
    QStringList buttons; // of the last overwrite/append question, left to right
};

TEST_F(ReceiveTest, PanesShowTheSameBytesEachInItsOwnWay) {
    const QByteArray bytes("A\nB");
    form->CheckBox_ReceiveShowHex_L->setChecked(false);
    toSerial(bytes);
    EXPECT_EQ(shown(form->TextRecv_L), "A\nB");
    form->Label_ClearRecv_LClick();
    form->CheckBox_ReceiveShowHex_L->setChecked(true);
    toSerial(bytes);
    EXPECT_EQ(shown(form->TextRecv_L), "41 0A 42 "); // every pair ends with a space

    form->CheckBox_ReceiveAutoReturn->setChecked(true);
    toNet(bytes);
    EXPECT_EQ(shown(form->TextRecv), header(peer) + "\n41 0A 42\n"); // no trailing space
    form->CheckBox_ReceiveShowHex->setChecked(false);
    toNet(bytes);
    PlainSocket other = PlainSocket::udp();
    toNet("cd", other);
    EXPECT_EQ(shown(form->TextRecv),
              header(peer) + "\n41 0A 42\nA\nB\n" + header(other) + "\ncd\n");
    EXPECT_EQ(form->StaticTextRecv->text(), "接收 : 8");
    EXPECT_EQ(form->StaticTextRecvL->text(), "接收 : 6");

    // The source survives a clear: the same sender gets no new header.
    form->Label_ClearRecvClick();
    toNet("ef", other);
    EXPECT_EQ(shown(form->TextRecv), "ef\n");
}

TEST_F(ReceiveTest, TextKeepsBytesAfterAZeroAndCharactersSplitAcrossChunks) {
    form->CheckBox_ReceiveShowHex->setChecked(false);
    form->CheckBox_ReceiveShowHex_L->setChecked(false);
    // "中" is E4 B8 AD; a CR LF is split too.
    const QByteArray chunks[] = {QByteArray("a\0b\xE4\xB8", 5), "\xAD" "c\r", "\nd\xFF"};
    for (const QByteArray& chunk : chunks) {
        toNet(chunk);
        toSerial(chunk);
    }
    const QString expected = QStringLiteral("a\uFFFDb中c\nd\uFFFD");
    EXPECT_EQ(shown(form->TextRecv), header(peer) + "\n" + expected);
    EXPECT_EQ(shown(form->TextRecv_L), expected);
}

TEST_F(ReceiveTest, PauseStopsTheDisplayWhileTheCounterGoesOn) {
    form->CheckBox_PauseReceive->setChecked(true);
    form->CheckBox_PauseReceive_L->setChecked(true);
    EXPECT_EQ(form->TextRecv->viewport()->cursor().shape(), Qt::ForbiddenCursor);
    EXPECT_EQ(form->TextRecv_L->palette().color(QPalette::Base), QColor(0x8F8F8F));
    toNet("ab");
    toSerial("cd");
    EXPECT_EQ(shown(form->TextRecv), "");
    EXPECT_EQ(shown(form->TextRecv_L), "");
    EXPECT_EQ(form->NetRecvCount, 2);
    EXPECT_EQ(form->SerialRecvCount, 2);

    // Redirected: the serial pane still writes the file, the network pane does not.
    const QString path = folder.filePath("paused.txt");
    redirect(form->CheckBox_FileOutput_L, path);
    redirect(form->CheckBox_FileOutput, path); // still empty: no question
    toSerial("ef");
    toNet("gh");
    EXPECT_EQ(readFile(path), "65 66 ");
    form->CheckBox_PauseReceive->setChecked(false);
    EXPECT_EQ(form->TextRecv->viewport()->cursor().shape(), Qt::IBeamCursor);
}

TEST_F(ReceiveTest, RedirectionAppendsOrOverwritesAnExistingFileAsTheUserChooses) {
    form->CheckBox_ReceiveAutoReturn->setChecked(true);
    form->CheckBox_ReceiveShowHex->setChecked(false);
    toNet("shown before");
    const QString path = writeFile("capture.txt", "old\n");

    // Cancel: the box stays as it was and unchecked.
    redirect(form->CheckBox_FileOutput, path, 1, 0);
    EXPECT_EQ(buttons, QStringList({"覆盖", "追加", "取消"}));
    EXPECT_EQ(prompts.lastQuestion()->kind, ScriptedPrompts::Kind::Modal);
    EXPECT_EQ(prompts.lastQuestion()->text, "Warning");
    EXPECT_FALSE(form->CheckBox_FileOutput->isChecked());
    EXPECT_TRUE(shown(form->TextRecv).contains("shown before"));

    redirect(form->CheckBox_FileOutput, path, 1, 1); // append
    EXPECT_EQ(shown(form->TextRecv), "接收转向至文件：\n" + path + " ...");
    EXPECT_TRUE(form->TextRecv->isReadOnly());
    EXPECT_EQ(form->TextRecv->palette().color(QPalette::Base), QColor(0xDFDFDF));
    PlainSocket other = PlainSocket::udp();
    toNet("ab", other);
    // A chunk longer than a third of 65535 bytes: every byte as hex.
    QByteArray big(30000, 'z');
    form->CheckBox_ReceiveShowHex->setChecked(true);
    toNet(big, other);
    const QByteArray bigHex = QByteArray("7A ").repeated(30000).chopped(1);
    const QByteArray captured = readFile(path);
    const QByteArray expected = "old\n" + header(other).toUtf8() + "\r\nab\r\n" + bigHex + "\r\n";
    EXPECT_EQ(captured.size(), expected.size());
    EXPECT_TRUE(captured == expected) << captured.left(120).toStdString() << " | "
                                      << captured.right(20).toStdString();

    // Save and clear refuse while redirected.
    form->Label_SaveDataClick();
    EXPECT_EQ(prompts.lastQuestion()->text, "接收转向至文件时无法执行该操作！");
    form->Label_ClearRecvClick();
    EXPECT_EQ(prompts.lastQuestion()->text, "接收转向至文件时无法执行该操作！");

    form->CheckBox_FileOutput->setChecked(false);
    EXPECT_EQ(shown(form->TextRecv), "");
    EXPECT_FALSE(form->TextRecv->isReadOnly());

    redirect(form->CheckBox_FileOutput, path, 1, 2); // overwrite
    form->CheckBox_ReceiveShowHex->setChecked(false);
    toNet("cd", other);
    EXPECT_EQ(readFile(path), "cd\r\n"); // same source: no header

    // Without an extension the chosen filter adds one; a new file is created without asking.
    form->CheckBox_FileOutput_L->setChecked(false);
    redirect(form->CheckBox_FileOutput_L, folder.filePath("serial"), 2);
    EXPECT_EQ(form->RecvFilePath, folder.filePath("serial.bin"));
    EXPECT_TRUE(QFile::exists(form->RecvFilePath));
    form->CheckBox_ReceiveAutoReturn_L->setChecked(true);
    toSerial("A\nB");
    EXPECT_EQ(readFile(form->RecvFilePath), "41 0A 42 \r\n");
}

TEST_F(ReceiveTest, AutomaticNewLineStartsALineAtOnceAndSaveWritesWhatIsShown) {
    form->CheckBox_ReceiveShowHex_L->setChecked(false);
    toSerial("abc");
    form->CheckBox_ReceiveAutoReturn_L->setChecked(true);
    EXPECT_EQ(shown(form->TextRecv_L), "abc\n");
    form->CheckBox_ReceiveAutoReturn_L->setChecked(false);
    form->CheckBox_ReceiveAutoReturn_L->setChecked(true); // already on a new line: nothing
    EXPECT_EQ(shown(form->TextRecv_L), "abc\n");
    form->CheckBox_ReceiveAutoReturn_L->setChecked(false);
    // A line without end, far longer than the box keeps in one piece.
    QByteArray line;
    for (int i = 0; i < 2000; ++i)
        line += "0123456789";
    toSerial(line);
    // The user's caret stays where the user put it; data goes to the end.
    QTextCursor caret = form->TextRecv_L->textCursor();
    caret.setPosition(1);
    form->TextRecv_L->setTextCursor(caret);
    toSerial("z");
    EXPECT_TRUE(shown(form->TextRecv_L).endsWith("9z"));
    EXPECT_EQ(form->TextRecv_L->textCursor().position(), 1);

    prompts.setNextFileName(folder.filePath("saved"), 2);
    form->Label_SaveData_LClick();
    EXPECT_EQ(prompts.lastQuestion()->caption, "接收区显示内容另存为...");
    EXPECT_EQ(readFile(folder.filePath("saved.dat")), "abc\n" + line + "z\n");

    form->Label_ClearRecv_LClick();
    EXPECT_EQ(shown(form->TextRecv_L), "");
}
