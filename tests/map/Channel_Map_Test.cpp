#include "Map_Fixtures.h"
#include "platform/Error.h"
#include "support/Test_Files.h"

#include <gtest/gtest.h>
#include <ostream>
#include <tuple>
#include <vector>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

constexpr Access_Kind R = Access_Kind::Read;
constexpr Access_Kind W = Access_Kind::Write;

Channel_Map Map_Of(const Access_Table& access, const Map_Settings& settings) {
    return Build_Channel_Map(access, settings, English_Texts());
}

std::vector<const Map_Finding*> Of_Kind(const Channel_Map& map, Map_Finding_Kind kind) {
    std::vector<const Map_Finding*> found;
    for (const Map_Finding& f : map.findings)
        if (f.kind == kind)
            found.push_back(&f);
    return found;
}

// An overlap as first channel, last channel, colliding bits and rows.
using Overlap = std::tuple<int, int, int, std::vector<int>>;

struct Overlap_Case {
    const char* name;
    Placed_Row a; // slot 1
    Placed_Row b; // slot 2
    std::vector<Overlap> overlaps;
};

TEST(Channel_Map, OverlapRulesOfTheReadTable) {
    const Overlap_Case cases[] = {
        {"two registers share one byte",
         {.npoint = "2", .position = "0"},
         {.position = "3"},
         {{4, 4, 0xFF, {1, 2}}}},
        {"adjacent registers", {.npoint = "2", .position = "0"}, {.position = "4"}, {}},
        {"a bit and a register in one byte",
         {.type = "Coil Status", .position = "5", .bit = "0"},
         {.position = "4"},
         {{6, 6, 0x01, {1, 2}}}},
        {"bits 0-3 and 4-7 of one byte",
         {.type = "Coil Status", .npoint = "4", .position = "10", .bit = "0"},
         {.type = "Input Status", .npoint = "4", .position = "10", .bit = "4"},
         {}},
        {"bits 3-4 and 4-5 of one byte",
         {.type = "Coil Status", .npoint = "2", .position = "10", .bit = "3"},
         {.type = "Coil Status", .npoint = "2", .position = "10", .bit = "4"},
         {{11, 11, 0x10, {1, 2}}}},
        {"bits running on into the next byte",
         {.type = "Coil Status", .npoint = "4", .position = "30", .bit = "6"},
         {.type = "Input Status", .position = "31", .bit = "1"},
         {{32, 32, 0x02, {1, 2}}}},
        {"the same registers twice: one run of channels",
         {.npoint = "3", .position = "20"},
         {.npoint = "3", .position = "20"},
         {{21, 26, 0xFF, {1, 2}}}},
    };
    for (const Overlap_Case& c : cases) {
        SCOPED_TRACE(c.name);
        Access_Table access;
        Place(access.Read, 1, c.a);
        Place(access.Read, 2, c.b);
        const Channel_Map map = Map_Of(access, Settings_For(R));
        ASSERT_EQ(map.requests.size(), 2u);
        std::vector<Overlap> found;
        for (const Map_Finding* f : Of_Kind(map, Map_Finding_Kind::Overlap)) {
            EXPECT_EQ(f->severity, Map_Severity::Error);
            found.emplace_back(f->first_channel, f->last_channel, f->bits, f->slot_numbers);
        }
        EXPECT_EQ(found, c.overlaps);
        EXPECT_EQ(map.Has_Errors(), !c.overlaps.empty());
        // Exactly the channels named are marked.
        for (int channel = 1; channel <= Map_Channel_Count; ++channel) {
            bool named = false;
            for (const Overlap& o : c.overlaps)
                named |= channel >= std::get<0>(o) && channel <= std::get<1>(o);
            EXPECT_EQ(map.Channel(channel).overlap, named) << channel;
        }
    }
}

TEST(Channel_Map, PlacesEachRequestOnItsChannelsAndBits) {
    Access_Table access;
    Place(access.Read, 1, {.type = "Coil Status", .npoint = "14", .position = "7", .bit = "5"});
    Place(access.Read, 2, {.npoint = "2", .position = "0"});
    const Channel_Map map = Map_Of(access, Settings_For(R));
    // Bits 5..7 of byte 7, all of byte 8, bits 0..2 of byte 9: channels 8 to 10.
    const std::pair<int, int> bits[] = {{8, 0xE0}, {9, 0xFF}, {10, 0x07}};
    for (const auto& [channel, mask] : bits) {
        const auto owners = map.Owners(channel);
        ASSERT_EQ(owners.size(), 1u) << channel;
        EXPECT_EQ(map.Request_Of(owners[0]).slot, 1);
        EXPECT_EQ(owners[0].bits, mask) << channel;
    }
    EXPECT_TRUE(map.Owners(7).empty());
    EXPECT_TRUE(map.Owners(11).empty());
    for (int channel = 1; channel <= 4; ++channel) {
        ASSERT_EQ(map.Owners(channel).size(), 1u);
        EXPECT_EQ(map.Owners(channel)[0].bits, 0xFF);
    }
    EXPECT_EQ(map.First_Channel_Of_Slot(1), 8);
    EXPECT_EQ(map.First_Channel_Of_Slot(2), 1);
    EXPECT_EQ(map.First_Channel_Of_Slot(3), 0);
}

TEST(Channel_Map, RequestsBeyondTheChannelCount) {
    struct Case {
        const char* name;
        Placed_Row row;
        int first, last; // 0: no finding
    };
    const Case cases[] = {
        {"a register ending at the count", {.position = "22"}, 0, 0},
        {"a register one byte past it", {.position = "23"}, 25, 25},
        {"bits ending at the count",
         {.type = "Coil Status", .npoint = "8", .position = "23", .bit = "0"},
         0,
         0},
        {"bits one past it",
         {.type = "Coil Status", .npoint = "9", .position = "23", .bit = "0"},
         25,
         25},
        {"all of it beyond", {.npoint = "3", .position = "100"}, 101, 106},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Access_Table access;
        Place(access.Read, 1, c.row);
        const Channel_Map map = Map_Of(access, Settings_For(R, 24));
        const auto beyond = Of_Kind(map, Map_Finding_Kind::Beyond_Count);
        if (c.first == 0) {
            EXPECT_TRUE(beyond.empty());
            continue;
        }
        ASSERT_EQ(beyond.size(), 1u);
        EXPECT_EQ(beyond[0]->severity, Map_Severity::Warning);
        EXPECT_EQ(beyond[0]->slot_numbers, std::vector<int>{1});
        EXPECT_EQ(beyond[0]->first_channel, c.first);
        EXPECT_EQ(beyond[0]->last_channel, c.last);
        EXPECT_FALSE(map.Has_Errors()) << "a warning only";
    }
    EXPECT_FALSE(Map_Of(Access_Table(), Settings_For(R, 24)).Channel(24).beyond_count);
    EXPECT_TRUE(Map_Of(Access_Table(), Settings_For(R, 24)).Channel(25).beyond_count);

    Access_Table access;
    Place(access.Read, 1, {.position = "23"});
    const Channel_Map map = Map_Of(access, Settings_For(R, 24));
    const auto beyond = Of_Kind(map, Map_Finding_Kind::Beyond_Count);
    ASSERT_EQ(beyond.size(), 1u);
    EXPECT_EQ(beyond[0]->text, "Channel 25: row 1 lies beyond the channel count (24): the DMX "
                               "line never carries these channels");
}

TEST(Channel_Map, UncoveredChannelsBelowTheCountAreRanges) {
    Access_Table access;
    Place(access.Read, 1, {.npoint = "8", .position = "0"});     // channels 1-16
    Place(access.Read, 2, {.position = "32", .ip = "10.0.0.2"}); // 33-34
    Place(access.Read, 3, {.position = "40", .ip = "10.0.0.3"}); // 41-42, beyond
    const Channel_Map map = Map_Of(access, Settings_For(R, 36));
    QStringList uncovered;
    for (const Map_Finding* f : Of_Kind(map, Map_Finding_Kind::Uncovered)) {
        EXPECT_EQ(f->severity, Map_Severity::Information);
        uncovered.append(f->text);
    }
    EXPECT_EQ(uncovered,
              QStringList({"Channels 17-32: no request, the DMX default value applies",
                           "Channels 35-36: no request, the DMX default value applies"}));
    EXPECT_EQ(map.findings.back().kind, Map_Finding_Kind::Uncovered) << "information comes last";

    const Channel_Map empty = Map_Of(Access_Table(), Settings_For(R, 1));
    ASSERT_EQ(empty.findings.size(), 1u);
    EXPECT_EQ(empty.findings[0].text, "Channel 1: no request, the DMX default value applies");
}

TEST(Channel_Map, WriteRequestsMayShareAByteButNotTheSameSlaveData) {
    Access_Table access;
    // Two requests send channel 2, to different registers: no finding.
    Place(access.Write, 1, {.address = "100", .npoint = "2", .position = "0"});
    Place(access.Write, 2, {.address = "200", .position = "1"});
    // Slot 3 writes register 101 again, from channels 9-10; slot 4 the same addresses of
    // another unit, slot 5 coils at the same address.
    Place(access.Write, 3, {.address = "101", .npoint = "2", .position = "8"});
    Place(access.Write, 4, {.address = "100", .position = "20", .slave_id = "2"});
    Place(access.Write, 5, {.type = "Coil Status", .address = "100", .position = "30"});
    // Slot 6 reads register 99-100 of slot 1's slave: chained to slot_numbers 1 and 3.
    Place(access.Write, 6, {.address = "99", .npoint = "2", .position = "40"});
    const Channel_Map map = Map_Of(access, Settings_For(W));
    EXPECT_TRUE(Of_Kind(map, Map_Finding_Kind::Overlap).empty());
    EXPECT_EQ(map.Owners(2).size(), 2u);
    EXPECT_FALSE(map.Channel(2).overlap);
    EXPECT_FALSE(map.Has_Errors());

    const auto same = Of_Kind(map, Map_Finding_Kind::Same_Slave_Data);
    ASSERT_EQ(same.size(), 1u);
    EXPECT_EQ(same[0]->severity, Map_Severity::Warning);
    EXPECT_EQ(same[0]->slot_numbers, std::vector<int>({1, 3, 6}));
    EXPECT_EQ(same[0]->slave, "192.168.1.10:502");
    EXPECT_EQ(same[0]->slave_id, 1);
    EXPECT_EQ(same[0]->type, "Holding Register");
    EXPECT_EQ(same[0]->first_address, 100);
    EXPECT_EQ(same[0]->last_address, 101);
    EXPECT_EQ(same[0]->text, "192.168.1.10:502, slave ID 1, Holding Register 100-101: rows 1, "
                             "3, 6 request the same slave data");

    // In the read table the same bytes collide.
    Access_Table read;
    Place(read.Read, 1, {.address = "100", .position = "0"});
    Place(read.Read, 2, {.address = "200", .position = "1"});
    const Channel_Map read_map = Map_Of(read, Settings_For(R));
    EXPECT_EQ(Of_Kind(read_map, Map_Finding_Kind::Overlap).size(), 1u);
}

TEST(Channel_Map, TakesOnlyTheTableTheDeviceUses) {
    Access_Table access;
    Place(access.Read, 1, {.position = "0"});
    Place(access.Write, 1, {.npoint = "4", .position = "100"});
    Place(access.Write, 2, {.npoint = "4", .position = "100", .ip = "10.1.1.1"});
    const Channel_Map read = Map_Of(access, Settings_For(R));
    ASSERT_EQ(read.requests.size(), 1u);
    EXPECT_EQ(read.requests[0].table, R);
    const Channel_Map write = Map_Of(access, Settings_For(W));
    ASSERT_EQ(write.requests.size(), 2u);
    EXPECT_EQ(write.Owners(101).size(), 2u);
    EXPECT_TRUE(write.Owners(1).empty());
}

TEST(Channel_Map, RefusedRowsAreListedAndLeftOut) {
    Access_Table access;
    Place(access.Read, 1, {.position = "0"});
    Place(access.Read, 2, {.position = "10"});
    access.Read.Set_Field(2, access.Read.Layout().Port, "");
    Place(access.Read, 3, {.position = "511"}); // a register needs two bytes
    Place(access.Read, 4, {.position = "20"});
    access.Read.Set_Field(4, access.Read.Layout().Enable, "N"); // disabled: simply not there
    const Channel_Map map = Map_Of(access, Settings_For(R));
    ASSERT_EQ(map.requests.size(), 1u);
    EXPECT_TRUE(map.Owners(11).empty());
    EXPECT_TRUE(map.Owners(512).empty());
    EXPECT_TRUE(map.Owners(21).empty());
    const auto refused = Of_Kind(map, Map_Finding_Kind::Refused_Row);
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused[0]->severity, Map_Severity::Error);
    EXPECT_EQ(refused[0]->slot_numbers, std::vector<int>{2});
    EXPECT_EQ(refused[0]->text, "Left out of the map: Error row 2!! [Modbus Read] Port must be "
                                "between 0 and 65535");
    EXPECT_EQ(refused[1]->slot_numbers, std::vector<int>{3});
    EXPECT_EQ(refused[1]->message, "Error row 3!! [Modbus Read] Too many bytes to save starting "
                                   "from the Position indicate");
    EXPECT_EQ(refused[1]->first_channel, 0);
    EXPECT_TRUE(map.Has_Errors());
}

TEST(Channel_Map, LoadPerSlaveIsAnEstimateFromThePollTimes) {
    Access_Table access;
    Place(access.Write, 1, {.position = "0", .ip = "10.0.0.9", .poll = "100"});
    Place(access.Write, 2, {.position = "2", .ip = "10.0.0.1", .poll = "250"});
    Place(access.Write, 3, {.position = "4", .ip = "10.0.0.9", .poll = "0"});
    Place(access.Write, 4, {.position = "6", .ip = "10.0.0.9", .poll = "400"});
    Place(access.Write, 5, {.position = "8", .ip = "10.0.0.1", .poll = "0"});
    access.Write.Set_Field(5, access.Write.Layout().Port, "1502");
    Map_Settings settings = Settings_For(W);
    settings.timeout_ms = 700;
    const Channel_Map map = Map_Of(access, settings);
    ASSERT_EQ(map.slaves.size(), 3u);
    const struct {
        const char* name;
        int requests;
        double rate;
        int fast;
        int worst;
        const char* rate_text;
    } expected[] = {
        {"10.0.0.1:502", 1, 4.0, 0, 700, "4.0"},
        {"10.0.0.1:1502", 1, 0.0, 1, 700, "as fast as possible"},
        {"10.0.0.9:502", 3, 12.5, 1, 2100, "12.5 + 1 as fast as possible"},
    };
    for (size_t i = 0; i < 3; ++i) {
        const Slave_Load& load = map.slaves[i];
        EXPECT_EQ(load.Name(), expected[i].name);
        EXPECT_EQ(load.requests, expected[i].requests);
        EXPECT_DOUBLE_EQ(load.requests_per_second, expected[i].rate);
        EXPECT_EQ(load.as_fast_as_possible, expected[i].fast);
        EXPECT_EQ(load.worst_round_ms, expected[i].worst);
        EXPECT_EQ(Rate_Text(load), expected[i].rate_text);
    }
}

TEST(Channel_Map, DescribesAChannelWithItsOwnersAndTheirAddresses) {
    Access_Table access;
    Place(access.Read, 1,
          {.type = "Input Status",
           .address = "200",
           .npoint = "6",
           .position = "4",
           .bit = "6",
           .mnemonic = "Doors"});
    Place(access.Read, 2, {.address = "40", .npoint = "3", .position = "5", .mnemonic = "Dim"});
    Map_Settings settings = Settings_For(R, 100);
    DMX_Default_Table defaults = DMX_Default_Table::With_Channels(100);
    defaults.Rows[5].Default_Value = "128";
    defaults.Rows[5].Mnemonic = "Spot 2";
    defaults.Rows[6].Default_Value = "300";
    settings.Set_Defaults(defaults);
    const Channel_Map map = Map_Of(access, settings);
    // Channel 6 is byte 5: bits 0..3 of the inputs (inputs 202..205) and the high byte of
    // register 40.
    EXPECT_EQ(Channel_Description(map, 6, English_Texts()), "Channel 6\n"
                                                            "Row 1: Doors\n"
                                                            "    Input Status 202-205, bits 0-3\n"
                                                            "Row 2: Dim\n"
                                                            "    Holding Register 40\n"
                                                            "Overlap\n"
                                                            "Default value 128 (Spot 2)");
    EXPECT_EQ(Channel_Description(map, 5, English_Texts()),
              "Channel 5\nRow 1: Doors\n    Input Status 200-201, bits 6-7\nDefault value 0");
    EXPECT_EQ(Channel_Description(map, 7, English_Texts()),
              "Channel 7\nRow 2: Dim\n    Holding Register 40")
        << "no valid default value";
    EXPECT_EQ(Channel_Description(map, 101, English_Texts()),
              "Channel 101\nBeyond the channel count");
    EXPECT_EQ(map.Channel(7).default_value, -1);
    EXPECT_EQ(map.Channel(6).default_value, 128);
}

TEST(Channel_Map, FindingsTakeTheirTextsFromTheStringTable) {
    Lang_Table lang = English_Texts();
    lang.Set_Text(705, "Kanäle ");
    lang.Set_Text(708, ": Zeilen ");
    lang.Set_Text(710, " schreiben in dieselben Daten");
    Access_Table access;
    Place(access.Read, 1, {.npoint = "2", .position = "0"});
    Place(access.Read, 2, {.npoint = "2", .position = "0", .ip = "10.0.0.1"});
    const Channel_Map map = Build_Channel_Map(access, Settings_For(R), lang);
    ASSERT_FALSE(map.findings.empty());
    EXPECT_EQ(map.findings[0].text, "Kanäle 1-4: Zeilen 1, 2 schreiben in dieselben Daten");
}

TEST(Channel_Map, TextFormShowsTheOwnersSixteenChannelsALine) {
    Access_Table access;
    Place(access.Read, 1, {.npoint = "2", .position = "0"});
    Place(access.Read, 2, {.position = "3", .ip = "10.0.0.1"});
    Place(access.Read, 12, {});
    Place(access.Read, 3, {.position = "30", .ip = "10.0.0.2"});
    const Channel_Map map = Map_Of(access, Settings_For(R, 31));
    const QStringList lines = Channel_Map_Grid_Text(map).split('\n');
    EXPECT_TRUE(lines.contains("  1-16      1    1    1   !!    2    .    .    .    .    .    ."
                               "    .    .    .    .    ."));
    EXPECT_TRUE(lines.contains(" 17-32      .    .    .    .    .    .    .    .    .    .    ."
                               "    .    .    .    3   3*"));
    EXPECT_TRUE(lines.contains(" 33-512    - (beyond the channel count, no request)"));
    EXPECT_EQ(lines.size(), 4 + 3 + 1) << "heading, three lines, the end";
}

TEST(Channel_Map, SettingsAreReadFromTheFilesAsTheEditorsReadThem) {
    Temp_Folder folder;
    const QString pargen = folder.File("ParGen.xml");
    const QString dmx = folder.File("DMX_Default_Values.xml");
    Map_Settings settings = Load_Map_Settings(pargen, dmx);
    EXPECT_EQ(settings.table, R);
    EXPECT_EQ(settings.channel_count, 512);
    EXPECT_EQ(settings.timeout_ms, 1000);
    EXPECT_EQ(settings.default_values[511], 0);

    Write_Text(pargen, "<Par_Gen><DMX_DMX>0</DMX_DMX><DMX_Num_Channels>30</DMX_Num_Channels>"
                       "<Modbus_TCP_Master_TimeOut>250</Modbus_TCP_Master_TimeOut>"
                       "<Modbus_TCP_Master_Cyclic>x</Modbus_TCP_Master_Cyclic></Par_Gen>");
    Write_Text(dmx, "<DMX_Default_Values><Row Default_Value=\"7\" Mnemonic=\"a\"/>"
                    "<Row Default_Value=\"x\"/><Row Mnemonic=\"c\"/></DMX_Default_Values>");
    settings = Load_Map_Settings(pargen, dmx);
    EXPECT_EQ(settings.table, W);
    EXPECT_EQ(settings.channel_count, 30);
    EXPECT_EQ(settings.timeout_ms, 250);
    EXPECT_EQ(settings.cyclic_ms, 100) << "not a number: its default";
    EXPECT_EQ(settings.default_values[0], 7);
    EXPECT_EQ(settings.default_values[1], -1);
    EXPECT_EQ(settings.default_values[2], 0);
    EXPECT_EQ(settings.default_values[29], 0);
    EXPECT_EQ(settings.default_values[30], -1) << "no row beyond the count";

    Write_Text(dmx, "<DMX_Default_Values><Row></DMX_Default_Values>");
    try {
        Load_Map_Settings(pargen, dmx);
        ADD_FAILURE() << "no error";
    } catch (const Tessaro_Error& error) {
        EXPECT_TRUE(error.Message().startsWith("DMX_Default_Values.xml: ")) << error.what();
    }
}

} // namespace
