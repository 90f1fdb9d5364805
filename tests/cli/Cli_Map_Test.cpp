#include "Cli_Run.h"
#include "image/Project_Fixture.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

class Cli_Map : public ::testing::Test {
protected:
    Cli_Map() { QDir().mkpath(folder.File("Plant")); }
    void Write(const char* name, const QString& xml) {
        Write_Text(folder.File("Plant/") + name, xml);
    }
    // DMX OUT with 24 channels: row 1 holds channels 1-4, row 2 bits 4-7 of channel 4, row 3
    // channels 24-25, past the count; row 4 is refused.
    void Write_Plant() {
        Write("ParGen.xml", Par_Gen_File({{"DMX_DMX", "1"},
                                          {"DMX_Num_Channels", "24"},
                                          {"Modbus_TCP_Master_TimeOut", "500"}}));
        Write("ModbusTCPM_SetAccess.xml",
              Access_File(Access_Row(Section::Read, {{"NPoint", "2"},
                                                     {"Position", "0"},
                                                     {"PollTime", "200"},
                                                     {"Mnemonic", "Dim"}}) +
                              Access_Row(Section::Read, {{"IP_Address", "10.0.0.2"},
                                                         {"Type", "Coil Status"},
                                                         {"NPoint", "4"},
                                                         {"Position", "3"},
                                                         {"Bit", "4"}}) +
                              Access_Row(Section::Read, {{"NPoint", "1"},
                                                         {"Address", "30"},
                                                         {"Position", "23"},
                                                         {"PollTime", "50"}}) +
                              Access_Row(Section::Read, {{"Slave_ID", "0"}}),
                          ""));
    }
    Cli_Result Map(QStringList options = {}) {
        return Run_Cli_Program(QStringList{"map", folder.File("Plant")} + options);
    }
    Temp_Folder folder;
};

TEST_F(Cli_Map, PrintsTheMapTheFindingsAndTheLoad) {
    Write_Plant();
    const Cli_Result result = Map();
    EXPECT_EQ(result.status, 1) << "an overlap is an error";
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(
        result.out,
        "Channel map of the read table (DMX OUT): channel count 24, 3 requests, 1 row left out\n"
        "Each cell: the row of the request that owns the channel; . no request (the DMX default "
        "value);\n"
        "!! overlap; + several requests; * beyond the channel count; - beyond the channel count, "
        "no request\n"
        "\n"
        "  1-16      1    1    1   !!    .    .    .    .    .    .    .    .    .    .    .    .\n"
        " 17-32      .    .    .    .    .    .    .    3   3*    -    -    -    -    -    -    -\n"
        " 33-512    - (beyond the channel count, no request)\n"
        "\n"
        "Findings: 2 errors, 1 warning, 1 information\n"
        "  error        Channel 4, bits 4-7: rows 1, 2 store into the same data; the later one "
        "wins\n"
        "  error        Left out of the map: Error row 4!! [Modbus Read] Slave ID must be between "
        "1 and 247\n"
        "  warning      Channel 25: row 3 lies beyond the channel count (24): the DMX line never "
        "carries these channels\n"
        "  information  Channels 5-23: no request, the DMX default value applies\n"
        "\n"
        "Load per slave (an estimate from the poll times; worst round = requests x reply "
        "time-out of 500 ms):\n"
        "  Slave                  Requests   Worst round  Requests/s\n"
        "  10.0.0.2:502                  1        500 ms  1.0\n"
        "  192.168.0.20:502              2       1000 ms  25.0\n"
        "All slaves: 3 requests, 26.0 requests/s; the cyclic delay of 100 ms between two "
        "requests allows at most 10.0 requests/s\n");
}

TEST_F(Cli_Map, PrintsOneJsonObject) {
    Write_Plant();
    const Cli_Result result = Map({"--json"});
    EXPECT_EQ(result.status, 1);
    QJsonParseError error;
    const QJsonObject map = QJsonDocument::fromJson(result.out.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_EQ(map["table"].toString(), "read");
    EXPECT_EQ(map["dmx"].toString(), "OUT");
    EXPECT_EQ(map["channel_count"].toInt(), 24);
    EXPECT_EQ(map["reply_timeout_ms"].toInt(), 500);
    EXPECT_EQ(map["errors"].toInt(), 2);
    EXPECT_EQ(map["requests"].toArray().size(), 3);
    EXPECT_EQ(map["requests"][1]["type"].toString(), "Coil Status");
    EXPECT_EQ(map["requests"][1]["start_bit"].toInt(), 4);
    EXPECT_EQ(map["requests"][2]["last_channel"].toInt(), 25);

    const QJsonArray channels = map["channels"].toArray();
    ASSERT_EQ(channels.size(), 512);
    const QJsonObject four = channels[3].toObject();
    EXPECT_EQ(four["channel"].toInt(), 4);
    EXPECT_TRUE(four["overlap"].toBool());
    ASSERT_EQ(four["owners"].toArray().size(), 2);
    EXPECT_EQ(four["owners"][0]["slot"].toInt(), 1);
    EXPECT_EQ(four["owners"][0]["mnemonic"].toString(), "Dim");
    EXPECT_FALSE(four["owners"][0].toObject().contains("bits")) << "a register";
    EXPECT_EQ(four["owners"][1]["bits"].toArray(), QJsonArray({4, 5, 6, 7}));
    EXPECT_EQ(channels[4]["default_value"].toInt(-1), 0);
    EXPECT_FALSE(channels[23]["beyond_count"].toBool());
    EXPECT_TRUE(channels[24]["beyond_count"].toBool());
    EXPECT_TRUE(channels[24]["default_value"].isNull()) << "no row beyond the count";

    const QJsonArray findings = map["findings"].toArray();
    ASSERT_EQ(findings.size(), 4);
    EXPECT_EQ(findings[0]["severity"].toString(), "error");
    EXPECT_EQ(findings[0]["kind"].toString(), "overlap");
    EXPECT_EQ(findings[0]["slots"].toArray(), QJsonArray({1, 2}));
    EXPECT_EQ(findings[0]["first_channel"].toInt(), 4);
    EXPECT_EQ(findings[0]["bits"].toArray(), QJsonArray({4, 5, 6, 7}));
    EXPECT_EQ(findings[1]["kind"].toString(), "refused_row");
    EXPECT_EQ(findings[1]["message"].toString(),
              "Error row 4!! [Modbus Read] Slave ID must be between 1 and 247");
    EXPECT_FALSE(findings[1].toObject().contains("first_channel"));
    EXPECT_EQ(findings[2]["kind"].toString(), "beyond_count");
    EXPECT_EQ(findings[3]["severity"].toString(), "information");
    EXPECT_EQ(findings[3]["text"].toString(),
              "Channels 5-23: no request, the DMX default value applies");

    const QJsonArray slaves = map["slaves"].toArray();
    ASSERT_EQ(slaves.size(), 2);
    EXPECT_EQ(slaves[1]["slave"].toString(), "192.168.0.20:502");
    EXPECT_EQ(slaves[1]["requests"].toInt(), 2);
    EXPECT_DOUBLE_EQ(slaves[1]["requests_per_second"].toDouble(), 25.0);
    EXPECT_EQ(slaves[1]["as_fast_as_possible"].toInt(), 0);
    EXPECT_EQ(slaves[1]["worst_round_ms"].toInt(), 1000);
}

TEST_F(Cli_Map, WarningsAloneAndTheWriteTablePass) {
    // DMX IN: two write requests send channel 1 to one register of one slave.
    Write("ParGen.xml", Par_Gen_Standard("0", "512", "0"));
    Write("ModbusTCPM_SetAccess.xml",
          Access_File(Access_Row(Section::Read, {{"Port", "bad"}}),
                      Access_Row(Section::Write, {{"NPoint", "1"}, {"Position", "0"}}) +
                          Access_Row(Section::Write,
                                     {{"NPoint", "1"}, {"Position", "0"}, {"PollTime", "0"}})));
    const Cli_Result result = Map();
    EXPECT_EQ(result.status, 0) << result.out.toStdString();
    EXPECT_TRUE(result.out.startsWith("Channel map of the write table (DMX IN): channel count "
                                      "512, 2 requests\n"));
    EXPECT_TRUE(result.out.contains("\n  1-16     1+   1+    .    .")) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains("  warning      192.168.0.20:502, slave ID 1, Holding "
                                    "Register 0: rows 1, 2 request the same slave data\n"));
    EXPECT_TRUE(result.out.contains("  192.168.0.20:502              2       2000 ms  1.0 + 1 as "
                                    "fast as possible\n"))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains("All slaves: 2 requests, 1.0 requests/s + 1 as fast as "
                                    "possible;"));
}

TEST_F(Cli_Map, AFolderWithoutFilesHasNoRequests) {
    const Cli_Result result = Map();
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.out.contains("Findings: 0 errors, 0 warnings, 1 information\n"
                                    "  information  Channels 1-512: no request, the DMX default "
                                    "value applies\n"));
    EXPECT_TRUE(result.out.endsWith("Load per slave: no requests\n"));
}

TEST_F(Cli_Map, AFileThatCannotBeReadFails) {
    Write("ModbusTCPM_SetAccess.xml", "<Modbus_TCP_Master_Rules><Modbus_Read>");
    const Cli_Result result = Map();
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.startsWith("ModbusTCPM_SetAccess.xml: ")) << result.err.toStdString();

    const Cli_Result missing = Run_Cli_Program({"map", folder.File("None")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains("does not exist"));
}

TEST_F(Cli_Map, WrongArgumentsGiveTheUsage) {
    for (const QStringList& arguments :
         {QStringList{"map"}, QStringList{"map", "a", "b"}, QStringList{"map", "a", "--all"}}) {
        const Cli_Result result = Run_Cli_Program(arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains("Usage: tessaro-cli map DIR [--json]"));
        EXPECT_TRUE(result.out.isEmpty());
    }
    const Cli_Result help = Run_Cli_Program({"map", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: tessaro-cli map DIR [--json]\n"));
    EXPECT_TRUE(Run_Cli_Program({"--help"}).out.contains("  map DIR [--json]"));
}

} // namespace
