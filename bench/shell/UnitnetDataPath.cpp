// What the send and receive code of both panes works with: each pane's controls, members and
// transport gathered in one place, the serial writer and the cyclic worker.

#include "bench/datapath/LoopWait.h"
#include "bench/datapath/xiancheng02.h"
#include "bench/net/cmSocket.h"
#include "bench/serial/Qxcommdevice.h"
#include "bench/shell/SerialWriter.h"
#include "bench/shell/Unitnet.h"
#include "bench/ui/ReceiveBox.h"
#include "bench/ui/TcmIPEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

void TFormNet::createDataPath() {
    m_serialWriter = new SerialWriter(*QxCommDevice1, this);
    SendThread = std::make_unique<xiancheng02>();

    m_netSend = std::make_unique<SendPane>();
    SendPane& net = *m_netSend;
    net.memo = MemoSend;
    net.box = m_netSendBox.get();
    net.button = Btn_Send;
    net.hint = HintLabel;
    net.fileInput = CheckBox_FileInput;
    net.autoChecksum = CheckBox_SendAutoChecksum;
    net.clearAfterSend = CheckBox_ClearAfterSend;
    net.sendAsHex = CheckBox_SendAsHex;
    net.sendRecycled = CheckBox_SendRecycled;
    net.intervalBox = Edit_SendInterval;
    net.checksumPanel = PanelChecksumSel;
    net.checksumGroup = RadioGroupChecksum;
    net.fixChecksum = Edit_FixChecksum;
    net.connectButton = cmBtn_NetConnect;
    net.portControls = {ComboBox_Protocol, cmIPEdit_Local, Edit_PortNUM};
    net.sending = &NetSending;
    net.loopInterval = &NetInterval;
    net.fileInterval = &NetInterval;
    net.checksumMode = &NetChecksumMode;
    net.fixedByte = &NetFixedByte;
    net.transportOpen = [this] { return MySocket->Active(); };
    net.send = [this](const std::uint8_t* data, int len, bool fileSource) {
        const GroupResult result = NetSendGroup(data, len, fileSource);
        if (result == GroupResult::Sent) {
            NetSendCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(NetSendCount) +
                                                     static_cast<std::uint32_t>(len));
            showNetCounters();
        }
        return result;
    };
    net.waitHandedOver = [this] {
        LoopWait::until([this] {
            return MySocket->totalPendingSendBytes() == 0 || !NetSending || !AppRunning ||
                   !MySocket->Active();
        });
    };

    m_serialSend = std::make_unique<SendPane>();
    SendPane& serial = *m_serialSend;
    serial.serial = true;
    serial.memo = MemoSend_L;
    serial.box = m_serialSendBox.get();
    serial.button = Btn_Send_L;
    serial.hint = HintLabelL;
    serial.fileInput = CheckBox_FileInput_L;
    serial.autoChecksum = CheckBox_SendAutoChecksum_L;
    serial.clearAfterSend = CheckBox_ClearAfterSend_L;
    serial.sendAsHex = CheckBox_SendAsHex_L;
    serial.sendRecycled = CheckBox_SendRecycled_L;
    serial.intervalBox = Edit_SendInterval_L;
    serial.checksumPanel = PanelChecksumSelL;
    serial.checksumGroup = RadioGroupChecksum_L;
    serial.fixChecksum = Edit_FixChecksumL;
    serial.connectButton = cmBtn_NetConnect_L;
    serial.portControls = {cbSerial, cbWave, cbCheck, cbData, cbStop};
    serial.sending = &SerialSending;
    serial.loopInterval = &SerialSingleInterval;
    serial.fileInterval = &SerialInterval;
    serial.checksumMode = &SerialChecksumMode;
    serial.fixedByte = &SerialFixedByte;
    serial.transportOpen = [this] { return QxCommDevice1->Active(); };
    // Counted as the device's queue takes the bytes (SerialWriter::taken).
    serial.send = [this](const std::uint8_t* data, int len, bool) {
        return m_serialWriter->write(data, len) ? GroupResult::Sent : GroupResult::Failed;
    };
    serial.waitHandedOver = [this] {
        LoopWait::until([this] {
            return m_serialWriter->pending() == 0 || !SerialSending || !AppRunning ||
                   !QxCommDevice1->Active();
        });
    };

    const auto receivePane = [](QPlainTextEdit* box, QLabel* hint, QCheckBox* fileOutput,
                                QCheckBox* autoReturn, QCheckBox* showHex, QCheckBox* pause) {
        auto pane = std::make_unique<ReceivePane>();
        pane->view = new ReceiveBox(box);
        pane->hint = hint;
        pane->fileOutput = fileOutput;
        pane->autoReturn = autoReturn;
        pane->showHex = showHex;
        pane->pause = pause;
        return pane;
    };
    m_netRecv = receivePane(TextRecv, HintLabel, CheckBox_FileOutput, CheckBox_ReceiveAutoReturn,
                            CheckBox_ReceiveShowHex, CheckBox_PauseReceive);
    m_serialRecv =
        receivePane(TextRecv_L, HintLabelL, CheckBox_FileOutput_L, CheckBox_ReceiveAutoReturn_L,
                    CheckBox_ReceiveShowHex_L, CheckBox_PauseReceive_L);
}
