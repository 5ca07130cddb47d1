#pragma once

// The serial device's settings dialog: port, line settings, flow control, auto-answer rings
// and queue sizes of one device. OK checks the choices, then applies them to the device as
// one step; when that fails, every setting goes back to its value from before the dialog and
// the dialog stays open showing the error. Enter in a field moves on to the next field, from
// the last one it accepts. Texts in the serial library's language. GUI thread only.

#include "bench/serial/QxCommSettingsTexts.h"
#include "bench/serial/QxCommTypes.h"
#include "bench/serial/TCommSerialPortInfo.h"

#include <QDialog>

#include <optional>

class Prompts;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TQxCustomCommDevice;

class TForm_QxCommDevice_Settings : public QDialog {
    Q_OBJECT
public:
    // With `open`, OK also opens a port that was closed. The port list is read from `folders`.
    TForm_QxCommDevice_Settings(TQxCustomCommDevice& device, bool open, Prompts& prompts,
                                QWidget* owner = nullptr,
                                SystemLanguage language = QxCommSettingsTexts::processLanguage(),
                                ZaldoComm32::SerialSystemFolders folders = {});

    QGroupBox* GboxBase = nullptr;
    QLabel* lbPort = nullptr;
    QComboBox* CbPort = nullptr;
    QLabel* lbBaud = nullptr;
    QComboBox* CbSelBaud = nullptr; // by TBaudRate
    QLabel* lbCheck = nullptr;
    QComboBox* CbParity = nullptr; // by TParity
    QLabel* lbBits = nullptr;
    QComboBox* CbByteSize = nullptr; // 5 to 8 data bits
    QLabel* lbStops = nullptr;
    QComboBox* CbStopBits = nullptr; // by TStopBits
    QGroupBox* GBoxModem = nullptr;
    QLabel* lbFlow = nullptr;
    QComboBox* CbFlow = nullptr; // none, RTS/CTS, Xon/Xoff, both
    QLabel* lbAAns = nullptr;
    QLineEdit* EditAutoAns = nullptr;
    QGroupBox* GBoxBuffer = nullptr;
    QLabel* lbInbs = nullptr;
    QLineEdit* EditInBufSize = nullptr;
    QLabel* lbOutbs = nullptr;
    QLineEdit* EditOutBufSize = nullptr;
    QPushButton* BnAbout = nullptr;   // hidden in a running program
    QPushButton* BnDefault = nullptr; // hidden in a running program
    QPushButton* BnOK = nullptr;
    QPushButton* BnCancel = nullptr;

    void BnOKClick();
    void BnCancelClick();
    void BnDefaultClick();
    void BnAboutClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // What the dialog changes on the device, in the order it is applied.
    struct Settings {
        int PortNo = 0;
        TBaudRate Baud = br115200;
        TParity Parity = ptNoParity;
        int ByteSize = 8;
        TStopBits StopBits = sbOneStopBit;
        TFlowControl FlowControl = fcNone;
        int AutoAnswer = 0;
        long InBufSize = 0;
        long OutBufSize = 0;
        bool Active = false;
    };

    void buildControls();
    void setTexts(const ZaldoComm32::SerialSystemFolders& folders);
    void showSettings();
    bool moveFocusForward();
    std::optional<Settings> chosenSettings();
    void apply(const Settings& settings, bool ignoreErrors);
    void complain(QWidget* control, int textIndex);
    QString text(int index) const;

    TQxCustomCommDevice& m_device;
    Prompts& m_prompts;
    bool m_open = false;
    SystemLanguage m_language = SystemLanguage::English;
    Settings m_snapshot;
};
