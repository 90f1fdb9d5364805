#include "update/Ip_Address.h"

#include <gtest/gtest.h>

namespace {

TEST(Split_IP_Text, SplitsADottedAddressIntoTheTextsOfTheFourBoxes) {
    const struct {
        const char* text;
        bool ok;
        std::array<const char*, 4> parts;
    } cases[] = {
        {"192.168.2.205", true, {"192", "168", "2", "205"}},
        {"  10 . 0 .0 . 7  ", true, {"10", "0", "0", "7"}},
        {"010.001.000.255", true, {"010", "001", "000", "255"}}, // leading zeros kept
        {"+1.-0.0.0", true, {"+1", "-0", "0", "0"}},
        {"0.0.0.256", false, {"0", "0", "0", "256"}},
        {"1.2.3.-1", false, {"1", "2", "3", "-1"}},
        {"192.168.a.1", false, {"192", "168", "a", "1"}},
        {"1.2.3.4.5", false, {"1", "2", "3", "4.5"}}, // further points stay in the fourth part
        {"1..3.4", false, {"1", "", "3", "4"}},
        {"1.2.3.", false, {"1", "2", "3", ""}},
        {"1 2.3.4.5", false, {"1 2", "3", "4", "5"}},
    };
    for (const auto& c : cases) {
        const Split_IP split = Split_IP_Text(QString::fromLatin1(c.text));
        EXPECT_EQ(split.ok, c.ok) << c.text;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(split.parts[i], QString::fromLatin1(c.parts[i])) << c.text << " part " << i;
    }
}

TEST(Split_IP_Text, ATextWithFewerThanThreePointsDoesNotSplit) {
    for (const char* text : {"", "192", "192.168", "192.168.2", " . . ", "192.168.2 "}) {
        const Split_IP split = Split_IP_Text(QString::fromLatin1(text));
        EXPECT_FALSE(split.ok) << text;
    }
}

} // namespace
