#include "bench/serial/Tcommpkg.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace ZaldoComm32 {

namespace {

std::int32_t foldPackageSize(std::int32_t size) {
    return std::clamp(size, 0, TCommPackage::MaxPackageSize);
}

} // namespace

TCommPackage::TCommPackage(TComm32& comm)
    : m_comm(comm), m_inQueue(m_queueSize, m_packageSize + 4),
      m_outQueue(m_queueSize, m_packageSize + 4) {
    allocateRecords();
    m_previous = comm.OnCommNotify();
    comm.SetOnCommNotify([this](TComm32& sender, int events) { fNewCommNotify(sender, events); });
    m_timer = std::thread([this] { _TimerThread(); });
}

TCommPackage::~TCommPackage() {
    m_comm.SetOnCommNotify(m_previous);
    m_run = false;
    wake();
    m_timer.join();
}

void TCommPackage::allocateRecords() {
    const std::size_t size = static_cast<std::size_t>(m_packageSize);
    m_receive.assign(size, 0);
    m_frame.assign(2 * size + 4, 0);
}

void TCommPackage::wake() {
    std::lock_guard lock(m_wakeMutex);
    m_wakeSignalled = true;
    m_wakeChanged.notify_all();
}

// Both locks held.
void TCommPackage::resetLocked() {
    m_inFrame = m_escape = m_receiveCut = false;
    m_receiveLength = 0;
    m_sent = m_frameLength = 0;
    m_inQueue.Clear();
    m_outQueue.Clear();
}

void TCommPackage::fSetActive(bool active) {
    {
        std::scoped_lock lock(m_rxMutex, m_txMutex);
        m_active = active;
        resetLocked();
    }
    wake();
}

void TCommPackage::fSetQSize(std::int32_t count) {
    {
        std::scoped_lock lock(m_rxMutex, m_txMutex);
        m_queueSize = count;
        m_inQueue.SetQueue(count, static_cast<std::int32_t>(m_inQueue.ElementSize()));
        m_outQueue.SetQueue(count, static_cast<std::int32_t>(m_outQueue.ElementSize()));
        resetLocked();
    }
    wake();
}

void TCommPackage::fSetPkgSz(std::int32_t size) {
    size = foldPackageSize(size);
    {
        std::scoped_lock lock(m_rxMutex, m_txMutex);
        m_packageSize = size;
        m_inQueue.SetQueue(static_cast<std::int32_t>(m_inQueue.Count()), size + 4);
        m_outQueue.SetQueue(static_cast<std::int32_t>(m_outQueue.Count()), size + 4);
        allocateRecords();
        resetLocked();
    }
    wake();
}

void TCommPackage::fSetPkgType(TCommPackageType type) {
    {
        std::scoped_lock lock(m_rxMutex, m_txMutex);
        m_packageType = type;
        resetLocked();
    }
    wake();
}

void TCommPackage::fSetPkgInterval(std::int32_t ms) {
    m_packageInterval = ms;
    wake();
}

std::uint32_t TCommPackage::ReadPackage(std::uint8_t* buf, std::uint32_t len) {
    if (!m_active) return 0;
    const std::uint8_t* record = m_inQueue.Front();
    if (!record) return 0;
    const std::uint32_t length = recordLength(record);
    if (m_packageType == cptCompatiblePkg) {
        if (!buf) return 0;
        const std::size_t recordSize =
            len == 0 ? static_cast<std::size_t>(m_inQueue.ElementSize()) : 4u + length;
        if (len != 0 && len < recordSize) return 0;
        std::memcpy(buf, record, recordSize);
        m_inQueue.Pop();
        return 1;
    }
    if (!buf || len == 0) return length;
    const std::uint32_t taken = std::min(len, length);
    std::memcpy(buf, record + 4, taken);
    m_inQueue.Pop();
    return taken;
}

std::uint32_t TCommPackage::WritePackage(const std::uint8_t* buf, std::uint32_t len) {
    if (!m_active || !buf) return 0;
    std::uint32_t length;
    const std::uint8_t* data;
    if (m_packageType == cptCompatiblePkg) {
        if (len != 0 && len < 4) return 0;
        length = std::min<std::uint32_t>(recordLength(buf), m_packageSize);
        if (len != 0 && len - 4 < length) return 0;
        data = buf + 4;
    } else {
        if (len == 0) return 0;
        length = std::min<std::uint32_t>(len, m_packageSize);
        data = buf;
    }
    if (!m_outQueue.In(data, length)) return 0;
    {
        std::lock_guard lock(m_txMutex);
        _WritePackage();
    }
    return m_packageType == cptCompatiblePkg ? 1 : length;
}

void TCommPackage::PurgeRead() {
    if (!m_active) return;
    // Holding the decoders off makes this thread the engine input queue's only consumer.
    std::lock_guard lock(m_rxMutex);
    m_comm.PurgeRead(false);
    m_inQueue.Clear();
}

void TCommPackage::PurgeWrite() {
    if (!m_active) return;
    {
        std::lock_guard lock(m_txMutex);
        m_outQueue.Clear();
        m_sent = m_frameLength = 0;
    }
    m_comm.PurgeWrite(false);
}

void TCommPackage::CallNotify(int events) {
    if (m_onPackage) m_onPackage(*this, events);
}

void TCommPackage::fNewCommNotify(TComm32& sender, int events) {
    if (m_active) {
        int packageEvents = events & ~(EV_RXCHAR | EV_TXEMPTY);
        if ((events & EV_RXCHAR) && m_packageType != cptFrameTimeout) {
            std::lock_guard lock(m_rxMutex);
            _ReadHeadTailPackage();
            if (m_inQueue.held() > 0) packageEvents |= EV_RXCHAR;
        }
        if (events & EV_TXEMPTY) {
            std::lock_guard lock(m_txMutex);
            _WritePackage();
            if (m_outQueue.held() == 0) packageEvents |= EV_TXEMPTY;
        }
        if (packageEvents != 0) CallNotify(packageEvents);
    }
    if (m_previous) m_previous(sender, events);
}

// m_rxMutex held. Decodes everything the engine holds.
void TCommPackage::_ReadHeadTailPackage() {
    if (!m_active || m_packageType == cptFrameTimeout) return;
    const std::uint8_t head = m_frameHead;
    const std::uint8_t tail = m_frameTail;
    const std::uint8_t ctrl = m_frameCtrl;
    std::uint8_t buf[DecodeChunk];
    int n;
    while ((n = m_comm.Read(buf, sizeof buf)) > 0) {
        for (int i = 0; i < n; ++i) {
            const std::uint8_t b = buf[i];
            if (!m_escape && b == head) {
                m_receiveLength = 0;
                m_receiveCut = false;
                m_inFrame = true;
            } else if (m_inFrame) {
                if (m_escape) {
                    appendReceived(b);
                    m_escape = false;
                } else if (b == ctrl) {
                    m_escape = true;
                } else if (b == tail) {
                    completeReceived();
                    m_inFrame = false;
                } else {
                    appendReceived(b);
                }
            } else {
                m_escape = !m_escape && b == ctrl;
            }
        }
    }
}

void TCommPackage::appendReceived(std::uint8_t byte) {
    if (m_receiveLength < m_receive.size())
        m_receive[m_receiveLength++] = byte;
    else
        m_receiveCut = true;
}

void TCommPackage::completeReceived() {
    if (m_receiveCut) ++m_truncated;
    if (!m_inQueue.In(m_receive.data(), m_receiveLength)) ++m_dropped;
    m_receiveLength = 0;
    m_receiveCut = false;
}

// m_txMutex held.
void TCommPackage::_WritePackage() {
    if (m_sent < m_frameLength) {
        m_sent += m_comm.Write(m_frame.data() + m_sent,
                               static_cast<std::int32_t>(m_frameLength - m_sent));
        return;
    }
    const std::uint8_t* record = m_outQueue.Front();
    if (!record) return;
    const std::uint32_t length = std::min<std::uint32_t>(recordLength(record), m_packageSize);
    if (m_packageType == cptFrameTimeout) {
        std::memcpy(m_frame.data(), record + 4, length);
        m_frameLength = length;
    } else {
        m_frameLength = encodeFrame(record + 4, length, m_frameHead, m_frameTail, m_frameCtrl,
                                    m_doubleFrameMark, m_frame.data());
    }
    m_outQueue.Pop();
    m_sent = m_comm.Write(m_frame.data(), static_cast<std::int32_t>(m_frameLength));
}

std::uint32_t TCommPackage::encodeFrame(const std::uint8_t* data, std::uint32_t length,
                                        std::uint8_t head, std::uint8_t tail, std::uint8_t ctrl,
                                        bool doubleMark, std::uint8_t* out) {
    std::uint32_t n = 0;
    if (doubleMark) out[n++] = head;
    out[n++] = head;
    for (std::uint32_t i = 0; i < length; ++i) {
        const std::uint8_t b = data[i];
        if (b == head || b == tail || b == ctrl) out[n++] = ctrl;
        out[n++] = b;
    }
    out[n++] = tail;
    if (doubleMark) out[n++] = tail;
    return n;
}

// m_rxMutex held. Appends everything the engine holds to the package being assembled;
// true when anything came.
bool TCommPackage::_ReadTimeoutPackage() {
    std::uint8_t buf[DecodeChunk];
    bool any = false;
    int n;
    while ((n = m_comm.Read(buf, sizeof buf)) > 0) {
        any = true;
        for (int i = 0; i < n; ++i)
            appendReceived(buf[i]);
    }
    return any;
}

void TCommPackage::_TimerThread() {
    while (m_run) {
        {
            std::unique_lock lock(m_wakeMutex);
            const auto signalled = [this] { return m_wakeSignalled; };
            if (m_packageType == cptFrameTimeout && m_active)
                m_wakeChanged.wait_for(
                    lock, std::chrono::milliseconds(std::max(1L, m_packageInterval.load())),
                    signalled);
            else
                m_wakeChanged.wait(lock, signalled);
            m_wakeSignalled = false;
        }
        if (!m_run) break;
        bool completed = false;
        {
            std::lock_guard lock(m_rxMutex);
            if (!m_active || m_packageType != cptFrameTimeout) continue;
            if (!_ReadTimeoutPackage() && m_receiveLength > 0) {
                completeReceived();
                completed = true;
            }
        }
        if (completed) CallNotify(EV_RXCHAR);
    }
}

} // namespace ZaldoComm32
