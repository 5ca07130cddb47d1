#pragma once

#include <cstdint>
#include <vector>

// One direction's byte buffer of a session: Count bytes held at the start of Data, oldest
// first, at most Capacity. GUI thread only.
struct ByteBuffer {
    std::vector<std::uint8_t> Data;
    std::int32_t Capacity = 0;
    std::int32_t Count = 0;

    // Fresh storage for `capacity` bytes, empty.
    void allocate(std::int32_t capacity) {
        Capacity = capacity > 0 ? capacity : 0;
        Data.assign(static_cast<std::size_t>(Capacity), 0);
        Count = 0;
    }
};
