#include "bench/datapath/Codec.h"

#include "bench/datapath/HexPairDecoder.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t MaxTextLine = 4096; // characters of plain text in one group
constexpr std::size_t MaxHexLine = 8192;  // characters of a send box's hex line in one group
constexpr int MaxFilePairs = 4097;        // bytes of a data file's hex line in one group
constexpr std::size_t FileBlock = 16384;  // bytes read from a data file at a time

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

std::size_t SkipLineEnds(const char* text, std::size_t size) {
    std::size_t i = 0;
    while (i < size && IsLineEnd(text[i]))
        ++i;
    return i;
}

int ReadTextLine(const char* text, std::size_t size, int& pos, GroupBuffer& buf) {
    const std::size_t n = std::min(size, MaxTextLine);
    std::size_t taken = 0;
    while (taken < n && text[taken] != '\0' && !IsLineEnd(text[taken]))
        ++taken;
    // The terminator travels with its line: CR LF, a lone CR or a lone LF.
    if (taken < size && text[taken] == '\r') ++taken;
    if (taken < size && text[taken] == '\n') ++taken;
    std::memcpy(buf.data(), text, taken);
    buf[taken] = 0;
    pos += static_cast<int>(taken);
    return static_cast<int>(taken);
}

int ReadHexLine(const char* text, std::size_t size, int& pos, GroupBuffer& buf) {
    const std::size_t skipped = SkipLineEnds(text, size);
    pos += static_cast<int>(skipped);
    text += skipped;
    size -= skipped;

    const std::size_t n = std::min(size, MaxHexLine);
    HexPairDecoder decoder{.out = buf.data(), .stopAtLineEnd = true};
    std::size_t used = 0;
    const auto stop = decoder.feed(text, n, used);
    // A cut between the two digits of a pair would send them as two bytes: leave the first
    // digit to the next group instead.
    if (stop == HexPairDecoder::Stop::PieceUsed && decoder.half && n < size &&
        HexDigitValue(static_cast<unsigned char>(text[n])) >= 0) {
        --used;
        --decoder.count;
    }
    pos += static_cast<int>(used);
    return decoder.count;
}

int ReadFileHexLine(QIODevice& file, std::int64_t& pos, GroupBuffer& buf) {
    std::array<char, FileBlock> block;
    HexPairDecoder decoder{.out = buf.data(), .limit = MaxFilePairs, .stopAtLineEnd = true};
    bool inLine = false;
    for (;;) {
        const qint64 got = file.read(block.data(), block.size());
        if (got < 0) return -1;
        if (got == 0) break; // end of the file ends the line
        const char* text = block.data();
        auto size = static_cast<std::size_t>(got);
        if (!inLine) {
            const std::size_t skipped = SkipLineEnds(text, size);
            pos += static_cast<std::int64_t>(skipped);
            if (skipped == size) continue;
            text += skipped;
            size -= skipped;
            inLine = true;
        }
        std::size_t used = 0;
        const auto stop = decoder.feed(text, size, used);
        pos += static_cast<std::int64_t>(used);
        if (stop != HexPairDecoder::Stop::PieceUsed) break;
    }
    return decoder.count;
}

} // namespace

int ReadSendGroup(std::string_view text, int& pos, GroupBuffer& buf, bool hex) {
    if (pos < 0 || static_cast<std::size_t>(pos) >= text.size()) return 0;
    const char* rest = text.data() + pos;
    const std::size_t size = text.size() - static_cast<std::size_t>(pos);
    return hex ? ReadHexLine(rest, size, pos, buf) : ReadTextLine(rest, size, pos, buf);
}

int ReadFileGroup(QIODevice& file, std::int64_t& pos, GroupBuffer& buf, bool hex) {
    if (pos < 0 || !file.seek(pos)) return -1;
    if (hex) return ReadFileHexLine(file, pos, buf);
    const qint64 got = file.read(reinterpret_cast<char*>(buf.data()), MaxTextLine);
    if (got < 0) return -1;
    pos += got;
    return static_cast<int>(got);
}
