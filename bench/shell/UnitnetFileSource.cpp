// A file instead of the send box: the file-source check boxes and the two file senders, which
// stream the data file in groups (raw blocks, or hexadecimal text line by line).

#include "bench/datapath/Codec.h"
#include "bench/shell/SendBox.h"
#include "bench/shell/Unitnet.h"
#include "bench/ui/BevelButton.h"
#include "platform/Prompts.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>

namespace {

const QString FileFilter =
    QStringLiteral("Text files (*.txt);;Data files (*.dat);;All files (*)");
constexpr qint64 TurnEveryMs = 5;

} // namespace

void TFormNet::CheckBox_FileInputClick() { fileInputClicked(*m_netSend); }
void TFormNet::CheckBox_FileInput_LClick() { fileInputClicked(*m_serialSend); }

void TFormNet::fileInputClicked(SendPane& pane) {
    if (!pane.fileInput->isChecked()) {
        pane.box->endNote();
        return;
    }
    Prompts::FileRequest request{QString(), FileFilter, 1, QString()};
    const QString path = m_services.prompts.openFileName(this, request);
    // Cancelled or unreadable: unchecking leaves the box as the user typed it (no note yet).
    if (path.isEmpty()) {
        pane.fileInput->setChecked(false);
        return;
    }
    DataFilePath = path;
    if (!QFile(path).open(QIODevice::ReadOnly)) {
        pane.fileInput->setChecked(false);
        showMessage(QStringLiteral("Can not open file!"));
        return;
    }
    pane.box->showNote(QStringLiteral("启用外部文件数据源：\n") + path + QStringLiteral(" ..."));
}

void TFormNet::Net_BtnClick_SendFromFile() { sendFromFile(*m_netSend); }
void TFormNet::Net_BtnClick_SendFromFileL() { sendFromFile(*m_serialSend); }

void TFormNet::sendFromFile(SendPane& pane) {
    bool& sending = *pane.sending;
    if (sending) {
        stopSending(pane);
        return;
    }
    if (!pane.transportOpen()) {
        warn(pane.serial ? pick("Not cnnect! \n\nSend fail!", "串口没有打开！ \n\n发送失败！")
                         : pick("Not connect! \n\nSend fail！", "网络尚未连接! \n\n发送失败！"),
             Prompts::MbIconError);
        return;
    }
    QFile file(DataFilePath);
    if (!file.open(QIODevice::ReadOnly)) {
        warn(QStringLiteral("Can not open data file！"), Prompts::MbIconError);
        return;
    }
    sending = true;
    lockSendControls(pane, false);
    pane.button->setText(pick("Stop", "停止发送"));
    pane.hint->setText(pick("Sending...", "正在发送数据..."));
    pane.hint->repaint();
    // Streaming knows no floor: an interval of 0 sends group after group.
    takeInterval(pane.intervalBox, *pane.fileInterval);

    std::int64_t cursor = 0;
    int groups = 0;
    bool failed = false;
    QElapsedTimer sinceTurn;
    sinceTurn.start();
    while (sending && AppRunning) {
        const bool hex = pane.sendAsHex->isChecked();
        int n = ReadFileGroup(file, cursor, pane.group, hex);
        if (n == 0 && pane.sendRecycled->isChecked()) {
            cursor = 0;
            n = ReadFileGroup(file, cursor, pane.group, hex);
        }
        if (n < 0) { // the file could not be read any further
            failed = true;
            break;
        }
        if (n == 0)
            break;
        // Back to back (interval 0) the window still gets its turn every few milliseconds;
        // a turn after every group would cost more than sending it.
        if (groups > 0 && (*pane.fileInterval > 0 || sinceTurn.elapsed() >= TurnEveryMs)) {
            WaitInterval(*pane.fileInterval, sending);
            sinceTurn.restart();
            if (!sending || !AppRunning)
                break;
        }
        n = appendChecksum(pane, n);
        const GroupResult result = pane.send(pane.group.data(), n, true);
        if (result != GroupResult::Sent) {
            failed = true;
            break;
        }
        ++groups;
        pane.waitHandedOver();
    }
    unlockSendControls(pane);
    sending = false;
    pane.button->setText(pick("Send", "发送"));
    // A failure stays in the status line; success is only claimed for a stream that ended well.
    if (failed)
        pane.hint->setText(pick("Send fail!", "发送失败!"));
    else
        pane.hint->setText(pane.serial ? pick("Succeed Sending!", "发送完毕!")
                                       : pick("Succeed sending!", "发送完毕!"));
}
