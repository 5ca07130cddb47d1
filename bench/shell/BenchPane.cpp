#include "bench/shell/BenchPane.h"

#include "bench/shell/BenchTexts.h"
#include "bench/ui/BevelButton.h"
#include "bench/ui/LinkLabel.h"
#include "bench/ui/RadioGroup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Creates a control named after its pane's twin.
class PaneFactory {
public:
    PaneFactory(BenchPane::Kind kind) : m_serial(kind == BenchPane::Serial) {}

    template <typename T, typename... Args>
    T* make(const char* serialName, const char* netName, Args&&... args) const {
        auto* widget = new T(std::forward<Args>(args)...);
        widget->setObjectName(QString::fromLatin1(m_serial ? serialName : netName));
        return widget;
    }

private:
    bool m_serial;
};

QPlainTextEdit* makeTextBox(QPlainTextEdit* box) {
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return box;
}

} // namespace

BenchPane buildBenchPane(QWidget* pane, BenchPane::Kind kind) {
    const PaneFactory f(kind);
    BenchPane p;

    // Settings column: port group (added by the caller), receive options, send options.
    p.recvOptions = f.make<QGroupBox>("GroupBoxRecvL", "GroupBoxRecvR");
    p.fileOutput = f.make<QCheckBox>("CheckBox_FileOutput_L", "CheckBox_FileOutput");
    p.autoReturn = f.make<QCheckBox>("CheckBox_ReceiveAutoReturn_L", "CheckBox_ReceiveAutoReturn");
    p.autoReturn->setChecked(true);
    p.showHex = f.make<QCheckBox>("CheckBox_ReceiveShowHex_L", "CheckBox_ReceiveShowHex");
    p.pauseReceive = f.make<QCheckBox>("CheckBox_PauseReceive_L", "CheckBox_PauseReceive");
    p.saveData = f.make<LinkLabel>("Label_SaveData_L", "Label_SaveData");
    p.clearRecv = f.make<LinkLabel>("Label_ClearRecv_L", "Label_ClearRecv");
    auto* recvGrid = new QGridLayout(p.recvOptions);
    recvGrid->addWidget(p.fileOutput, 0, 0, 1, 2);
    recvGrid->addWidget(p.autoReturn, 1, 0, 1, 2);
    recvGrid->addWidget(p.showHex, 2, 0, 1, 2);
    recvGrid->addWidget(p.pauseReceive, 3, 0, 1, 2);
    recvGrid->addWidget(p.saveData, 4, 0);
    recvGrid->addWidget(p.clearRecv, 4, 1);

    p.sendOptions = f.make<QGroupBox>("GroupBoxSendL", "GroupBoxSendR");
    p.fileInput = f.make<QCheckBox>("CheckBox_FileInput_L", "CheckBox_FileInput");
    p.autoChecksum = f.make<QCheckBox>("CheckBox_SendAutoChecksum_L", "CheckBox_SendAutoChecksum");
    p.clearAfterSend = f.make<QCheckBox>("CheckBox_ClearAfterSend_L", "CheckBox_ClearAfterSend");
    p.sendAsHex = f.make<QCheckBox>("CheckBox_SendAsHex_L", "CheckBox_SendAsHex");
    p.sendRecycled = f.make<QCheckBox>("CheckBox_SendRecycled_L", "CheckBox_SendRecycled");
    auto* intervalLabel = f.make<QLabel>("Label_Interval_L", "Label_Interval");
    p.sendInterval = f.make<QLineEdit>("Edit_SendInterval_L", "Edit_SendInterval");
    p.sendInterval->setMaxLength(8);
    p.sendInterval->setText(QStringLiteral("1000"));
    auto* intervalUnit = f.make<QLabel>("Label_IntervalUnit_L", "Label_IntervalUnit");
    p.loadData = f.make<LinkLabel>("Label_Loaddata_L", "Label_Loaddata");
    p.clearSend = f.make<LinkLabel>("Label_ClearSend_L", "Label_ClearSend");
    auto* sendGrid = new QGridLayout(p.sendOptions);
    sendGrid->addWidget(p.fileInput, 0, 0, 1, 3);
    sendGrid->addWidget(p.autoChecksum, 1, 0, 1, 3);
    sendGrid->addWidget(p.clearAfterSend, 2, 0, 1, 3);
    sendGrid->addWidget(p.sendAsHex, 3, 0, 1, 3);
    sendGrid->addWidget(p.sendRecycled, 4, 0, 1, 3);
    sendGrid->addWidget(intervalLabel, 5, 0);
    sendGrid->addWidget(p.sendInterval, 5, 1);
    sendGrid->addWidget(intervalUnit, 5, 2);
    sendGrid->addWidget(p.loadData, 6, 0);
    sendGrid->addWidget(p.clearSend, 6, 1);

    auto* settings = new QWidget;
    p.settingsColumn = new QVBoxLayout(settings);
    p.settingsColumn->setContentsMargins(0, 0, 0, 0);
    p.settingsColumn->addWidget(p.recvOptions);
    p.settingsColumn->addWidget(p.sendOptions);
    p.settingsColumn->addStretch();
    settings->setFixedWidth(150);

    // Receive area with the two hidden helpers of the send row.
    p.recvArea = f.make<QGroupBox>("GroupBox_Recv_L", "GroupBox_Recv");
    p.textRecv = makeTextBox(f.make<QPlainTextEdit>("TextRecv_L", "TextRecv"));
    p.hiddenText = f.make<QPlainTextEdit>("MemoSend_LHind", "MemoSend_Hind", p.recvArea);
    p.hiddenText->hide();
    p.checksumPanel = f.make<QFrame>("PanelChecksumSelL", "PanelChecksumSel", p.recvArea);
    p.checksumGroup = f.make<RadioGroup>("RadioGroupChecksum_L", "RadioGroupChecksum", QString());
    p.checksumGroup->setItems(BenchTexts::checksumItems(false));
    p.checksumGroup->setItemIndex(0);
    p.fixChecksum = f.make<QLineEdit>("Edit_FixChecksumL", "Edit_FixChecksum");
    p.fixChecksum->setMaxLength(2);
    p.fixChecksum->setText(QStringLiteral("0d"));
    p.fixChecksum->setFixedWidth(40);
    auto* checksumLayout = new QHBoxLayout(p.checksumPanel);
    checksumLayout->addWidget(p.checksumGroup);
    checksumLayout->addWidget(p.fixChecksum, 0, Qt::AlignBottom);
    p.checksumPanel->hide();
    auto* recvLayout = new QVBoxLayout(p.recvArea);
    recvLayout->addWidget(p.textRecv);

    // Send row, below a splitter; the network pane puts its target row above it.
    auto* sendPart = new QWidget;
    p.sendArea = new QVBoxLayout(sendPart);
    p.sendArea->setContentsMargins(0, 0, 0, 0);
    auto* sendRow = new QHBoxLayout;
    p.memoSend = makeTextBox(f.make<QPlainTextEdit>("MemoSend_L", "MemoSend"));
    BenchTexts::setHint(p.memoSend, QStringLiteral("在此输入发送的内容"));
    p.sendButton = f.make<BevelButton>("Btn_Send_L", "Btn_Send", QString());
    p.sendButton->setFixedWidth(64);
    sendRow->addWidget(p.memoSend);
    sendRow->addWidget(p.sendButton);
    p.sendArea->addLayout(sendRow, 1);

    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(p.recvArea);
    split->addWidget(sendPart);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);

    // Status bar: label, counters and the reset button.
    auto* status = new QFrame;
    status->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    p.hintLabel = f.make<QLabel>("HintLabelL", "HintLabel", QStringLiteral("完成"));
    p.sendCounter = f.make<QLabel>("StaticTextSendL", "StaticTextSend", QStringLiteral("发送 : 0"));
    BenchTexts::setHint(p.sendCounter, QStringLiteral("已经发送的字节数"));
    p.recvCounter = f.make<QLabel>("StaticTextRecvL", "StaticTextRecv", QStringLiteral("接收 : 0"));
    BenchTexts::setHint(p.recvCounter, QStringLiteral("已经接收到的字节数"));
    p.resetCounter = f.make<QToolButton>("Btn_ResetCounterL", "Btn_ResetCounter");
    p.resetCounter->setAutoRaise(true);
    BenchTexts::setHint(p.resetCounter, QStringLiteral("发送/接收计数器清零"));
    auto* statusLayout = new QHBoxLayout(status);
    statusLayout->setContentsMargins(4, 1, 4, 1);
    statusLayout->addWidget(p.hintLabel, 1);
    statusLayout->addWidget(p.sendCounter);
    statusLayout->addSpacing(12);
    statusLayout->addWidget(p.recvCounter);
    statusLayout->addWidget(p.resetCounter);

    auto* body = new QHBoxLayout;
    body->addWidget(settings);
    body->addWidget(split, 1);
    auto* outer = new QVBoxLayout(pane);
    outer->setContentsMargins(2, 2, 2, 2);
    outer->addLayout(body, 1);
    outer->addWidget(status);
    return p;
}
