#pragma once

// A byte ring for exactly one producer thread and one consumer thread. Each side writes only
// its own index (the producer `tail`, the consumer `head`), after copying the bytes, with
// release order; each reads the other's index with acquire order. No locks, no allocation
// while bytes flow, at most two block copies per transfer. fSetBufSize must not run while
// either side is working.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

namespace ZaldoComm32 {

class TCommQueue {
public:
    // A piece of the buffer; a region that wraps is two pieces, the second at the start.
    struct Span {
        std::uint8_t* data = nullptr;
        long size = 0;
    };
    using Spans = std::array<Span, 2>;

    // Allocates size bytes; without memory the queue simply keeps no storage.
    explicit TCommQueue(long size);
    virtual ~TCommQueue() = default;
    TCommQueue(const TCommQueue&) = delete;
    TCommQueue& operator=(const TCommQueue&) = delete;

    // Empties the queue; size > 0 gives it size bytes of storage (EComm32Error code 1, with
    // the old storage kept, when that fails); size <= 0 frees the storage.
    void fSetBufSize(std::int32_t size);

    // Producer: stores one byte / min(len, free) bytes; returns the number stored.
    int In(const std::uint8_t* byte);
    int In(const std::uint8_t* data, std::int32_t len);
    // Producer, filling in place (a read straight into the queue): the free space, then
    // Commit of the number of bytes written into it, in order.
    Spans FreeSpans() const;
    void Commit(long count);

    // Consumer: takes one byte / min(len, held) bytes; returns the number taken.
    int Out(std::uint8_t& byte);
    int Out(std::uint8_t* data, std::int32_t len);
    // Consumer, taking in place (a write straight from the queue): the bytes held, then
    // Consume of the number of bytes used, in order.
    Spans HeldSpans() const;
    void Consume(long count);
    // Consumer: drops everything held.
    void Discard();

    long size() const { return m_size; }
    long head() const { return m_head.load(std::memory_order_acquire); }
    long tail() const { return m_tail.load(std::memory_order_acquire); }
    bool hasStorage() const { return m_buffer != nullptr; }
    // Bytes held and bytes free, as seen from either side at this moment.
    long count() const;
    long room() const;

private:
    Spans spansFrom(long index, long length) const;

    long m_size = 0;
    std::atomic<long> m_head = 0;
    std::atomic<long> m_tail = 0;
    std::unique_ptr<std::uint8_t[]> m_buffer;
};

} // namespace ZaldoComm32
