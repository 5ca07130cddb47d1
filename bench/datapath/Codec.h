#pragma once

// Conversions between text, hexadecimal text and bytes shared by every send and receive path
// of the bench. A "character" is one byte of the UTF-8 text; bytes 0x80 and above are never
// hexadecimal digits. Every routine touches only its arguments, so any thread may call it.
// They work in place on the caller's buffers: single pass, no allocation. Texts end at the end
// of their view or at their first zero, whichever comes first; counts are in bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

class QIODevice;

// One send group is at most this many bytes before its checksum byte (4096 characters of a line
// and its CR LF); the group buffers leave ample room for the checksum and a terminating zero.
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

// Upper-case digit pairs, separated by `sep` unless it is 0 (no separator after the last pair).
// Converts min(len, capacity) bytes, the capacity being (outSize + 1) / 3 with a separator and
// outSize / 2 without; writes a terminating zero when there is room, never beyond outSize.
// Returns the number of characters written.
int BytesToHexText(const std::uint8_t* data, int len, char* out, int outSize, char sep);

// Pairs of hex digits to bytes; every non-digit separates ("123" -> 12 03, "0x1F" -> 00 1F).
// Reads to the end of the view or its first zero; stops at `limit` bytes (negative: no limit
// beyond the text's length). Returns the number of bytes written.
int HexTextToBytes(std::string_view text, std::uint8_t* out, int limit);

// Each run of hex digits as an unsigned 32-bit decimal number (low 32 bits of a longer run);
// the separators after a run become one space, those before the first run are skipped.
// `out` needs 4 * text.size() + 1 bytes at most; the output is zero-terminated.
// Returns the number of characters written, the zero not counted.
int HexTextToDecText(std::string_view text, char* out);

// Each hex digit as four "0"/"1" characters; the separators after a digit become one space,
// those before the first digit are skipped. `out` needs 4 * text.size() + 1 bytes at most; the
// output is zero-terminated. Returns the number of characters written, the zero not counted.
int HexTextToBinText(std::string_view text, char* out);

// Stores the sum (mode != 0) or the negative sum (mode 0) of buf[0 .. len-2] in buf[len-1];
// nothing when len < 1.
void AppendChecksum(std::uint8_t* buf, int len, int mode);

// The send box's hexadecimal view back to bytes: space-separated tokens of up to 8 characters,
// each read as one hex number stored little-endian in 1 (1-2 characters), 2 (3-4) or 4 (5-8)
// bytes; a longer run is cut every 8 characters. Only the space separates tokens. `out` needs
// text.size() bytes at most. Returns the byte count, or nothing when a token is not a
// hexadecimal number (the caller then keeps no bytes). Reads the whole view: a zero here is an
// invalid character, not the end.
std::optional<int> HexTokensToBytes(std::string_view text, std::uint8_t* out);

// Cuts the next send group out of a send box's text starting at `pos` (advanced past what
// was taken). Plain text: up to 4096 characters of one line and its terminator, followed by a
// zero in `buf`; a longer line gives several groups. Hex: skips line ends, then converts one
// line of at most 8192 characters, cut one character earlier when the cut would split a digit
// pair. Returns the group's byte count; 0 or less means there is no further group (the end of
// the text, a zero, or a hex line without digits). A `pos` outside the text gives 0.
int ReadSendGroup(std::string_view text, int& pos, GroupBuffer& buf, bool hex);

// The same for a data file from byte offset `pos` (seeks there first, so the device's own
// position does not matter): plain text reads raw blocks of 4096 bytes, no zero added; hex skips
// line ends and converts one line of any length, cut before the digit that would start pair
// 4098, the rest forming the next group. Returns the group's byte count; 0 at the end of the
// file or for a hex line without digits; -1 when the device cannot seek or read.
int ReadFileGroup(QIODevice& file, std::int64_t& pos, GroupBuffer& buf, bool hex);
