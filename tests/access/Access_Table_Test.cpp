#include "access/Access_Table.h"

#include <gtest/gtest.h>

namespace {

// Fills every field of a slot with a text that names the slot and the field.
void Fill(Request_Table& table, int slot) {
    for (int field = 1; field <= table.Field_Count(); ++field)
        table.Set_Field(slot, field, QStringLiteral("s%1f%2").arg(slot).arg(field));
}

void Fill_All(Request_Table& table) {
    for (int slot = 1; slot <= Access_Slot_Count; ++slot)
        Fill(table, slot);
}

QStringList Filled_Row(const Request_Table& table, int slot) {
    QStringList row;
    for (int field = 1; field <= table.Field_Count(); ++field)
        row.append(QStringLiteral("s%1f%2").arg(slot).arg(field));
    return row;
}

QStringList Empty_Row(const Request_Table& table) {
    return QStringList(table.Field_Count(), QString());
}

QStringList Reset_Row(const Request_Table& table) {
    QStringList row = Empty_Row(table);
    row[0] = "Y";
    return row;
}

} // namespace

// Test names read "Read" and "Write" rather than the enumerator's bytes.
inline void PrintTo(Access_Kind kind, std::ostream* os) {
    *os << (kind == Access_Kind::Read ? "Read" : "Write");
}

namespace {

class Both_Tables : public ::testing::TestWithParam<Access_Kind> {
protected:
    Access_Table access;
    Request_Table& table = access.Table(GetParam());
};

INSTANTIATE_TEST_SUITE_P(Access, Both_Tables,
                         ::testing::Values(Access_Kind::Read, Access_Kind::Write));

TEST(Access_Table_Layout, FieldsFollowTheColumnAndAttributeOrder) {
    QStringList read, write;
    for (const Access_Field& field : Access_Fields(Access_Kind::Read))
        read.append(field.attribute);
    for (const Access_Field& field : Access_Fields(Access_Kind::Write))
        write.append(field.attribute);
    EXPECT_EQ(read.join(' '), "Enable IP_Address Port Slave_ID Type Address NPoint PollTime "
                              "MaxError Position Bit Swap Mnemonic");
    EXPECT_EQ(write.join(' '), "Enable IP_Address Port Slave_ID Type Address NPoint PollTime "
                               "OnChange OnCMD MaxError Position Bit Swap Mnemonic");
    EXPECT_EQ(Layout_Of(Access_Kind::Write).OnCMD, 10);
    EXPECT_EQ(Layout_Of(Access_Kind::Write).MaxError, 11);
    EXPECT_EQ(Layout_Of(Access_Kind::Read).MaxError, 9);
    EXPECT_EQ(Layout_Of(Access_Kind::Read).OnChange, -1);
}

TEST_P(Both_Tables, ResetLeavesEveryRowEmptyButEnabled) {
    Fill_All(table);
    access.Reset_Access_Table();
    for (int slot = 1; slot <= Access_Slot_Count; ++slot)
        ASSERT_EQ(table.Row(slot), Reset_Row(table)) << slot;
    EXPECT_EQ(table.Used_Count(), 0);
    EXPECT_EQ(table.Column_Count(), GetParam() == Access_Kind::Read ? 14 : 16);
}

TEST_P(Both_Tables, TheUsedPartEndsAtTheFirstBlankAddress) {
    const int ip = table.Layout().IP_Address;
    for (const char* end : {"", " ", "  \t "}) {
        access.Reset_Access_Table();
        for (int slot : {1, 2, 3, 5})
            table.Set_Field(slot, ip, "10.0.0.1");
        table.Set_Field(4, ip, end);
        EXPECT_EQ(table.Used_Count(), 3) << '"' << end << '"';
    }
    for (int slot = 1; slot <= Access_Slot_Count; ++slot)
        table.Set_Field(slot, ip, " x ");
    EXPECT_EQ(table.Used_Count(), 512);
}

TEST_P(Both_Tables, OnlyATrimmedYEnablesARow) {
    const struct {
        const char* text;
        bool enabled;
    } cases[] = {{"Y", true}, {" Y\t", true}, {"y", false},  {"N", false},
                 {"", false}, {"YY", false},  {"Y N", false}};
    for (const auto& c : cases) {
        table.Set_Field(7, table.Layout().Enable, c.text);
        EXPECT_EQ(table.Is_Enabled(7), c.enabled) << '"' << c.text << '"';
    }
}

TEST_P(Both_Tables, InsertRowMovesEveryFieldDownAndDropsTheLastSlot) {
    Fill_All(table);
    access.Insert_Row(1, GetParam());
    EXPECT_EQ(table.Row(1), Empty_Row(table)); // Enable empty too: the new row is not ticked
    for (int slot = 2; slot <= Access_Slot_Count; ++slot)
        ASSERT_EQ(table.Row(slot), Filled_Row(table, slot - 1)) << slot;

    Fill_All(table);
    access.Insert_Row(512, GetParam());
    EXPECT_EQ(table.Row(511), Filled_Row(table, 511));
    EXPECT_EQ(table.Row(512), Empty_Row(table));
}

TEST_P(Both_Tables, DeleteRowMovesEveryFieldUpAndEmptiesTheLastSlot) {
    Fill_All(table);
    access.Delete_Row(3, GetParam());
    EXPECT_EQ(table.Row(2), Filled_Row(table, 2));
    for (int slot = 3; slot < Access_Slot_Count; ++slot)
        ASSERT_EQ(table.Row(slot), Filled_Row(table, slot + 1)) << slot;
    EXPECT_EQ(table.Row(512), Empty_Row(table));

    Fill_All(table);
    access.Delete_Row(512, GetParam());
    EXPECT_EQ(table.Row(511), Filled_Row(table, 511));
    EXPECT_EQ(table.Row(512), Empty_Row(table));
}

TEST_P(Both_Tables, SlotsOutsideTheTableAreIgnored) {
    Fill_All(table);
    for (int slot : {0, -1, 513}) {
        access.Insert_Row(slot, GetParam());
        access.Delete_Row(slot, GetParam());
        table.Set_Field(slot, 1, "x");
        EXPECT_EQ(table.Field(slot, 1), "");
    }
    table.Set_Field(1, table.Field_Count() + 1, "x");
    EXPECT_EQ(table.Field(1, 0), "");
    for (int slot = 1; slot <= Access_Slot_Count; ++slot)
        ASSERT_EQ(table.Row(slot), Filled_Row(table, slot)) << slot;
}

} // namespace
