#pragma once

// The hexadecimal view of a send box: what the box shows while "send as hex" is checked, how
// typed input is tidied into digit pairs, and how the view turns back into plain text.

#include <QByteArrayView>
#include <QString>

#include <optional>

// The text without the blanks and control characters at both ends.
QString trimBlanks(const QString& text);

// Upper-case digit pairs separated by single spaces, all on one line so that the text's bytes
// stay one send group.
QString hexViewOf(QByteArrayView bytes);

struct FormattedHex {
    QString text;
    int caret;
};

// Tidies typed or pasted hex input: digits in upper case, runs of blanks and line ends folded
// into one space, a space between pairs typed at the end, everything else dropped. A text that
// starts with "/" stays as it is. The caret keeps its place, or follows the end when it was there.
FormattedHex FormatHexInput(const QString& text, int caret);

// Bytes shown as text: UTF-8 up to the first zero byte.
QString textUpToZero(const char* data, int len);

// The plain text a hex view stands for, up to its first zero byte; nothing when a token of the
// view is not a hexadecimal number.
std::optional<QString> textOfHexView(const QString& view);
