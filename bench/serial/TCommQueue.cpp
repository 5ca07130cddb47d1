#include "bench/serial/TCommQueue.h"

#include "bench/serial/EComm32Error.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace ZaldoComm32 {

TCommQueue::TCommQueue(long size)
    : m_size(size), m_buffer(size > 0 ? new (std::nothrow) std::uint8_t[size] : nullptr) {}

void TCommQueue::fSetBufSize(std::int32_t size) {
    m_head.store(0, std::memory_order_relaxed);
    m_tail.store(0, std::memory_order_relaxed);
    if (size <= 0) {
        m_buffer.reset();
        return;
    }
    std::uint8_t* storage = new (std::nothrow) std::uint8_t[size];
    if (!storage) throw EComm32Error(EComm32Error::OutOfMemory);
    m_buffer.reset(storage);
    m_size = size;
}

long TCommQueue::count() const {
    if (!m_buffer) return 0;
    return (tail() + m_size - head()) % m_size;
}

long TCommQueue::room() const {
    if (!m_buffer) return 0;
    return (head() + m_size - tail() - 1) % m_size;
}

TCommQueue::Spans TCommQueue::spansFrom(long index, long length) const {
    const long first = std::min(length, m_size - index);
    return {Span{m_buffer.get() + index, first}, Span{m_buffer.get(), length - first}};
}

TCommQueue::Spans TCommQueue::FreeSpans() const {
    if (!m_buffer) return {};
    const long tail = m_tail.load(std::memory_order_relaxed);
    return spansFrom(tail, (m_head.load(std::memory_order_acquire) + m_size - tail - 1) % m_size);
}

void TCommQueue::Commit(long count) {
    m_tail.store((m_tail.load(std::memory_order_relaxed) + count) % m_size,
                 std::memory_order_release);
}

TCommQueue::Spans TCommQueue::HeldSpans() const {
    if (!m_buffer) return {};
    const long head = m_head.load(std::memory_order_relaxed);
    return spansFrom(head, (m_tail.load(std::memory_order_acquire) + m_size - head) % m_size);
}

void TCommQueue::Consume(long count) {
    m_head.store((m_head.load(std::memory_order_relaxed) + count) % m_size,
                 std::memory_order_release);
}

int TCommQueue::In(const std::uint8_t* byte) {
    return byte ? In(byte, 1) : 0;
}

int TCommQueue::In(const std::uint8_t* data, std::int32_t len) {
    if (!data || len <= 0 || !m_buffer) return 0;
    const Spans free = FreeSpans();
    const long n = std::min<long>(len, free[0].size + free[1].size);
    const long first = std::min(n, free[0].size);
    std::memcpy(free[0].data, data, first);
    std::memcpy(free[1].data, data + first, n - first);
    Commit(n);
    return static_cast<int>(n);
}

int TCommQueue::Out(std::uint8_t& byte) {
    return Out(&byte, 1);
}

int TCommQueue::Out(std::uint8_t* data, std::int32_t len) {
    if (!data || len <= 0 || !m_buffer) return 0;
    const Spans held = HeldSpans();
    const long n = std::min<long>(len, held[0].size + held[1].size);
    const long first = std::min(n, held[0].size);
    std::memcpy(data, held[0].data, first);
    std::memcpy(data + first, held[1].data, n - first);
    Consume(n);
    return static_cast<int>(n);
}

void TCommQueue::Discard() {
    m_head.store(m_tail.load(std::memory_order_acquire), std::memory_order_release);
}

} // namespace ZaldoComm32
