#include "bench/datapath/HexView.h"

#include <gtest/gtest.h>

TEST(HexView, FormatHexInputTable) {
    struct Case {
        const char* in;
        int caret;
        const char* out;
        int outCaret;
    } cases[] = {
        {"ab", 2, "AB", 2},
        {"AB c", 4, "AB C", 4},
        {"AB Cd", 5, "AB CD", 5},
        {"abcd", 4, "AB C D", 6}, // a run typed at once splits after the first pair
        {"123456", 6, "12 3 4 5 6", 10},
        {"  12\r\n\t34  ", 12, "12 34 ", 6},
        {"1g2 中 3", 2, "12 3", 2},
        {"/anything", 3, "/anything", 3},
        {"", 0, "", 0},
        {"xyz", 1, "", 0},
    };
    for (const Case& c : cases) {
        const FormattedHex f = FormatHexInput(QString::fromUtf8(c.in), c.caret);
        EXPECT_EQ(f.text, c.out) << c.in;
        EXPECT_EQ(f.caret, c.outCaret) << c.in;
        // Tidy text stays as it is when tidied again.
        EXPECT_EQ(FormatHexInput(f.text, f.caret).text, f.text) << c.in;
    }
}

TEST(HexView, HexViewRoundTripsThroughTheTokenReader) {
    EXPECT_EQ(hexViewOf(QByteArray("AB")), "41 42");
    EXPECT_EQ(hexViewOf(QByteArray()), "");
    const QByteArray bytes(5000, 'z');
    EXPECT_EQ(textOfHexView(hexViewOf(bytes)), QString::fromLatin1(bytes));
    EXPECT_EQ(textOfHexView("41 42 00 43"), "AB");
    EXPECT_EQ(textOfHexView("4142"), "BA"); // one 16-bit token, low byte first
    EXPECT_EQ(textOfHexView("41 4G"), std::nullopt);
    EXPECT_EQ(trimBlanks(QStringLiteral("\x01 a b\t\n")), "a b");
}
