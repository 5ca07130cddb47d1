#pragma once

// A manual-reset event a thread can wait for with poll(): an eventfd that stays readable from
// set() until reset(). Any thread may set or reset it; the descriptor lives as long as the
// object.

namespace ZaldoComm32 {

class CommEvent {
public:
    CommEvent();
    ~CommEvent();
    CommEvent(const CommEvent&) = delete;
    CommEvent& operator=(const CommEvent&) = delete;

    bool isValid() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    void set();
    void reset();

private:
    int m_fd = -1;
};

} // namespace ZaldoComm32
