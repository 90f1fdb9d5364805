#include "Live_Rows.h"
#include "access/Access_File.h"
#include "live/Live_Setup.h"
#include "platform/Error.h"
#include "support/Test_Files.h"

#include <gtest/gtest.h>

namespace {

QString Par_Gen(const QString& children) {
    return QStringLiteral("<Par_Gen>%1</Par_Gen><!--SW_VERSION = 1.001-->").arg(children);
}

TEST(Live_Setup, TimingComesFromParGenWithTheCompilersFallbacks) {
    Temp_Folder folder;
    const QString path = folder.File("ParGen.xml");
    const struct {
        const char* children; // nullptr: no file
        int timeout;
        int cyclic;
    } cases[] = {
        {nullptr, 1000, 100},
        {"", 1000, 100},
        {"<Modbus_TCP_Master_TimeOut>250</Modbus_TCP_Master_TimeOut>"
         "<Modbus_TCP_Master_Cyclic>0</Modbus_TCP_Master_Cyclic>",
         250, 0},
        {"<Modbus_TCP_Master_TimeOut>abc</Modbus_TCP_Master_TimeOut>"
         "<Modbus_TCP_Master_Cyclic>1 0</Modbus_TCP_Master_Cyclic>",
         1000, 100},
        {"<Modbus_TCP_Master_TimeOut>-5</Modbus_TCP_Master_TimeOut>"
         "<Modbus_TCP_Master_Cyclic>99999</Modbus_TCP_Master_Cyclic>",
         0, 10000},
    };
    for (const auto& c : cases) {
        QFile::remove(path);
        if (c.children)
            Write_Text(path, Par_Gen(QString::fromUtf8(c.children)));
        const Live_Timing timing = Load_Live_Timing(path);
        EXPECT_EQ(timing.timeout_ms, c.timeout) << (c.children ? c.children : "no file");
        EXPECT_EQ(timing.cyclic_ms, c.cyclic) << (c.children ? c.children : "no file");
    }
    // A time-out below the shortest one waited is waited as that.
    EXPECT_EQ((Live_Timing{0, 0}.Effective_Timeout()), Live_Timing::Min_Timeout_Ms);
    EXPECT_EQ((Live_Timing{250, 0}.Effective_Timeout()), 250);

    Write_Text(path, "<Par_Gen>");
    EXPECT_THROW(Load_Live_Timing(path), Tessaro_Error);
}

TEST(Live_Setup, TheDataArrayStartsAsTheDMXDefaultValues) {
    Temp_Folder folder;
    const QString pargen = folder.File("ParGen.xml");
    const QString values = folder.File("DMX_Default_Values.xml");
    Write_Text(pargen, Par_Gen("<DMX_Num_Channels>3</DMX_Num_Channels>"));
    // The fourth row lies beyond the channel count.
    Write_Text(values, "<DMX_Default_Values><Row Default_Value=\"12\" Mnemonic=\"\"/>"
                       "<Row Default_Value=\"300\" Mnemonic=\"\"/><Row Default_Value=\"x\" "
                       "Mnemonic=\"\"/><Row Default_Value=\"9\" Mnemonic=\"\"/>"
                       "</DMX_Default_Values>");
    const Data_Array data = Load_Live_Defaults(pargen, values);
    EXPECT_EQ(data[0], 12);
    EXPECT_EQ(data[1], 44); // the low 8 bits, as in the image
    EXPECT_EQ(data[2], 0);
    EXPECT_EQ(data[3], 0);
}

TEST(Live_Setup, TheTableOfTheDMXRoleIsRunAndRefusedRowsAreListed) {
    Temp_Folder folder;
    Access_Table access;
    access.Reset_Access_Table();
    Put_Row(access.Read, 1, Read_Row({.port = 1502, .mnemonic = "read"}));
    Put_Row(access.Write, 1, Write_Row({.port = 1503, .mnemonic = "first"}));
    Put_Row(access.Write, 2, Write_Row({.port = 1503, .npoint = 124})); // too many registers
    Put_Row(access.Write, 3, Write_Row({.port = 1504, .mnemonic = "third"}));
    Save_Access_File(folder.File("ModbusTCPM_SetAccess.xml"), access);
    Write_Text(folder.File("ParGen.xml"), Par_Gen("<DMX_DMX>0</DMX_DMX>"));

    Lang_Table lang;
    lang.Load_Default_Texts();
    const Live_Setup setup = Load_Live_Setup(folder.Path(), lang);
    EXPECT_EQ(setup.list.table, Access_Kind::Write);
    ASSERT_EQ(setup.list.requests.size(), 2u);
    EXPECT_EQ(setup.list.requests[0].mnemonic, "first");
    EXPECT_EQ(setup.list.requests[1].slot, 3);
    ASSERT_EQ(setup.list.refused.size(), 1u);
    EXPECT_EQ(setup.list.refused[0].slot, 2);
    EXPECT_EQ(setup.list.refused[0].message,
              "Error row 2!! [Modbus Write] NPoint must be between 1 and 123");

    Write_Text(folder.File("ModbusTCPM_SetAccess.xml"), "<Modbus_TCP_Master_Rules>");
    EXPECT_THROW(Load_Live_Setup(folder.Path(), lang), Tessaro_Error);
}

} // namespace
