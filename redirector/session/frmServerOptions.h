#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
struct OptionTransfer;

// "Server I/O Options": shows and sets AllowMultiConnect, ServerTCPOptions and
// ServerSerialOptions of the option record. Cancel, Escape and closing the window store -1 in
// AllowMultiConnect. GUI thread only.
class frmServerOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmServerOptions(OptionTransfer& options, QWidget* parent = nullptr);

    QCheckBox* chkMultiClients = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 3> OptionTCP{};
    QGroupBox* Frame2 = nullptr;
    std::array<QRadioButton*, 3> OptionSerial{};
    QPushButton* Command1 = nullptr; // OK
    QPushButton* Command2 = nullptr; // Cancel

    void Command1_Click();
    void Command2_Click();
    void reject() override;

private:
    OptionTransfer& m_options;
};
