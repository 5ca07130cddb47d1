#include "FormNetFixture.h"

#include "bench/net/cmSocket.h"
#include "bench/ui/BevelButton.h"
#include "bench/ui/RadioGroup.h"
#include "bench/ui/TcmIPEdit.h"
#include "platform/ProfileFile.h"
#include "tests/support/TestWait.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>

using LanguageTest = FormNetTest;

TEST_F(LanguageTest, SwitchesEveryTableBothWaysAndRemembersTheChoice) {
    form->M0201->trigger();
    EXPECT_TRUE(form->M0201->isChecked());
    EXPECT_FALSE(form->M0202->isChecked());
    EXPECT_EQ(form->M01->title(), "File(&F)");
    EXPECT_EQ(form->GroupBoxNetL->title(), "COMSettings");
    EXPECT_EQ(form->findChild<QLabel*>("LabeData")->text(), "DataB位");
    EXPECT_EQ(form->cbCheck->toolTip(), "DPaity");
    EXPECT_EQ(form->GroupBox_Recv_L->title(), "COM port data recevice");
    EXPECT_EQ(form->CheckBox_FileOutput->toolTip(), "Receive to file...");
    EXPECT_EQ(form->Edit_SendInterval_L->toolTip(), "Interval Value");
    EXPECT_EQ(form->Btn_Send_L->text(), "Send");
    EXPECT_EQ(form->RadioGroupChecksum->title(), "Apendix bits setting");
    EXPECT_EQ(form->RadioGroupChecksum_L->item(1)->text(), "Postitive Checksum");
    EXPECT_EQ(form->RadioGroupChecksum_L->itemIndex(), -1);
    QStringList toolBar;
    for (QToolButton* b : form->ToolBarMem->findChildren<QToolButton*>())
        if (b->menu())
            toolBar << b->text();
    EXPECT_EQ(toolBar, QStringList({"File(&F)", "Options(&O)", "Help(&H)"}));
    EXPECT_EQ(ProfileFile(settingsPath).readString("Options", "Language"), "0");

    start(); // the next start comes up in English
    EXPECT_EQ(form->Language, "0");
    EXPECT_EQ(form->CheckBox_SendAsHex->text(), "Send As Hex");

    form->M0202->trigger();
    EXPECT_EQ(form->M01->title(), "文件(&F)");
    EXPECT_EQ(form->CheckBox_SendAsHex->text(), "按十六进制发送");
    EXPECT_EQ(form->CheckBox_SendAsHex->toolTip(), "输入框内容十六进制转换");
    EXPECT_EQ(form->RadioGroupChecksum->item(2)->text(),
              "固定位  （附加位字节的值为固定的16进制数:         H）  ");
    EXPECT_EQ(ProfileFile(settingsPath).readString("Options", "Language"), "1");
}

TEST_F(LanguageTest, ConnectButtonAndLabelsKeepTheSwitchTextsUntilTheStateChanges) {
    form->ComboBox_Protocol->setCurrentIndex(1);
    form->cmIPEdit_Local->SetIPstr("127.0.0.1");
    form->Edit_PortNUM->setText("0");
    form->cmBtn_NetConnect->click();
    ASSERT_TRUE(waitUntil([&] { return form->MySocket->Active(); }));
    EXPECT_EQ(form->cmBtn_NetConnect->text(), "断开 ");
    form->M0201->trigger();
    EXPECT_EQ(form->cmBtn_NetConnect->text(), "Connect");
    form->cmBtn_NetConnect->click();
    EXPECT_EQ(form->cmBtn_NetConnect->text(), "Listening ");

    form->ComboBox_Protocol->setCurrentIndex(2);
    EXPECT_EQ(form->findChild<QLabel*>("Label_IPAddress")->text(), "（2）ServerIP");
    form->M0202->trigger();
    EXPECT_EQ(form->findChild<QLabel*>("Label_IPAddress")->text(), "（2）本地IP地址");
    form->ComboBox_Protocol->setCurrentIndex(0);
    form->ComboBox_Protocol->setCurrentIndex(2);
    EXPECT_EQ(form->findChild<QLabel*>("Label_IPAddress")->text(), "（2）服务器IP地址");
}

TEST_F(LanguageTest, MessagesFollowTheLanguageAndOneLanguageTextsStay) {
    form->M0201->trigger();
    form->N4->trigger();
    EXPECT_EQ(prompts.lastQuestion()->caption, "About...");
    form->Edit_PortNUM->setText("x");
    form->cmBtn_NetConnect->click();
    EXPECT_EQ(prompts.lastQuestion()->text, "无效的端口号!");
    EXPECT_EQ(prompts.lastQuestion()->caption, "Warning");
    form->M0202->trigger();
    form->N4->trigger();
    EXPECT_EQ(prompts.lastQuestion()->caption, "关于...");
}
