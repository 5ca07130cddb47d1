#include "FormNetFixture.h"

#include "platform/ProfileFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>

using SettingsTest = FormNetTest;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

TEST_F(SettingsTest, EveryOptionSurvivesASaveAndTheNextStart) {
    form->ComboBox_Protocol->setCurrentIndex(2);
    form->CheckBox_ReceiveShowHex->setChecked(false);
    form->CheckBox_ReceiveAutoReturn->setChecked(true);
    form->Edit_SendInterval->setText("250");
    form->Edit_PortNUM->setText("9123");
    form->NetChecksumMode = 2;
    form->NetFixedByte = 0x7E;
    form->cbSerial->setCurrentIndex(4);
    form->cbWave->setCurrentIndex(12);
    form->cbCheck->setCurrentIndex(2);
    form->cbData->setCurrentIndex(1);
    form->cbStop->setCurrentIndex(1);
    form->CheckBox_ReceiveAutoReturn_L->setChecked(true);
    form->CheckBox_ReceiveShowHex_L->setChecked(false);
    form->Edit_SendInterval_L->setText("75");
    form->SerialChecksumMode = 1;
    form->SerialFixedByte = 0x55;
    form->M0101->trigger();

    start();
    EXPECT_EQ(form->ComboBox_Protocol->currentIndex(), 2);
    EXPECT_FALSE(form->CheckBox_ReceiveShowHex->isChecked());
    EXPECT_TRUE(form->CheckBox_ReceiveAutoReturn->isChecked());
    EXPECT_EQ(form->NetInterval, 250);
    EXPECT_EQ(form->Edit_SendInterval->text(), "250");
    EXPECT_EQ(form->DefaultLocalPort, 9123);
    EXPECT_EQ(form->Edit_PortNUM->text(), "9123");
    EXPECT_EQ(form->Edit_PortNUM2->text(), "9123");
    EXPECT_EQ(form->NetChecksumMode, 2);
    EXPECT_EQ(form->NetFixedByte, 0x7E);
    EXPECT_EQ(form->cbSerial->currentIndex(), 4);
    EXPECT_EQ(form->cbWave->currentIndex(), 12);
    EXPECT_EQ(form->cbCheck->currentIndex(), 2);
    EXPECT_EQ(form->cbData->currentIndex(), 1);
    EXPECT_EQ(form->cbStop->currentIndex(), 1);
    EXPECT_TRUE(form->CheckBox_ReceiveAutoReturn_L->isChecked());
    EXPECT_FALSE(form->CheckBox_ReceiveShowHex_L->isChecked());
    EXPECT_EQ(form->SerialInterval, 75);
    EXPECT_EQ(form->SerialChecksumMode, 1);
    EXPECT_EQ(form->SerialFixedByte, 0x55);
}

TEST_F(SettingsTest, ForeignContentSurvivesAndBadValuesReadAsDefaults) {
    prompts.setNextAnswer(Prompts::IdYes);
    form->close(); // it saves its own settings on the way out
    writeAll(settingsPath, "; made by an installer\n"
                           "[Vendor]\nkey=kept\n"
                           "[OPTIONS]\nsendinterval=abc\nLOCALPORT=7001\nsWave=99\n"
                           "sProjectTitle_E=Bench\nsProjectTitle_C=测试台\nsHomePageUrl=hello\n"
                           "Unknown=1\nLanguage=0\n");
    start();
    EXPECT_EQ(form->NetInterval, 1000);
    EXPECT_EQ(form->Edit_SendInterval->text(), "1000");
    EXPECT_EQ(form->DefaultLocalPort, 7001);
    EXPECT_EQ(form->cbWave->currentText(), "9600"); // no such list position: the default stays
    EXPECT_EQ(form->windowTitle(), "Bench");
    EXPECT_EQ(form->MemoSend->toPlainText(), "hello");

    form->M0202->trigger();
    EXPECT_EQ(form->windowTitle(), "测试台");
    form->M0101->trigger();
    const QByteArray saved = readAll(settingsPath);
    EXPECT_TRUE(saved.startsWith("; made by an installer\n[Vendor]\nkey=kept\n"));
    EXPECT_TRUE(saved.contains("Unknown=1"));
    EXPECT_TRUE(saved.contains("sHomePageUrl=hello")); // read-only keys are never written
    ProfileFile file(settingsPath);
    EXPECT_EQ(file.readString("Options", "SendInterval"), "1000");
    EXPECT_EQ(file.readString("Options", "Language"), "1");
}

TEST_F(SettingsTest, BoxesThatAreNotNumbersKeepTheLastValidValue) {
    form->Edit_SendInterval->setText("300");
    form->Edit_PortNUM->setText("8500");
    form->M0101->trigger();
    form->Edit_SendInterval->clear();
    form->Edit_PortNUM->setText("12a");
    form->Edit_SendInterval_L->setText("-5");
    form->M0101->trigger();
    ProfileFile file(settingsPath);
    EXPECT_EQ(file.readString("Options", "SendInterval"), "300");
    EXPECT_EQ(file.readString("Options", "LocalPort"), "8500");
    EXPECT_EQ(file.readString("Options", "SendIntervalL"), "1000");
    EXPECT_EQ(form->NetInterval, 300);
}

TEST_F(SettingsTest, LoadFromTheMenuShowsStoredValuesWithoutApplyingThem) {
    form->ComboBox_Protocol->setCurrentIndex(1);
    form->M0101->trigger();
    form->ComboBox_Protocol->setCurrentIndex(0);
    form->M0102->trigger();
    EXPECT_EQ(form->ComboBox_Protocol->currentIndex(), 1);
    EXPECT_EQ(form->ConnectCaption(), "连接 "); // the socket keeps UDP until the list changes
}

TEST_F(SettingsTest, UnwritableFileIsReportedAndTheProgramStillEnds) {
    writeAll(folder.filePath("blocker"), "a file where a folder should be");
    settingsPath = folder.filePath("blocker/tavrin.cfg");
    start();
    prompts.setNextAnswer(Prompts::IdYes);
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    ASSERT_NE(prompts.lastQuestion(), nullptr);
    EXPECT_EQ(prompts.lastQuestion()->text, "Unable to write to " + settingsPath);
}
