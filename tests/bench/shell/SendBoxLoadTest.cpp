#include "DataPathSupport.h"

#include "bench/datapath/HexView.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>

#include <algorithm>

class SendBoxLoadTest : public DataPathTest {
protected:
    long hexQuestions() const {
        const auto& all = prompts.questions();
        return std::count_if(all.begin(), all.end(), [](const ScriptedPrompts::Question& q) {
            return q.kind == ScriptedPrompts::Kind::Message && q.text == "是否以16进制数据载入?";
        });
    }
};

TEST_F(SendBoxLoadTest, FileContentDecidesHowTheBoxTakesIt) {
    QByteArray big(30000, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i % 7); // control bytes: binary
    struct Case {
        const char* name;
        QByteArray bytes;
        bool hexBefore;
        int answer; // to the hexadecimal question; 0 when it must not be asked
        QString text;
        bool hexAfter;
    } cases[] = {
        {"hex text stays text", "31 32 0D 0A", false, 0, "31 32 0D 0A", false},
        {"hex text in hex mode", "31 32\r\n0D", true, 0, "31 32\n0D", true},
        {"text leaves hex mode", "hello\tworld", true, 0, "hello\tworld", false},
        {"binary as hex", QByteArray("\x00\x01", 2), false, Prompts::IdYes, "00 01", true},
        {"binary as text", QByteArray("A\x00\x01", 3), false, Prompts::IdNo, "A", false},
        // Every byte, not only as many as three characters each fit into 65535.
        {"long binary kept whole", big, false, Prompts::IdYes, hexViewOf(big), true},
        {"empty file empties the box", "", false, 0, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form->CheckBox_SendAsHex->setChecked(c.hexBefore);
        form->MemoSend->setPlainText("before");
        prompts.setNextFileName(writeFile("load.dat", c.bytes));
        if (c.answer)
            prompts.setNextAnswer(c.answer);
        const long asked = hexQuestions();
        form->Label_LoaddataClick();
        EXPECT_EQ(form->MemoSend->toPlainText(), c.text);
        EXPECT_EQ(form->CheckBox_SendAsHex->isChecked(), c.hexAfter);
        EXPECT_EQ(hexQuestions() - asked, c.answer ? 1 : 0);
        EXPECT_TRUE(form->HintLabel->text().startsWith("Open file.."));
    }
}

TEST_F(SendBoxLoadTest, LoadAndClearAreRefusedWhileAFileIsTheSourceAndABigFileIsCutVisibly) {
    prompts.setNextFileName(writeFile("source.bin", "abc"));
    form->CheckBox_FileInput_L->setChecked(true);
    const QString note = form->MemoSend_L->toPlainText();
    form->Label_Loaddata_LClick();
    EXPECT_EQ(prompts.lastQuestion()->text, "启用外部数据源时无法执行该操作！");
    EXPECT_EQ(prompts.lastQuestion()->flags, Prompts::MbIconWarning);
    form->Label_ClearSend_LClick();
    EXPECT_EQ(prompts.lastQuestion()->text, "启用外部数据源时无法执行该操作！");
    EXPECT_EQ(form->MemoSend_L->toPlainText(), note);
    form->CheckBox_FileInput_L->setChecked(false);

    // Cancelled: nothing changes.
    form->MemoSend_L->setPlainText("kept");
    form->Label_Loaddata_LClick();
    EXPECT_EQ(form->MemoSend_L->toPlainText(), "kept");
    form->Label_ClearSend_LClick();
    EXPECT_EQ(form->MemoSend_L->toPlainText(), "");

    // More than a send box takes: the user is told what was left out.
    form->Language = "0";
    prompts.setNextFileName(writeFile("big.txt", QByteArray("abcdefghi\n").repeated(7000)));
    form->Label_Loaddata_LClick();
    EXPECT_EQ(form->MemoSend_L->toPlainText().size(), 65535);
    EXPECT_TRUE(prompts.lastQuestion()->text.startsWith("Only the first 65535 bytes"));

    prompts.setNextFileName(folder.filePath("missing.txt"));
    form->Label_Loaddata_LClick();
    EXPECT_EQ(prompts.lastQuestion()->text, "Can not open file!");
}
