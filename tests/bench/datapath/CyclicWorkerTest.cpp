#include "bench/datapath/xiancheng02.h"

#include <QByteArray>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// The window's side, played on the worker's own thread (direct connections): every group is
// recorded and answered at once. Declared before its worker, so that the worker's thread has
// ended before it goes.
class Window {
public:
    void attach(xiancheng02& worker) {
        QObject::connect(
            &worker, &xiancheng02::groupReady, &worker,
            [this, &worker] {
                std::lock_guard lock(m_mutex);
                m_groups.push_back(worker.takeGroup());
                m_times.push_back(Clock::now());
                m_changed.notify_all();
                worker.groupHandedOver(settings);
            },
            Qt::DirectConnection);
        QObject::connect(
            &worker, &xiancheng02::loopEnded, &worker,
            [this] {
                std::lock_guard lock(m_mutex);
                m_ended = true;
                m_changed.notify_all();
            },
            Qt::DirectConnection);
    }
    // Waits up to 5 s until `count` groups came (or the loop ended).
    std::vector<QByteArray> groups(std::size_t count) {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, 5s, [&] { return m_groups.size() >= count || m_ended; });
        return m_groups;
    }
    Clock::time_point time(std::size_t i) {
        std::lock_guard lock(m_mutex);
        return m_times.at(i);
    }
    bool ended() {
        std::lock_guard lock(m_mutex);
        return m_ended;
    }
    void forget() {
        std::lock_guard lock(m_mutex);
        m_groups.clear();
        m_times.clear();
        m_ended = false;
    }

    CyclicSendSettings settings;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<QByteArray> m_groups;
    std::vector<Clock::time_point> m_times;
    bool m_ended = false;
};

CyclicSendSettings textSettings(const char* text, bool recycle, int intervalMs = 1) {
    CyclicSendSettings s;
    s.text = text;
    s.recycle = recycle;
    s.intervalMs = intervalMs;
    return s;
}

} // namespace

TEST(CyclicWorkerTest, RunsThroughTheTextOnceOrCyclesWithTheChecksum) {
    Window window;
    xiancheng02 worker;
    window.attach(worker);
    window.settings = textSettings("a\nb", false);
    worker.start(window.settings);
    EXPECT_EQ(window.groups(3), (std::vector<QByteArray>{"a\n", "b"}));
    EXPECT_TRUE(window.ended());

    Window cycled;
    xiancheng02 cycling;
    cycled.attach(cycling);
    cycled.settings = textSettings("01 02\n\n03", true);
    cycled.settings.hex = true;
    cycled.settings.checksum = true;
    cycling.start(cycled.settings);
    EXPECT_EQ(cycled.groups(3),
              (std::vector<QByteArray>{QByteArray("\x01\x02\xFD", 3), QByteArray("\x03\xFD", 2),
                                       QByteArray("\x01\x02\xFD", 3)}));
}

TEST(CyclicWorkerTest, PauseKeepsThePlaceAndAWaitThatRanOutMeanwhileEndsAtOnce) {
    Window window;
    xiancheng02 worker;
    window.attach(worker);
    window.settings = textSettings("1\n2\n3\n", true, 600);
    worker.start(window.settings);
    ASSERT_EQ(window.groups(1).size(), 1u);
    worker.pause(); // inside the 600 ms wait for the second group
    std::this_thread::sleep_for(800ms);
    EXPECT_EQ(window.groups(1).size(), 1u);
    const Clock::time_point resumed = Clock::now();
    worker.resume(window.settings);
    const std::vector<QByteArray> groups = window.groups(2);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[1], "2\n"); // the next line, not the first again
    // The interval had passed during the pause: no second wait of 600 ms.
    EXPECT_LT(window.time(1) - resumed, 400ms);
}

TEST(CyclicWorkerTest, EndsWhilePausedOrWaitingWithoutHangingAndStartsAfreshAfterItsEnd) {
    {
        Window window;
        xiancheng02 worker;
        window.attach(worker);
        window.settings = textSettings("x", true, 60000);
        worker.start(window.settings);
        ASSERT_EQ(window.groups(1).size(), 1u);
    } // terminated inside a long wait
    {
        Window window;
        xiancheng02 worker;
        window.attach(worker);
        window.settings = textSettings("x", true);
        worker.start(window.settings);
        worker.pause();
    } // terminated while paused

    Window window;
    xiancheng02 worker;
    window.attach(worker);
    window.settings = textSettings("", true);
    worker.start(window.settings); // nothing to send: the loop ends
    window.groups(1);
    ASSERT_TRUE(window.ended());
    window.forget();
    window.settings = textSettings("y", false);
    worker.start(window.settings);
    EXPECT_EQ(window.groups(1), std::vector<QByteArray>{"y"});
}
