#include "bench/datapath/HexPairDecoder.h"

HexPairDecoder::Stop HexPairDecoder::feed(const char* text, std::size_t size, std::size_t& used) {
    // Locals rather than members in the loop: this is the hot path of every hex conversion.
    int written = count;
    bool pending = half;
    Stop stop = Stop::PieceUsed;
    std::size_t i = 0;
    for (; i < size; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int digit = HexDigitValues[c];
        if (digit >= 0) {
            if (pending) {
                out[written - 1] = static_cast<std::uint8_t>(out[written - 1] << 4 | digit);
                pending = false;
            } else {
                if (written == limit) {
                    stop = Stop::Limit;
                    break;
                }
                out[written++] = static_cast<std::uint8_t>(digit);
                pending = true;
            }
        } else if (c == 0 || (stopAtLineEnd && (c == '\r' || c == '\n'))) {
            stop = Stop::TextEnd;
            break;
        } else {
            pending = false;
        }
    }
    count = written;
    half = pending;
    used = i;
    return stop;
}
