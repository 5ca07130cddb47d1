#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

// The bytes a non-blocking socket did not take yet, kept in order and sent when it can take
// them again, so that a send never cuts what it was given. Stream bytes may leave in any
// split; a datagram leaves whole, to its own destination. Sends never raise SIGPIPE.
// One owner thread.
class SendBacklog {
public:
    enum class Result {
        Done,    // everything went out
        Waiting, // the socket is full: the rest waits here until the next flush
        Failed,  // a real error, errno tells which; nothing of this backlog is kept
    };

    explicit SendBacklog(bool datagrams) : m_datagrams(datagrams) {}

    // Sends `len` bytes behind whatever waits already; `to` addresses a datagram (null for a
    // connected socket). On Failed nothing of this call is kept and the backlog is unchanged.
    Result send(int socket, const std::uint8_t* data, std::size_t len, const sockaddr_in* to);
    // Sends what waits, as far as the socket takes it.
    Result flush(int socket);

    std::size_t size() const { return m_bytes; }
    bool empty() const { return m_chunks.empty(); }

private:
    struct Chunk {
        std::vector<std::uint8_t> bytes;
        std::size_t sent = 0;
        bool addressed = false;
        sockaddr_in to{};
    };
    // Bytes the socket took, or -1 with errno (EAGAIN when it is full).
    static long sendSome(int socket, const std::uint8_t* data, std::size_t len,
                         const sockaddr_in* to);
    void keep(const std::uint8_t* data, std::size_t len, const sockaddr_in* to);

    bool m_datagrams;
    std::deque<Chunk> m_chunks;
    std::size_t m_bytes = 0;
};
