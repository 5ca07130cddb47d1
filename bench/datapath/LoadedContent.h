#pragma once

// What a file loaded into a send box holds, which decides how the box takes it.

#include <QByteArrayView>

enum class LoadedContent {
    HexText, // text of hexadecimal digits, blanks and line ends
    Text,    // other text: no control byte but TAB, LF and CR
    Binary,  // anything else
};

// Bytes below 0x21 other than TAB, LF, CR and space make the content binary; text is
// hexadecimal when every other byte is a hexadecimal digit (bytes from 0x80 are text, not hex).
LoadedContent classifyLoaded(QByteArrayView bytes);
