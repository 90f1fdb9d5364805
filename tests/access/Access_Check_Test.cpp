#include "Access_Fixtures.h"
#include "access/Access_Check.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

using L = Access_Layout;
constexpr Access_Kind R = Access_Kind::Read;
constexpr Access_Kind W = Access_Kind::Write;

Lang_Table English() {
    Lang_Table lang;
    lang.Load_Default_Texts();
    return lang;
}

// The message of a failure in slot 1: entry 674, the slot, the rule's entry and the bound.
QString Error_Row_1(int entry, const char* bound = "") {
    return English().Text(674) + "1" + English().Text(entry) + bound;
}

struct Change {
    int L::*field;
    const char* text;
};

struct Row_Case {
    Access_Kind kind;
    std::vector<Change> changes; // applied to a valid row in slot 1
    QString message;             // "" when the row passes
};

void PrintTo(const Row_Case& c, std::ostream* os) {
    *os << (c.kind == R ? "read" : "write");
    for (const Change& change : c.changes)
        *os << " [" << change.text << "]";
}

class Access_Rules : public ::testing::TestWithParam<Row_Case> {};

TEST_P(Access_Rules, FirstFailingRuleIsReported) {
    const Row_Case& c = GetParam();
    Access_Table access;
    Request_Table& table = access.Table(c.kind);
    Set_Row(table, 1, c.kind == R ? Valid_Read_Row() : Valid_Write_Row());
    for (const Change& change : c.changes)
        table.Set_Field(1, table.Layout().*change.field, change.text);
    EXPECT_EQ(Controllo_dati(access, English()).value_or(""), c.message);
    // The full list starts with the same failure.
    const auto failures = All_Access_Failures(access, English());
    EXPECT_EQ(failures.empty() ? QString() : failures.front().message, c.message);
}

// A bit-type row: read Coil Status with NPoint, Position and Start Bit.
std::vector<Change> Bits(Access_Kind, const char* type, const char* npoint, const char* position,
                         const char* bit) {
    return {{&L::Type, type}, {&L::NPoint, npoint}, {&L::Position, position}, {&L::Bit, bit}};
}
std::vector<Change> Registers(const char* type, const char* npoint, const char* position) {
    return {{&L::Type, type}, {&L::NPoint, npoint}, {&L::Position, position}};
}

INSTANTIATE_TEST_SUITE_P(
    Byte_Fit, Access_Rules,
    ::testing::Values(Row_Case{R, Registers("Holding Register", "1", "510"), ""},
                      Row_Case{R, Registers("Holding Register", "1", "511"), Error_Row_1(685)},
                      Row_Case{R, Registers("Input Register", "125", "262"), ""},
                      Row_Case{R, Registers("Input Register", "125", "263"), Error_Row_1(685)},
                      Row_Case{R, Bits(R, "Coil Status", "8", "511", "0"), ""},
                      Row_Case{R, Bits(R, "Coil Status", "9", "511", "0"), Error_Row_1(685)},
                      Row_Case{R, Bits(R, "Input Status", "1", "511", "7"), ""},
                      Row_Case{R, Bits(R, "Input Status", "2", "511", "7"), Error_Row_1(685)},
                      Row_Case{R, Bits(R, "Coil Status", "2000", "261", "0"),
                               ""}, // 261 + 1999 div 8 = 510
                      Row_Case{W, Registers("Holding Register", "1", "510"), ""},
                      Row_Case{W, Registers("Holding Register", "123", "266"), ""},
                      Row_Case{W, Registers("Holding Register", "123", "267"), Error_Row_1(696)},
                      Row_Case{W, Bits(W, "Coil Status", "1", "511", "7"), ""},
                      Row_Case{W, Bits(W, "Coil Status", "2", "511", "7"), Error_Row_1(696)}));

INSTANTIATE_TEST_SUITE_P(
    Bounds, Access_Rules,
    ::testing::Values(
        Row_Case{R, Bits(R, "Coil Status", "2000", "0", "0"), ""},
        Row_Case{R, Bits(R, "Coil Status", "2001", "0", "0"), Error_Row_1(680, "2000")},
        Row_Case{R, Bits(R, "input status", "0", "0", "0"), Error_Row_1(680, "2000")},
        Row_Case{R, Registers("Holding Register", "125", "0"), ""},
        Row_Case{R, Registers("Holding Register", "126", "0"), Error_Row_1(680, "125")},
        Row_Case{W, Bits(W, "Coil Status", "1968", "0", "0"), ""},
        Row_Case{W, Bits(W, "Coil Status", "1969", "0", "0"), Error_Row_1(691, "1968")},
        Row_Case{W, Registers("Holding Register", "124", "0"), Error_Row_1(691, "123")},
        Row_Case{R, {{&L::PollTime, "0"}}, Error_Row_1(681)},
        Row_Case{R, {{&L::PollTime, "100000000"}}, ""},
        Row_Case{R, {{&L::PollTime, "100000001"}}, Error_Row_1(681)},
        Row_Case{W, {{&L::PollTime, "0"}}, ""},
        Row_Case{W, {{&L::PollTime, "-1"}}, Error_Row_1(692)},
        Row_Case{R, {{&L::Position, "512"}}, Error_Row_1(683, "511")},
        Row_Case{W, {{&L::Position, "512"}}, Error_Row_1(694, "511")},
        Row_Case{R, {{&L::Position, "-1"}}, Error_Row_1(683, "511")},
        Row_Case{R, {{&L::Port, ""}}, Error_Row_1(676)}, Row_Case{R, {{&L::Port, "65535"}}, ""},
        Row_Case{W, {{&L::Port, "65536"}}, Error_Row_1(687)},
        Row_Case{R, {{&L::Slave_ID, "0"}}, Error_Row_1(677)},
        Row_Case{W, {{&L::Slave_ID, "248"}}, Error_Row_1(688)},
        Row_Case{W, {{&L::Slave_ID, "247"}}, ""},
        Row_Case{R, {{&L::Address, "65536"}}, Error_Row_1(679)},
        Row_Case{W, {{&L::Address, "1 "}}, Error_Row_1(690)},
        Row_Case{R, {{&L::MaxError, ""}}, Error_Row_1(682)},
        Row_Case{W, {{&L::MaxError, "100000001"}}, Error_Row_1(693)},
        Row_Case{R, {{&L::Port, " +502"}}, ""}));

INSTANTIATE_TEST_SUITE_P(
    Type_And_Start_Bit, Access_Rules,
    ::testing::Values(Row_Case{R, {{&L::Type, ""}}, Error_Row_1(678)},
                      Row_Case{R, {{&L::Type, "Holding Register "}}, Error_Row_1(678)},
                      Row_Case{R, {{&L::Type, "Holding Registr"}}, Error_Row_1(678)},
                      Row_Case{R, {{&L::Type, "holding register"}}, ""},
                      Row_Case{W, {{&L::Type, "Input Status"}}, Error_Row_1(689)},
                      Row_Case{W, {{&L::Type, "Input Register"}}, Error_Row_1(689)},
                      Row_Case{W, Registers("HOLDING REGISTER", "1", "0"), ""},
                      Row_Case{R, Registers("Holding Register", "1", "0"), ""}, // empty Start Bit
                      Row_Case{R, {{&L::Bit, "abc"}}, ""},
                      Row_Case{R, Bits(R, "Coil Status", "1", "0", ""), Error_Row_1(684)},
                      Row_Case{R, Bits(R, "Input Status", "1", "0", "8"), Error_Row_1(684)},
                      Row_Case{R, Bits(R, "Coil Status", "1", "0", "-1"), Error_Row_1(684)},
                      Row_Case{R, Bits(R, "Coil Status", "1", "0", "abc"), Error_Row_1(684)},
                      Row_Case{R, Bits(R, "Coil Status", "1", "0", " 7"), ""},
                      Row_Case{W, Bits(W, "Coil Status", "1", "0", ""), Error_Row_1(695)},
                      Row_Case{W, Bits(W, "Coil Status", "1", "0", "8"), Error_Row_1(695)},
                      Row_Case{W, Registers("Holding Register", "1", "0"), ""}));

INSTANTIATE_TEST_SUITE_P(
    Addresses, Access_Rules,
    ::testing::Values(Row_Case{R, {{&L::IP_Address, "1.2.3"}}, Error_Row_1(675)},
                      Row_Case{R, {{&L::IP_Address, "1.2.3.4.5"}}, Error_Row_1(675)},
                      Row_Case{R, {{&L::IP_Address, "1..3.4"}}, Error_Row_1(675)},
                      Row_Case{R, {{&L::IP_Address, "1.2.3.256"}}, Error_Row_1(675)},
                      Row_Case{R, {{&L::IP_Address, "1.2.3.4 "}}, Error_Row_1(675)},
                      Row_Case{W, {{&L::IP_Address, "a.b.c.d"}}, Error_Row_1(686)},
                      Row_Case{R, {{&L::IP_Address, "  10.0.0.1"}}, ""},
                      Row_Case{W, {{&L::IP_Address, "255.255.255.255"}}, ""},
                      Row_Case{W, {{&L::IP_Address, "0.0.0.0"}}, ""}));

TEST(Access_Check, MessagesAreComposedWithoutSeparators) {
    Access_Table access;
    for (int slot = 1; slot <= 3; ++slot)
        Set_Row(access.Read, slot, Valid_Read_Row());
    access.Read.Set_Field(3, Layout_Of(R).Port, "x");
    EXPECT_EQ(Controllo_dati(access, English()),
              QString("Error row 3!! [Modbus Read] Port must be between 0 and 65535"));

    access.Reset_Access_Table();
    for (int slot = 1; slot <= 7; ++slot)
        Set_Row(access.Write, slot, Valid_Write_Row());
    access.Write.Set_Field(7, Layout_Of(W).Type, "Holding Register");
    access.Write.Set_Field(7, Layout_Of(W).NPoint, "124");
    EXPECT_EQ(Controllo_dati(access, English()),
              QString("Error row 7!! [Modbus Write] NPoint must be between 1 and 123"));

    // The texts come from the table at the moment of the check.
    Lang_Table other = English();
    other.Set_Text(674, "Fehler Zeile ");
    other.Set_Text(691, "NPoint max ");
    EXPECT_EQ(Controllo_dati(access, other), QString("Fehler Zeile 7NPoint max 123"));
}

TEST(Access_Check, OnlyEnabledRowsOfTheUsedPartAreChecked) {
    Access_Table access;
    EXPECT_EQ(Controllo_dati(access, English()), std::nullopt) << "empty tables";

    QStringList wrong = Valid_Read_Row();
    wrong[2] = "70000";
    Set_Row(access.Read, 1, wrong);
    for (const char* enable : {"N", "", "y", "YES"}) {
        access.Read.Set_Field(1, 1, enable);
        EXPECT_EQ(Controllo_dati(access, English()), std::nullopt) << enable;
    }
    access.Read.Set_Field(1, 1, " Y ");
    EXPECT_EQ(Controllo_dati(access, English()), Error_Row_1(676));

    // Past the first slot without an address nothing is checked, however wrong.
    access.Reset_Access_Table();
    Set_Row(access.Read, 1, Valid_Read_Row());
    access.Read.Set_Field(2, 2, " ");
    Set_Row(access.Read, 3, wrong);
    access.Write.Set_Field(1, 2, "");
    Set_Row(access.Write, 2, QStringList(15, "x"));
    EXPECT_EQ(Controllo_dati(access, English()), std::nullopt);
    EXPECT_TRUE(All_Access_Failures(access, English()).empty());
}

TEST(Access_Check, TheReadTableIsCheckedFirst) {
    // The write table is the one a DMX IN converter uses, but an error in the read table still
    // stops the save, and it is the one reported.
    Access_Table access;
    QStringList read = Valid_Read_Row();
    read[1] = "1.2.3";
    Set_Row(access.Read, 2, Valid_Read_Row());
    Set_Row(access.Read, 1, Valid_Read_Row());
    Set_Row(access.Read, 2, read);
    QStringList write = Valid_Write_Row();
    write[1] = "1.2.3";
    Set_Row(access.Write, 1, write);
    EXPECT_EQ(Controllo_dati(access, English()), English().Text(674) + "2" + English().Text(675));
}

TEST(Access_Check, ListsEveryFailureOfEveryRowInOrder) {
    Access_Table access;
    QStringList read = Valid_Read_Row();
    read[2] = "";    // Port
    read[7] = "0";   // Poll Time
    read[9] = "600"; // Position, and then the bytes do not fit
    Set_Row(access.Read, 1, read);
    Set_Row(access.Read, 2, Valid_Read_Row());
    QStringList write = Valid_Write_Row();
    write[4] = "Holding Registers";
    Set_Row(access.Write, 1, Valid_Write_Row());
    Set_Row(access.Write, 2, write);
    const auto failures = All_Access_Failures(access, English());
    std::vector<std::tuple<Access_Kind, int, int>> found;
    for (const Access_Failure& failure : failures)
        found.emplace_back(failure.table, failure.slot, failure.rule);
    EXPECT_EQ(found, (std::vector<std::tuple<Access_Kind, int, int>>{
                         {R, 1, 2}, {R, 1, 7}, {R, 1, 9}, {R, 1, 11}, {W, 2, 4}}));
    ASSERT_EQ(failures.size(), 5u);
    EXPECT_EQ(failures[2].message, Error_Row_1(683, "511"));
    EXPECT_EQ(failures[4].message, English().Text(674) + "2" + English().Text(689));
}

TEST(Access_Check, AddressesNeedFourNumbersFrom0To255) {
    const struct {
        const char* text;
        bool invalid;
    } cases[] = {{"", true},
                 {"1.2.3.4", false},
                 {" 1. 2. 3. 4", false},
                 {"1.2.3", true},
                 {"1.2.3.4.5", true},
                 {".1.2.3", true},
                 {"1.2.3.", true},
                 {"256.0.0.0", true},
                 {"1.2.3.-1", true},
                 {"1.2.3.4 ", true},
                 {"1.2.3.+4", false},
                 {"1,2,3,4", true},
                 {"01.002.3.4", false},
                 {"1.2.3.99999999999", true}};
    for (const auto& c : cases)
        EXPECT_EQ(Check_IP_Address(c.text), c.invalid) << '"' << c.text << '"';
}

} // namespace
