#pragma once

// Conversions between text, hexadecimal text and bytes shared by every send and receive path
// of the bench. A "character" is one byte of the UTF-8 text; bytes 0x80 and above are never
// hexadecimal digits. Every routine touches only its arguments, so any thread may call it.
// They work in place on the caller's buffers: single pass, no allocation.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

class QIODevice;

// One send group is at most this many bytes (a line of 4096 characters, or 4097 hex pairs and
// the checksum byte); the group buffers leave ample room for it and a terminating zero.
constexpr int MaxGroupBytes = 4098;
constexpr int GroupBufferSize = 65536;
using GroupBuffer = std::array<std::uint8_t, GroupBufferSize>;

// 0-15 for "0"-"9", "A"-"F", "a"-"f"; -1 for every other byte.
int HexDigitValue(unsigned char c);

// value = value * 16 | (digit & 0xFF) per character; a non-digit contributes 0xFF.
std::uint32_t HexStrToInt(std::string_view text);

// True when the text is not empty and every character is "0"-"9".
bool IsAllDigits(std::string_view text);

// value = value * 10 + (c - '0') per character, no checks and no sign.
std::int32_t DecStrToInt(std::string_view text);

// Upper-case digit pairs, each followed by `sep` unless it is 0; the last separator is dropped.
// Converts as many bytes as fit in outSize; writes a terminating zero when there is room.
// Returns the number of characters written.
int BytesToHexText(const std::uint8_t* data, int len, char* out, int outSize, char sep);

// Pairs of hex digits to bytes; every non-digit separates ("123" -> 12 03, "0x1F" -> 00 1F).
// Reads to the end of the view or its first zero; stops at `limit` bytes (negative: no limit
// beyond the text's length). Returns the number of bytes written.
int HexTextToBytes(std::string_view text, std::uint8_t* out, int limit);

// Each run of hex digits as an unsigned 32-bit decimal number, runs separated by one space.
// `out` needs 4 * text.size() + 1 bytes at most. Returns the number of characters written.
int HexTextToDecText(std::string_view text, char* out);

// Each hex digit as four "0"/"1" characters; runs of separators become one space.
// `out` needs 8 * text.size() + 1 bytes at most. Returns the number of characters written.
int HexTextToBinText(std::string_view text, char* out);

// Stores the sum (mode != 0) or the negative sum (mode 0) of buf[0 .. len-2] in buf[len-1].
void AppendChecksum(std::uint8_t* buf, int len, int mode);

// The send box's hexadecimal view back to bytes: space-separated tokens of up to 8 characters,
// each read as one hex number stored little-endian in 1 (1-2 characters), 2 (3-4) or 4 (5-8)
// bytes. `out` needs text.size() bytes at most. Returns the byte count, or nothing when a
// token is not a hexadecimal number.
std::optional<int> HexTokensToBytes(std::string_view text, std::uint8_t* out);

// Cuts the next send group out of a send box's text starting at `pos` (advanced past what
// was taken). Plain text: one line with its terminator, at most 4096 characters, followed by
// a zero in `buf`. Hex: skips line ends, then one line of at most 8192 characters converted to
// bytes. Returns the group's byte count; 0 or less means there is no further group.
int ReadSendGroup(std::string_view text, int& pos, GroupBuffer& buf, bool hex);

// The same for a data file from byte offset `pos`: plain text reads raw blocks of 4096 bytes;
// hex reads one line (of any length) and cuts it after 4097 digit pairs, the rest forming the
// next group. Returns the group's byte count; 0 at the end of the file.
int ReadFileGroup(QIODevice& file, std::int64_t& pos, GroupBuffer& buf, bool hex);
