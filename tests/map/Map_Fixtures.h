#pragma once

#include "access/Access_Fixtures.h"
#include "map/Channel_Map.h"

#include <QStringList>

// Requests for the channel map tests: a valid row of the table with the fields that place it.
struct Placed_Row {
    const char* type = "Holding Register";
    const char* address = "0";
    const char* npoint = "1";
    const char* position = "0";
    const char* bit = "0";
    const char* ip = "192.168.1.10";
    const char* slave_id = "1";
    const char* poll = "100";
    const char* mnemonic = "";
};

inline void Place(Request_Table& table, int slot, const Placed_Row& p) {
    Set_Row(table, slot, table.Kind() == Access_Kind::Read ? Valid_Read_Row() : Valid_Write_Row());
    const Access_Layout& f = table.Layout();
    table.Set_Field(slot, f.Type, p.type);
    table.Set_Field(slot, f.Address, p.address);
    table.Set_Field(slot, f.NPoint, p.npoint);
    table.Set_Field(slot, f.Position, p.position);
    table.Set_Field(slot, f.Bit, p.bit);
    table.Set_Field(slot, f.IP_Address, p.ip);
    table.Set_Field(slot, f.Slave_ID, p.slave_id);
    table.Set_Field(slot, f.PollTime, p.poll);
    table.Set_Field(slot, f.Mnemonic, p.mnemonic);
}

inline Lang_Table English_Texts() {
    Lang_Table lang;
    lang.Load_Default_Texts();
    return lang;
}

// Settings for a table and a channel count, every default value 0.
inline Map_Settings Settings_For(Access_Kind table, int channel_count = Map_Channel_Count) {
    Map_Settings settings;
    settings.table = table;
    settings.channel_count = channel_count;
    settings.Set_Defaults(DMX_Default_Table::With_Channels(channel_count));
    return settings;
}
