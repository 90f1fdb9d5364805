#include "lang/Lang_Table.h"

#include <gtest/gtest.h>

namespace {

TEST(Default_Texts, FillAThousandEntriesWithBlanksBetween) {
    Lang_Table table;
    table.Load_Default_Texts();
    ASSERT_EQ(table.Lang_Count(), 1000);
    // The commissioning tools keep their own texts in 700-799 and 903-999; the configurator's
    // 302 texts lie among the other 803 entries.
    int blanks = 0;
    for (int i = 0; i < 1000; ++i)
        if (!((i >= 700 && i <= 799) || i >= 903))
            blanks += table[i] == " ";
    EXPECT_EQ(blanks, 803 - 302);
    EXPECT_EQ(table[27], " ");
    EXPECT_EQ(table[999], " ");
    EXPECT_EQ(table[-1], "");
    EXPECT_EQ(table[1000], "");
}

TEST(Default_Texts, KeepTheirBlanksExactly) {
    Lang_Table table;
    table.Load_Default_Texts();
    const std::pair<int, const char*> samples[] = {
        {0, "Begin"},
        {9, "None Configuration Opened "},
        {10, "Use Step1 to open or create new configuration"},
        {11, "Opened Configuration of the Converter : "},
        {18, "Error! Project not Valid"},
        {26, "Update the actual Firmware and/or Configuration in the device"},
        {105, "Error! Name project is not valid"},
        {107, "Error! Name Project is not valid"},
        {202, "List of Avaliable Configurations"},
        {306, " / "},
        {317, " to "},
        {404, " DMX "},
        {443, "Insert the communication Port to use with the Modbus TCP protocol (defaul = 502)"},
        {445, " Modbus TCP Master "},
        {507, "Error row "},
        {680, "!! [Modbus Read] NPoint must be between 1 and "},
        {697, "Are you sure to delete the Row number "},
        {829, "Serch Velmora Device in Network"},
        {837, "Error!!! Check the Ip Address"},
        {902, "Error!!! Copy a valid row before Paste it"},
    };
    for (const auto& [index, text] : samples)
        EXPECT_EQ(table[index], QString::fromUtf8(text)) << "entry " << index;
}

TEST(Default_Texts, ReloadingDiscardsEveryChange) {
    Lang_Table table;
    table.Load_Default_Texts();
    table.Set_Text(12, "Info");
    table.Set_Text(5000, "ignored");
    table.Load_Default_Texts();
    EXPECT_EQ(table[12], "Information");
    EXPECT_EQ(table.Lang_Count(), 1000);
}

} // namespace
