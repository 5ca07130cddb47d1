// The engine's worker threads: reader, writer and modem-line timer.
#include "bench/serial/CommWorkers.h"
#include "bench/serial/Tcomm32.h"
#include "platform/ModemLines.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/uio.h>
#include <unistd.h>

namespace ZaldoComm32 {

namespace {

// poll() that resumes after a signal; returns what poll returned.
int pollRetrying(pollfd* fds, nfds_t count, int timeoutMs) {
    int result;
    do {
        result = poll(fds, count, timeoutMs);
    } while (result < 0 && errno == EINTR);
    return result;
}

bool portFailed(short revents) {
    return (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

} // namespace

void TComm32::noteHangUp() {
    if (m_hungUp.exchange(true)) return;
    // The other workers drop the descriptor from their waits when they next look.
    m_workers->readWake.set();
    m_workers->writeWake.set();
    CommNotify(EV_ERR);
}

void TComm32::readLoop() {
    // Set once this thread has read the port dry after a hang-up; the timer may report the
    // hang-up earlier, but bytes still buffered in the port are taken first.
    bool portGone = false;
    while (m_readRun) {
        bool full;
        {
            std::lock_guard lock(m_readLock); // against a resize
            full = m_inQueue.room() == 0;
        }
        if (full) {
            // Confirmed under the consumers' lock, so that a consumer making room either sees
            // this thread waiting for it or is seen by it.
            std::lock_guard lock(m_inLock);
            full = m_inQueue.room() == 0;
            m_readWaitsForRoom = full;
        }
        // While the queue is full the bytes wait in the port, held back by its flow control.
        const bool watchPort = !full && !portGone;
        pollfd fds[2] = {{m_workers->readWake.fd(), POLLIN, 0},
                         {watchPort ? m_port.fd() : -1, POLLIN, 0}};
        if (pollRetrying(fds, 2, -1) < 0) break;
        if (fds[0].revents) m_workers->readWake.reset();
        if (!m_readRun) break;
        const int events = fds[1].revents ? pumpInput(fds[1].revents) : 0;
        if (events & ~EV_ERR) CommNotify(events & ~EV_ERR);
        if (events & EV_ERR) {
            portGone = true;
            noteHangUp();
        }
    }
    threadDone(m_readAlive);
}

// Moves what the port holds into the input queue, as far as it has room, reading straight
// into the queue. Returns EV_RXCHAR (and EV_RXFLAG when the event character came) for bytes
// taken, EV_ERR when the port is gone.
int TComm32::pumpInput(short revents) {
    int events = 0;
    std::lock_guard lock(m_readLock);
    for (;;) {
        const TCommQueue::Spans free = m_inQueue.FreeSpans();
        const long room = free[0].size + free[1].size;
        if (room == 0) return events;
        iovec pieces[2] = {{free[0].data, static_cast<std::size_t>(free[0].size)},
                           {free[1].data, static_cast<std::size_t>(free[1].size)}};
        const ssize_t n = readv(m_port.fd(), pieces, free[1].size > 0 ? 2 : 1);
        if (n > 0) {
            events |= EV_RXCHAR;
            const long first = std::min<long>(n, free[0].size);
            if (std::memchr(free[0].data, m_eventChar, first) ||
                std::memchr(free[1].data, m_eventChar, n - first))
                events |= EV_RXFLAG;
            m_inQueue.Commit(n);
            // A terminal hands over what it holds: less than asked means drained for now.
            if (n < room) return events;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // Drained: done, unless the port also reported a hang-up. A read of 0 is a hang-up.
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && !portFailed(revents))
            return events;
        return events | EV_ERR;
    }
}

void TComm32::writeLoop() {
    while (m_writeRun) {
        bool wantRoom = false;
        bool drained = false;
        if (pumpOutput(wantRoom, drained)) CommNotify(EV_TXEMPTY);
        if (drained) {
            // Confirmed under the producers' lock: a Write after this either finds this
            // thread idle and wakes it, or is seen here.
            std::lock_guard lock(m_outLock);
            const bool pending = m_outQueue.count() > 0 && !m_hungUp;
            m_writerIdle = !pending;
            if (pending) continue;
        }
        pollfd fds[2] = {{m_workers->writeWake.fd(), POLLIN, 0},
                         {wantRoom && !m_hungUp ? m_port.fd() : -1, POLLOUT, 0}};
        if (pollRetrying(fds, 2, -1) < 0) break;
        if (fds[0].revents) m_workers->writeWake.reset();
    }
    threadDone(m_writeAlive);
}

// Writes what the output queue holds until the port is full (wantRoom) or the queue is
// empty (drained). True when this pass sent bytes and emptied the queue.
bool TComm32::pumpOutput(bool& wantRoom, bool& drained) {
    bool sentSome = false;
    bool gone = false;
    {
        std::lock_guard lock(m_writeLock);
        while (m_writeRun && !m_hungUp) {
            const TCommQueue::Spans held = m_outQueue.HeldSpans();
            if (held[0].size == 0) {
                drained = true;
                break;
            }
            const iovec pieces[2] = {{held[0].data, static_cast<std::size_t>(held[0].size)},
                                     {held[1].data, static_cast<std::size_t>(held[1].size)}};
            const ssize_t n = writev(m_port.fd(), pieces, held[1].size > 0 ? 2 : 1);
            if (n > 0) {
                m_outQueue.Consume(n);
                sentSome = true;
                // The port took less than offered: it is full, wait until it has room.
                if (n < held[0].size + held[1].size) {
                    wantRoom = true;
                    break;
                }
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                wantRoom = true;
                break;
            } else if (n == 0 || errno != EINTR) {
                gone = true;
                break;
            }
        }
    }
    if (gone) noteHangUp();
    return sentSome && drained;
}

void TComm32::timerLoop() {
    while (m_timerRun) {
        pollfd wake = {m_workers->timerWake.fd(), POLLIN, 0};
        const int ready = pollRetrying(&wake, 1, m_timerInterval);
        if (!m_timerRun || ready != 0) break;
        fmsgCommTimer();
    }
    threadDone(m_timerAlive);
}

std::optional<std::uint32_t> TComm32::readModemStatus() {
    const ModemLines::Status lines = m_modemLines->status(m_port.fd());
    if (!lines.ok) return std::nullopt;
    std::uint32_t status = 0;
    if (lines.bits & TIOCM_CTS) status |= MS_CTS_ON;
    if (lines.bits & TIOCM_DSR) status |= MS_DSR_ON;
    if (lines.bits & TIOCM_RNG) status |= MS_RING_ON;
    if (lines.bits & TIOCM_CAR) status |= MS_RLSD_ON;
    return status;
}

void TComm32::fmsgCommTimer() {
    if (m_hungUp) return;
    // The reader does not watch a port whose input queue is full, so the hang-up of such a
    // port is noticed here.
    pollfd port = {m_port.fd(), 0, 0};
    if (pollRetrying(&port, 1, 0) > 0 && portFailed(port.revents)) {
        noteHangUp();
        return;
    }
    // Line changes come from polling: a tty reports them to no descriptor we can wait on.
    const std::optional<std::uint32_t> lines = readModemStatus();
    if (!lines) {
        noteHangUp();
        return;
    }
    const std::uint32_t previous = m_modemStatus;
    const std::uint32_t current = *lines;
    int events = 0;
    if ((previous ^ current) & MS_CTS_ON) events |= EV_CTS;
    if ((previous ^ current) & MS_DSR_ON) events |= EV_DSR;
    if ((previous ^ current) & MS_RLSD_ON) {
        events |= EV_RLSD;
        m_ringCounter = 0;
    }
    m_modemStatus = current;
    if (events) CommNotify(events);
    if (m_ringCounter < m_ringLimit) {
        ++m_ringCounter;
        return;
    }
    if (!(current & MS_RLSD_ON) && (current & MS_RING_ON)) {
        m_ringCounter = 0;
        CommNotify(EV_RING);
    }
}

} // namespace ZaldoComm32
