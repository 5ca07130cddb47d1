#include "bench/serial/Tcomm32.h"

#include <gtest/gtest.h>

#include <numeric>
#include <thread>
#include <vector>

using namespace ZaldoComm32;

namespace {

std::vector<std::uint8_t> sequence(int count, int first = 0) {
    std::vector<std::uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), static_cast<std::uint8_t>(first));
    return bytes;
}

// Each row: the queue's size, bytes put in and taken out beforehand (to place the indices),
// then one In of `in` bytes and one Out of `out` bytes.
struct QueueCase {
    long size;
    int before;
    int in;
    int out;
    int stored;
    int taken;
    long tail;
};

class QueueArithmetic : public ::testing::TestWithParam<QueueCase> {};

} // namespace

TEST_P(QueueArithmetic, StoresAndTakesInOrder) {
    const QueueCase c = GetParam();
    TCommQueue queue(c.size);
    std::vector<std::uint8_t> scratch(c.before);
    const std::vector<std::uint8_t> filler = sequence(c.before, 200);
    ASSERT_EQ(queue.In(filler.data(), c.before), c.before);
    ASSERT_EQ(queue.Out(scratch.data(), c.before), c.before);

    const std::vector<std::uint8_t> data = sequence(c.in);
    EXPECT_EQ(queue.In(data.data(), c.in), c.stored);
    EXPECT_EQ(queue.tail(), c.tail);
    EXPECT_EQ(queue.count(), c.stored);
    EXPECT_EQ(queue.room(), c.size - 1 - c.stored);

    std::vector<std::uint8_t> out(c.out);
    EXPECT_EQ(queue.Out(out.data(), c.out), c.taken);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + c.taken, data.begin()));
    EXPECT_EQ(queue.count(), c.stored - c.taken);
}

INSTANTIATE_TEST_SUITE_P(
    Table, QueueArithmetic,
    ::testing::Values(QueueCase{8192, 0, 10000, 10000, 8191, 8191, 8191}, // one byte stays free
                      QueueCase{8192, 0, 100, 40, 100, 40, 100},
                      QueueCase{16, 10, 12, 12, 12, 12, 6},  // wraps: 6 at the end, 6 at the start
                      QueueCase{16, 10, 20, 5, 15, 5, 9},    // wraps and fills
                      QueueCase{16, 15, 15, 15, 15, 15, 14}, // tail at the last slot
                      QueueCase{16, 15, 1, 1, 1, 1, 0},      // tail back at 0
                      QueueCase{16, 0, 0, 1, 0, 0, 0}));     // nothing to store, nothing to take

TEST(TCommQueue, RefusesWhatItCannotHold) {
    TCommQueue queue(16);
    std::uint8_t byte = 7;
    EXPECT_EQ(queue.In(nullptr, 4), 0);
    EXPECT_EQ(queue.In(nullptr), 0);
    EXPECT_EQ(queue.In(&byte, 0), 0);
    EXPECT_EQ(queue.In(&byte, -3), 0);
    EXPECT_EQ(queue.Out(byte), 0) << "empty";
    EXPECT_EQ(byte, 7);
    EXPECT_EQ(queue.head(), 0);

    for (int i = 0; i < 15; ++i)
        ASSERT_EQ(queue.In(&byte), 1);
    EXPECT_EQ(queue.In(&byte), 0) << "full";
    EXPECT_EQ(queue.Out(byte), 1);
    EXPECT_EQ(queue.In(&byte), 1);
}

TEST(TCommQueue, ResizeEmptiesAndSizeZeroLeavesNoStorage) {
    TCommQueue queue(16);
    const std::vector<std::uint8_t> data = sequence(10);
    queue.In(data.data(), 10);
    queue.fSetBufSize(64);
    EXPECT_EQ(queue.size(), 64);
    EXPECT_EQ(queue.count(), 0);
    EXPECT_EQ(queue.In(data.data(), 10), 10);

    queue.fSetBufSize(0);
    EXPECT_FALSE(queue.hasStorage());
    EXPECT_EQ(queue.size(), 64) << "the recorded size stays";
    EXPECT_EQ(queue.In(data.data(), 10), 0);
    std::uint8_t byte = 0;
    EXPECT_EQ(queue.Out(byte), 0);

    TCommQueue none(0);
    EXPECT_FALSE(none.hasStorage());
    EXPECT_EQ(none.In(data.data(), 1), 0);
}

// One producer and one consumer on their own threads, with odd sizes so that every wrap
// position is met: every byte arrives once and in order.
TEST(TCommQueue, OneProducerOneConsumerKeepOrder) {
    constexpr int Total = 2'000'000;
    TCommQueue queue(1021);
    std::thread producer([&] {
        std::uint8_t chunk[97];
        int sent = 0;
        while (sent < Total) {
            const int n = std::min<int>(sizeof chunk, Total - sent);
            for (int i = 0; i < n; ++i)
                chunk[i] = static_cast<std::uint8_t>((sent + i) % 251);
            int queued = 0;
            while (queued < n) {
                queued += queue.In(chunk + queued, n - queued);
                if (queued < n) std::this_thread::yield();
            }
            sent += n;
        }
    });
    int received = 0;
    bool inOrder = true;
    std::uint8_t buf[61];
    while (received < Total) {
        const int n = queue.Out(buf, sizeof buf);
        for (int i = 0; i < n; ++i)
            inOrder = inOrder && buf[i] == (received + i) % 251;
        received += n;
        if (n == 0) std::this_thread::yield();
    }
    producer.join();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(queue.count(), 0);
}
