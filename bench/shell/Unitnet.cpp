#include "bench/shell/Unitnet.h"

#include "bench/datapath/LoopWait.h"
#include "bench/datapath/xiancheng02.h"
#include "bench/net/cmSocket.h"
#include "bench/serial/Qxcommdevice.h"
#include "bench/shell/BenchTexts.h"
#include "bench/shell/SendBox.h"
#include "bench/shell/SerialWriter.h"
#include "bench/ui/BevelButton.h"
#include "bench/ui/KeyCharFilter.h"
#include "bench/ui/LinkLabel.h"
#include "bench/ui/TContextPopupMenu.h"
#include "bench/ui/TcmIPEdit.h"
#include "bench/ui/TcmInfoDlg.h"
#include "bench/ui/TcmTrayIcon.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace {

// Puts `box` where `placeholder` stands in its layout and hides the placeholder.
void placeOver(QWidget* placeholder, QWidget* box) {
    auto* layout = qobject_cast<QBoxLayout*>(placeholder->parentWidget()->layout());
    layout->insertWidget(layout->indexOf(placeholder), box);
    placeholder->hide();
}

} // namespace

TFormNet::TFormNet(BenchServices services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services)) {
    setObjectName(QStringLiteral("FormNet"));
    createMenus();
    createPanes();
    createComponents();
    for (const TextTable& table : {BenchTexts::menus(), BenchTexts::serialSettings(),
                                   BenchTexts::netSettings(), BenchTexts::paneControls()})
        BenchTexts::applyTexts(this, table, false);
    // The window starts with its own texts where they differ from the Chinese switch's.
    M0301->setText(QStringLiteral("关于&"));
    HintLabel->setText(QStringLiteral("完成"));
    HintLabelL->setText(QStringLiteral("完成"));
    rebuildToolBar();
    resize(936, 576);
    setMinimumSize(936, 576);

    LoadSaveSettings(false);

    NetSendCount = NetRecvCount = SerialSendCount = 0;
    showNetCounters();
    showSerialCounters();
    setWindowTitle(title());
    InfoDlg->setLanguage(TcmInfoDlg::Chinese);
    InfoDlg->setSkinned(true);
    NetSending = SerialSending = false;
    WorkerSending = false;

    cmIPEdit_Local = new TcmIPEdit;
    cmIPEdit_Local->setObjectName(QStringLiteral("cmIPEdit_Local"));
    placeOver(Edit_IPAddess, cmIPEdit_Local);
    cmIPEdit_Target = new TcmIPEdit;
    cmIPEdit_Target->setObjectName(QStringLiteral("cmIPEdit_Target"));
    placeOver(Edit_IPAddess2, cmIPEdit_Target);
    createSocket();
    createSerialDevice();
    createDataPath();
    const std::uint32_t ownAddress = TcmSocket::get_ip_data(QString(), cmUnicast);
    cmIPEdit_Local->SetIP(ownAddress);
    cmIPEdit_Target->SetIP(ownAddress);

    Edit_PortNUM->setText(QString::number(DefaultLocalPort));
    Edit_PortNUM2->setText(QString::number(DefaultLocalPort));
    MemoSend->setPlainText(InitialSendText);
    MemoSend_L->setPlainText(InitialSendText_L);

    EditPopupMenu = new TContextPopupMenu(this);
    EditPopupMenu->attachTo(TextRecv);
    EditPopupMenu->attachTo(MemoSend);
    UpdateNetControls();
    UpdateSerialControls();

    setWindowTitle(title());
    cmTrayIcon1 = new TcmTrayIcon(this, PopupMenu1);
    cmTrayIcon1->RestoreOnDBCLick = true;
    cmTrayIcon1->setToolTip(windowTitle());
    cmTrayIcon1->setVisible(true);

    wireHandlers();
}

TFormNet::~TFormNet() {
    // The cyclic sender's thread ends before anything it reports to goes away.
    SendThread.reset();
}

void TFormNet::showMessage(const QString& text) {
    m_services.prompts.messageBox(this, text, title(), Prompts::MbOk);
}

QString TFormNet::pick(const char* en, const char* zh) const {
    return BenchTexts::pick(english(), en, zh);
}

QString TFormNet::title() const {
    const QString stored = english() ? ProjectTitle_E : ProjectTitle_C;
    // A window without a title is hard to find among others: fall back to the program's name.
    return stored.isEmpty() ? QStringLiteral("tavrin") : stored;
}

void TFormNet::createComponents() {
    InfoDlg = new TcmInfoDlg(m_services.prompts, this);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);
    m_netSendBox = std::make_unique<SendBox>(MemoSend, MemoSend_Hind, CheckBox_SendAsHex);
    m_serialSendBox = std::make_unique<SendBox>(MemoSend_L, MemoSend_LHind, CheckBox_SendAsHex_L);
    ImageList1 = {QApplication::style()->standardIcon(QStyle::SP_MediaPlay),
                  QApplication::style()->standardIcon(QStyle::SP_MediaStop)};
    cmBtn_NetConnect_L->setIcon(ImageList1[0]);
}

void TFormNet::wireDataPath() {
    connect(Btn_Send, &BevelButton::clicked, this, &TFormNet::Btn_SendClick);
    connect(Btn_Send_L, &BevelButton::clicked, this, &TFormNet::Btn_Send_LClick);
    connect(CheckBox_SendAutoChecksum, &QCheckBox::toggled, this,
            &TFormNet::CheckBox_SendAutoChecksumClick);
    connect(CheckBox_SendAutoChecksum_L, &QCheckBox::toggled, this,
            &TFormNet::CheckBox_SendAutoChecksum_LClick);
    connect(Label_Loaddata, &LinkLabel::clicked, this, &TFormNet::Label_LoaddataClick);
    connect(Label_Loaddata_L, &LinkLabel::clicked, this, &TFormNet::Label_Loaddata_LClick);
    connect(Label_ClearSend, &LinkLabel::clicked, this, &TFormNet::Label_ClearSendClick);
    connect(Label_ClearSend_L, &LinkLabel::clicked, this, &TFormNet::Label_ClearSend_LClick);

    connect(Timer1, &QTimer::timeout, this, &TFormNet::Timer1Timer);
    connect(QxCommDevice1, &TQxCommDevice::AfterOpen, Timer1, qOverload<>(&QTimer::start));
    connect(CheckBox_FileOutput, &QCheckBox::toggled, this, &TFormNet::CheckBox_FileOutputClick);
    connect(CheckBox_FileOutput_L, &QCheckBox::toggled, this,
            &TFormNet::CheckBox_FileOutput_LClick);
    connect(CheckBox_ReceiveAutoReturn, &QCheckBox::toggled, this,
            &TFormNet::CheckBox_ReceiveAutoReturnClick);
    connect(CheckBox_ReceiveAutoReturn_L, &QCheckBox::toggled, this,
            &TFormNet::CheckBox_ReceiveAutoReturn_LClick);
    connect(CheckBox_PauseReceive, &QCheckBox::toggled, this,
            &TFormNet::CheckBox_PauseReceiveClick);
    connect(CheckBox_PauseReceive_L, &QCheckBox::toggled, this,
            &TFormNet::CheckBox_PauseReceive_LClick);
    connect(Label_SaveData, &LinkLabel::clicked, this, &TFormNet::Label_SaveDataClick);
    connect(Label_SaveData_L, &LinkLabel::clicked, this, &TFormNet::Label_SaveData_LClick);
    connect(Label_ClearRecv, &LinkLabel::clicked, this, &TFormNet::Label_ClearRecvClick);
    connect(Label_ClearRecv_L, &LinkLabel::clicked, this, &TFormNet::Label_ClearRecv_LClick);

    connect(CheckBox_FileInput, &QCheckBox::toggled, this, &TFormNet::CheckBox_FileInputClick);
    connect(CheckBox_FileInput_L, &QCheckBox::toggled, this, &TFormNet::CheckBox_FileInput_LClick);
    connect(CheckBox_SendRecycled_L, &QCheckBox::toggled, this,
            &TFormNet::CheckBox_SendRecycled_LClick);

    // The worker reports from its own thread: every report is a queued call to this one.
    connect(
        SendThread.get(), &xiancheng02::groupStarted, this,
        [this] { Btn_Send_L->showPressed(); }, Qt::QueuedConnection);
    connect(SendThread.get(), &xiancheng02::groupReady, this, &TFormNet::workerGroupReady,
            Qt::QueuedConnection);
    connect(SendThread.get(), &xiancheng02::loopEnded, this, &TFormNet::workerLoopEnded,
            Qt::QueuedConnection);
    connect(m_serialWriter, &SerialWriter::taken, this, [this](int count) {
        SerialSendCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(SerialSendCount) +
                                                    static_cast<std::uint32_t>(count));
        showSerialCounters();
    });
    connect(m_serialWriter, &SerialWriter::drained, this, [this] {
        if (m_workerAwaitsDrain) {
            m_workerAwaitsDrain = false;
            SendThread->groupHandedOver(cyclicSettings());
        }
        LoopWait::wake();
    });
}

void TFormNet::wireHandlers() {
    connect(M0101, &QAction::triggered, this, &TFormNet::M0101Click);
    connect(M0102, &QAction::triggered, this, &TFormNet::M0102Click);
    connect(M0103, &QAction::triggered, this, &TFormNet::M0103Click);
    connect(M0201, &QAction::triggered, this, &TFormNet::M0201Click);
    connect(M0202, &QAction::triggered, this, &TFormNet::M0202Click);
    connect(M0203, &QAction::triggered, this, &TFormNet::M0203Click);
    connect(M0301, &QAction::triggered, this, &TFormNet::MN_AboutClick);
    connect(M0302, &QAction::triggered, this, &TFormNet::M0302Click);
    connect(N4, &QAction::triggered, this, &TFormNet::MN_AboutClick);
    connect(MN_Exit, &QAction::triggered, this, &TFormNet::MN_ExitClick);

    connect(ComboBox_Protocol, &QComboBox::currentIndexChanged, this,
            &TFormNet::ComboBox_ProtocolChange);
    connect(cmBtn_NetConnect, &QToolButton::clicked, this, &TFormNet::cmBtn_NetConnectClick);
    connect(cmBtn_NetConnect_L, &QToolButton::clicked, this, &TFormNet::cmBtn_NetConnect_LClick);
    connect(cbSerial, &QComboBox::currentIndexChanged, this, &TFormNet::cbSerialChange);
    connect(cbWave, &QComboBox::currentIndexChanged, this, &TFormNet::cbWaveChange);
    connect(cbCheck, &QComboBox::currentIndexChanged, this, &TFormNet::cbCheckChange);
    connect(cbData, &QComboBox::currentIndexChanged, this, &TFormNet::cbDataChange);
    connect(cbStop, &QComboBox::currentIndexChanged, this, &TFormNet::cbStopChange);
    connect(Btn_ResetCounter, &QToolButton::clicked, this, &TFormNet::Btn_ResetCounterClick);
    connect(Btn_ResetCounterL, &QToolButton::clicked, this, &TFormNet::Btn_ResetCounterLClick);
    connect(Btn_Send, &BevelButton::mouseDown, this, &TFormNet::Btn_SendMouseDown);
    connect(Btn_Send, &BevelButton::mouseUp, this, &TFormNet::Btn_SendMouseUp);
    connect(Btn_Send_L, &BevelButton::mouseDown, this, &TFormNet::Btn_Send_LMouseDown);
    connect(Btn_Send_L, &BevelButton::mouseUp, this, &TFormNet::Btn_Send_LMouseUp);

    connect(CheckBox_SendAsHex, &QCheckBox::toggled, this, &TFormNet::CheckBox_SendAsHexClick);
    connect(CheckBox_SendAsHex_L, &QCheckBox::toggled, this,
            &TFormNet::CheckBox_SendAsHex_LClick);
    connect(MemoSend, &QPlainTextEdit::textChanged, this, &TFormNet::MemoSendChange);
    connect(MemoSend_L, &QPlainTextEdit::textChanged, this, &TFormNet::MemoSend_LChange);
    new KeyCharFilter(MemoSend, [this](char16_t key) { return MemoSendKeyPress(key); });
    new KeyCharFilter(MemoSend_L, [this](char16_t key) { return MemoSend_LKeyPress(key); });
    for (QLineEdit* box : {Edit_SendInterval, Edit_SendInterval_L, Edit_PortNUM, Edit_PortNUM2})
        new KeyCharFilter(box, &TFormNet::EditNumKeyPress);

    wireDataPath();
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TFormNet::FormQueryEndSession);
}

// ---- status lines and counters ----

void TFormNet::AppHint(const QString& hint) {
    const QString text = !hint.isEmpty() ? hint
                         : english()     ? QStringLiteral("Ready!")
                                         : QStringLiteral("就绪!");
    for (QLabel* label : {HintLabel, HintLabelL}) {
        label->setText(text);
        label->repaint();
    }
}

bool TFormNet::event(QEvent* event) {
    // The hint of whatever the mouse is over goes to both status lines.
    if (event->type() == QEvent::StatusTip) {
        AppHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TFormNet::showNetCounters() {
    const bool en = english();
    StaticTextSend->setText((en ? QStringLiteral("Send : ") : QStringLiteral("发送 : ")) +
                            QString::number(NetSendCount));
    StaticTextRecv->setText((en ? QStringLiteral("Recv : ") : QStringLiteral("接收 : ")) +
                            QString::number(NetRecvCount));
}

void TFormNet::showSerialCounters() {
    const bool en = english();
    StaticTextSendL->setText((en ? QStringLiteral("Send : ") : QStringLiteral("发送 : ")) +
                             QString::number(SerialSendCount));
    StaticTextRecvL->setText((en ? QStringLiteral("Recv : ") : QStringLiteral("接收 : ")) +
                             QString::number(SerialRecvCount));
}

void TFormNet::Btn_ResetCounterClick() {
    NetSendCount = 0;
    NetRecvCount = 0;
    showNetCounters();
}

void TFormNet::Btn_ResetCounterLClick() {
    SerialSendCount = 0;
    SerialRecvCount = 0;
    showSerialCounters();
}

void TFormNet::M0203Click() {
    Btn_ResetCounterLClick();
    Btn_ResetCounterClick();
}

// ---- send buttons' look ----

void TFormNet::Btn_SendMouseDown() { Btn_Send->showPressed(); }
void TFormNet::Btn_SendMouseUp() { Btn_Send->showRaised(); }
void TFormNet::Btn_Send_LMouseDown() { Btn_Send_L->showPressed(); }
void TFormNet::Btn_Send_LMouseUp() { Btn_Send_L->showRaised(); }

// ---- send boxes ----

void TFormNet::CheckBox_SendAsHexClick() { m_netSendBox->sendAsHexClicked(); }
void TFormNet::CheckBox_SendAsHex_LClick() { m_serialSendBox->sendAsHexClicked(); }
void TFormNet::MemoSendChange() { m_netSendBox->memoChanged(); }
void TFormNet::MemoSend_LChange() { m_serialSendBox->memoChanged(); }
bool TFormNet::MemoSendKeyPress(char16_t key) { return m_netSendBox->acceptKey(key); }
// The serial box filters like the network box: hex mode takes only what hex text holds.
bool TFormNet::MemoSend_LKeyPress(char16_t key) { return m_serialSendBox->acceptKey(key); }
bool TFormNet::EditNumKeyPress(char16_t key) { return acceptNumberBoxChar(key); }

// ---- menus ----

void TFormNet::M0103Click() { close(); }
void TFormNet::MN_ExitClick() { close(); }

void TFormNet::MN_AboutClick() {
    const QString text = QStringLiteral("tavrin %1\n\n%2")
                             .arg(QStringLiteral(PROJECT_VERSION_TEXT),
                                  english() ? QStringLiteral("Serial port and TCP/IP test bench.")
                                            : QStringLiteral("串口与网络调试工具。"));
    m_services.prompts.messageBox(this, text,
                                  english() ? QStringLiteral("About...") : QStringLiteral("关于..."),
                                  Prompts::MbOk | Prompts::MbIconInformation);
}

void TFormNet::M0302Click() {
    // There is no web site: the user guide stands in for it.
    if (!m_services.shell.openUrl(QUrl::fromLocalFile(m_services.guidePath)))
        m_services.prompts.messageBox(this, QStringLiteral("文件不存在!"),
                                      QStringLiteral("Warning"), Prompts::MbOk);
}

// ---- closing ----

bool TFormNet::FormCloseQuery() {
    const bool en = english();
    const int answer = m_services.prompts.messageBox(
        this, en ? QStringLiteral("Sure to quit？") : QStringLiteral("确定退出？"),
        en ? QStringLiteral("Confirm!") : QStringLiteral("确认！"),
        Prompts::MbYesNo | Prompts::MbIconQuestion);
    return answer == Prompts::IdYes;
}

void TFormNet::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TFormNet::FormShow() {
    // All five lists, so that the port opens with the settings the lists show.
    for (QComboBox* list : {cbSerial, cbWave, cbCheck, cbData, cbStop})
        applySerialList(list);
    ComboBox_ProtocolChange();
    // No language stored yet starts in Chinese, which stores "1".
    if (english())
        M0201Click();
    else
        M0202Click();
}

void TFormNet::FormClose() {
    AppRunning = false;
    LoopWait::wake();
    SendThread->terminate();
    MySocket->SetActive(false);
    QxCommDevice1->setActive(false);
    Timer1->stop();
    cmTrayIcon1->setVisible(false);
    LoadSaveSettings(true);
}

void TFormNet::FormQueryEndSession() {
    m_sessionEnding = true;
    close();
}

void TFormNet::closeEvent(QCloseEvent* event) {
    if (!m_closing) {
        if (!m_sessionEnding && !FormCloseQuery()) {
            event->ignore();
            return;
        }
        m_closing = true;
        FormClose();
    }
    event->accept();
}
