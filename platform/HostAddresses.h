#pragma once

#include <cstdint>
#include <string>
#include <vector>

// IPv4 addresses of a host, in network byte order (the first octet in the lowest byte, as the
// address lies in memory). Name look-ups block; call them where a blocking look-up is fine.
class HostAddresses {
public:
    // Every IPv4 address the name resolves to, in the resolver's order; empty when it fails.
    static std::vector<std::uint32_t> resolveIPv4(const std::string& name);

    // This machine's addresses: those of its host name, and, when the name resolves only to
    // loopback (as /etc/hosts names the machine on Debian), the IPv4 addresses of the interfaces
    // that are up, placed first so that the machine's real address leads the list.
    static std::vector<std::uint32_t> localIPv4Addresses();

    // The machine's host name; empty when it cannot be read.
    static std::string hostName();
};
