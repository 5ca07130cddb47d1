#include "bench/serial/TQxCustomCommDevice.h"

#include "bench/serial/TForm_QxCommDevice_Settings.h"
#include "platform/Prompts.h"

#include <algorithm>
#include <iterator>

using namespace ZaldoComm32;

TQxCustomCommDevice::TQxCustomCommDevice(QObject* parent)
    : QObject(parent), m_comm(std::make_unique<TComm32>()) {
    m_comm->SetOnCommNotify([this](TComm32& sender, int events) { _EvComm(sender, events); });
    m_comm->SetAfterOpen([this](TComm32& sender) { EvAfterOpen(&sender); });
    m_comm->SetBeforeClose([this](TComm32& sender) { EvBeforeClose(&sender); });
    m_package = std::make_unique<TCommPackage>(*m_comm);
    m_package->SetOnPackage(
        [this](TCommPackage& sender, int events) { _EvPackage(sender, events); });
    m_frameSettings = std::make_unique<TQxCommFrameSettings>(*m_package);
}

TQxCustomCommDevice::~TQxCustomCommDevice() {
    // No BeforeClose from a dying object; the workers stop before the parts they call go.
    m_comm->SetAfterOpen(nullptr);
    m_comm->SetBeforeClose(nullptr);
    try {
        m_comm->Close();
    } catch (const EComm32Error&) {
    }
    m_frameSettings.reset();
    m_package.reset();
}

void TQxCustomCommDevice::_EvComm(TComm32& sender, int events) {
    if (!m_syncEvents) {
        EvCommNotify(&sender, events);
        return;
    }
    TComm32* comm = &sender;
    QMetaObject::invokeMethod(
        this, [this, comm, events] { EvCommNotify(comm, events); }, Qt::QueuedConnection);
}

void TQxCustomCommDevice::_EvPackage(TCommPackage& sender, int events) {
    if (!m_syncEvents) {
        EvPackageNotify(&sender, events);
        return;
    }
    TCommPackage* package = &sender;
    QMetaObject::invokeMethod(
        this, [this, package, events] { EvPackageNotify(package, events); }, Qt::QueuedConnection);
}

void TQxCustomCommDevice::EvCommNotify(TComm32*, int events) {
    Q_EMIT OnCommNotify(events);
}
void TQxCustomCommDevice::EvPackageNotify(TCommPackage*, int events) {
    Q_EMIT OnPackage(events);
}
void TQxCustomCommDevice::EvAfterOpen(TComm32*) {
    Q_EMIT AfterOpen();
}
void TQxCustomCommDevice::EvBeforeClose(TComm32*) {
    Q_EMIT BeforeClose();
}

int TQxCustomCommDevice::Read(std::uint8_t* buf, std::int32_t len) {
    if (m_usePackage)
        return static_cast<int>(m_package->ReadPackage(buf, static_cast<std::uint32_t>(len)));
    return m_comm->Read(buf, len);
}

int TQxCustomCommDevice::Write(const std::uint8_t* buf, std::int32_t len) {
    if (m_usePackage)
        return static_cast<int>(m_package->WritePackage(buf, static_cast<std::uint32_t>(len)));
    return m_comm->Write(buf, len);
}

int TQxCustomCommDevice::Command(const char* text) {
    return m_comm->Command(text);
}

bool TQxCustomCommDevice::ReadPackage(std::uint8_t* buf) {
    return m_package->ReadPackage(buf, 0) != 0;
}

bool TQxCustomCommDevice::WritePackage(const std::uint8_t* buf) {
    return m_package->WritePackage(buf, 0) != 0;
}

int TQxCustomCommDevice::ReadPackage(std::uint8_t* buf, std::uint32_t len) {
    return static_cast<int>(m_package->ReadPackage(buf, len));
}

int TQxCustomCommDevice::WritePackage(const std::uint8_t* buf, std::uint32_t len) {
    return static_cast<int>(m_package->WritePackage(buf, len));
}

void TQxCustomCommDevice::PurgeRead(bool abort) {
    if (m_usePackage)
        m_package->PurgeRead();
    else
        m_comm->PurgeRead(abort);
}

void TQxCustomCommDevice::PurgeWrite(bool abort) {
    if (m_usePackage)
        m_package->PurgeWrite();
    else
        m_comm->PurgeWrite(abort);
}

bool TQxCustomCommDevice::SettingsDialog(QWidget* owner, bool open, Prompts& prompts) {
    TForm_QxCommDevice_Settings dialog(*this, open, prompts, owner);
    return prompts.runModal(dialog) == QDialog::Accepted;
}

int TQxCustomCommDevice::ResetModem() {
    return m_comm->ResetModem();
}
int TQxCustomCommDevice::InitModem() {
    return m_comm->InitModem();
}
bool TQxCustomCommDevice::EscapeCommFunction(std::uint32_t func) {
    return m_comm->EscapeCommFunction(func);
}

int TQxCustomCommDevice::PortNo() const {
    return m_comm->PortNo();
}

void TQxCustomCommDevice::setPortNo(int portNo) {
    m_comm->Close();
    m_comm->SetPortNo(portNo);
}

TBaudRate TQxCustomCommDevice::Baud() const {
    const auto found = std::find(std::begin(BaudRates), std::end(BaudRates),
                                 static_cast<int>(m_comm->Dcb().BaudRate));
    return found == std::end(BaudRates) ? br115200
                                        : static_cast<TBaudRate>(found - std::begin(BaudRates));
}

void TQxCustomCommDevice::setBaud(TBaudRate baud) {
    m_comm->Close();
    const bool named = baud >= br110 && baud <= br256000;
    m_comm->Dcb().BaudRate = named ? BaudRates[baud] : 115200;
}

TParity TQxCustomCommDevice::Parity() const {
    const int parity = m_comm->Dcb().Parity;
    return parity >= 1 && parity <= 4 ? static_cast<TParity>(parity) : ptNoParity;
}

void TQxCustomCommDevice::setParity(TParity parity) {
    m_comm->Close();
    m_comm->Dcb().Parity = parity >= ptNoParity && parity <= ptSpaceParity ? parity : 0;
}

int TQxCustomCommDevice::ByteSize() const {
    return m_comm->Dcb().ByteSize;
}

void TQxCustomCommDevice::setByteSize(int bits) {
    bits = std::clamp(bits, 0, 255);
    m_comm->Close();
    m_comm->Dcb().ByteSize = static_cast<std::uint8_t>(bits);
}

TStopBits TQxCustomCommDevice::StopBits() const {
    const int stopBits = m_comm->Dcb().StopBits;
    return stopBits <= 2 ? static_cast<TStopBits>(stopBits) : sbOneStopBit;
}

void TQxCustomCommDevice::setStopBits(TStopBits stopBits) {
    m_comm->Close();
    m_comm->Dcb().StopBits = stopBits >= sbOneStopBit && stopBits <= sbTwoStopBit ? stopBits : 0;
}

TFlowControl TQxCustomCommDevice::FlowControl() const {
    switch (m_comm->fGetFCtrl()) {
    case 3:
        return fcRtsCts;
    case 4:
        return fcXonXoff;
    case 5:
        return fcTranXonXoff;
    case 6:
        return fcRtsCtsXonXoff;
    default:
        return fcNone;
    }
}

void TQxCustomCommDevice::setFlowControl(TFlowControl flow) {
    static constexpr int Codes[] = {0, 3, 4, 5, 6};
    m_comm->fSetFCtrl(flow >= fcNone && flow <= fcRtsCtsXonXoff ? Codes[flow] : 0);
}

int TQxCustomCommDevice::AutoAnswer() const {
    return m_comm->AutoAnswer();
}

void TQxCustomCommDevice::setAutoAnswer(int rings) {
    m_comm->SetAutoAnswer(static_cast<std::uint8_t>(std::clamp(rings, 0, 255)));
}

long TQxCustomCommDevice::InBufSize() const {
    return m_comm->InQueue().size();
}

void TQxCustomCommDevice::setInBufSize(std::int32_t size) {
    m_comm->SetInBufSize(size);
}

long TQxCustomCommDevice::OutBufSize() const {
    return m_comm->OutQueue().size();
}

void TQxCustomCommDevice::setOutBufSize(std::int32_t size) {
    m_comm->SetOutBufSize(size);
}

long TQxCustomCommDevice::HwInSize() const {
    return m_comm->HwInSize();
}

void TQxCustomCommDevice::setHwInSize(long size) {
    m_comm->Close();
    m_comm->SetHwSizes(size, m_comm->HwOutSize());
}

long TQxCustomCommDevice::HwOutSize() const {
    return m_comm->HwOutSize();
}

void TQxCustomCommDevice::setHwOutSize(long size) {
    m_comm->Close();
    m_comm->SetHwSizes(m_comm->HwInSize(), size);
}

long TQxCustomCommDevice::QueueSize() const {
    return m_package->QueueSize();
}

void TQxCustomCommDevice::setQueueSize(std::int32_t count) {
    m_package->fSetQSize(count);
}

long TQxCustomCommDevice::PackageSize() const {
    return m_package->PackageSize();
}

void TQxCustomCommDevice::setPackageSize(std::int32_t size) {
    m_package->fSetPkgSz(size);
}

ZaldoComm32::TCommPackageType TQxCustomCommDevice::PackageType() const {
    return m_package->PackageType();
}

void TQxCustomCommDevice::setPackageType(TCommPackageType type) {
    m_package->fSetPkgType(type);
}

long TQxCustomCommDevice::PackageInterval() const {
    return m_package->PackageInterval();
}

void TQxCustomCommDevice::setPackageInterval(std::int32_t ms) {
    m_package->fSetPkgInterval(ms);
}

void TQxCustomCommDevice::setUsePackage(bool on) {
    const bool wasActive = Active();
    m_usePackage = on;
    setActive(wasActive);
}

void TQxCustomCommDevice::setFrameSettings(const TQxCommFrameSettings& settings) {
    m_frameSettings->Assign(settings);
}

bool TQxCustomCommDevice::Active() const {
    if (!m_usePackage) return m_comm->Opened();
    return m_package->fGetActive() && m_comm->Opened();
}

void TQxCustomCommDevice::setActive(bool active) {
    const bool packageActive = m_usePackage && active;
    if (active != m_comm->Opened()) {
        if (active)
            m_comm->Open();
        else
            m_comm->Close();
    }
    if (m_package->fGetActive() != packageActive) m_package->fSetActive(packageActive);
}

int TQxCustomCommDevice::Handle() const {
    return m_comm->Handle();
}
const ZaldoComm32::TCommQueue& TQxCustomCommDevice::InQueue() const {
    return m_comm->InQueue();
}
const ZaldoComm32::TCommQueue& TQxCustomCommDevice::OutQueue() const {
    return m_comm->OutQueue();
}
int TQxCustomCommDevice::ModemStatus() const {
    return (m_comm->ModemStatus() >> 4) & 0x0F;
}
bool TQxCustomCommDevice::CTS() const {
    return m_comm->ModemStatus() & MS_CTS_ON;
}
bool TQxCustomCommDevice::DSR() const {
    return m_comm->ModemStatus() & MS_DSR_ON;
}
bool TQxCustomCommDevice::RING() const {
    return m_comm->ModemStatus() & MS_RING_ON;
}
bool TQxCustomCommDevice::RLSD() const {
    return m_comm->ModemStatus() & MS_RLSD_ON;
}
bool TQxCustomCommDevice::DTR() const {
    return m_comm->fGetDTR();
}
void TQxCustomCommDevice::setDTR(bool on) {
    m_comm->fSetDTR(on);
}
bool TQxCustomCommDevice::RTS() const {
    return m_comm->fGetRTS();
}
void TQxCustomCommDevice::setRTS(bool on) {
    m_comm->fSetRTS(on);
}
bool TQxCustomCommDevice::DisableWrite() const {
    return m_comm->DisableWrite();
}
void TQxCustomCommDevice::setDisableWrite(bool disabled) {
    m_comm->SetDisableWrite(disabled);
}
bool TQxCustomCommDevice::HungUp() const {
    return m_comm->hungUp();
}
