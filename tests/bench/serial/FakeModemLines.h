#pragma once

// Modem lines a test sets by hand, recording what the engine asked of DTR and RTS.

#include "platform/ModemLines.h"

#include <atomic>
#include <mutex>
#include <sys/ioctl.h>
#include <utility>
#include <vector>

class FakeModemLines : public ModemLines {
public:
    Status status(int) override { return {!m_gone, m_bits}; }

    bool set(int, int line, bool on) override {
        std::lock_guard lock(m_mutex);
        m_calls.emplace_back(line, on);
        return !m_refuse;
    }

    void setLines(int bits) { m_bits = bits; }
    void setGone(bool gone) { m_gone = gone; }
    void setRefuse(bool refuse) { m_refuse = refuse; }

    // The last state asked for `line` (TIOCM_DTR or TIOCM_RTS); -1 when never asked.
    int lastSet(int line) const {
        std::lock_guard lock(m_mutex);
        for (auto it = m_calls.rbegin(); it != m_calls.rend(); ++it)
            if (it->first == line) return it->second ? 1 : 0;
        return -1;
    }

private:
    std::atomic<int> m_bits = 0;
    std::atomic<bool> m_gone = false;
    std::atomic<bool> m_refuse = false;
    mutable std::mutex m_mutex;
    std::vector<std::pair<int, bool>> m_calls;
};
