#include "FormNetFixture.h"

#include "bench/ui/BevelButton.h"
#include "bench/ui/TcmIPEdit.h"
#include "platform/ProfileFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

// A first start without a settings file: Chinese, stored as "1", and every option at its default.
TEST_F(FormNetTest, FirstStartShowsTheDefaultsInChinese) {
    EXPECT_EQ(form->GroupBox_Recv_L->title(), "串口数据接收");
    EXPECT_EQ(form->GroupBox_Recv->title(), "网络数据接收");
    EXPECT_EQ(form->CheckBox_SendAsHex->text(), "按十六进制发送");
    EXPECT_EQ(form->CheckBox_FileOutput_L->toolTip(), "自动将接收到的数据保存至文件...");
    EXPECT_EQ(form->Btn_Send->text(), "发送");
    // The language switch at showing writes its own texts over the form's.
    EXPECT_EQ(form->cmBtn_NetConnect->text(), "连接");
    EXPECT_EQ(form->HintLabel->text(), "完成!");
    for (QLabel* counter : {form->StaticTextSend, form->StaticTextSendL})
        EXPECT_EQ(counter->text(), "发送:0");
    for (QLabel* counter : {form->StaticTextRecv, form->StaticTextRecvL})
        EXPECT_EQ(counter->text(), "接收:0");
    EXPECT_EQ(form->Language, "1");
    EXPECT_TRUE(form->M0202->isChecked());
    EXPECT_EQ(ProfileFile(settingsPath).readString("Options", "Language"), "1");
    EXPECT_FALSE(form->CheckBox_ReceiveAutoReturn->isChecked());
    EXPECT_FALSE(form->CheckBox_ReceiveAutoReturn_L->isChecked());
    EXPECT_TRUE(form->CheckBox_ReceiveShowHex->isChecked());
    EXPECT_TRUE(form->CheckBox_ReceiveShowHex_L->isChecked());
    const QStringList serialLists = {form->cbSerial->currentText(), form->cbWave->currentText(),
                                     form->cbCheck->currentText(), form->cbData->currentText(),
                                     form->cbStop->currentText()};
    EXPECT_EQ(serialLists, QStringList({"COM1", "9600", "NONE", "8 bit", "1 bit"}));
    EXPECT_EQ(form->Edit_SendInterval->text(), "1000");
    EXPECT_EQ(form->Edit_SendInterval_L->text(), "1000");
    EXPECT_EQ(form->Edit_PortNUM->text(), "8080");
    EXPECT_EQ(form->Edit_PortNUM2->text(), "8080");
    EXPECT_EQ(form->ComboBox_Protocol->currentText(), "   UDP");
    EXPECT_EQ(form->ComboBox_Protocol->count(), 3);
    EXPECT_EQ(form->cbSerial->count(), 16);
    EXPECT_EQ(form->cbSerial->itemText(15), "COM16");

    // The address boxes stand in the placeholders' places.
    EXPECT_FALSE(form->Edit_IPAddess->isVisible());
    EXPECT_FALSE(form->Edit_IPAddess2->isVisible());
    EXPECT_TRUE(form->cmIPEdit_Local->isVisible());
    EXPECT_TRUE(form->cmIPEdit_Target->isVisibleTo(form->PanelToolBar));
    // Hidden helpers of the send rows.
    EXPECT_FALSE(form->MemoSend_Hind->isVisible());
    EXPECT_FALSE(form->PanelChecksumSelL->isVisible());
    EXPECT_EQ(form->Edit_FixChecksum->text(), "0d");
}

TEST_F(FormNetTest, ToolBarShowsTheMainMenu) {
    QStringList captions;
    for (QToolButton* b : form->ToolBarMem->findChildren<QToolButton*>())
        if (b->menu())
            captions << b->text();
    EXPECT_EQ(captions, QStringList({"文件(&F)", "选项(&O)", "帮助(&H)"}));
    EXPECT_EQ(form->M0101->text(), "保存设置&");
    EXPECT_EQ(form->M0301->text(), "关于...&");
}

TEST_F(FormNetTest, NumberBoxesTakeDigitsOnly) {
    for (QLineEdit* box : {form->Edit_SendInterval, form->Edit_SendInterval_L, form->Edit_PortNUM,
                           form->Edit_PortNUM2}) {
        box->clear();
        QTest::keyClicks(box, "1a2-b3 ");
        QKeyEvent wide(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("中"));
        QCoreApplication::sendEvent(box, &wide);
        EXPECT_EQ(box->text(), "123") << box->objectName().toStdString();
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(box->text(), "12");
    }
    // Pasted text is not filtered; the value is checked where it is used.
    form->Edit_PortNUM->setText("12a");
    EXPECT_EQ(form->Edit_PortNUM->text(), "12a");
}

TEST_F(FormNetTest, HintsGoToBothStatusLines) {
    QStatusTipEvent tip(QStringLiteral("在此输入发送的内容"));
    QCoreApplication::sendEvent(form->MemoSend, &tip);
    EXPECT_EQ(form->HintLabel->text(), "在此输入发送的内容");
    EXPECT_EQ(form->HintLabelL->text(), "在此输入发送的内容");
    QStatusTipEvent none{QString()};
    QCoreApplication::sendEvent(form->MemoSend_L, &none);
    EXPECT_EQ(form->HintLabelL->text(), "就绪!");
    form->Language = "0";
    form->AppHint({});
    EXPECT_EQ(form->HintLabel->text(), "Ready!");
}

TEST_F(FormNetTest, SendButtonsLookPressedWhileTheMouseIsDown) {
    for (BevelButton* button : {form->Btn_Send, form->Btn_Send_L}) {
        QTest::mousePress(button, Qt::LeftButton);
        EXPECT_TRUE(button->looksPressed());
        QTest::mouseRelease(button, Qt::LeftButton);
        EXPECT_FALSE(button->looksPressed());
    }
}

TEST_F(FormNetTest, ResetClearsBothPanesCounters) {
    form->NetSendCount = 5;
    form->NetRecvCount = 6;
    form->SerialSendCount = 7;
    form->SerialRecvCount = 8;
    form->showNetCounters();
    form->showSerialCounters();
    EXPECT_EQ(form->StaticTextRecvL->text(), "接收 : 8");

    form->M0203->trigger();
    EXPECT_EQ(form->NetSendCount + form->NetRecvCount + form->SerialSendCount +
                  form->SerialRecvCount,
              0);
    EXPECT_EQ(form->StaticTextSend->text(), "发送 : 0");
    EXPECT_EQ(form->StaticTextRecvL->text(), "接收 : 0");

    form->Language = "0";
    form->SerialRecvCount = 3;
    form->Btn_ResetCounterL->click();
    EXPECT_EQ(form->StaticTextSendL->text(), "Send : 0");
    EXPECT_EQ(form->StaticTextRecvL->text(), "Recv : 0");
}

TEST_F(FormNetTest, QuitQuestionKeepsTheWindowOnNoAndClosesOnYes) {
    prompts.setNextAnswer(Prompts::IdNo);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->AppRunning);
    ASSERT_NE(prompts.lastQuestion(), nullptr);
    EXPECT_EQ(prompts.lastQuestion()->text, "确定退出？");
    EXPECT_EQ(prompts.lastQuestion()->caption, "确认！");
    EXPECT_EQ(prompts.lastQuestion()->flags, Prompts::MbYesNo | Prompts::MbIconQuestion);

    form->Language = "0";
    prompts.setNextAnswer(Prompts::IdYes);
    form->M0103->trigger();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->AppRunning);
    EXPECT_EQ(prompts.lastQuestion()->text, "Sure to quit？");
    EXPECT_EQ(prompts.lastQuestion()->caption, "Confirm!");
}

TEST_F(FormNetTest, EndOfTheDesktopSessionClosesWithoutAsking) {
    form->FormQueryEndSession();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->AppRunning);
    EXPECT_TRUE(prompts.questions().empty());
}

TEST_F(FormNetTest, AboutAndVisitSite) {
    form->N4->trigger();
    ASSERT_NE(prompts.lastQuestion(), nullptr);
    EXPECT_EQ(prompts.lastQuestion()->caption, "关于...");
    EXPECT_TRUE(prompts.lastQuestion()->text.startsWith("tavrin "));

    shell.succeed = false;
    form->M0302->trigger();
    EXPECT_EQ(shell.opened.last(), QUrl::fromLocalFile(guidePath).toString());
    EXPECT_EQ(prompts.lastQuestion()->text, "文件不存在!");

    const auto asked = prompts.questions().size();
    shell.succeed = true;
    form->M0302->trigger();
    EXPECT_EQ(prompts.questions().size(), asked);
}
