#include "bench/serial/TCommPackageQueue.h"

#include <cstring>
#include <new>

namespace ZaldoComm32 {

std::uint32_t recordLength(const std::uint8_t* record) {
    std::uint32_t length;
    std::memcpy(&length, record, sizeof length);
    return length;
}

TCommPackageQueue::TCommPackageQueue(std::int32_t count, std::int32_t size) {
    SetQueue(count, size);
}

void TCommPackageQueue::SetQueue(std::int32_t count, std::int32_t size) {
    m_buffer.reset();
    m_count = count < 2 ? 2 : count;
    m_size = size < 32 ? 32 : size;
    Clear();
    m_buffer.reset(
        new (std::nothrow)
            std::uint8_t[static_cast<std::size_t>(m_count) * static_cast<std::size_t>(m_size)]);
}

void TCommPackageQueue::Clear() {
    m_head.store(0, std::memory_order_relaxed);
    m_tail.store(0, std::memory_order_relaxed);
}

long TCommPackageQueue::held() const {
    return (m_tail.load(std::memory_order_acquire) + m_count -
            m_head.load(std::memory_order_acquire)) %
           m_count;
}

int TCommPackageQueue::In(const std::uint8_t* data, std::uint32_t length) {
    if (!m_buffer || length > static_cast<std::uint32_t>(m_size - 4)) return 0;
    const long tail = m_tail.load(std::memory_order_relaxed);
    const long next = (tail + 1) % m_count;
    if (next == m_head.load(std::memory_order_acquire)) return 0;
    std::uint8_t* record = slot(tail);
    std::memcpy(record, &length, sizeof length);
    if (length > 0) std::memcpy(record + 4, data, length);
    m_tail.store(next, std::memory_order_release);
    return 1;
}

const std::uint8_t* TCommPackageQueue::Front() const {
    if (!m_buffer) return nullptr;
    const long head = m_head.load(std::memory_order_relaxed);
    return head == m_tail.load(std::memory_order_acquire) ? nullptr : slot(head);
}

void TCommPackageQueue::Pop() {
    if (!Front()) return;
    m_head.store((m_head.load(std::memory_order_relaxed) + 1) % m_count, std::memory_order_release);
}

} // namespace ZaldoComm32
