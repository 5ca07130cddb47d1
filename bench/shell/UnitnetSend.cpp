// The send engine of both panes: the send buttons, the loop over the send box's groups with
// its interval, the checksum settings, and loading and clearing the send box.

#include "bench/datapath/Codec.h"
#include "bench/datapath/HexView.h"
#include "bench/datapath/LoadedContent.h"
#include "bench/datapath/LoopWait.h"
#include "bench/net/cmSocket.h"
#include "bench/serial/Qxcommdevice.h"
#include "bench/shell/Unitnet.h"
#include "bench/ui/BevelButton.h"
#include "bench/ui/RadioGroup.h"
#include "bench/ui/TcmInfoDlg.h"
#include "platform/Prompts.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>

namespace {

const QString FileFilter =
    QStringLiteral("Text files (*.txt);;Data files (*.dat);;All files (*)");

// A send box takes at most this much of a file (a longer one line would take the box seconds to
// lay out); a whole file is a job for the file data source.
constexpr qint64 MaxLoadBytes = 65535;

std::string_view viewOf(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

} // namespace

void TFormNet::takeInterval(QLineEdit* box, std::int32_t& interval) {
    const QByteArray text = box->text().toUtf8();
    if (IsAllDigits(viewOf(text)))
        interval = DecStrToInt(viewOf(text));
    else
        box->setText(QString::number(interval));
}

// ---- the send buttons ----

void TFormNet::Btn_SendClick() {
    if (CheckBox_FileInput->isChecked()) {
        Net_BtnClick_SendFromFile();
        return;
    }
    if (NetSending) {
        stopSending(*m_netSend);
        return;
    }
    if (!MySocket->Active()) {
        warn(pick("Not connect! \n\nSend fail!", "网络尚未连接! \n\n发送失败！"),
             Prompts::MbIconError);
        return;
    }
    runSendLoop(*m_netSend);
}

void TFormNet::Btn_Send_LClick() {
    // A group the paused cyclic sender handed out goes first, so that groups never interleave.
    LoopWait::until([this] { return !m_workerGroupComing || !AppRunning; });
    if (CheckBox_FileInput_L->isChecked()) {
        Net_BtnClick_SendFromFileL();
        return;
    }
    // A press while something sends stops it, whether or not the port is still open.
    if (SerialSending) {
        SerialSendOnce();
        return;
    }
    if (WorkerSending && m_workerRunning) {
        pauseWorker();
        return;
    }
    if (!QxCommDevice1->Active()) {
        warn(pick("Not cnnect! \n\nSend fail!", "串口没有打开！ \n\n发送失败！"),
             Prompts::MbIconError);
        return;
    }
    if (CheckBox_SendRecycled_L->isChecked()) {
        startOrResumeWorker();
        return;
    }
    SerialSendOnce();
}

void TFormNet::SerialSendOnce() {
    if (SerialSending) {
        stopSending(*m_serialSend);
        return;
    }
    runSendLoop(*m_serialSend);
}

void TFormNet::stopSending(SendPane& pane) {
    *pane.sending = false;
    pane.button->setText(pick("Send", "发送"));
    pane.connectButton->setEnabled(true);
    // The running loop looks at its flag at once, also in the middle of a wait.
    LoopWait::wake();
}

void TFormNet::showSendCaptions() {
    const bool serialRuns = SerialSending || (WorkerSending && m_workerRunning);
    Btn_Send->setText(NetSending ? pick("Stop", "停止发送") : pick("Send", "发送"));
    Btn_Send_L->setText(serialRuns ? pick("Stop", "停止发送") : pick("Send", "发送"));
}

// ---- the send loop ----

void TFormNet::lockSendControls(SendPane& pane, bool withHex) {
    for (QWidget* w : pane.portControls)
        w->setEnabled(false);
    for (QWidget* w : {static_cast<QWidget*>(pane.memo), static_cast<QWidget*>(pane.intervalBox),
                       static_cast<QWidget*>(pane.fileInput), pane.connectButton})
        w->setEnabled(false);
    if (withHex)
        pane.sendAsHex->setEnabled(false);
}

void TFormNet::unlockSendControls(SendPane& pane) {
    for (QWidget* w : {static_cast<QWidget*>(pane.memo), static_cast<QWidget*>(pane.intervalBox),
                       static_cast<QWidget*>(pane.fileInput),
                       static_cast<QWidget*>(pane.sendAsHex), pane.connectButton})
        w->setEnabled(true);
    // The port's settings cannot change under an open port; the pane's own rule decides.
    const bool open = pane.transportOpen();
    for (QWidget* w : pane.portControls)
        w->setEnabled(!open);
}

int TFormNet::appendChecksum(SendPane& pane, int n) {
    if (!pane.autoChecksum->isChecked())
        return n;
    if (*pane.checksumMode == 2)
        pane.group[static_cast<std::size_t>(n)] = static_cast<std::uint8_t>(*pane.fixedByte);
    else
        AppendChecksum(pane.group.data(), n + 1, *pane.checksumMode);
    return n + 1;
}

void TFormNet::WaitInterval(int ms, const bool& flag) {
    LoopWait::until([&] { return !flag || !AppRunning; }, ms);
}

QString TFormNet::GroupPreview(const QByteArray& text, int start, int end,
                               const QLabel* label) const {
    QString group = QString::fromUtf8(text.constData() + start, end - start);
    const QFont font = label->font();
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    const auto fits = static_cast<qsizetype>(label->width() / std::max(1.0, points));
    if (group.size() > fits)
        group = group.left(fits) + QStringLiteral("...");
    // The label is one line: the group's line end is not shown.
    group.remove(QLatin1Char('\r'));
    group.remove(QLatin1Char('\n'));
    return group;
}

void TFormNet::runSendLoop(SendPane& pane) {
    bool& sending = *pane.sending;
    sending = true;
    lockSendControls(pane, !pane.serial);
    pane.button->setText(pick("Stop", "停止发送"));
    takeInterval(pane.intervalBox, *pane.loopInterval);

    int cursor = 0;
    int groups = 0;
    while (sending && AppRunning) {
        // Read afresh: a file may have been loaded into the box meanwhile.
        const QByteArray text = pane.memo->toPlainText().toUtf8();
        const bool hex = pane.sendAsHex->isChecked();
        int start = cursor;
        int n = ReadSendGroup(viewOf(text), cursor, pane.group, hex);
        if (n < 1) {
            if (!pane.sendRecycled->isChecked())
                break;
            cursor = start = 0;
            n = ReadSendGroup(viewOf(text), cursor, pane.group, hex);
            if (n < 1)
                break;
        }
        std::int32_t& interval = *pane.loopInterval;
        if (interval <= 50)
            interval = 50;
        if (groups > 0) {
            WaitInterval(interval, sending);
            // Stop means stop: the group read before the wait stays unsent.
            if (!sending || !AppRunning)
                break;
        }
        pane.hint->setText(pick("Sending...", "正在发送数据..."));
        n = appendChecksum(pane, n);
        const GroupResult result = pane.send(pane.group.data(), n, false);
        if (result == GroupResult::Stop)
            break;
        if (result == GroupResult::Failed) {
            pane.hint->setText(pick("Send Fail!", "发送失败!"));
            break;
        }
        pane.hint->setText(pick("Succeed Sending ", "成功发送 ") +
                           GroupPreview(text, start, cursor, pane.hint));
        ++groups;
        pane.waitHandedOver();
    }
    unlockSendControls(pane);
    sending = false;
    pane.button->setText(pick("Send", "发送"));
    if (pane.clearAfterSend->isChecked())
        pane.memo->clear();
}

// ---- checksum settings ----

void TFormNet::CheckBox_SendAutoChecksumClick() { checksumClicked(*m_netSend); }
void TFormNet::CheckBox_SendAutoChecksum_LClick() { checksumClicked(*m_serialSend); }

void TFormNet::checksumClicked(SendPane& pane) {
    if (!pane.autoChecksum->isChecked())
        return;
    pane.fixChecksum->setText(
        QStringLiteral("%1").arg(*pane.fixedByte & 0xFF, 2, 16, QLatin1Char('0')).toUpper());
    pane.checksumGroup->setItemIndex(*pane.checksumMode);
    const int answer =
        InfoDlg->ControlDlg(pane.checksumPanel, pane.checksumGroup->title(), Prompts::MbYesNo);
    if (answer == Prompts::IdYes) {
        *pane.checksumMode = pane.checksumGroup->itemIndex();
        const QByteArray digits = pane.fixChecksum->text().toUtf8();
        *pane.fixedByte = static_cast<std::int32_t>(HexStrToInt(viewOf(digits)));
    } else {
        pane.checksumGroup->setItemIndex(*pane.checksumMode);
    }
}

// ---- loading and clearing the send box ----

void TFormNet::Label_LoaddataClick() { loadClicked(*m_netSend); }
void TFormNet::Label_Loaddata_LClick() { loadClicked(*m_serialSend); }
void TFormNet::Label_ClearSendClick() { clearSendClicked(*m_netSend); }
void TFormNet::Label_ClearSend_LClick() { clearSendClicked(*m_serialSend); }

void TFormNet::loadClicked(SendPane& pane) {
    if (pane.fileInput->isChecked()) {
        warn(QStringLiteral("启用外部数据源时无法执行该操作！"), Prompts::MbIconWarning);
        return;
    }
    Prompts::FileRequest request{QString(), FileFilter, 1, QString()};
    const QString path = m_services.prompts.openFileName(this, request);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessage(QStringLiteral("Can not open file!"));
        return;
    }
    pane.hint->setText(QStringLiteral("Open file..") + path);
    pane.hint->repaint();
    const QByteArray bytes = file.read(MaxLoadBytes);
    const bool cut = !file.atEnd();
    file.close();

    QString content;
    switch (classifyLoaded(bytes)) {
    case LoadedContent::Text:
        if (pane.sendAsHex->isChecked())
            pane.sendAsHex->setChecked(false);
        [[fallthrough]];
    case LoadedContent::HexText:
        content = QString::fromUtf8(bytes);
        break;
    case LoadedContent::Binary:
        if (m_services.prompts.messageBox(this, QStringLiteral("是否以16进制数据载入?"),
                                          QStringLiteral("Warning"), Prompts::MbYesNo) ==
            Prompts::IdYes) {
            content = hexViewOf(bytes);
            pane.sendAsHex->setChecked(true);
        } else {
            content = textUpToZero(bytes.constData(), static_cast<int>(bytes.size()));
        }
        break;
    }
    pane.memo->setPlainText(content);
    if (cut)
        showMessage(pick("Only the first 65535 bytes of the file were loaded. To send the whole "
                         "file, use \"Data from file...\".",
                         "只载入了文件的前 65535 字节。要发送整个文件，请使用\"启用文件数据源...\"。"));
}

void TFormNet::clearSendClicked(SendPane& pane) {
    if (pane.fileInput->isChecked()) {
        warn(QStringLiteral("启用外部数据源时无法执行该操作！"), Prompts::MbIconWarning);
        return;
    }
    pane.memo->clear();
}
