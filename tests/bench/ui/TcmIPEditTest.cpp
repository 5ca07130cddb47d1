#include "bench/ui/TcmIPEdit.h"

#include <gtest/gtest.h>

TEST(TcmIPEdit, SetIPstrParsesStrictDottedQuads) {
    struct Case {
        const char* in;
        const char* shown;
    } cases[] = {
        {"192.168.1.20", "192.168.1.20"}, {"0.0.0.0", "0.0.0.0"},
        {"255.255.255.255", "255.255.255.255"}, {"256.1.1.1", "0.0.0.0"},
        {"1.2.3", "0.0.0.0"},           {"1.2.3.4.5", "0.0.0.0"},
        {"1..2.3", "0.0.0.0"},          {"a.b.c.d", "0.0.0.0"},
        {" 1.2.3.4", "0.0.0.0"},        {"", "0.0.0.0"},
        {"1.2.3.-4", "0.0.0.0"},        {"1000.2.3.4", "0.0.0.0"},
    };
    TcmIPEdit box;
    for (const Case& c : cases) {
        box.SetIPstr(c.in);
        EXPECT_EQ(box.GetIPstr(), c.shown) << c.in;
    }
}

TEST(TcmIPEdit, IPdataKeepsTheFirstOctetInTheLowestByte) {
    TcmIPEdit box;
    box.SetIPstr("10.1.2.3");
    EXPECT_EQ(box.IPdata(), 0x0302010Au);
    box.SetIP(0x0100007Fu);
    EXPECT_EQ(box.GetIPstr(), "127.0.0.1");
}

TEST(TcmIPEdit, EmptyBoxGivesEmptyTextAndBlankOctetsReadAsZero) {
    TcmIPEdit box;
    EXPECT_EQ(box.GetIPstr(), "");
    EXPECT_EQ(box.IPdata(), 0u);
    box.setText("10.20");
    EXPECT_EQ(box.GetIPstr(), "10.20.0.0");
}
