#include "bench/serial/Tcomm32.h"

#include "bench/serial/CommWorkers.h"
#include "platform/ModemLines.h"
#include "platform/SerialTermios.h"

#include <cstring>
#include <sys/ioctl.h>
#include <termios.h>

namespace ZaldoComm32 {

TComm32::TComm32() : m_modemLines(&ModemLines::system()) {}

TComm32::~TComm32() {
    try {
        Close();
    } catch (const EComm32Error&) {
    }
}

int TComm32::Read(std::uint8_t* buf, std::int32_t len) {
    int taken;
    bool wake;
    {
        std::lock_guard lock(m_inLock);
        taken = m_inQueue.Out(buf, len);
        wake = roomMadeLocked();
    }
    if (wake) wakeReader();
    return taken;
}

bool TComm32::roomMadeLocked() {
    if (!m_readWaitsForRoom || m_inQueue.room() == 0) return false;
    m_readWaitsForRoom = false;
    return true;
}

void TComm32::wakeReader() {
    std::lock_guard lock(m_aliveMutex);
    if (m_workers) m_workers->readWake.set();
}

int TComm32::Write(const std::uint8_t* buf, std::int32_t len) {
    return m_writeDisabled ? 0 : queueOutput(buf, len);
}

int TComm32::Command(const char* text) {
    if (!text) return 0;
    return queueOutput(reinterpret_cast<const std::uint8_t*>(text),
                       static_cast<std::int32_t>(std::strlen(text)));
}

int TComm32::queueOutput(const std::uint8_t* data, std::int32_t len) {
    int queued;
    bool wake;
    {
        std::lock_guard lock(m_outLock);
        queued = m_outQueue.In(data, len);
        wake = queued > 0 && m_writerIdle;
        if (wake) m_writerIdle = false;
    }
    if (wake && m_workers) m_workers->writeWake.set();
    return queued;
}

void TComm32::PurgeRead(bool /*abort: nothing is ever pending on a descriptor*/) {
    if (!m_opened) return;
    tcflush(m_port.fd(), TCIFLUSH);
    bool wake;
    {
        std::lock_guard lock(m_inLock);
        m_inQueue.Discard();
        wake = roomMadeLocked();
    }
    if (wake) wakeReader();
}

void TComm32::PurgeWrite(bool /*abort*/) {
    if (!m_opened) return;
    tcflush(m_port.fd(), TCOFLUSH);
    std::lock_guard lock(m_writeLock);
    m_outQueue.Discard();
}

int TComm32::ResetModem() {
    return Command("ATZ\r");
}

int TComm32::InitModem() {
    const QByteArray text =
        QStringLiteral("ATE0&K%1S0=%2\r").arg(fGetFCtrl()).arg(m_autoAnswer).toLatin1();
    return Command(text.constData());
}

bool TComm32::EscapeCommFunction(std::uint32_t func) {
    if (!m_opened) return false;
    const bool rts = func == SETRTS || func == CLRRTS;
    const bool on = func == SETRTS || func == SETDTR;
    if (!rts && func != SETDTR && func != CLRDTR) return false;
    if (!m_modemLines->set(m_port.fd(), rts ? TIOCM_RTS : TIOCM_DTR, on)) return false;
    (rts ? m_rts : m_dtr) = on;
    return true;
}

void TComm32::fSetDTR(bool on) {
    if (m_opened)
        EscapeCommFunction(on ? SETDTR : CLRDTR);
    else
        m_dtr = on;
}

void TComm32::fSetRTS(bool on) {
    if (m_opened)
        EscapeCommFunction(on ? SETRTS : CLRRTS);
    else
        m_rts = on;
}

TComm32::TFlowControl TComm32::fGetFCtrl() const {
    if (m_dcb.fOutxCtsFlow && m_dcb.fOutX) return 6;
    if (m_dcb.fOutxCtsFlow) return 3;
    if (m_dcb.fOutX) return 4;
    return 0;
}

void TComm32::fSetFCtrl(TFlowControl code) {
    Close();
    const bool rtsCts = code == 3 || code == 6;
    const bool xonXoff = code == 4 || code == 5 || code == 6;
    m_dcb.fRtsControl = rtsCts ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    m_dcb.fOutxCtsFlow = rtsCts;
    m_dcb.fDtrControl = DTR_CONTROL_ENABLE;
    m_dcb.fOutxDsrFlow = 0;
    m_dcb.fInX = xonXoff;
    m_dcb.fOutX = xonXoff;
}

void TComm32::SetPortNo(int portNo) {
    m_portNo = portNo;
    m_deviceName = QStringLiteral("COM%1").arg(portNo);
}

void TComm32::SetHwSizes(long inSize, long outSize) {
    m_hwInSize = inSize;
    m_hwOutSize = outSize;
}

void TComm32::SetInBufSize(std::int32_t size) {
    bool wake;
    {
        std::scoped_lock lock(m_readLock, m_inLock);
        m_inQueue.fSetBufSize(size);
        wake = roomMadeLocked();
    }
    if (wake) wakeReader();
}

void TComm32::SetOutBufSize(std::int32_t size) {
    std::scoped_lock lock(m_writeLock, m_outLock);
    m_outQueue.fSetBufSize(size);
}

void TComm32::CommNotify(int events) {
    if (!m_onNotify) return;
    try {
        m_onNotify(*this, events);
    } catch (...) {
    }
}

void TComm32::CommAfterOpen() {
    if (!m_afterOpen) return;
    try {
        m_afterOpen(*this);
    } catch (...) {
    }
}

void TComm32::CommBeforeClose() {
    if (!m_beforeClose) return;
    try {
        m_beforeClose(*this);
    } catch (...) {
    }
}

void TComm32::Open() {
    if (m_opened) return;
    m_ringCounter = 0;
    const std::uint8_t code = openSteps();
    if (code != 0) {
        Close();
        throw EComm32Error(code);
    }
    m_opened = true;
    m_writeDisabled = false;
    m_modemStatus = readModemStatus().value_or(0);
    m_dtr = m_dcb.fDtrControl != DTR_CONTROL_DISABLE;
    m_rts = m_dcb.fRtsControl != RTS_CONTROL_DISABLE;
    CommNotify(EV_MODEM_LINES);
    CommAfterOpen();
}

std::uint8_t TComm32::openSteps() {
    if (!m_inQueue.hasStorage()) return EComm32Error::ReadBufferInit;
    if (!m_outQueue.hasStorage()) return EComm32Error::WriteBufferInit;
    if (m_port.open(m_portMap.devicePath(m_portNo)) != 0) return EComm32Error::OpenPort;
    m_hungUp = false;
    if (m_dcb.fDtrControl != DTR_CONTROL_HANDSHAKE)
        m_dcb.fDtrControl = m_dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    if (m_dcb.fRtsControl != RTS_CONTROL_HANDSHAKE && m_dcb.fRtsControl != RTS_CONTROL_TOGGLE)
        m_dcb.fRtsControl = m_rts ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    if (!applyLine()) return EComm32Error::SetCommState;
    m_eventChar = static_cast<std::uint8_t>(m_dcb.EvtChar);
    {
        std::lock_guard lock(m_aliveMutex);
        m_workers = std::make_unique<Workers>();
    }
    if (!m_workers->readWake.isValid() || !m_workers->timerWake.isValid())
        return EComm32Error::ReadEvent;
    if (!m_workers->writeWake.isValid()) return EComm32Error::WriteEvent;
    if (!m_workers->start(m_workers->reader, m_readRun, m_readAlive, [this] { readLoop(); }) ||
        !m_workers->start(m_workers->timer, m_timerRun, m_timerAlive, [this] { timerLoop(); }))
        return EComm32Error::ReadThread;
    if (!m_workers->start(m_workers->writer, m_writeRun, m_writeAlive, [this] { writeLoop(); }))
        return EComm32Error::WriteThread;
    return 0;
}

bool TComm32::applyLine() {
    const std::optional<SerialLineSettings> line = lineSettingsOf(m_dcb);
    if (!line || !applyLineSettings(m_port.fd(), *line)) return false;
    // RTS under handshake belongs to the driver; raising it first does no harm.
    const int fd = m_port.fd();
    return m_modemLines->set(fd, TIOCM_DTR, m_dcb.fDtrControl != DTR_CONTROL_DISABLE) &&
           m_modemLines->set(fd, TIOCM_RTS, m_dcb.fRtsControl != RTS_CONTROL_DISABLE);
}

void TComm32::Close() {
    const bool wasOpen = m_opened;
    if (wasOpen) CommBeforeClose();
    m_readRun = m_writeRun = m_timerRun = false;
    std::uint8_t code = 0;
    if (m_workers) {
        m_workers->readWake.set();
        m_workers->writeWake.set();
        m_workers->timerWake.set();
        if (!waitForWorkers())
            code = m_writeAlive ? EComm32Error::CloseWriteThread : EComm32Error::CloseReadThread;
        // A worker held up in a hook is still waited for: it uses this object to the end.
        m_workers->join();
        std::lock_guard lock(m_aliveMutex);
        m_workers.reset();
    }
    m_port.close();
    m_dtr = m_dcb.fDtrControl != DTR_CONTROL_DISABLE;
    m_rts = m_dcb.fRtsControl != RTS_CONTROL_DISABLE;
    if (wasOpen) {
        m_opened = false;
        m_modemStatus = 0;
        CommNotify(EV_MODEM_LINES);
    }
    if (code != 0) throw EComm32Error(code);
}

bool TComm32::waitForWorkers() {
    std::unique_lock lock(m_aliveMutex);
    return m_aliveChanged.wait_for(lock, std::chrono::milliseconds(500), [this] {
        return !m_readAlive && !m_writeAlive && !m_timerAlive;
    });
}

void TComm32::threadDone(std::atomic<bool>& alive) {
    std::lock_guard lock(m_aliveMutex);
    alive = false;
    m_aliveChanged.notify_all();
}

} // namespace ZaldoComm32
