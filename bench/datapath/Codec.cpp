#include "bench/datapath/Codec.h"

#include "bench/datapath/HexPairDecoder.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

// "00" to "FF" for every byte value, high digit first.
constexpr auto HexPairs = [] {
    constexpr char digits[] = "0123456789ABCDEF";
    std::array<std::array<char, 2>, 256> pairs{};
    for (int b = 0; b < 256; ++b)
        pairs[b] = {digits[b >> 4], digits[b & 15]};
    return pairs;
}();

// "0000" to "1111" for every digit value, most significant bit first.
constexpr auto BinaryDigits = [] {
    std::array<std::array<char, 4>, 16> bits{};
    for (int d = 0; d < 16; ++d)
        for (int b = 0; b < 4; ++b)
            bits[d][b] = (d >> (3 - b)) & 1 ? '1' : '0';
    return bits;
}();

// Texts handed over as zero-terminated end at their first zero.
std::string_view UpToZero(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

// Walks runs of hex digits to the text's end or first zero: `onDigit(value, startsRun)` for each
// digit and `onRunEnd()` after each run; the separators after a run become one space.
// Terminates the output with a zero and returns where that zero is.
template <typename OnDigit, typename OnRunEnd>
char* WalkDigitRuns(std::string_view text, char* out, OnDigit onDigit, OnRunEnd onRunEnd) {
    bool inRun = false;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == 0) break;
        const int digit = HexDigitValues[c];
        if (digit >= 0) {
            out = onDigit(out, digit, !inRun);
            inRun = true;
        } else if (inRun) {
            out = onRunEnd(out);
            *out++ = ' ';
            inRun = false;
        }
    }
    if (inRun) out = onRunEnd(out);
    *out = '\0';
    return out;
}

} // namespace

int HexDigitValue(unsigned char c) {
    return HexDigitValues[c];
}

std::uint32_t HexStrToInt(std::string_view text) {
    std::uint32_t value = 0;
    for (const char c : UpToZero(text))
        value = value * 16 | (HexDigitValues[static_cast<unsigned char>(c)] & 0xFF);
    return value;
}

bool IsAllDigits(std::string_view text) {
    text = UpToZero(text);
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::int32_t DecStrToInt(std::string_view text) {
    // Unsigned arithmetic: an overlong number wraps instead of overflowing.
    std::uint32_t value = 0;
    for (const char c : UpToZero(text))
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    return static_cast<std::int32_t>(value);
}

int BytesToHexText(const std::uint8_t* data, int len, char* out, int outSize, char sep) {
    const int capacity = sep != 0 ? (outSize + 1) / 3 : outSize / 2;
    const int n = std::max(0, std::min(len, capacity));
    char* p = out;
    for (int i = 0; i < n; ++i) {
        // The separator goes before every pair but the first, so none trails the last pair
        // and nothing lands beyond outSize.
        if (sep != 0 && i > 0) *p++ = sep;
        std::memcpy(p, HexPairs[data[i]].data(), 2);
        p += 2;
    }
    const int count = static_cast<int>(p - out);
    if (count < outSize) out[count] = '\0';
    return count;
}

int HexTextToBytes(std::string_view text, std::uint8_t* out, int limit) {
    HexPairDecoder decoder{.out = out, .limit = limit};
    std::size_t used = 0;
    decoder.feed(text.data(), text.size(), used);
    return decoder.count;
}

int HexTextToDecText(std::string_view text, char* out) {
    std::uint32_t value = 0;
    const char* end = WalkDigitRuns(
        text, out,
        [&value](char* p, int digit, bool startsRun) {
            value = (startsRun ? 0 : value * 16) + static_cast<std::uint32_t>(digit);
            return p;
        },
        [&value](char* p) {
            char digits[10]; // 4294967295 at most
            const auto result = std::to_chars(std::begin(digits), std::end(digits), value);
            const auto size = static_cast<std::size_t>(result.ptr - digits);
            std::memcpy(p, digits, size);
            return p + size;
        });
    return static_cast<int>(end - out);
}

int HexTextToBinText(std::string_view text, char* out) {
    const char* end = WalkDigitRuns(
        text, out,
        [](char* p, int digit, bool) {
            std::memcpy(p, BinaryDigits[digit].data(), 4);
            return p + 4;
        },
        [](char* p) { return p; });
    return static_cast<int>(end - out);
}

void AppendChecksum(std::uint8_t* buf, int len, int mode) {
    if (len < 1) return;
    std::uint8_t sum = 0;
    for (int i = 0; i < len - 1; ++i)
        sum = static_cast<std::uint8_t>(sum + buf[i]);
    buf[len - 1] = mode != 0 ? sum : static_cast<std::uint8_t>(-sum);
}

std::optional<int> HexTokensToBytes(std::string_view text, std::uint8_t* out) {
    constexpr std::size_t MaxTokenLength = 8; // one 32-bit number
    int count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        const std::size_t start = i;
        const std::size_t stop = std::min(text.size(), start + MaxTokenLength);
        std::uint32_t value = 0;
        for (; i < stop && text[i] != ' '; ++i) {
            const int digit = HexDigitValues[static_cast<unsigned char>(text[i])];
            if (digit < 0) return std::nullopt;
            value = value << 4 | static_cast<std::uint32_t>(digit);
        }
        const std::size_t length = i - start;
        const int width = length <= 2 ? 1 : length <= 4 ? 2 : 4;
        for (int b = 0; b < width; ++b)
            out[count++] = static_cast<std::uint8_t>(value >> (8 * b));
    }
    return count;
}
