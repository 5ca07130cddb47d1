#pragma once

// One redirector session: the window that ties a serial port (or a virtual port it creates)
// to a TCP/IP endpoint, with its settings, its activation toggle and its status lines.

#include "redirector/session/ByteBuffer.h"
#include "redirector/session/SerialPortControl.h"
#include "redirector/session/SocketArray.h"
#include "redirector/session/VirtualSerialPort.h"

#include <QWidget>

#include <array>
#include <cstdint>

class Prompts;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

// Everything runs on the GUI thread. Message boxes and dialogs go through the Prompts given
// to the constructor; COMn is found, and virtual ports are published, through its port map.
// The session is active exactly while Command1 reads "De-Activate". Closing the window
// releases the serial port, every socket and the virtual port.
class frmDocument : public QWidget {
    Q_OBJECT
public:
    explicit frmDocument(Prompts& prompts, const PortMap& ports = PortMap(),
                         QWidget* parent = nullptr);

    // ---- serial settings ----
    QGroupBox* Frame1 = nullptr;
    std::array<QLabel*, 7> Label1{};
    QComboBox* Combo2 = nullptr;        // Connector: "None", COM1 to COM256
    std::array<QComboBox*, 6> Combo1{}; // baud, parity, data, stop, flow, buffer size
    QCheckBox* chkVPort = nullptr;
    QCheckBox* BufferSerData = nullptr;
    QCheckBox* WaitForCr = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txtTimeoutValue = nullptr;

    // ---- network settings ----
    QGroupBox* Frame2 = nullptr;
    std::array<QRadioButton*, 2> TCPOption{}; // 0 client, 1 server
    QCheckBox* chkUDP = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* IPAddress = nullptr; // client layout
    QComboBox* LocalIP = nullptr;   // server layout, in the same place
    QLabel* Label3 = nullptr;
    QLineEdit* PortNumber = nullptr;
    QPushButton* Command2 = nullptr; // I/O options
    QPushButton* btnLogin = nullptr; // login options; never shown
    QPushButton* Command1 = nullptr; // Activate / De-Activate

    // ---- status ----
    std::array<QLabel*, 2> StatusBar1{}; // 0 serial side, 1 network side
    std::array<QLabel*, 2> Shape1{};     // activity indicators, serial first

    // ---- timers and outside controls ----
    QTimer* Timer1 = nullptr; // 5000 ms, client reconnection
    QTimer* Timer2 = nullptr; // 50 ms, runs for the window's whole life
    SerialPortControl MSComm1;
    SocketArray Winsock1;
    VirtualSerialPort VSPort1;

    // ---- run-time state ----
    bool UdpMode = false;
    std::int16_t ServerMode = 0;
    std::int16_t ComPortNumber = 0;
    QString LocalAddress;
    ByteBuffer MyBuffer;
    ByteBuffer SerialOutBuffer;
    std::int32_t IdleTicks = 0;
    std::int32_t HighestSocketIndex = 0;
    std::int32_t ConnectedClients = 0;
    std::int32_t LedTicks = 0;
    bool InCloseHandler = false;

    // ---- options carried through OptionTransfer ----
    std::int16_t AllowMultiConnect = 1;
    std::int16_t ServerSerialOptions = 0;
    std::int16_t ServerTCPOptions = 0;
    std::int16_t ClientOptions = 0;
    std::int16_t ConnectOnVirtualOpen = 1;
    QString UserPrompt;
    QString UserPromptResponse;
    QString PasswordPrompt;
    QString PasswordPromptResponse;

    // The remote-ping tick counter shared by every session of the program.
    static inline std::int32_t PingTicks = 0;

    bool isActive() const;
    // A session window's caption: "COM3 - Serial to TCP/IP", "New - Serial to TCP/IP".
    static QString captionFor(const QString& name);

    // ---- handlers and operations ----
    void Command1_Click();
    void TCPOption_Click(std::int16_t Index);
    void Command2_Click();
    void btnLogin_Click();
    void PortNumber_Change();
    void Getstatus();
    void UpdateStatus();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    static constexpr int HighestPort = 65535;

    void buildControls();
    void fillLists();
    void activate();
    void deactivate();
    bool openSerialPort();
    void closeSerialPort();
    bool createVirtualPort();
    bool deleteVirtualPort();
    bool prepareNetwork();
    bool networkFailed(const QString& description);
    void sizeBuffers();
    void setSettingsEnabled(bool enabled);
    void showComStatus(const QString& state);
    void showTcpStatus(const QString& state);
    void releaseControls();

    Prompts& m_prompts;
};
