#include "bench/datapath/HexView.h"

#include "bench/datapath/Codec.h"

#include <cstring>
#include <vector>

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= u' ')
        ++first;
    while (last > first && text.at(last - 1).unicode() <= u' ')
        --last;
    return text.mid(first, last - first);
}

QString hexViewOf(QByteArrayView bytes) {
    const int len = static_cast<int>(bytes.size());
    if (len == 0)
        return {};
    std::vector<char> out(static_cast<size_t>(3) * len);
    const int written = BytesToHexText(reinterpret_cast<const std::uint8_t*>(bytes.data()), len,
                                       out.data(), 3 * len, ' ');
    return QString::fromLatin1(out.data(), written);
}

FormattedHex FormatHexInput(const QString& text, int caret) {
    if (text.startsWith(QLatin1Char('/')))
        return {text, caret};
    QString out;
    out.reserve(text.size() + text.size() / 2);
    bool afterSeparator = true;
    bool firstOfPair = false;
    for (QChar ch : text) {
        const QChar upper = ch.toUpper();
        const char16_t c = upper.unicode();
        if (c < 0x80 && HexDigitValue(static_cast<unsigned char>(c)) >= 0) {
            if (!firstOfPair && !afterSeparator)
                out.append(QLatin1Char(' '));
            out.append(upper);
            firstOfPair = afterSeparator;
            afterSeparator = false;
        } else if (c == u'\r' || c == u'\n' || c == u'\t' || c == u' ') {
            if (!afterSeparator)
                out.append(QLatin1Char(' '));
            afterSeparator = true;
        }
    }
    const int newCaret =
        caret >= text.size() ? static_cast<int>(out.size()) : std::min<int>(caret, out.size());
    return {out, newCaret};
}

QString textUpToZero(const char* data, int len) {
    const auto* zero = static_cast<const char*>(std::memchr(data, 0, static_cast<size_t>(len)));
    return QString::fromUtf8(data, zero ? zero - data : len);
}

std::optional<QString> textOfHexView(const QString& view) {
    const QByteArray text = view.toUtf8();
    std::vector<std::uint8_t> bytes(static_cast<size_t>(text.size()) + 1);
    const std::optional<int> count =
        HexTokensToBytes(std::string_view(text.constData(), text.size()), bytes.data());
    if (!count)
        return std::nullopt;
    return textUpToZero(reinterpret_cast<const char*>(bytes.data()), *count);
}
