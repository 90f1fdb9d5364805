#include "platform/Int_Conv.h"
#include "platform/Text.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

struct Int_Case {
    const char* text;
    std::optional<std::int32_t> value;
};

void PrintTo(const Int_Case& c, std::ostream* os) {
    *os << "[" << c.text << "]";
}

class Int_Conversion : public ::testing::TestWithParam<Int_Case> {};

TEST_P(Int_Conversion, ConvertsOrRefuses) {
    const Int_Case& c = GetParam();
    EXPECT_EQ(Parse_Int(QString::fromUtf8(c.text)), c.value) << "text: [" << c.text << "]";
    EXPECT_EQ(To_Int(QString::fromUtf8(c.text), -7), c.value.value_or(-7));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Int_Conversion,
    ::testing::Values(Int_Case{"0", 0}, Int_Case{"512", 512}, Int_Case{"-1", -1},
                      Int_Case{"+25", 25}, Int_Case{"007", 7}, Int_Case{"   42", 42},
                      Int_Case{"2147483647", 2147483647},
                      Int_Case{"-2147483648", std::numeric_limits<std::int32_t>::min()},
                      // Refused: out of range, trailing blanks, tabs, empty, letters, hex.
                      Int_Case{"2147483648", std::nullopt}, Int_Case{"-2147483649", std::nullopt},
                      Int_Case{"99999999999999999999", std::nullopt}, Int_Case{"12 ", std::nullopt},
                      Int_Case{"\t12", std::nullopt}, Int_Case{"", std::nullopt},
                      Int_Case{"   ", std::nullopt}, Int_Case{"-", std::nullopt},
                      Int_Case{"+", std::nullopt}, Int_Case{"- 1", std::nullopt},
                      Int_Case{"12abc", std::nullopt}, Int_Case{"abc", std::nullopt},
                      Int_Case{"0x10", std::nullopt}, Int_Case{"$10", std::nullopt},
                      Int_Case{"1.5", std::nullopt}, Int_Case{"1e3", std::nullopt},
                      // Digits of other scripts are not decimal digits here.
                      Int_Case{"\xd9\xa3", std::nullopt}, Int_Case{"\xef\xbc\x91", std::nullopt}));

TEST(Int64_Conversion, CoversTheSixtyFourBitRange) {
    EXPECT_EQ(Parse_Int64("4294967296"), 4294967296LL);
    EXPECT_EQ(Parse_Int64("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(Parse_Int64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(Parse_Int64("9223372036854775808"), std::nullopt);
    EXPECT_EQ(To_Int64(" 100000000", 0), 100000000);
    EXPECT_EQ(To_Int64("x", 5), 5);
}

TEST(Trim_Text, RemovesBlanksAndControlCharactersOnly) {
    EXPECT_EQ(Trim_Text(QString::fromUtf8(" \t\r\n a b \x01\x1f")), "a b");
    // U+00A0 and U+2003 are not trimmed, unlike QString::trimmed.
    const QString nbsp = QString(QChar(0x00A0)) + "x" + QChar(0x2003);
    EXPECT_EQ(Trim_Text(nbsp), nbsp);
    EXPECT_EQ(Trim_Text("   "), "");
    EXPECT_EQ(Trim_Text(""), "");
}

} // namespace
