#include "redirector/tools/NumericValue.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

namespace {

struct Case {
    const char* text;
    double value;
    int integer;
};

TEST(NumericValueTest, LeadingDecimalNumber) {
    const Case cases[] = {
        {"1000", 1000, 1000},
        {"12.6abc", 12.6, 13},
        {"  65536", 65536, 65536},
        {"\t7", 7, 7},
        {"-1", -1, -1},
        {"+42x", 42, 42},
        {"-2.5", -2.5, -2},
        {"2.5", 2.5, 2}, // halves go to the even neighbour
        {"3.5", 3.5, 4},
        {"0.4", 0.4, 0},
        {".5", 0.5, 0},
        {"5.", 5, 5},
        {"007", 7, 7},
        {"1.2.3", 1.2, 1},
        {"1e3", 1, 1}, // no exponent
        {"1 2", 1, 1}, // a blank ends the number
        {"- 5", 0, 0}, // the sign belongs to the number
        {"abc", 0, 0},
        {"", 0, 0},
        {"-", 0, 0},
        {".", 0, 0},
        {"-.", 0, 0},
        {"x12", 0, 0},
        {"٣", 0, 0}, // only ASCII digits count
        {"2147483647", 2147483647.0, INT_MAX},
        {"99999999999", 99999999999.0, INT_MAX},
        {"-99999999999", -99999999999.0, INT_MIN},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_DOUBLE_EQ(numericValue(text), c.value) << '"' << c.text << '"';
        EXPECT_EQ(integerValue(text), c.integer) << '"' << c.text << '"';
    }
}

TEST(NumericValueTest, NumbersBeyondDoubleRangeStaySafe) {
    const QString huge = QString(400, u'9');
    EXPECT_EQ(numericValue(huge), HUGE_VAL);
    EXPECT_EQ(numericValue(u'-' + huge), -HUGE_VAL);
    EXPECT_EQ(integerValue(huge), INT_MAX);
    EXPECT_EQ(integerValue(u'-' + huge), INT_MIN);

    const QString tiny = QStringLiteral("0.") + QString(400, u'0') + u'1';
    EXPECT_EQ(numericValue(tiny), 0.0);
    EXPECT_EQ(integerValue(tiny), 0);
}

} // namespace
