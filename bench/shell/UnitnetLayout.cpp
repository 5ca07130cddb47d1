// Building the window's menus and controls; the behaviour is in Unitnet.cpp.

#include "bench/shell/BenchPane.h"
#include "bench/shell/BenchTexts.h"
#include "bench/shell/Unitnet.h"
#include "bench/ui/BevelButton.h"
#include "bench/ui/LinkLabel.h"
#include "bench/ui/RadioGroup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template <typename T> T* named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

QAction* addItem(QMenu* menu, const char* name, const char* caption) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QComboBox* makeList(const char* name, const QStringList& items) {
    auto* list = named(new QComboBox, name);
    list->addItems(items);
    return list;
}

QToolButton* makeConnectButton(const char* name, const char* caption) {
    auto* button = named(new QToolButton, name);
    button->setText(QString::fromUtf8(caption));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    return button;
}

} // namespace

void TFormNet::createMenus() {
    M01 = named(new QMenu(QStringLiteral("文件(&F)"), this), "M01");
    M0101 = addItem(M01, "M0101", "保存设置&");
    M0102 = addItem(M01, "M0102", "读取设置&");
    named(M01->addSeparator(), "N5");
    M0103 = addItem(M01, "M0103", "退出(&X)");

    M02 = named(new QMenu(QStringLiteral("选项(&O)"), this), "M02");
    M0201 = addItem(M02, "M0201", "English&");
    M0202 = addItem(M02, "M0202", "中文&");
    M0201->setCheckable(true);
    M0202->setCheckable(true);
    named(M02->addSeparator(), "N7");
    M0203 = addItem(M02, "M0203", "复位&");

    M03 = named(new QMenu(QStringLiteral("帮助(&H)"), this), "M03");
    M0301 = addItem(M03, "M0301", "关于&");
    named(M03->addSeparator(), "N10");
    M0302 = addItem(M03, "M0302", "访问站点&");

    ToolBarMem = named(new QToolBar(this), "ToolBarMem");
    ToolBarMem->setMovable(false);
    ToolBarMem->setFloatable(false);
    ToolBarMem->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, ToolBarMem);
    rebuildToolBar();

    PopupMenu1 = named(new QMenu(this), "PopupMenu1");
    N4 = addItem(PopupMenu1, "N4", "关于");
    named(PopupMenu1->addSeparator(), "N2");
    MN_Exit = addItem(PopupMenu1, "MN_Exit", "退出");
}

void TFormNet::rebuildToolBar() {
    ToolBarMem->clear();
    for (QMenu* menu : {M01, M02, M03}) {
        auto* button = new QToolButton(ToolBarMem);
        button->setText(menu->title());
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setAutoRaise(true);
        ToolBarMem->addWidget(button);
    }
}

void TFormNet::createSerialSettings(QWidget* pane) {
    GroupBoxNetL = named(new QGroupBox(pane), "GroupBoxNetL");
    QStringList ports;
    for (int n = 1; n <= 16; ++n)
        ports << QStringLiteral("COM%1").arg(n);
    cbSerial = makeList("cbSerial", ports);
    cbWave = makeList("cbWave", {"110", "300", "600", "1200", "2400", "4800", "9600", "14400",
                                 "19200", "38400", "56000", "57600", "115200"});
    cbWave->setCurrentIndex(6);
    cbCheck = makeList("cbCheck", {"NONE", "ODD", "EVEN"});
    cbData = makeList("cbData", {"5 bit", "6 bit", "7 bit", "8 bit"});
    cbData->setCurrentIndex(3);
    cbStop = makeList("cbStop", {"1 bit", "2 bit"});
    cmBtn_NetConnect_L = makeConnectButton("cmBtn_NetConnect_L", " 打开");

    auto* grid = new QGridLayout(GroupBoxNetL);
    const std::pair<const char*, QComboBox*> rows[] = {{"Label_Protocol_L", cbSerial},
                                                       {"LabelWave", cbWave},
                                                       {"LabelCheck", cbCheck},
                                                       {"LabeData", cbData},
                                                       {"LabelStop", cbStop}};
    int row = 0;
    for (const auto& [label, list] : rows) {
        grid->addWidget(named(new QLabel, label), row, 0);
        grid->addWidget(list, row++, 1);
    }
    grid->addWidget(cmBtn_NetConnect_L, row, 0, 1, 2);
}

void TFormNet::createNetSettings(QWidget* pane) {
    GroupBox_Network = named(new QGroupBox(pane), "GroupBox_Network");
    ComboBox_Protocol = makeList(
        "ComboBox_Protocol",
        {QStringLiteral("   UDP"), QStringLiteral("  TCP Server"), QStringLiteral("  TCP Client")});
    Edit_IPAddess = named(new QLineEdit, "Edit_IPAddess");
    Edit_PortNUM = named(new QLineEdit(QStringLiteral("0")), "Edit_PortNUM");
    Edit_PortNUM->setMaxLength(5);
    cmBtn_NetConnect = makeConnectButton("cmBtn_NetConnect", " 连接");

    auto* column = new QVBoxLayout(GroupBox_Network);
    column->addWidget(named(new QLabel, "Label_Protocol"));
    column->addWidget(ComboBox_Protocol);
    column->addWidget(named(new QLabel, "Label_IPAddress"));
    column->addWidget(Edit_IPAddess);
    column->addWidget(named(new QLabel, "Label_PortNum"));
    column->addWidget(Edit_PortNUM);
    column->addWidget(cmBtn_NetConnect);
}

void TFormNet::createTargetRow(QWidget* pane) {
    PanelToolBar = named(new QFrame(pane), "PanelToolBar");
    Label_IP2 = named(new QLabel(QStringLiteral("目标主机:")), "Label_IP2");
    Edit_IPAddess2 = named(new QLineEdit, "Edit_IPAddess2");
    ComboBox_Connections = named(new QComboBox, "ComboBox_Connections");
    ComboBox_Connections->setMinimumContentsLength(22);
    Label_portNUM2 = named(new QLabel(QStringLiteral("端口:")), "Label_portNUM2");
    Label_portNUM2->hide();
    Edit_PortNUM2 = named(new QLineEdit, "Edit_PortNUM2");
    Edit_PortNUM2->setMaxLength(5);
    Edit_PortNUM2->setFixedWidth(60);
    auto* row = new QHBoxLayout(PanelToolBar);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(Label_IP2);
    row->addWidget(Edit_IPAddess2);
    row->addWidget(ComboBox_Connections);
    row->addWidget(Label_portNUM2);
    row->addWidget(Edit_PortNUM2);
    row->addStretch();
}

void TFormNet::createPanes() {
    PanelMain = named(new QWidget(this), "PanelMain");
    SplitterM = named(new QSplitter(Qt::Horizontal, PanelMain), "SplitterM");
    PanelMainLeft = named(new QWidget, "PanelMainLeft");
    PanelMainR = named(new QWidget, "PanelMainR");
    SplitterM->addWidget(PanelMainLeft);
    SplitterM->addWidget(PanelMainR);
    SplitterM->setChildrenCollapsible(false);
    SplitterM->setSizes({460, 476});
    auto* mainLayout = new QHBoxLayout(PanelMain);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->addWidget(SplitterM);
    setCentralWidget(PanelMain);

    const BenchPane serial = buildBenchPane(PanelMainLeft, BenchPane::Serial);
    createSerialSettings(PanelMainLeft);
    serial.settingsColumn->insertWidget(0, GroupBoxNetL);

    const BenchPane net = buildBenchPane(PanelMainR, BenchPane::Network);
    createNetSettings(PanelMainR);
    net.settingsColumn->insertWidget(0, GroupBox_Network);
    createTargetRow(PanelMainR);
    net.sendArea->insertWidget(0, PanelToolBar);

    GroupBoxRecvL = serial.recvOptions;
    CheckBox_FileOutput_L = serial.fileOutput;
    CheckBox_ReceiveAutoReturn_L = serial.autoReturn;
    CheckBox_ReceiveShowHex_L = serial.showHex;
    CheckBox_PauseReceive_L = serial.pauseReceive;
    Label_SaveData_L = serial.saveData;
    Label_ClearRecv_L = serial.clearRecv;
    GroupBoxSendL = serial.sendOptions;
    CheckBox_FileInput_L = serial.fileInput;
    CheckBox_SendAutoChecksum_L = serial.autoChecksum;
    CheckBox_ClearAfterSend_L = serial.clearAfterSend;
    CheckBox_SendAsHex_L = serial.sendAsHex;
    CheckBox_SendRecycled_L = serial.sendRecycled;
    Edit_SendInterval_L = serial.sendInterval;
    Label_Loaddata_L = serial.loadData;
    Label_ClearSend_L = serial.clearSend;
    GroupBox_Recv_L = serial.recvArea;
    TextRecv_L = serial.textRecv;
    MemoSend_LHind = serial.hiddenText;
    PanelChecksumSelL = serial.checksumPanel;
    RadioGroupChecksum_L = serial.checksumGroup;
    Edit_FixChecksumL = serial.fixChecksum;
    MemoSend_L = serial.memoSend;
    Btn_Send_L = serial.sendButton;
    HintLabelL = serial.hintLabel;
    StaticTextSendL = serial.sendCounter;
    StaticTextRecvL = serial.recvCounter;
    Btn_ResetCounterL = serial.resetCounter;

    GroupBoxRecvR = net.recvOptions;
    CheckBox_FileOutput = net.fileOutput;
    CheckBox_ReceiveAutoReturn = net.autoReturn;
    CheckBox_ReceiveShowHex = net.showHex;
    CheckBox_PauseReceive = net.pauseReceive;
    Label_SaveData = net.saveData;
    Label_ClearRecv = net.clearRecv;
    GroupBoxSendR = net.sendOptions;
    CheckBox_FileInput = net.fileInput;
    CheckBox_SendAutoChecksum = net.autoChecksum;
    CheckBox_ClearAfterSend = net.clearAfterSend;
    CheckBox_SendAsHex = net.sendAsHex;
    CheckBox_SendRecycled = net.sendRecycled;
    Edit_SendInterval = net.sendInterval;
    Label_Loaddata = net.loadData;
    Label_ClearSend = net.clearSend;
    GroupBox_Recv = net.recvArea;
    TextRecv = net.textRecv;
    MemoSend_Hind = net.hiddenText;
    PanelChecksumSel = net.checksumPanel;
    RadioGroupChecksum = net.checksumGroup;
    Edit_FixChecksum = net.fixChecksum;
    MemoSend = net.memoSend;
    Btn_Send = net.sendButton;
    HintLabel = net.hintLabel;
    StaticTextSend = net.sendCounter;
    StaticTextRecv = net.recvCounter;
    Btn_ResetCounter = net.resetCounter;
}
