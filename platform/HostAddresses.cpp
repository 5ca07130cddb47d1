#include "platform/HostAddresses.h"

#include <algorithm>
#include <climits>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

namespace {

bool isLoopback(std::uint32_t address) {
    return (ntohl(address) >> 24) == 127;
}

std::vector<std::uint32_t> upInterfaceAddresses() {
    std::vector<std::uint32_t> addresses;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return addresses;
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET ||
            !(entry->ifa_flags & IFF_UP) || (entry->ifa_flags & IFF_LOOPBACK))
            continue;
        addresses.push_back(reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
    }
    ::freeifaddrs(list);
    return addresses;
}

} // namespace

std::vector<std::uint32_t> HostAddresses::resolveIPv4(const std::string& name) {
    std::vector<std::uint32_t> addresses;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM; // one entry per address rather than one per socket type
    addrinfo* result = nullptr;
    if (name.empty() || ::getaddrinfo(name.c_str(), nullptr, &hints, &result) != 0)
        return addresses;
    for (const addrinfo* entry = result; entry; entry = entry->ai_next) {
        const std::uint32_t address =
            reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
        if (std::find(addresses.begin(), addresses.end(), address) == addresses.end())
            addresses.push_back(address);
    }
    ::freeaddrinfo(result);
    return addresses;
}

std::vector<std::uint32_t> HostAddresses::localIPv4Addresses() {
    std::vector<std::uint32_t> addresses = resolveIPv4(hostName());
    if (!std::all_of(addresses.begin(), addresses.end(), isLoopback)) return addresses;
    std::vector<std::uint32_t> local = upInterfaceAddresses();
    for (std::uint32_t address : addresses)
        if (std::find(local.begin(), local.end(), address) == local.end()) local.push_back(address);
    return local;
}

std::string HostAddresses::hostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name) != 0) return {};
    name[HOST_NAME_MAX] = '\0';
    return name;
}
