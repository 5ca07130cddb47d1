#include "bench/datapath/Codec.h"

#include "tests/support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

// Bytes as a string so that tables stay short and failures print readably.
std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int v : values)
        bytes.push_back(static_cast<char>(v));
    return bytes;
}

std::string Repeat(std::string_view unit, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += unit;
    return text;
}

std::string AsString(const std::uint8_t* data, int size) {
    return std::string(reinterpret_cast<const char*>(data), static_cast<std::size_t>(size));
}

std::string HexToBytes(std::string_view text, int limit = -1) {
    std::vector<std::uint8_t> out(text.size() + 1);
    return AsString(out.data(), HexTextToBytes(text, out.data(), limit));
}

TEST(HexDigitValueTest, OnlyAsciiHexDigitsHaveValues) {
    constexpr std::string_view lower = "0123456789abcdef";
    constexpr std::string_view upper = "0123456789ABCDEF";
    for (int c = 0; c < 256; ++c) {
        const auto at = lower.find(static_cast<char>(c));
        const auto atUpper = upper.find(static_cast<char>(c));
        const int expected = at != lower.npos ? int(at) : atUpper != upper.npos ? int(atUpper) : -1;
        EXPECT_EQ(HexDigitValue(static_cast<unsigned char>(c)), expected) << "byte " << c;
    }
}

TEST(ScalarConversionsTest, HexStrToInt) {
    const struct {
        std::string_view text;
        std::uint32_t value;
    } cases[] = {
        {"1F", 0x1F},
        {"ff", 0xFF},
        {"", 0},
        {"G", 0xFF}, // a non-digit contributes 0xFF
        {"G1", 0xFF1},
        {"123456789", 0x23456789}, // the low 32 bits survive
        {std::string_view("1\0"
                          "2",
                          3),
         1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexStrToInt(c.text), c.value) << c.text;
}

TEST(ScalarConversionsTest, IsAllDigits) {
    EXPECT_TRUE(IsAllDigits("0123456789"));
    EXPECT_TRUE(IsAllDigits(std::string_view("12\0x", 4)));
    EXPECT_FALSE(IsAllDigits(""));
    EXPECT_FALSE(IsAllDigits(std::string_view("\0"
                                              "1",
                                              2)));
    EXPECT_FALSE(IsAllDigits("12a"));
    EXPECT_FALSE(IsAllDigits("-1"));
    EXPECT_FALSE(IsAllDigits("\xEF\xBC\x91")); // a full-width digit is not "0"-"9"
}

TEST(ScalarConversionsTest, DecStrToInt) {
    EXPECT_EQ(DecStrToInt("123"), 123);
    EXPECT_EQ(DecStrToInt(""), 0);
    EXPECT_EQ(DecStrToInt("4294967295"), -1); // wraps without overflow
    EXPECT_EQ(DecStrToInt("1a"), 59);         // no checks: 'a' counts as 49
    EXPECT_EQ(DecStrToInt(std::string_view("7\0"
                                           "9",
                                           3)),
              7);
}

TEST(BytesToHexTextTest, FillsOnlyWhatFitsInOutSize) {
    const std::string abc = Bytes({0x01, 0xAB, 0xFF});
    const struct {
        std::string bytes;
        int outSize;
        char sep;
        std::string_view text;
    } cases[] = {
        {abc, 9, ' ', "01 AB FF"},
        {abc, 8, ' ', "01 AB FF"}, // exactly full: no room for the zero
        {abc, 7, ' ', "01 AB"},
        {abc, 5, ' ', "01 AB"}, // nothing, not even a separator, beyond outSize
        {abc, 6, 0, "01ABFF"},
        {abc, 5, 0, "01AB"},
        {Bytes({0x80, 0x7F, 0x00}), 9, '-', "80-7F-00"},
        {"", 4, ' ', ""},
        {"\x01", 0, ' ', ""},
        {"\x01", 1, ' ', ""},
        {"\x01", 2, ' ', "01"},
    };
    constexpr char Guard = '#';
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "outSize " << c.outSize << " -> " << c.text);
        std::string out(static_cast<std::size_t>(c.outSize) + 4, Guard);
        const int count =
            BytesToHexText(reinterpret_cast<const std::uint8_t*>(c.bytes.data()),
                           static_cast<int>(c.bytes.size()), out.data(), c.outSize, c.sep);
        ASSERT_EQ(count, static_cast<int>(c.text.size()));
        EXPECT_EQ(out.substr(0, c.text.size()), c.text);
        if (count < c.outSize) {
            EXPECT_EQ(out[count], '\0');
        }
        EXPECT_EQ(out.substr(static_cast<std::size_t>(c.outSize)), std::string(4, Guard));
    }
}

TEST(HexTextToBytesTest, PairsDigitsAndTreatsEverythingElseAsSeparator) {
    const struct {
        std::string_view text;
        int limit;
        std::string bytes;
    } cases[] = {
        {"12 34", -1, Bytes({0x12, 0x34})},
        {"123", -1, Bytes({0x12, 0x03})},
        {"1 2", -1, Bytes({0x01, 0x02})},
        {"0x1F", -1, Bytes({0x00, 0x1F})},
        {"1,2,AB", -1, Bytes({0x01, 0x02, 0xAB})},
        {"fF\r\naB", -1, Bytes({0xFF, 0xAB})},
        {"1\xC3\xA9"
         "2",
         -1, Bytes({0x01, 0x02})}, // UTF-8 bytes are separators
        {"zz", -1, ""},
        {"", -1, ""},
        {std::string_view("12\0"
                          "34",
                          5),
         -1, Bytes({0x12})},
        {"12 34 56", 2, Bytes({0x12, 0x34})},
        {"123", 1, Bytes({0x12})}, // the 3 would start a second byte
        {"1 2", 1, Bytes({0x01})},
        {"12", 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexToBytes(c.text, c.limit), c.bytes) << c.text << " limit " << c.limit;
}

TEST(HexTextToBytesTest, RoundTripsAMebibyteThroughBytesToHexText) {
    std::vector<std::uint8_t> data(1 << 20);
    std::mt19937 random(7);
    for (auto& b : data)
        b = static_cast<std::uint8_t>(random());
    for (const char sep : {' ', '\0'}) {
        std::string text(data.size() * 3, '\0');
        const int chars = BytesToHexText(data.data(), static_cast<int>(data.size()), text.data(),
                                         static_cast<int>(text.size()), sep);
        std::vector<std::uint8_t> back(data.size());
        ASSERT_EQ(HexTextToBytes(std::string_view(text.data(), chars), back.data(), -1),
                  static_cast<int>(data.size()));
        EXPECT_EQ(back, data) << "separator " << int(sep);
    }
}

TEST(HexTextToDecAndBinTextTest, RunsOfDigitsBecomeNumbersSeparatedByOneSpace) {
    const struct {
        std::string_view text;
        std::string_view dec;
        std::string_view bin;
    } cases[] = {
        {"1A 2", "26 2", "00011010 0010"},
        {"ff 10", "255 16", "11111111 00010000"},
        {"FFFFFFFF", "4294967295", "11111111111111111111111111111111"},
        {"  3,,-a ", "3 10 ", "0011 1010 "}, // leading separators skipped, one trailing space
        {"1FFFFFFFF", "4294967295", "000111111111111111111111111111111111"},
        {"zz", "", ""},
        {"", "", ""},
        {std::string_view("5\0"
                          "6",
                          3),
         "5", "0101"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string out(4 * c.text.size() + 1, '#');
        int count = HexTextToDecText(c.text, out.data());
        EXPECT_EQ(std::string_view(out.data(), std::strlen(out.data())), c.dec);
        EXPECT_EQ(count, static_cast<int>(c.dec.size()));
        out.assign(4 * c.text.size() + 1, '#');
        count = HexTextToBinText(c.text, out.data());
        EXPECT_EQ(std::string_view(out.data(), std::strlen(out.data())), c.bin);
        EXPECT_EQ(count, static_cast<int>(c.bin.size()));
    }
}

TEST(AppendChecksumTest, StoresSumOrNegativeSumInTheLastByte) {
    const struct {
        std::string bytes;
        int mode;
        int checksum;
    } cases[] = {
        {Bytes({0x01, 0x02, 0x03}), 1, 0x06},
        {Bytes({0x01, 0x02, 0x03}), 0, 0xFA},
        {Bytes({0x01, 0x02, 0x03}), 2, 0x06}, // any mode but 0 is the plain sum
        {Bytes({0xFF, 0xFF}), 1, 0xFE},
        {Bytes({0xFF, 0xFF}), 0, 0x02},
        {"", 0, 0x00},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> buf(c.bytes.begin(), c.bytes.end());
        buf.push_back(0x55);
        AppendChecksum(buf.data(), static_cast<int>(buf.size()), c.mode);
        EXPECT_EQ(buf.back(), c.checksum) << "mode " << c.mode << " size " << c.bytes.size();
    }
    std::uint8_t untouched = 0x55;
    AppendChecksum(&untouched, 0, 0);
    EXPECT_EQ(untouched, 0x55);
}

TEST(HexTokensToBytesTest, TokensBecomeLittleEndianNumbers) {
    const struct {
        std::string text;
        std::optional<std::string> bytes;
    } cases[] = {
        {"41 42", "AB"},
        {"1234", Bytes({0x34, 0x12})},
        {"12345", Bytes({0x45, 0x23, 0x01, 0x00})},
        {"12345678", Bytes({0x78, 0x56, 0x34, 0x12})},
        {"123456789", Bytes({0x78, 0x56, 0x34, 0x12, 0x09})}, // cut every 8 characters
        {"1  ff   333", Bytes({0x01, 0xFF, 0x33, 0x03})},
        {"", ""},
        {"   ", ""},
        {Repeat("41 ", 1000), std::string(1000, 'A')}, // longer than any scratch area
        {"/41", std::nullopt},
        {"41\r\n42", std::nullopt}, // only the space separates tokens
        {"41\t42", std::nullopt},
        {"4G", std::nullopt},
        {std::string("41\0", 3), std::nullopt},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> out(c.text.size());
        const auto count = HexTokensToBytes(c.text, out.data());
        ASSERT_EQ(count.has_value(), c.bytes.has_value()) << c.text;
        if (count) {
            EXPECT_EQ(AsString(out.data(), *count), *c.bytes) << c.text;
        }
    }
}

using Groups = std::vector<std::string>;

// Compares the sizes first so that a wrong cut in a long line reports briefly.
void ExpectGroups(const Groups& actual, const Groups& expected, std::string_view name) {
    std::vector<std::size_t> actualSizes, expectedSizes;
    for (const auto& g : actual)
        actualSizes.push_back(g.size());
    for (const auto& g : expected)
        expectedSizes.push_back(g.size());
    EXPECT_EQ(actualSizes, expectedSizes) << name;
    if (actualSizes == expectedSizes) {
        EXPECT_EQ(actual, expected) << name;
    }
}

// Every group ReadSendGroup cuts from the text, in order.
Groups SendGroups(std::string_view text, bool hex) {
    static GroupBuffer buf;
    Groups groups;
    int pos = 0;
    for (std::size_t calls = 0; calls <= text.size(); ++calls) {
        const int n = ReadSendGroup(text, pos, buf, hex);
        if (n <= 0) break;
        EXPECT_LE(n, MaxGroupBytes);
        if (!hex) {
            EXPECT_EQ(buf[n], 0) << "plain groups are zero-terminated";
        }
        groups.push_back(AsString(buf.data(), n));
    }
    return groups;
}

TEST(ReadSendGroupTest, CutsLinesIntoGroups) {
    const std::string x5000(5000, 'x');
    const struct {
        std::string_view name;
        std::string text;
        bool hex;
        Groups groups;
    } cases[] = {
        {"hex lines", "01 02\r\n03", true, {Bytes({1, 2}), Bytes({3})}},
        {"same as text", "01 02\r\n03", false, {"01 02\r\n", "03"}},
        {"odd digit", "A", true, {Bytes({0x0A})}},
        {"odd digits", "ABC", true, {Bytes({0xAB, 0x0C})}},
        {"blank hex line skipped", "01\r\n\r\n\n02\r\n", true, {Bytes({1}), Bytes({2})}},
        {"digitless hex line ends", "01\r\n  \r\n02", true, {Bytes({1})}},
        {"digitless first line", "zz\n01", true, {}},
        {"terminators", "a\rb\nc\r\nd\n\re", false, {"a\r", "b\n", "c\r\n", "d\n", "\r", "e"}},
        {"empty line keeps its end", "a\r\n\r\nb", false, {"a\r\n", "\r\n", "b"}},
        {"empty text", "", false, {}},
        {"empty hex text", "", true, {}},
        {"only line ends", "\r\n\n", true, {}},
        {"zero ends text", std::string("ab\0cd", 5), false, {"ab"}},
        {"zero ends hex", std::string("01\0 02", 6), true, {Bytes({1})}},
        {"UTF-8 passes through", "\xC3\xA9\n", false, {"\xC3\xA9\n"}},
        {"long line", x5000, false, {x5000.substr(0, 4096), x5000.substr(4096)}},
        {"long line with its end",
         std::string(4096, 'x') + "\r\ny",
         false,
         {std::string(4096, 'x') + "\r\n", "y"}},
        {"long hex line",
         Repeat("12", 5000),
         true,
         {std::string(4096, '\x12'), std::string(904, '\x12')}},
        {"long hex line, cut kept off a pair",
         " " + Repeat("12", 5000),
         true,
         {std::string(4095, '\x12'), std::string(905, '\x12')}},
    };
    for (const auto& c : cases)
        ExpectGroups(SendGroups(c.text, c.hex), c.groups, c.name);
}

TEST(ReadSendGroupTest, CursorOutsideTheTextGivesNoGroup) {
    static GroupBuffer buf;
    for (const bool hex : {false, true}) {
        for (int start : {-1, 5, 6, 1000}) {
            int pos = start;
            EXPECT_EQ(ReadSendGroup("01 02", pos, buf, hex), 0) << start;
            EXPECT_EQ(pos, start);
        }
    }
}

class ReadFileGroupTest : public TempDirTest {
protected:
    // Every group ReadFileGroup reads from a file holding `content`, in order.
    Groups fileGroups(const std::string& content, bool hex, std::int64_t pos = 0) {
        QFile file(path("data"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content.data(), static_cast<qint64>(content.size()));
        file.close();
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        Groups groups;
        for (std::size_t calls = 0; calls <= content.size(); ++calls) {
            const int n = ReadFileGroup(file, pos, m_buf, hex);
            if (n <= 0) {
                EXPECT_EQ(n, 0);
                break;
            }
            EXPECT_LE(n, MaxGroupBytes);
            groups.push_back(AsString(m_buf.data(), n));
        }
        return groups;
    }

    GroupBuffer m_buf{};
};

TEST_F(ReadFileGroupTest, PlainFileGoesInRawBlocks) {
    std::string content;
    std::mt19937 random(3);
    for (int i = 0; i < 10000; ++i)
        content.push_back(static_cast<char>(random())); // zeros, CR, LF and 0x80+ included
    const auto groups = fileGroups(content, false);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].size(), 4096u);
    EXPECT_EQ(groups[1].size(), 4096u);
    EXPECT_EQ(groups[0] + groups[1] + groups[2], content);
    EXPECT_TRUE(fileGroups("", false).empty());
}

TEST_F(ReadFileGroupTest, HexFileGoesLineByLine) {
    const struct {
        std::string_view name;
        std::string content;
        Groups groups;
    } cases[] = {
        {"line ends",
         "01 02\r\n\r\n03\n04\r05",
         {Bytes({1, 2}), Bytes({3}), Bytes({4}), Bytes({5})}},
        {"digitless line ends", "01\n\nzz\n02", {Bytes({1})}},
        {"zero ends", std::string("01\0 02", 6), {Bytes({1})}},
        {"only line ends", "\r\n\r\n", {}},
        {"line beyond 16384 characters",
         "AB" + std::string(20000, ' ') + "CD\nEF",
         {Bytes({0xAB, 0xCD}), Bytes({0xEF})}},
        {"more than 4097 pairs",
         Repeat("12 ", 5000),
         {std::string(4097, '\x12'), std::string(903, '\x12')}},
        {"pairs over several blocks",
         Repeat("34", 9000) + "\n56",
         {std::string(4097, '\x34'), std::string(4097, '\x34'), std::string(806, '\x34'),
          Bytes({0x56})}},
    };
    for (const auto& c : cases)
        ExpectGroups(fileGroups(c.content, true), c.groups, c.name);
}

TEST_F(ReadFileGroupTest, LongLineCutNeverSplitsAPair) {
    // Commas and tabs separate like spaces, so the cut must follow the real pairing.
    const std::string line = Repeat("1,,AB\t", 3000);
    const auto groups = fileGroups(line, true);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].size(), 4097u);
    EXPECT_EQ(groups[0] + groups[1], HexToBytes(line));
}

TEST_F(ReadFileGroupTest, StartsAtTheCursorWhereverTheDeviceIs) {
    EXPECT_EQ(fileGroups("01 02\n03", true, 3), (Groups{Bytes({2}), Bytes({3})}));
    EXPECT_EQ(fileGroups("abcdef", false, 4), Groups{"ef"});
    EXPECT_TRUE(fileGroups("abcdef", false, 6).empty());
}

TEST_F(ReadFileGroupTest, UnreadableDeviceIsAnErrorNotTheEnd) {
    QFile closed(path("missing"));
    std::int64_t pos = 0;
    EXPECT_EQ(ReadFileGroup(closed, pos, m_buf, false), -1);
    EXPECT_EQ(ReadFileGroup(closed, pos, m_buf, true), -1);
    EXPECT_EQ(pos, 0);
}

} // namespace
