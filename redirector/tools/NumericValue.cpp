#include "redirector/tools/NumericValue.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

double numericValue(QStringView text) {
    qsizetype at = 0;
    while (at < text.size() && isBlank(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) negative = text[at++] == u'-';

    // Only ASCII digits and one point are copied, so the conversion below sees plain ASCII.
    std::string number;
    bool nonZeroBeforePoint = false;
    for (; at < text.size() && isDigit(text[at]); ++at) {
        nonZeroBeforePoint = nonZeroBeforePoint || text[at] != u'0';
        number.push_back(char(text[at].unicode()));
    }
    const bool hasIntegerDigits = !number.empty();
    if (at < text.size() && text[at] == u'.') {
        number.push_back('.');
        for (++at; at < text.size() && isDigit(text[at]); ++at)
            number.push_back(char(text[at].unicode()));
    }
    if (!hasIntegerDigits && number.size() <= 1) return 0; // no digit at all: "", "-", ".", "+.x"

    double value = 0;
    const std::from_chars_result result = std::from_chars(
        number.data(), number.data() + number.size(), value, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) // far too large, or too small to matter
        value = nonZeroBeforePoint ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
}

int integerValue(QStringView text) {
    // nearbyint rounds in the default mode, to nearest with halves to even.
    const double value = std::nearbyint(numericValue(text));
    if (value >= double(INT_MAX)) return INT_MAX;
    if (value <= double(INT_MIN)) return INT_MIN;
    return int(value);
}
