#include "access/Device_Requests.h"

#include "Access_Fixtures.h"

#include <gtest/gtest.h>

namespace {

Lang_Table English() {
    Lang_Table lang;
    lang.Load_Default_Texts();
    return lang;
}

} // namespace

TEST(Device_Requests, ConvertsTheEnabledRowsOfTheUsedPartInSlotOrder) {
    Request_Table read(Access_Kind::Read);
    Set_Row(read, 1,
            {" y ", " 10.0. 0.7", "1502", "17", "input status", "100", "11", "250", "4", "510", "5",
             "Y", "Door contacts"});
    Set_Row(read, 2, Valid_Read_Row());
    read.Set_Field(2, read.Layout().Enable, "N"); // disabled: not a request
    Set_Row(read, 3, Valid_Read_Row());
    read.Set_Field(3, read.Layout().Swap, "y"); // a read row swaps only for exactly "Y"
    Set_Row(read, 5, Valid_Read_Row());         // after the end of the used part

    const Device_Request_List list = Device_Requests(read, English());
    EXPECT_EQ(list.table, Access_Kind::Read);
    EXPECT_TRUE(list.refused.empty());
    ASSERT_EQ(list.requests.size(), 1u) << "Enable \" y \" is not ticked in the editor";

    Set_Row(read, 1,
            {"Y", " 10.0. 0.7", "1502", "17", "input status", "100", "11", "250", "4", "510", "5",
             "Y", "Door contacts"});
    const Device_Request_List again = Device_Requests(read, English());
    ASSERT_EQ(again.requests.size(), 2u);
    const Device_Request& bits = again.requests[0];
    EXPECT_EQ(bits.slot, 1);
    EXPECT_EQ(bits.ip_address, "10.0.0.7");
    EXPECT_EQ(bits.ip_word, 0x0A000007u);
    EXPECT_EQ(bits.port, 1502);
    EXPECT_EQ(bits.slave_id, 17);
    EXPECT_EQ(bits.type, "INPUT STATUS");
    EXPECT_TRUE(bits.bit_type);
    EXPECT_EQ(bits.function_code, 2);
    EXPECT_EQ(bits.address, 100);
    EXPECT_EQ(bits.npoint, 11);
    EXPECT_EQ(bits.poll_time, 250);
    EXPECT_EQ(bits.max_error, 4);
    EXPECT_EQ(bits.position, 510);
    EXPECT_EQ(bits.start_bit, 5);
    EXPECT_EQ(bits.Last_Byte(), 512 - 1) << "bits 5 to 15: the rest of byte 510 and all of 511";
    EXPECT_EQ(bits.mnemonic, "Door contacts");

    const Device_Request& registers = again.requests[1];
    EXPECT_EQ(registers.slot, 3);
    EXPECT_EQ(registers.function_code, 3);
    EXPECT_FALSE(registers.bit_type);
    EXPECT_FALSE(registers.swap);
    EXPECT_EQ(registers.start_bit, 0);
    EXPECT_EQ(registers.Last_Byte(), 19) << "ten registers from byte 0";
}

TEST(Device_Requests, WriteRowsTakeTheImageFunctionCodesAndFlags) {
    struct Case {
        const char* type;
        const char* npoint;
        int function_code;
        bool bit_type;
    };
    const Case cases[] = {
        {"Coil Status", "1", 5, true},
        {"Coil Status", "9", 15, true},
        {"Holding Register", "1", 6, false},
        {"holding register", "3", 16, false},
    };
    for (const Case& c : cases) {
        Request_Table write(Access_Kind::Write);
        Set_Row(write, 1, Valid_Write_Row());
        const Access_Layout& f = write.Layout();
        write.Set_Field(1, f.Type, c.type);
        write.Set_Field(1, f.NPoint, c.npoint);
        write.Set_Field(1, f.OnCMD, "y");
        write.Set_Field(1, f.Swap, "y");
        const Device_Request_List list = Device_Requests(write, English());
        ASSERT_EQ(list.requests.size(), 1u) << c.type;
        const Device_Request& r = list.requests[0];
        EXPECT_EQ(r.function_code, c.function_code) << c.type << " " << c.npoint;
        EXPECT_EQ(r.bit_type, c.bit_type) << c.type;
        EXPECT_TRUE(r.on_change);
        EXPECT_TRUE(r.on_cmd);
        EXPECT_TRUE(r.swap) << "a write row's Swap is upper-cased";
    }
}

TEST(Device_Requests, ARefusedRowIsListedWithTheEditorsMessageAndNotConverted) {
    Request_Table read(Access_Kind::Read);
    Set_Row(read, 1, Valid_Read_Row());
    Set_Row(read, 2, Valid_Read_Row());
    read.Set_Field(2, read.Layout().Position, "511"); // a register needs two bytes
    Set_Row(read, 3, Valid_Read_Row());
    read.Set_Field(3, read.Layout().Port, "");

    const Device_Request_List list = Device_Requests(read, English());
    ASSERT_EQ(list.requests.size(), 1u);
    EXPECT_EQ(list.requests[0].slot, 1);
    ASSERT_EQ(list.refused.size(), 2u);
    EXPECT_EQ(list.refused[0].slot, 2);
    EXPECT_EQ(list.refused[0].rule, 11);
    EXPECT_EQ(list.refused[0].message,
              "Error row 2!! [Modbus Read] Too many bytes to save starting from the Position "
              "indicate");
    EXPECT_EQ(list.refused[1].slot, 3);
    EXPECT_EQ(list.refused[1].message,
              "Error row 3!! [Modbus Read] Port must be between 0 and 65535");
}
