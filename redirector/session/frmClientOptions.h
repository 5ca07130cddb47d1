#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
struct OptionTransfer;

// "Client I/O Options": shows and sets ClientOptions and ConnectOnVirtualOpen of the option
// record. Cancel, Escape and closing the window store -1 in ClientOptions. GUI thread only.
class frmClientOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmClientOptions(OptionTransfer& options, QWidget* parent = nullptr);

    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 3> Option1{};
    QCheckBox* chkConnectOnVirtualPort = nullptr;
    QPushButton* Command1 = nullptr; // OK
    QPushButton* Command2 = nullptr; // Cancel

    void Command1_Click();
    void Command2_Click();
    void reject() override;

private:
    OptionTransfer& m_options;
};
