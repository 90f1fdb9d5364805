#include "Cli_Run.h"
#include "image/Project_Fixture.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

class Cli_Diff : public ::testing::Test {
protected:
    // DMX OUT with two read requests, the first named "Hall lights", and three DMX channels.
    void Write_Plant(const QString& name, const char* timeout = "1000",
                     const QString& extra_rows = "", const char* position = "40",
                     const char* channel_7 = "0") {
        const QString dir = folder.File(name);
        QDir().mkpath(dir);
        Write_Text(dir + "/ParGen.xml",
                   Par_Gen_Standard("1", "512", "1")
                       .replace("<Modbus_TCP_Master_TimeOut>1000<",
                                QStringLiteral("<Modbus_TCP_Master_TimeOut>%1<").arg(timeout)));
        Write_Text(dir + "/ModbusTCPM_SetAccess.xml",
                   Access_File(Access_Row(Section::Read,
                                          {{"Mnemonic", "Hall lights"}, {"Position", position}}) +
                                   Access_Row(Section::Read, {{"Position", "60"}}) + extra_rows,
                               ""));
        Write_Text(dir + "/DMX_Default_Values.xml",
                   DMX_File({"0", "0", "0", "0", "0", "0", channel_7}));
    }
    Temp_Folder folder;
};

TEST_F(Cli_Diff, EqualConfigurationsGiveNoLineAndStatusZero) {
    Write_Plant("A");
    Write_Plant("B");
    const Cli_Result folders = Run_Cli_Program({"diff", folder.File("A"), folder.File("B")});
    EXPECT_EQ(folders.status, 0) << folders.err.toStdString();
    EXPECT_EQ(folders.out, "");
    EXPECT_EQ(folders.err, "");
    // The compare compiles in memory: the folders stay as they were.
    EXPECT_FALSE(QFileInfo::exists(folder.File("A/bin")));
    EXPECT_FALSE(QFileInfo::exists(folder.File("B/bin")));

    ASSERT_EQ(Run_Cli_Program({"compile", folder.File("A")}).status, 0);
    for (const QStringList& pair : {QStringList{folder.File("A"), folder.File("A/bin/bank.bin")},
                                    QStringList{folder.File("A/bin/bank.bin"), folder.File("B")}}) {
        const Cli_Result result = Run_Cli_Program(QStringList{"diff"} + pair);
        EXPECT_EQ(result.status, 0) << result.out.toStdString() << result.err.toStdString();
        EXPECT_EQ(result.out, "");
    }
    const Cli_Result json =
        Run_Cli_Program({"diff", folder.File("A/bin/bank.bin"), folder.File("B"), "--json"});
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out, "[]\n");
}

TEST_F(Cli_Diff, TellsEachDifferenceByMeaning) {
    Write_Plant("A");
    Write_Plant("B", "1500", Access_Row(Section::Read, {{"Position", "80"}, {"Mnemonic", "Foyer"}}),
                "42", "255");
    const Cli_Result result = Run_Cli_Program({"diff", folder.File("A"), folder.File("B")});
    EXPECT_EQ(result.status, 1) << result.err.toStdString();
    EXPECT_EQ(result.out, "settings: Modbus_TCP_Master_TimeOut 1000 -> 1500\n"
                          "settings: Request_Count 2 -> 3\n"
                          "request 0 (Hall lights): Position 40 -> 42\n"
                          "request 2 (Foyer): only in B\n"
                          "DMX channel 7 default 0 -> 255\n");
    EXPECT_EQ(result.err, "");

    // The other way round, and against B's image, which knows no names.
    EXPECT_EQ(Run_Cli_Program({"diff", folder.File("B"), folder.File("A")}).out,
              "settings: Modbus_TCP_Master_TimeOut 1500 -> 1000\n"
              "settings: Request_Count 3 -> 2\n"
              "request 0 (Hall lights): Position 42 -> 40\n"
              "request 2 (Foyer): only in A\n"
              "DMX channel 7 default 255 -> 0\n");
    ASSERT_EQ(Run_Cli_Program({"compile", folder.File("B"), "-o", folder.File("b.bin")}).status, 0);
    const Cli_Result image = Run_Cli_Program({"diff", folder.File("b.bin"), folder.File("A")});
    EXPECT_EQ(image.status, 1);
    EXPECT_TRUE(image.out.contains("request 0 (Hall lights): Position 42 -> 40\n"));
    EXPECT_TRUE(image.out.contains("request 2: only in A\n")) << image.out.toStdString();
}

TEST_F(Cli_Diff, JsonListsTheSameDifferences) {
    Write_Plant("A");
    Write_Plant("B", "1500", Access_Row(Section::Read, {{"Position", "80"}}), "42", "255");
    const Cli_Result result =
        Run_Cli_Program({"diff", "--json", folder.File("A"), folder.File("B")});
    EXPECT_EQ(result.status, 1);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(result.out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << result.out.toStdString();
    const QJsonArray list = document.array();
    ASSERT_EQ(list.size(), 5) << result.out.toStdString();
    const auto object = [](const char* section, const char* item, const char* field, QJsonValue a,
                           QJsonValue b) {
        return QJsonObject{
            {"section", section}, {"item", item}, {"field", field}, {"a", a}, {"b", b}};
    };
    EXPECT_EQ(list[0].toObject(),
              object("settings", "", "Modbus_TCP_Master_TimeOut", "1000", "1500"));
    EXPECT_EQ(list[2].toObject(), object("request", "0 (Hall lights)", "Position", "40", "42"));
    EXPECT_EQ(list[3].toObject(), object("request", "2", "", QJsonValue::Null, "present"));
    EXPECT_EQ(list[4].toObject(), object("dmx", "7", "default", "0", "255"));
}

TEST_F(Cli_Diff, FilesTheEditorsRefuseAreComparedInTheirImage) {
    // Compiles (the compiler needs no Mnemonic), but the access editor refuses it.
    Write_Plant("A");
    Write_Plant("B");
    Write_Text(folder.File("B/ModbusTCPM_SetAccess.xml"),
               Access_File(Access_Row(Section::Read, {{"Mnemonic", nullptr}, {"Position", "40"}}) +
                               Access_Row(Section::Read, {{"Position", "60"}}),
                           ""));
    const Cli_Result result = Run_Cli_Program({"diff", folder.File("A"), folder.File("B")});
    EXPECT_EQ(result.status, 0) << result.out.toStdString();
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(result.err.startsWith("tessaro-cli diff: the differences outside the image are "
                                      "left out: " +
                                      QDir::toNativeSeparators(folder.File("B")) +
                                      ": ModbusTCPM_SetAccess.xml: Modbus_Read row 1: attribute "
                                      "Mnemonic is missing\n"))
        << result.err.toStdString();
}

TEST_F(Cli_Diff, WrongUsageAndUnreadableInputsGiveStatusTwo) {
    Write_Plant("A");
    QDir().mkpath(folder.File("Broken"));
    Write_Text(folder.File("Broken/ModbusTCPM_SetAccess.xml"),
               Access_File(Access_Row(Section::Read, {{"Slave_ID", nullptr}}), ""));
    Write_Bytes(folder.File("short.bin"), QByteArray(1000, '\0'));
    const QString a = folder.File("A");
    const struct {
        QStringList arguments;
        QString message; // the start of standard error
    } cases[] = {
        {{"diff", a}, "tessaro-cli diff: two configurations are needed, A and B\n\nUsage:"},
        {{"diff", a, a, a}, "tessaro-cli diff: unexpected argument"},
        {{"diff", a, a, "--brief"}, "tessaro-cli diff: unexpected argument \"--brief\""},
        {{"diff", a, folder.File("Nowhere")},
         "tessaro-cli diff: " + QDir::toNativeSeparators(folder.File("Nowhere")) +
             ": no such folder or file\n"},
        {{"diff", folder.File("short.bin"), a},
         "tessaro-cli diff: " + QDir::toNativeSeparators(folder.File("short.bin")) +
             ": not a configuration image: 1000 bytes, an image has 35328\n"},
        {{"diff", a, folder.File("Broken")},
         "tessaro-cli diff: " + QDir::toNativeSeparators(folder.File("Broken")) +
             ": ModbusTCPM_SetAccess.xml: Modbus_Read row 1: Slave_ID is missing\n"},
    };
    for (const auto& c : cases) {
        const Cli_Result result = Run_Cli_Program(c.arguments);
        EXPECT_EQ(result.status, 2) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(result.err.startsWith(c.message)) << result.err.toStdString();
    }
    const Cli_Result help = Run_Cli_Program({"diff", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: tessaro-cli diff A B [--json]\n"));
    EXPECT_TRUE(Run_Cli_Program({"--help"}).out.contains("  diff A B [--json]"));
}

} // namespace
