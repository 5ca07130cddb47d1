#include "platform/SendBacklog.h"

#include <cerrno>
#include <sys/socket.h>

namespace {
// Stream bytes that wait are gathered in chunks of about this size, so that a flush makes
// few calls however small the pieces were.
constexpr std::size_t StreamChunkBytes = 64 * 1024;

bool wouldBlock(int err) {
    return err == EAGAIN || err == EWOULDBLOCK;
}
} // namespace

long SendBacklog::sendSome(int socket, const std::uint8_t* data, std::size_t len,
                           const sockaddr_in* to) {
    const int flags = MSG_NOSIGNAL | MSG_DONTWAIT;
    ssize_t n;
    do {
        n = to ? ::sendto(socket, data, len, flags, reinterpret_cast<const sockaddr*>(to),
                          sizeof *to)
               : ::send(socket, data, len, flags);
    } while (n < 0 && errno == EINTR);
    return n;
}

SendBacklog::Result SendBacklog::send(int socket, const std::uint8_t* data, std::size_t len,
                                      const sockaddr_in* to) {
    if (!m_chunks.empty()) {
        keep(data, len, to);
        return Result::Waiting;
    }
    const long n = sendSome(socket, data, len, to);
    if (n < 0 && !wouldBlock(errno)) return Result::Failed;
    const std::size_t taken = n < 0 ? 0 : static_cast<std::size_t>(n);
    if (taken == len) return Result::Done;
    keep(data + taken, len - taken, to);
    return Result::Waiting;
}

SendBacklog::Result SendBacklog::flush(int socket) {
    while (!m_chunks.empty()) {
        Chunk& chunk = m_chunks.front();
        const std::size_t rest = chunk.bytes.size() - chunk.sent;
        const long n = sendSome(socket, chunk.bytes.data() + chunk.sent, rest,
                                chunk.addressed ? &chunk.to : nullptr);
        if (n < 0) {
            if (wouldBlock(errno)) return Result::Waiting;
            const int err = errno;
            m_chunks.clear();
            m_bytes = 0;
            errno = err;
            return Result::Failed;
        }
        chunk.sent += static_cast<std::size_t>(n);
        m_bytes -= static_cast<std::size_t>(n);
        if (chunk.sent < chunk.bytes.size()) return Result::Waiting;
        m_chunks.pop_front();
    }
    return Result::Done;
}

void SendBacklog::keep(const std::uint8_t* data, std::size_t len, const sockaddr_in* to) {
    m_bytes += len;
    if (!m_datagrams && !m_chunks.empty() && m_chunks.back().bytes.size() < StreamChunkBytes) {
        auto& bytes = m_chunks.back().bytes;
        bytes.insert(bytes.end(), data, data + len);
        return;
    }
    Chunk& chunk = m_chunks.emplace_back();
    chunk.bytes.assign(data, data + len);
    if (to) {
        chunk.addressed = true;
        chunk.to = *to;
    }
}
