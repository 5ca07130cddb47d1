#pragma once

// The serial pane's cyclic sender: a thread that cuts a send box's text into groups, appends
// the checksum byte, paces the groups by the interval, and can be paused and continued where it
// stopped. It touches no widget and no device: what it needs from the window is handed to it
// (the settings), and each group goes back to the window's thread (groupReady) to be written;
// the window answers with groupHandedOver() once the group went out whole, and only then does
// the loop go on. Pausing takes effect at the next check (between groups or inside the wait)
// and holds nothing the window's thread waits for.
//
// Threads: start, resume, pause, groupHandedOver and terminate are called from the thread the
// object lives on (the GUI thread); the signals are emitted on the worker thread, so connect
// them to receivers on the GUI thread (queued).

#include "bench/datapath/Codec.h"

#include <QByteArray>
#include <QObject>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

struct CyclicSendSettings {
    std::string text; // the send box, as UTF-8 (a copy of its own: nothing shared across threads)
    bool hex = false;
    bool recycle = true; // start again at the end of the text
    bool checksum = false;
    int checksumMode = 0; // 0 negative sum, 2 fixed byte, other values the positive sum
    std::uint8_t fixedByte = 0x0D;
    int intervalMs = 50; // between groups
};

class xiancheng02 : public QObject {
    Q_OBJECT
public:
    // The thread starts at once and waits for start() ("created suspended").
    explicit xiancheng02(QObject* parent = nullptr);
    // Terminates and waits for the thread.
    ~xiancheng02() override;

    // A fresh loop from the start of the text; ignored while a loop is running or paused.
    void start(const CyclicSendSettings& settings);
    // A paused loop goes on with the next group; a wait whose time ran out meanwhile ends at
    // once. Ignored unless paused.
    void resume(const CyclicSendSettings& settings);
    // True when a group was handed out (groupReady) and not yet answered: it is on its way to
    // the window and still arrives, so whatever the window sends next must wait for it.
    bool pause();
    // The group announced by groupReady, with its checksum byte; empty when none waits.
    QByteArray takeGroup();
    // The group of the last groupReady went out whole; `settings` apply from the next group.
    void groupHandedOver(const CyclicSendSettings& settings);
    // Ends the loop at its next check (without loopEnded) and lets the thread finish.
    void terminate();

Q_SIGNALS:
    // A group is being cut from the text (the send button shows pressed meanwhile).
    void groupStarted();
    // The next group is ready: take it with takeGroup(), answer with groupHandedOver().
    void groupReady();
    // The loop ran out of groups (the text is exhausted without recycling, or holds none).
    void loopEnded();

private:
    enum class State { Idle, Running, Paused };

    void threadMain();
    void runLoop(std::unique_lock<std::mutex>& lock);
    // Sleeps while paused; false once terminated.
    bool awaitRunning(std::unique_lock<std::mutex>& lock);
    using Clock = std::chrono::steady_clock;
    // Sleeps until `deadline`. A pause holds the loop; once continued, only what is left of the
    // time counts (nothing, when it ran out meanwhile). False once terminated.
    bool waitUntil(std::unique_lock<std::mutex>& lock, Clock::time_point deadline);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    State m_state = State::Idle;
    bool m_startRequested = false;
    bool m_ackPending = false; // a group was announced and is not answered yet
    int m_groupSize = 0;
    bool m_terminating = false;
    CyclicSendSettings m_settings;
    GroupBuffer m_group{};
    std::thread m_thread;
};
