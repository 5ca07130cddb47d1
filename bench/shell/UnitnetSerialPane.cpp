// The serial pane: the five line-setting lists, the open/close button and the port's state.

#include "bench/serial/CommConstants.h"
#include "bench/serial/EComm32Error.h"
#include "bench/serial/Qxcommdevice.h"
#include "bench/shell/Unitnet.h"
#include "platform/Prompts.h"

#include <QComboBox>
#include <QToolButton>

namespace {

constexpr TParity ParityOfIndex[] = {ptNoParity, ptOddParity, ptEvenParity};
constexpr int ByteSizeOfIndex[] = {5, 6, 7, 8};
constexpr TStopBits StopBitsOfIndex[] = {sbOneStopBit, sbTwoStopBit};
constexpr int BaudRateCount = 13; // br110 ... br115200, the rates the list offers

template <typename T, size_t N> bool mapped(int index, const T (&)[N]) {
    return index >= 0 && index < static_cast<int>(N);
}

} // namespace

void TFormNet::createSerialDevice() {
    // The component's own settings; the lists replace them when the window is shown.
    QxCommDevice1 = new TQxCommDevice(this);
    QxCommDevice1->setPortNo(3);
    QxCommDevice1->setBaud(br115200);
    QxCommDevice1->setByteSize(8);
    // Room for 64 KB between two 10 ms polls: a fast line (several Mbaud, no flow control)
    // cannot overrun the driver's small buffer while the window is busy drawing.
    QxCommDevice1->setInBufSize(65536);
    QxCommDevice1->setOutBufSize(8192);
    QxCommDevice1->setHwInSize(1200);
    QxCommDevice1->setHwOutSize(1200);
    QxCommDevice1->setQueueSize(16);
    QxCommDevice1->setPackageSize(4096);
    connect(QxCommDevice1, &TQxCommDevice::OnCommNotify, this, &TFormNet::QxCommDevice1CommNotify);
}

void TFormNet::cmBtn_NetConnect_LClick() {
    const bool wasActive = QxCommDevice1->Active();
    try {
        QxCommDevice1->setActive(!wasActive);
    } catch (const ZaldoComm32::EComm32Error& error) {
        m_services.prompts.messageBox(this, error.Message(), title(),
                                      Prompts::MbOk | Prompts::MbIconError);
        return;
    }
    SerialOpened = !wasActive;
    UpdateSerialControls();
}

void TFormNet::applySerialList(QComboBox* list) {
    const int i = list->currentIndex();
    if (list == cbSerial && i >= 0 && i < 16)
        QxCommDevice1->setPortNo(i + 1);
    else if (list == cbWave && i >= 0 && i < BaudRateCount)
        QxCommDevice1->setBaud(static_cast<TBaudRate>(i));
    else if (list == cbCheck && mapped(i, ParityOfIndex))
        QxCommDevice1->setParity(ParityOfIndex[i]);
    else if (list == cbData && mapped(i, ByteSizeOfIndex))
        QxCommDevice1->setByteSize(ByteSizeOfIndex[i]);
    else if (list == cbStop && mapped(i, StopBitsOfIndex))
        QxCommDevice1->setStopBits(StopBitsOfIndex[i]);
    if (QxCommDevice1->Active())
        QxCommDevice1->setActive(false);
    UpdateSerialControls();
}

void TFormNet::cbSerialChange() { applySerialList(cbSerial); }
void TFormNet::cbWaveChange() { applySerialList(cbWave); }
void TFormNet::cbCheckChange() { applySerialList(cbCheck); }
void TFormNet::cbDataChange() { applySerialList(cbData); }
void TFormNet::cbStopChange() { applySerialList(cbStop); }

void TFormNet::UpdateSerialControls() {
    const bool active = QxCommDevice1->Active();
    cmBtn_NetConnect_L->setIcon(ImageList1[active ? 1 : 0]);
    cmBtn_NetConnect_L->setText(english() ? QString::fromLatin1(active ? "Close" : "Open")
                                          : QString::fromUtf8(active ? "关闭" : "打开"));
    for (QComboBox* list : {cbSerial, cbWave, cbCheck, cbData, cbStop})
        list->setEnabled(!active);
}

void TFormNet::QxCommDevice1CommNotify(int events) {
    // A port that went away (an unplugged adapter, a closed pseudo-terminal) is shown closed.
    if ((events & ZaldoComm32::EV_ERR) && QxCommDevice1->HungUp()) {
        QxCommDevice1->setActive(false);
        UpdateSerialControls();
    }
}
