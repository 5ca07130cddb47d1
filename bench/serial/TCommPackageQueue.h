#pragma once

// A ring of fixed-size package records (a 32-bit length, then the data) for one producer
// thread and one consumer thread, indices published with release order as in TCommQueue.
// SetQueue and Clear must not run while either side is working.

#include <atomic>
#include <cstdint>
#include <memory>

namespace ZaldoComm32 {

class TCommPackageQueue {
public:
    TCommPackageQueue(std::int32_t count, std::int32_t size);
    virtual ~TCommPackageQueue() = default;
    TCommPackageQueue(const TCommPackageQueue&) = delete;
    TCommPackageQueue& operator=(const TCommPackageQueue&) = delete;

    // count slots (at least 2) of size bytes (at least 32), empty. Without memory for them the
    // queue keeps no storage and accepts nothing.
    void SetQueue(std::int32_t count, std::int32_t size);
    void Clear();

    // Producer: a record of `length` data bytes (at most ElementSize() - 4); 0 when full.
    int In(const std::uint8_t* data, std::uint32_t length);
    // Consumer: the oldest record (length word first), or null when empty; Pop removes it.
    const std::uint8_t* Front() const;
    void Pop();

    long Count() const { return m_count; }
    long ElementSize() const { return m_size; }
    long held() const;

private:
    std::uint8_t* slot(long index) const { return m_buffer.get() + index * m_size; }

    long m_count = 2;
    long m_size = 32;
    std::atomic<long> m_head = 0;
    std::atomic<long> m_tail = 0;
    std::unique_ptr<std::uint8_t[]> m_buffer;
};

// The length word at the start of a record.
std::uint32_t recordLength(const std::uint8_t* record);

} // namespace ZaldoComm32
