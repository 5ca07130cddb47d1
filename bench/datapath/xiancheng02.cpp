#include "bench/datapath/xiancheng02.h"


xiancheng02::xiancheng02(QObject* parent) : QObject(parent) {
    m_thread = std::thread([this] { threadMain(); });
}

xiancheng02::~xiancheng02() {
    terminate();
    m_thread.join();
}

void xiancheng02::start(const CyclicSendSettings& settings) {
    std::lock_guard lock(m_mutex);
    if (m_state != State::Idle || m_terminating)
        return;
    m_settings = settings;
    m_state = State::Running;
    m_startRequested = true;
    m_changed.notify_all();
}

void xiancheng02::resume(const CyclicSendSettings& settings) {
    std::lock_guard lock(m_mutex);
    if (m_state != State::Paused)
        return;
    m_settings = settings;
    m_state = State::Running;
    m_changed.notify_all();
}

bool xiancheng02::pause() {
    std::lock_guard lock(m_mutex);
    if (m_state == State::Running)
        m_state = State::Paused;
    m_changed.notify_all();
    return m_ackPending;
}

QByteArray xiancheng02::takeGroup() {
    std::lock_guard lock(m_mutex);
    if (!m_ackPending)
        return {};
    return QByteArray(reinterpret_cast<const char*>(m_group.data()), m_groupSize);
}

void xiancheng02::groupHandedOver(const CyclicSendSettings& settings) {
    std::lock_guard lock(m_mutex);
    if (!m_ackPending)
        return;
    m_settings = settings;
    m_ackPending = false;
    m_changed.notify_all();
}

void xiancheng02::terminate() {
    std::lock_guard lock(m_mutex);
    m_terminating = true;
    m_changed.notify_all();
}

void xiancheng02::threadMain() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_terminating || m_startRequested; });
        if (m_terminating)
            return;
        m_startRequested = false;
        runLoop(lock);
    }
}

bool xiancheng02::awaitRunning(std::unique_lock<std::mutex>& lock) {
    m_changed.wait(lock, [this] { return m_terminating || m_state == State::Running; });
    return !m_terminating;
}

bool xiancheng02::waitUntil(std::unique_lock<std::mutex>& lock, Clock::time_point deadline) {
    for (;;) {
        // Paused: nothing counts until the loop is continued, then only what is left.
        if (!awaitRunning(lock))
            return false;
        if (!m_changed.wait_until(lock, deadline, [this] {
                return m_terminating || m_state != State::Running;
            }))
            return true; // the time is up
        if (m_terminating)
            return false;
    }
}

void xiancheng02::runLoop(std::unique_lock<std::mutex>& lock) {
    int cursor = 0;
    int groups = 0;
    Clock::time_point lastHandedOver;
    for (;;) {
        if (!awaitRunning(lock))
            return;
        const CyclicSendSettings settings = m_settings;
        const std::string_view text = settings.text;
        lock.unlock();
        Q_EMIT groupStarted();
        int n = ReadSendGroup(text, cursor, m_group, settings.hex);
        if (n < 1 && settings.recycle) {
            cursor = 0;
            n = ReadSendGroup(text, cursor, m_group, settings.hex);
        }
        lock.lock();
        if (n < 1)
            break;
        // The interval counts from when the last group was handed over, so a pause anywhere
        // after that uses up the same time.
        if (groups > 0 &&
            !waitUntil(lock, lastHandedOver + std::chrono::milliseconds(settings.intervalMs)))
            return;
        // The settings may have changed during the wait: the checksum follows the latest.
        if (m_settings.checksum) {
            if (m_settings.checksumMode == 2)
                m_group[static_cast<std::size_t>(n)] = m_settings.fixedByte;
            else
                AppendChecksum(m_group.data(), n + 1, m_settings.checksumMode);
            ++n;
        }
        m_groupSize = n;
        m_ackPending = true;
        lock.unlock();
        Q_EMIT groupReady();
        lock.lock();
        m_changed.wait(lock, [this] { return m_terminating || !m_ackPending; });
        if (m_terminating)
            return;
        lastHandedOver = Clock::now();
        ++groups;
    }
    m_state = State::Idle;
    lock.unlock();
    Q_EMIT loopEnded();
    lock.lock();
}
