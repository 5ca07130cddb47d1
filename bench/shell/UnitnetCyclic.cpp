// Cyclic sending of the serial pane: the send button starts, pauses and continues the worker
// SendThread, which hands its groups back here to be written; the cycle box turns a cyclic run
// into one pass over the send box.

#include "bench/datapath/LoopWait.h"
#include "bench/datapath/xiancheng02.h"
#include "bench/serial/Qxcommdevice.h"
#include "bench/shell/SerialWriter.h"
#include "bench/shell/Unitnet.h"
#include "bench/ui/BevelButton.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

CyclicSendSettings TFormNet::cyclicSettings() const {
    CyclicSendSettings settings;
    settings.text = MemoSend_L->toPlainText().toStdString();
    settings.hex = CheckBox_SendAsHex_L->isChecked();
    settings.recycle = CheckBox_SendRecycled_L->isChecked();
    settings.checksum = CheckBox_SendAutoChecksum_L->isChecked();
    settings.checksumMode = SerialChecksumMode;
    settings.fixedByte = static_cast<std::uint8_t>(SerialFixedByte);
    settings.intervalMs = SerialInterval;
    return settings;
}

void TFormNet::startOrResumeWorker() {
    takeInterval(Edit_SendInterval_L, SerialInterval);
    if (SerialInterval <= 50)
        SerialInterval = 50;
    Btn_Send_L->setText(pick("Stop", "停止发送"));
    lockSendControls(*m_serialSend, true);
    m_workerRunning = true;
    // A loop that ran out of groups is over: the next Send starts a fresh one.
    if (WorkerSending) {
        SendThread->resume(cyclicSettings());
    } else {
        WorkerSending = true;
        SendThread->start(cyclicSettings());
    }
}

void TFormNet::suspendWorker() {
    // A group it handed out just before is still on its way (unless it is already written).
    m_workerGroupComing = SendThread->pause() && !m_workerAwaitsDrain;
    m_workerRunning = false;
}

void TFormNet::pauseWorker() {
    suspendWorker();
    Btn_Send_L->setText(pick("Send", "发送"));
    Btn_Send_L->showRaised();
    for (QWidget* w : {static_cast<QWidget*>(cmBtn_NetConnect_L),
                       static_cast<QWidget*>(Edit_SendInterval_L),
                       static_cast<QWidget*>(CheckBox_FileInput_L),
                       static_cast<QWidget*>(CheckBox_SendAsHex_L),
                       static_cast<QWidget*>(MemoSend_L)})
        w->setEnabled(true);
}

void TFormNet::workerGroupReady() {
    const QByteArray group = SendThread->takeGroup();
    // A closed port takes nothing; the worker does not look at write results and goes on.
    const bool taken = m_serialWriter->write(reinterpret_cast<const std::uint8_t*>(group.data()),
                                             static_cast<int>(group.size()));
    // Whatever the serial pane sends from now on queues behind this group.
    m_workerGroupComing = false;
    LoopWait::wake();
    if (taken && m_serialWriter->pending() > 0) {
        m_workerAwaitsDrain = true; // answered when the writer has drained
        return;
    }
    SendThread->groupHandedOver(cyclicSettings());
}

void TFormNet::workerLoopEnded() {
    WorkerSending = false;
    m_workerRunning = false;
    unlockSendControls(*m_serialSend);
    Btn_Send_L->setText(pick("Send", "发送"));
    Btn_Send_L->showRaised();
    if (CheckBox_ClearAfterSend_L->isChecked())
        MemoSend_L->clear();
}

void TFormNet::CheckBox_SendRecycled_LClick() {
    if (!(WorkerSending && m_workerRunning))
        return;
    if (!CheckBox_SendRecycled_L->isChecked()) {
        suspendWorker();
        // Now the button takes the path without cycling: one pass from the box's start.
        Btn_Send_LClick();
        Btn_Send_L->showRaised();
        SerialSending = false;
    }
    CheckBox_SendAsHex_L->setEnabled(true);
}
