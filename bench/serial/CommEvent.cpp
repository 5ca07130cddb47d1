#include "bench/serial/CommEvent.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace ZaldoComm32 {

CommEvent::CommEvent() : m_fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

CommEvent::~CommEvent() {
    if (m_fd >= 0) close(m_fd);
}

void CommEvent::set() {
    const std::uint64_t one = 1;
    // The counter only saturates after 2^64 - 1 sets; a failed write still leaves it readable.
    [[maybe_unused]] const ssize_t written = write(m_fd, &one, sizeof one);
}

void CommEvent::reset() {
    std::uint64_t value = 0;
    [[maybe_unused]] const ssize_t taken = read(m_fd, &value, sizeof value);
}

} // namespace ZaldoComm32
