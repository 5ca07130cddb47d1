#pragma once

// Internal to the codec: the digit table and the pair decoder shared by HexTextToBytes and the
// group readers. The decoder keeps its state between calls so that a line of a data file can be
// fed to it block by block and still give the bytes the whole line would give.

#include <array>
#include <cstddef>
#include <cstdint>

// 0-15 for a hexadecimal digit, -1 for every other byte.
inline constexpr std::array<std::int8_t, 256> HexDigitValues = [] {
    std::array<std::int8_t, 256> values{};
    values.fill(-1);
    for (int i = 0; i < 10; ++i)
        values['0' + i] = static_cast<std::int8_t>(i);
    for (int i = 0; i < 6; ++i) {
        values['A' + i] = static_cast<std::int8_t>(10 + i);
        values['a' + i] = static_cast<std::int8_t>(10 + i);
    }
    return values;
}();

struct HexPairDecoder {
    enum class Stop {
        PieceUsed, // every character of the piece was taken; more may follow
        TextEnd,   // a zero (or, in line mode, CR or LF) ends the text; it was not taken
        Limit,     // the next digit would start byte number limit + 1; it was not taken
    };

    std::uint8_t* out = nullptr;
    int limit = -1;             // negative: no limit
    bool stopAtLineEnd = false; // CR and LF end the text instead of separating pairs
    int count = 0;              // bytes written so far
    bool half = false;          // the last byte written holds only its first digit

    // Decodes text[0, size); `used` receives the number of characters taken.
    Stop feed(const char* text, std::size_t size, std::size_t& used);
};
