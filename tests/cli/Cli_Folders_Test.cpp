// tessaro-cli finds a configuration by its name in the configurator's PROJECTS folder: beside the
// executable of a program folder, in the per-user data folder of an installed program.

#include "Cli_Run.h"
#include "image/Project_Fixture.h"
#include "support/Installed_Tree.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// Copies the built tessaro-cli into folder.
QString Copy_Cli(const QString& folder) {
    const QString copy = folder + "/tessaro-cli";
    EXPECT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(QFile::copy(QStringLiteral(TESSARO_CLI), copy));
    QFile::setPermissions(copy, QFile::permissions(QStringLiteral(TESSARO_CLI)));
    return copy;
}

void Write_Configuration(const QString& dir) {
    Write_Text(dir + "/ParGen.xml", Par_Gen_Standard("1", "512", "1"));
    Write_Text(dir + "/ModbusTCPM_SetAccess.xml", Access_File(Access_Row(Section::Read), ""));
    Write_Text(dir + "/DMX_Default_Values.xml", DMX_File({"7", "200"}));
}

TEST(Cli_Folders, ANameIsAConfigurationOfTheProgramFolderOrOfTheDataFolder) {
    Installed_Tree tree;
    Temp_Folder portable;
    Temp_Folder elsewhere;
    const QList<std::pair<QString, QString>> env = {{"XDG_DATA_HOME", tree.Data_Home()},
                                                    {"HOME", tree.Root() + "/home"}};
    const struct {
        const char* name;
        QString program;
        QString projects;
        QString data_folder_line; // what --help says of the folders
    } cases[] = {
        {"program folder", Copy_Cli(portable.File("Tessaro")), portable.File("Tessaro/PROJECTS"),
         "  program folder; configurations and settings beside the executable\n  " +
             portable.File("Tessaro") + "\n"},
        {"installed program", Copy_Cli(tree.Bin()), tree.Data() + "/PROJECTS",
         "  installed program; configurations and settings in the data folder\n  " + tree.Data() +
             "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Write_Configuration(c.projects + "/Hall A");
        const Cli_Result compiled =
            Run_Program(c.program, {"compile", "Hall A"}, elsewhere.Path(), env);
        ASSERT_EQ(compiled.status, 0) << compiled.err.toStdString();
        EXPECT_EQ(compiled.out.toStdString(),
                  (c.projects + "/Hall A/bin/bank.bin: 35328 bytes written\n").toStdString());
        EXPECT_EQ(Read_Bytes(c.projects + "/Hall A/bin/bank.bin").size(), 35328);

        const Cli_Result checked =
            Run_Program(c.program, {"check", "Hall A"}, elsewhere.Path(), env);
        EXPECT_EQ(checked.status, 0) << checked.out.toStdString() << checked.err.toStdString();
        EXPECT_EQ(checked.out.toStdString(),
                  "ParGen.xml: OK\nDMX_Default_Values.xml: OK\nModbusTCPM_SetAccess.xml: OK\n");

        // A name that is no configuration keeps the message it always had.
        const Cli_Result missing =
            Run_Program(c.program, {"check", "Hall B"}, elsewhere.Path(), env);
        EXPECT_EQ(missing.status, 1);
        EXPECT_EQ(missing.err.toStdString(),
                  "tessaro-cli check: the configuration folder \"Hall B\" does not exist\n");

        const Cli_Result help = Run_Program(c.program, {"--help"}, elsewhere.Path(), env);
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(help.out.contains("\nFolders:\n" + c.data_folder_line))
            << help.out.toStdString();
        EXPECT_TRUE(help.out.contains("  " + c.projects + "\n")) << help.out.toStdString();
    }
    // The installed program put nothing beside its executable.
    EXPECT_EQ(tree.Bin_Entries(), QStringList{"tessaro-cli"});
}

TEST(Cli_Folders, AnExistingPathIsTakenAsItIs) {
    Temp_Folder portable;
    const QString program = Copy_Cli(portable.File("Tessaro"));
    Write_Configuration(portable.File("Tessaro/PROJECTS/Hall A"));
    Temp_Folder work;
    // "Hall A" in the working folder names a folder there, not the configuration.
    Write_Configuration(work.File("Hall A"));
    Write_Text(work.File("Hall A/DMX_Default_Values.xml"), "not xml");
    const Cli_Result checked = Run_Program(program, {"check", "Hall A"}, work.Path());
    EXPECT_EQ(checked.status, 1);
    EXPECT_TRUE(checked.out.contains("DMX_Default_Values.xml: ")) << checked.out.toStdString();
    EXPECT_FALSE(checked.out.contains("DMX_Default_Values.xml: OK"));
}

} // namespace
