#pragma once

// The bench's one window: the serial pane on the left, the network pane on the right.

#include "bench/datapath/Codec.h"
#include "bench/shell/PaneParts.h"

#include <QByteArrayView>
#include <QIcon>
#include <QMainWindow>

#include <array>

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

class BevelButton;
class LinkLabel;
class Prompts;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QTimer;
class QToolBar;
class QToolButton;
class RadioGroup;
class ReceiveBox;
class SendBox;
class SerialWriter;
class Shell;
class TContextPopupMenu;
class TcmIPEdit;
class TcmInfoDlg;
class TcmSocket;
class TQxCommDevice;
class TcmTrayIcon;
class xiancheng02;
struct CyclicSendSettings;

// What the window needs from the system, handed in so that tests can stand in for it.
struct BenchServices {
    Prompts& prompts;
    Shell& shell;
    QString guidePath;    // the user guide that "Visit Site" opens
    QString settingsPath; // tavrin.cfg
};

class TFormNet : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormNet(BenchServices services, QWidget* parent = nullptr);
    ~TFormNet() override;

    // ---- tool bar and menus ----
    QToolBar* ToolBarMem = nullptr;
    QMenu* M01 = nullptr;
    QMenu* M02 = nullptr;
    QMenu* M03 = nullptr;
    QAction* M0101 = nullptr;
    QAction* M0102 = nullptr;
    QAction* M0103 = nullptr;
    QAction* M0201 = nullptr;
    QAction* M0202 = nullptr;
    QAction* M0203 = nullptr;
    QAction* M0301 = nullptr;
    QAction* M0302 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* N4 = nullptr;
    QAction* MN_Exit = nullptr;

    // ---- layout ----
    QWidget* PanelMain = nullptr;
    QSplitter* SplitterM = nullptr;
    QWidget* PanelMainLeft = nullptr;
    QWidget* PanelMainR = nullptr;

    // ---- serial pane ----
    QGroupBox* GroupBoxNetL = nullptr;
    QComboBox* cbSerial = nullptr;
    QComboBox* cbWave = nullptr;
    QComboBox* cbCheck = nullptr;
    QComboBox* cbData = nullptr;
    QComboBox* cbStop = nullptr;
    QToolButton* cmBtn_NetConnect_L = nullptr;
    QGroupBox* GroupBoxRecvL = nullptr;
    QCheckBox* CheckBox_FileOutput_L = nullptr;
    QCheckBox* CheckBox_ReceiveAutoReturn_L = nullptr;
    QCheckBox* CheckBox_ReceiveShowHex_L = nullptr;
    QCheckBox* CheckBox_PauseReceive_L = nullptr;
    LinkLabel* Label_SaveData_L = nullptr;
    LinkLabel* Label_ClearRecv_L = nullptr;
    QGroupBox* GroupBoxSendL = nullptr;
    QCheckBox* CheckBox_FileInput_L = nullptr;
    QCheckBox* CheckBox_SendAutoChecksum_L = nullptr;
    QCheckBox* CheckBox_ClearAfterSend_L = nullptr;
    QCheckBox* CheckBox_SendAsHex_L = nullptr;
    QCheckBox* CheckBox_SendRecycled_L = nullptr;
    QLineEdit* Edit_SendInterval_L = nullptr;
    LinkLabel* Label_Loaddata_L = nullptr;
    LinkLabel* Label_ClearSend_L = nullptr;
    QGroupBox* GroupBox_Recv_L = nullptr;
    QPlainTextEdit* TextRecv_L = nullptr;
    QPlainTextEdit* MemoSend_LHind = nullptr;
    QFrame* PanelChecksumSelL = nullptr;
    RadioGroup* RadioGroupChecksum_L = nullptr;
    QLineEdit* Edit_FixChecksumL = nullptr;
    QPlainTextEdit* MemoSend_L = nullptr;
    BevelButton* Btn_Send_L = nullptr;
    QLabel* HintLabelL = nullptr;
    QLabel* StaticTextSendL = nullptr;
    QLabel* StaticTextRecvL = nullptr;
    QToolButton* Btn_ResetCounterL = nullptr;

    // ---- network pane ----
    QGroupBox* GroupBox_Network = nullptr;
    QComboBox* ComboBox_Protocol = nullptr;
    QLineEdit* Edit_IPAddess = nullptr;
    QLineEdit* Edit_PortNUM = nullptr;
    QToolButton* cmBtn_NetConnect = nullptr;
    QGroupBox* GroupBoxRecvR = nullptr;
    QCheckBox* CheckBox_FileOutput = nullptr;
    QCheckBox* CheckBox_ReceiveAutoReturn = nullptr;
    QCheckBox* CheckBox_ReceiveShowHex = nullptr;
    QCheckBox* CheckBox_PauseReceive = nullptr;
    LinkLabel* Label_SaveData = nullptr;
    LinkLabel* Label_ClearRecv = nullptr;
    QGroupBox* GroupBoxSendR = nullptr;
    QCheckBox* CheckBox_FileInput = nullptr;
    QCheckBox* CheckBox_SendAutoChecksum = nullptr;
    QCheckBox* CheckBox_ClearAfterSend = nullptr;
    QCheckBox* CheckBox_SendAsHex = nullptr;
    QCheckBox* CheckBox_SendRecycled = nullptr;
    QLineEdit* Edit_SendInterval = nullptr;
    LinkLabel* Label_Loaddata = nullptr;
    LinkLabel* Label_ClearSend = nullptr;
    QGroupBox* GroupBox_Recv = nullptr;
    QPlainTextEdit* TextRecv = nullptr;
    QPlainTextEdit* MemoSend_Hind = nullptr;
    QFrame* PanelChecksumSel = nullptr;
    RadioGroup* RadioGroupChecksum = nullptr;
    QLineEdit* Edit_FixChecksum = nullptr;
    QFrame* PanelToolBar = nullptr;
    QLabel* Label_IP2 = nullptr;
    QLineEdit* Edit_IPAddess2 = nullptr;
    QComboBox* ComboBox_Connections = nullptr;
    QLabel* Label_portNUM2 = nullptr;
    QLineEdit* Edit_PortNUM2 = nullptr;
    QPlainTextEdit* MemoSend = nullptr;
    BevelButton* Btn_Send = nullptr;
    QLabel* HintLabel = nullptr;
    QLabel* StaticTextSend = nullptr;
    QLabel* StaticTextRecv = nullptr;
    QToolButton* Btn_ResetCounter = nullptr;

    // ---- components owned by the window ----
    TcmSocket* MySocket = nullptr;
    TQxCommDevice* QxCommDevice1 = nullptr;
    QTimer* Timer1 = nullptr;
    // The connect buttons' glyphs: 0 while closed, 1 while open.
    std::array<QIcon, 2> ImageList1;
    TcmIPEdit* cmIPEdit_Local = nullptr;
    TcmIPEdit* cmIPEdit_Target = nullptr;
    TcmTrayIcon* cmTrayIcon1 = nullptr;
    TcmInfoDlg* InfoDlg = nullptr;
    TContextPopupMenu* EditPopupMenu = nullptr;
    // The serial pane's cyclic sender, a thread that waits from the start until it is needed.
    std::unique_ptr<xiancheng02> SendThread;

    // ---- state ----
    QString Language; // "0" English, anything else Chinese
    QString ProjectTitle_C;
    QString ProjectTitle_E;
    QString InitialSendText_L;
    QString InitialSendText;
    QString RecvFilePath;
    QString DataFilePath;
    std::int32_t NetSendCount = 0;
    std::int32_t NetRecvCount = 0;
    std::int32_t SerialSendCount = 0;
    std::int32_t SerialRecvCount = 0;
    std::int32_t NetInterval = 1000;
    std::int32_t SerialInterval = 1000;
    std::int32_t SerialSingleInterval = 0;
    std::int32_t NetChecksumMode = 0;
    std::int32_t SerialChecksumMode = 0;
    std::int32_t NetFixedByte = 13;
    std::int32_t SerialFixedByte = 13;
    std::int32_t DefaultLocalPort = 8080;
    std::uint32_t LastPeerIP = 0;
    std::uint16_t LastPeerPort = 0;
    bool NetSending = false;
    bool SerialSending = false;
    std::atomic<bool> WorkerSending{false};
    // Cleared when the window closes: every send loop and wait ends at its next check.
    std::atomic<bool> AppRunning{true};
    // Whether the serial port was opened by the user; gates the serial receive display.
    std::atomic<bool> SerialOpened{true};

    bool english() const { return Language == QLatin1String("0"); }

    // ---- handlers ----
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    // The desktop session is ending: close without the quit question.
    void FormQueryEndSession();
    void AppHint(const QString& hint);
    void Btn_ResetCounterClick();
    void Btn_ResetCounterLClick();
    void Btn_SendMouseDown();
    void Btn_SendMouseUp();
    void Btn_Send_LMouseDown();
    void Btn_Send_LMouseUp();
    void M0101Click();
    void M0102Click();
    void M0103Click();
    void M0201Click();
    void M0202Click();
    void M0203Click();
    void MN_AboutClick();
    void M0302Click();
    void MN_ExitClick();
    void CheckBox_SendAsHexClick();
    void CheckBox_SendAsHex_LClick();
    void MemoSendChange();
    void MemoSend_LChange();
    // Key filters of the boxes: true lets the typed character through.
    static bool EditNumKeyPress(char16_t key);
    bool MemoSendKeyPress(char16_t key);
    bool MemoSend_LKeyPress(char16_t key);

    // Network pane.
    void ComboBox_ProtocolChange();
    void cmBtn_NetConnectClick();
    void UpdateNetControls();
    QString ConnectCaption() const;
    void MySocketAccept(QObject* sender, int socket, quint32 IP, quint16 Port);
    void MySocketDiscard(QObject* sender, int socket, quint32 IP, quint16 Port);
    void MySocketActiveChanged(QObject* sender);
    void MySocketError(QObject* sender, int code, const QString& text);
    void MySocketReceive(QObject* sender, int peerSocket, quint16 peerPort, quint32 peerIP,
                         const std::uint8_t* pBuf, int dataLen);
    // Serial pane.
    void cmBtn_NetConnect_LClick();
    void cbSerialChange();
    void cbWaveChange();
    void cbCheckChange();
    void cbDataChange();
    void cbStopChange();
    void UpdateSerialControls();
    void QxCommDevice1CommNotify(int events);

    // Delivers one group to the pane's current target: Stop after a target error (shown).
    GroupResult NetSendGroup(const std::uint8_t* buf, int len, bool fileSource);

    // Send engine.
    void Btn_SendClick();
    // Serial send button: file source, cyclic sender or one pass over the send box.
    void Btn_Send_LClick();
    void SerialSendOnce();
    // Waits `ms` with the window working; ends early once `flag` or AppRunning is false.
    void WaitInterval(int ms, const bool& flag);
    // The group's text [start, end) as the status label can show it, cut with "...".
    QString GroupPreview(const QByteArray& text, int start, int end, const QLabel* label) const;
    void CheckBox_SendAutoChecksumClick();
    void CheckBox_SendAutoChecksum_LClick();
    void Label_LoaddataClick();
    void Label_Loaddata_LClick();
    void Label_ClearSendClick();
    void Label_ClearSend_LClick();

    // Receive display and capture.
    void Timer1Timer();
    void CheckBox_FileOutputClick();
    void CheckBox_FileOutput_LClick();
    void CheckBox_ReceiveAutoReturnClick();
    void CheckBox_ReceiveAutoReturn_LClick();
    void CheckBox_PauseReceiveClick();
    void CheckBox_PauseReceive_LClick();
    void Label_SaveDataClick();
    void Label_SaveData_LClick();
    void Label_ClearRecvClick();
    void Label_ClearRecv_LClick();

    // File data source and cyclic sending.
    void CheckBox_FileInputClick();
    void CheckBox_FileInput_LClick();
    void Net_BtnClick_SendFromFile();
    void Net_BtnClick_SendFromFileL();
    void CheckBox_SendRecycled_LClick();

    // Moves every option between the window and the settings file.
    void LoadSaveSettings(bool save);
    // Switches captions, hints and messages: "0" English, anything else Chinese.
    void ApplyLanguage(const QString& code);

    // Shows a pane's counters in the current language.
    void showNetCounters();
    void showSerialCounters();
    // Makes the tool bar's buttons show the menus' current captions.
    void rebuildToolBar();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void createPanes();
    void createSerialSettings(QWidget* pane);
    void createNetSettings(QWidget* pane);
    void createTargetRow(QWidget* pane);
    void wireHandlers();
    void createComponents();
    void createSocket();
    void createSerialDevice();
    void createDataPath();
    void wireDataPath();
    void applySerialList(QComboBox* list);
    static QString peerText(quint32 ip, quint16 port);
    bool warn(const QString& text, int icon);
    // A plain message box captioned with the window's title.
    void showMessage(const QString& text);
    QString title() const;
    QString pick(const char* en, const char* zh) const;

    // Send engine (UnitnetSend.cpp).
    // The box's number when it holds digits only; otherwise the box shows `interval` again.
    static void takeInterval(QLineEdit* box, std::int32_t& interval);
    void runSendLoop(SendPane& pane);
    void stopSending(SendPane& pane);
    void lockSendControls(SendPane& pane, bool withHex);
    void unlockSendControls(SendPane& pane);
    int appendChecksum(SendPane& pane, int n);
    void checksumClicked(SendPane& pane);
    void loadClicked(SendPane& pane);
    void clearSendClicked(SendPane& pane);
    void showSendCaptions();
    // File source (UnitnetFileSource.cpp).
    void fileInputClicked(SendPane& pane);
    void sendFromFile(SendPane& pane);
    // Cyclic sending (UnitnetCyclic.cpp).
    CyclicSendSettings cyclicSettings() const;
    void startOrResumeWorker();
    void pauseWorker();
    void suspendWorker();
    void workerGroupReady();
    void workerLoopEnded();
    // Receive side (UnitnetReceive.cpp).
    void redirectClicked(ReceivePane& pane);
    bool acceptReceiveFile(const QString& path);
    bool capture(ReceivePane& pane, std::initializer_list<QByteArrayView> parts);
    void autoReturnClicked(ReceivePane& pane);
    void saveClicked(ReceivePane& pane);
    void clearRecvClicked(ReceivePane& pane);

    BenchServices m_services;
    std::unique_ptr<SendBox> m_netSendBox;
    std::unique_ptr<SendBox> m_serialSendBox;
    std::unique_ptr<SendPane> m_netSend;
    std::unique_ptr<SendPane> m_serialSend;
    std::unique_ptr<ReceivePane> m_netRecv;
    std::unique_ptr<ReceivePane> m_serialRecv;
    SerialWriter* m_serialWriter = nullptr;
    std::vector<char> m_netHex;              // the network chunk's hexadecimal text
    std::vector<std::uint8_t> m_serialChunk; // what the serial poll took
    bool m_workerRunning = false;            // the cyclic sender runs (not paused)
    bool m_workerAwaitsDrain = false;        // its last group still waits for the port
    bool m_workerGroupComing = false;        // paused with a group on its way here
    bool m_sessionEnding = false;
    bool m_closing = false;
};
