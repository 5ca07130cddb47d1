#include "bench/datapath/LoadedContent.h"

#include "bench/datapath/Codec.h"

LoadedContent classifyLoaded(QByteArrayView bytes) {
    bool hex = true;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\t' || byte == '\n' || byte == '\r' || byte == ' ')
            continue;
        if (byte < 0x21)
            return LoadedContent::Binary;
        if (HexDigitValue(byte) < 0)
            hex = false;
    }
    return hex ? LoadedContent::HexText : LoadedContent::Text;
}
