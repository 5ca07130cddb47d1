// Received data of both panes: the network pane's chunks as the socket delivers them, the
// serial pane's bytes polled every 10 ms; shown as text or hexadecimal pairs, or appended to the
// receive file instead; and the receive box's pause, save and clear.

#include "bench/datapath/Codec.h"
#include "bench/serial/Qxcommdevice.h"
#include "bench/shell/Unitnet.h"
#include "bench/ui/ReceiveBox.h"
#include "bench/ui/TcmIPEdit.h"
#include "bench/ui/TcmInfoDlg.h"
#include "platform/Prompts.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

namespace {

const QString FileFilter =
    QStringLiteral("Text files (*.txt);;Data files (*.dat);;All files (*)");
const QString SaveCaption = QStringLiteral("接收区显示内容另存为...");

std::int32_t wrappingAdd(std::int32_t count, int more) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(count) +
                                     static_cast<std::uint32_t>(more));
}

// `name` with the extension of the chosen filter when it has none: the first filter's, the
// second's, and nothing for "All files".
QString withExtension(const QString& name, int filterIndex, const char* second) {
    if (!QFileInfo(name).suffix().isEmpty())
        return name;
    if (filterIndex == 1)
        return name + QStringLiteral(".txt");
    if (filterIndex == 2)
        return name + QLatin1String(second);
    return name;
}

} // namespace

// ---- network ----

void TFormNet::MySocketReceive(QObject*, int, quint16 peerPort, quint32 peerIP,
                               const std::uint8_t* pBuf, int dataLen) {
    NetRecvCount = wrappingAdd(NetRecvCount, dataLen);
    showNetCounters();
    ReceivePane& pane = *m_netRecv;
    if (pane.pause->isChecked())
        return;
    const bool newSource = peerIP != LastPeerIP || peerPort != LastPeerPort;
    const QString header = QStringLiteral("【Receive from %1 : %2】：")
                               .arg(TcmIPEdit::format(peerIP))
                               .arg(peerPort);
    QByteArrayView chunk(reinterpret_cast<const char*>(pBuf), dataLen);
    if (pane.showHex->isChecked()) {
        // Every byte of the chunk, however long: nothing is cut from the view or the file.
        m_netHex.resize(static_cast<std::size_t>(3) * dataLen + 1);
        const int n = BytesToHexText(pBuf, dataLen, m_netHex.data(),
                                     static_cast<int>(m_netHex.size()), ' ');
        chunk = QByteArrayView(m_netHex.data(), n);
    }
    const bool autoReturn = pane.autoReturn->isChecked();
    if (pane.fileOutput->isChecked()) {
        const QByteArray headerLine = newSource ? header.toUtf8() + "\r\n" : QByteArray();
        if (!capture(pane, {headerLine, chunk, autoReturn ? "\r\n" : ""}))
            return;
    } else {
        if (newSource) {
            pane.view->startLine();
            pane.view->append(header + QLatin1Char('\n'));
        }
        pane.view->append(pane.showHex->isChecked()
                              ? QString::fromLatin1(chunk)
                              : pane.view->decode(chunk.data(), static_cast<int>(chunk.size())));
        if (autoReturn)
            pane.view->append(QStringLiteral("\n"));
    }
    LastPeerIP = peerIP;
    LastPeerPort = peerPort;
}

// ---- serial ----

void TFormNet::Timer1Timer() {
    const long waiting = QxCommDevice1->InQueue().count();
    if (waiting <= 0) {
        // Nothing more can come from a closed port: the poll rests until the port opens.
        if (!QxCommDevice1->Active())
            Timer1->stop();
        return;
    }
    // A slow pass is not re-entered: the poll starts again when this one is done.
    Timer1->stop();
    m_serialChunk.resize(static_cast<std::size_t>(waiting));
    const int n = QxCommDevice1->Read(m_serialChunk.data(), static_cast<std::int32_t>(waiting));
    if (n > 0) {
        ReceivePane& pane = *m_serialRecv;
        const bool hex = pane.showHex->isChecked();
        const bool autoReturn = pane.autoReturn->isChecked();
        const char* bytes = reinterpret_cast<const char*>(m_serialChunk.data());
        // Every byte as a pair and a space, the last one too.
        QByteArray pairs;
        if (hex) {
            pairs.resize(3 * n + 1);
            const int written = BytesToHexText(m_serialChunk.data(), n, pairs.data(),
                                               static_cast<int>(pairs.size()), ' ');
            pairs.resize(written);
            pairs.append(' ');
        }
        if (pane.fileOutput->isChecked()) {
            capture(pane, {hex ? QByteArrayView(pairs) : QByteArrayView(bytes, n),
                           autoReturn ? "\r\n" : ""});
        } else if (SerialOpened) {
            const QString text = hex ? QString::fromLatin1(pairs) : pane.view->decode(bytes, n);
            if (!text.isEmpty() && !pane.pause->isChecked()) {
                pane.view->append(text);
                if (autoReturn)
                    pane.view->append(QStringLiteral("\n"));
            }
        }
        SerialRecvCount = wrappingAdd(SerialRecvCount, n);
        showSerialCounters();
    }
    Timer1->start();
}

// ---- receive file ----

bool TFormNet::capture(ReceivePane& pane, std::initializer_list<QByteArrayView> parts) {
    QFile file(RecvFilePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        // The data cannot go anywhere: say so rather than drop it unnoticed.
        pane.hint->setText(QStringLiteral("Can not open file!"));
        return false;
    }
    for (QByteArrayView part : parts)
        if (!part.isEmpty())
            file.write(part.data(), part.size());
    return true;
}

void TFormNet::CheckBox_FileOutputClick() { redirectClicked(*m_netRecv); }
void TFormNet::CheckBox_FileOutput_LClick() { redirectClicked(*m_serialRecv); }

void TFormNet::redirectClicked(ReceivePane& pane) {
    if (!pane.fileOutput->isChecked()) {
        // Only the note goes: data the box showed before a cancelled choice stays.
        if (pane.redirected)
            pane.view->showLive();
        pane.redirected = false;
        return;
    }
    Prompts::FileRequest request{SaveCaption, FileFilter, 1, QString()};
    const QString chosen = m_services.prompts.saveFileName(this, request);
    bool accepted = false;
    if (!chosen.isEmpty()) {
        RecvFilePath = withExtension(chosen, request.filterIndex, ".bin");
        accepted = acceptReceiveFile(RecvFilePath);
    }
    if (!accepted) {
        pane.fileOutput->setChecked(false);
        return;
    }
    pane.redirected = true;
    pane.view->showRedirected(QStringLiteral("接收转向至文件：\n") + RecvFilePath +
                              QStringLiteral(" ..."));
}

bool TFormNet::acceptReceiveFile(const QString& path) {
    QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Append;
    const QFileInfo info(path);
    if (info.exists() && info.size() > 0) {
        // Buttons from the left: overwrite, append, cancel (slots 2, 1, 0).
        InfoDlg->SetUserButton(QString(), QStringLiteral("覆盖"), QStringLiteral("追加"),
                               QStringLiteral("取消"));
        const int slot = InfoDlg->MessageDlg(
            QStringLiteral("该文件数据已经存在，是否覆盖原有内容或者追加数据？"),
            QStringLiteral("Warning"), TcmInfoDlg::UserButtons | (1 << 4));
        if (slot == 2)
            mode = QIODevice::WriteOnly | QIODevice::Truncate;
        else if (slot != 1)
            return false;
    }
    // A file that cannot be written would swallow everything redirected to it.
    QFile file(path);
    if (!file.open(mode)) {
        showMessage(QStringLiteral("Can not open file!"));
        return false;
    }
    return true;
}

// ---- receive box options ----

void TFormNet::CheckBox_ReceiveAutoReturnClick() { autoReturnClicked(*m_netRecv); }
void TFormNet::CheckBox_ReceiveAutoReturn_LClick() { autoReturnClicked(*m_serialRecv); }

void TFormNet::autoReturnClicked(ReceivePane& pane) {
    if (pane.autoReturn->isChecked())
        pane.view->startLine();
}

void TFormNet::CheckBox_PauseReceiveClick() {
    m_netRecv->view->setPaused(CheckBox_PauseReceive->isChecked());
}
void TFormNet::CheckBox_PauseReceive_LClick() {
    m_serialRecv->view->setPaused(CheckBox_PauseReceive_L->isChecked());
}

void TFormNet::Label_SaveDataClick() { saveClicked(*m_netRecv); }
void TFormNet::Label_SaveData_LClick() { saveClicked(*m_serialRecv); }
void TFormNet::Label_ClearRecvClick() { clearRecvClicked(*m_netRecv); }
void TFormNet::Label_ClearRecv_LClick() { clearRecvClicked(*m_serialRecv); }

void TFormNet::saveClicked(ReceivePane& pane) {
    if (pane.fileOutput->isChecked()) {
        warn(QStringLiteral("接收转向至文件时无法执行该操作！"), Prompts::MbIconWarning);
        return;
    }
    Prompts::FileRequest request{SaveCaption, FileFilter, 1, QString()};
    const QString chosen = m_services.prompts.saveFileName(this, request);
    if (chosen.isEmpty())
        return;
    QFile file(withExtension(chosen, request.filterIndex, ".dat"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        showMessage(QStringLiteral("Can not open file!"));
        return;
    }
    QString lines = pane.view->text();
    if (!lines.isEmpty() && !lines.endsWith(QLatin1Char('\n')))
        lines.append(QLatin1Char('\n'));
    file.write(lines.toUtf8());
}

void TFormNet::clearRecvClicked(ReceivePane& pane) {
    if (pane.fileOutput->isChecked()) {
        warn(QStringLiteral("接收转向至文件时无法执行该操作！"), Prompts::MbIconWarning);
        return;
    }
    pane.view->clear();
}
