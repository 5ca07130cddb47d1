// The settings file: every option of both panes under [Options], read at start-up and from the
// menu, written at close and from the menu.

#include "bench/datapath/Codec.h"
#include "bench/shell/Unitnet.h"
#include "platform/ProfileFile.h"
#include "platform/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

const QString Options = QStringLiteral("Options");

// A list position as stored; a position the list does not have keeps the current one.
void selectStored(QComboBox* list, int index) {
    if (index >= 0 && index < list->count()) {
        const QSignalBlocker quiet(list);
        list->setCurrentIndex(index);
    }
}

bool isDigits(const QLineEdit* box) {
    const QByteArray text = box->text().toUtf8();
    return IsAllDigits({text.constData(), static_cast<size_t>(text.size())});
}

// The box's number when it holds digits only (stored in `value` too), else `value`.
std::int32_t takeNumber(QLineEdit* box, std::int32_t& value) {
    if (isDigits(box)) {
        const QByteArray text = box->text().toUtf8();
        value = DecStrToInt({text.constData(), static_cast<size_t>(text.size())});
    }
    return value;
}

} // namespace

void TFormNet::LoadSaveSettings(bool save) {
    ProfileFile file(m_services.settingsPath);
    if (save) {
        // Key by key in the file's order; the first key that cannot be written ends the save.
        const std::pair<const char*, QString> keys[] = {
            {"sProtocol", QString::number(ComboBox_Protocol->currentIndex())},
            {"ReceiveShowHex", QString::number(CheckBox_ReceiveShowHex->isChecked())},
            {"ReceiveAutoReturn", QString::number(CheckBox_ReceiveAutoReturn->isChecked())},
            {"SendInterval", QString::number(takeNumber(Edit_SendInterval, NetInterval))},
            {"LocalPort", QString::number(takeNumber(Edit_PortNUM, DefaultLocalPort))},
            {"ChecksumMode", QString::number(NetChecksumMode)},
            {"FixedCheckSum", QString::number(NetFixedByte)},
            {"sSerial", QString::number(cbSerial->currentIndex())},
            {"sWave", QString::number(cbWave->currentIndex())},
            {"sCheck", QString::number(cbCheck->currentIndex())},
            {"sData", QString::number(cbData->currentIndex())},
            {"sStop", QString::number(cbStop->currentIndex())},
            {"ReceiveAutoReturnL", QString::number(CheckBox_ReceiveAutoReturn_L->isChecked())},
            {"ReceiveShowHexL", QString::number(CheckBox_ReceiveShowHex_L->isChecked())},
            {"SendIntervalL", QString::number(takeNumber(Edit_SendInterval_L, SerialInterval))},
            {"ChecksumModeL", QString::number(SerialChecksumMode)},
            {"FixedCheckSumL", QString::number(SerialFixedByte)},
        };
        for (const auto& [key, value] : keys) {
            if (!file.writeString(Options, QString::fromLatin1(key), value)) {
                m_services.prompts.messageBox(
                    this, QStringLiteral("Unable to write to %1").arg(m_services.settingsPath),
                    QStringLiteral("Warning"), Prompts::MbOk | Prompts::MbIconError);
                return;
            }
        }
        return;
    }

    auto readBool = [&](const char* key, bool fallback) {
        return file.readInt(Options, QString::fromLatin1(key), fallback) != 0;
    };
    auto readInt = [&](const char* key, int fallback) {
        return file.readInt(Options, QString::fromLatin1(key), fallback);
    };
    auto readText = [&](const char* key) { return file.readString(Options, QString::fromLatin1(key)); };

    selectStored(ComboBox_Protocol, readInt("sProtocol", 0));
    CheckBox_ReceiveShowHex->setChecked(readBool("ReceiveShowHex", true));
    CheckBox_ReceiveAutoReturn->setChecked(readBool("ReceiveAutoReturn", false));
    NetInterval = readInt("SendInterval", 1000);
    Edit_SendInterval->setText(QString::number(NetInterval));
    DefaultLocalPort = readInt("LocalPort", 8080);
    NetChecksumMode = readInt("ChecksumMode", 0);
    NetFixedByte = readInt("FixedCheckSum", 13);
    // Missing keys leave the lists on the line settings the port is opened with.
    selectStored(cbSerial, readInt("sSerial", 0));
    selectStored(cbWave, readInt("sWave", 6));
    selectStored(cbCheck, readInt("sCheck", 0));
    selectStored(cbData, readInt("sData", 3));
    selectStored(cbStop, readInt("sStop", 0));
    CheckBox_ReceiveAutoReturn_L->setChecked(readBool("ReceiveAutoReturnL", false));
    CheckBox_ReceiveShowHex_L->setChecked(readBool("ReceiveShowHexL", true));
    SerialInterval = readInt("SendIntervalL", 1000);
    Edit_SendInterval_L->setText(QString::number(SerialInterval));
    SerialChecksumMode = readInt("ChecksumModeL", 0);
    SerialFixedByte = readInt("FixedCheckSumL", 13);
    Language = readText("Language");
    InitialSendText_L = readText("sCompanyName");
    InitialSendText = readText("sHomePageUrl");
    ProjectTitle_C = readText("sProjectTitle_C");
    ProjectTitle_E = readText("sProjectTitle_E");
}

void TFormNet::M0101Click() { LoadSaveSettings(true); }
void TFormNet::M0102Click() { LoadSaveSettings(false); }
