#include "state/Configurations.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QDirIterator>
#include <QSet>
#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <dirent.h>
#endif

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

class New_Configuration_Folder : public ::testing::Test {
protected:
    New_Configuration_Folder() {
        state.Exe_Dir = folder.Path();
        state.Projects_Dir = folder.File("PROJECTS");
        QDir().mkpath(state.Projects_Dir);
    }
    // Every path under the temporary folder, so that a test sees anything created anywhere.
    QStringList Tree() const {
        QStringList paths;
        QDirIterator it(folder.Path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            paths.append(it.next());
        paths.sort();
        return paths;
    }

    Temp_Folder folder;
    App_State state;
};

TEST_F(New_Configuration_Folder, CreatesTheFolderWithBinAndOpensIt) {
    EXPECT_EQ(Create_New_Project_Folder(state, "Plant 7"), New_Project_Result::Created);
    EXPECT_TRUE(QDir(folder.File("PROJECTS/Plant 7/bin")).exists());
    EXPECT_EQ(state.Project_Name, "Plant 7");
    EXPECT_EQ(state.Project_Dir, folder.File("PROJECTS/Plant 7"));
    EXPECT_EQ(state.ParGen_File, folder.File("PROJECTS/Plant 7/ParGen.xml"));
    EXPECT_EQ(state.DMX_Default_Values_File,
              folder.File("PROJECTS/Plant 7/DMX_Default_Values.xml"));
    EXPECT_EQ(state.ModbusTCPM_SetAccess_File,
              folder.File("PROJECTS/Plant 7/ModbusTCPM_SetAccess.xml"));
    // No project file yet: each editor writes its own.
    EXPECT_EQ(QDir(folder.File("PROJECTS/Plant 7")).entryList(QDir::Files), QStringList());
}

TEST_F(New_Configuration_Folder, KeepsBlanksAsTyped) {
    EXPECT_EQ(Create_New_Project_Folder(state, " Hall B "), New_Project_Result::Created);
    EXPECT_TRUE(QDir(folder.File("PROJECTS/ Hall B /bin")).exists());
    EXPECT_EQ(state.Project_Name, " Hall B ");
}

TEST_F(New_Configuration_Folder, RefusesNamesAndChangesNothing) {
    QDir().mkpath(folder.File("PROJECTS/Existing"));
    QDir().mkpath(folder.File("PROJECTS/Sub"));
    Write_Text(folder.File("PROJECTS/Plain file"), "x");
    struct Case {
        const char* name;
        New_Project_Result result;
        int entry;
    };
    const Case cases[] = {
        {"", New_Project_Result::Empty_Name, 107},
        {"Existing", New_Project_Result::Already_Exists, 106},
        // A file takes the place of the folder: it cannot be created.
        {"Plain file", New_Project_Result::Not_Valid, 105},
        {"Sub/New", New_Project_Result::Not_Valid, 105},
        {"Sub\\New", New_Project_Result::Not_Valid, 105},
        {"../Outside", New_Project_Result::Not_Valid, 105},
        {"..", New_Project_Result::Not_Valid, 105},
        {".", New_Project_Result::Not_Valid, 105},
        {"Existing/", New_Project_Result::Not_Valid, 105},
    };
    const QStringList before = Tree();
    state.Project_Name = "Open";
    state.Project_Dir = folder.File("PROJECTS/Open");
    for (const Case& c : cases) {
        const New_Project_Result result = Create_New_Project_Folder(state, c.name);
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(Error_Entry(result), c.entry) << c.name;
        EXPECT_EQ(state.Project_Name, "Open") << c.name;
        EXPECT_EQ(state.Project_Dir, folder.File("PROJECTS/Open")) << c.name;
    }
    // An absolute path names a folder outside PROJECTS.
    EXPECT_EQ(Create_New_Project_Folder(state, folder.File("Elsewhere")),
              New_Project_Result::Not_Valid);
    EXPECT_EQ(Tree(), before);
}

TEST_F(New_Configuration_Folder, ReportsAFolderThatCannotBeCreated) {
    // PROJECTS itself is missing: creating one level below it fails.
    QDir(state.Projects_Dir).removeRecursively();
    EXPECT_EQ(Create_New_Project_Folder(state, "Plant"), New_Project_Result::Not_Valid);
    EXPECT_FALSE(QDir(state.Projects_Dir).exists());
    EXPECT_TRUE(state.Project_Dir.isEmpty());
}

TEST(Plain_Folder_Name, TellsNamesDirectlyUnderProjects) {
    const std::pair<QString, bool> cases[] = {
        {"Plant", true},    {" Plant ", true}, {"...", true},   {".hidden", true},
        {"Plant.v2", true}, {"", false},       {".", false},    {"..", false},
        {"a/b", false},     {"a\\b", false},   {"/abs", false}, {QString("a") + QChar(0), false},
    };
    for (const auto& [name, plain] : cases)
        EXPECT_EQ(Is_Plain_Folder_Name(name), plain) << name.toStdString();
}

class Configuration_List : public ::testing::Test {
protected:
    QString Projects() const { return folder.File("PROJECTS"); }
    Temp_Folder folder;
};

TEST_F(Configuration_List, ListsFoldersOnly) {
    for (const char* name : {"Beta", "alpha", "Gamma 3", ".Hidden"})
        QDir().mkpath(Projects() + "/" + name);
    Write_Text(Projects() + "/Notes.txt", "not a configuration");
    Write_Text(Projects() + "/Beta/ParGen.xml", "<ParGen/>");
    const QStringList names = Existing_Configurations(Projects());
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()),
              QSet<QString>({"Beta", "alpha", "Gamma 3", ".Hidden"}));
    EXPECT_EQ(names.size(), 4);
}

#ifdef Q_OS_UNIX
TEST_F(Configuration_List, KeepsTheOrderOfTheFileSystem) {
    for (int i = 0; i < 40; ++i)
        QDir().mkpath(Projects() + QString("/Conf %1").arg(i));
    QStringList expected;
    DIR* dir = opendir(QFile::encodeName(Projects()).constData());
    ASSERT_NE(dir, nullptr);
    while (const dirent* entry = readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != "." && name != "..")
            expected.append(name);
    }
    closedir(dir);
    EXPECT_EQ(Existing_Configurations(Projects()), expected);
}
#endif

TEST_F(Configuration_List, IsEmptyWithoutProjectsFolder) {
    EXPECT_TRUE(Existing_Configurations(Projects()).isEmpty());
    QDir().mkpath(Projects());
    EXPECT_TRUE(Existing_Configurations(Projects()).isEmpty());
}

TEST(Search_Configuration, FindsTheFirstNameEqualInUpperCase) {
    const QStringList names = {"Plant", "Hall", "HALL", "Über"};
    EXPECT_EQ(Search_Configuration(names, "plant"), 0);
    EXPECT_EQ(Search_Configuration(names, "hall"), 1);
    EXPECT_EQ(Search_Configuration(names, "HALL"), 1);
    EXPECT_EQ(Search_Configuration(names, "über"), 3);
    EXPECT_EQ(Search_Configuration(names, "Plan"), -1);
    EXPECT_EQ(Search_Configuration(names, ""), -1);
    EXPECT_EQ(Search_Configuration({}, "Plant"), -1);
}

TEST(Open_Configuration_Folder, IsThePartAfterTheProjectsFolder) {
    App_State state;
    state.Projects_Dir = "/exe/PROJECTS";
    EXPECT_EQ(Open_Configuration_Folder(state), "");
    state.Project_Dir = "/exe/PROJECTS/Plant 7";
    EXPECT_EQ(Open_Configuration_Folder(state), "Plant 7");
    state.Project_Dir = "/exe/PROJECTSX/Plant";
    EXPECT_EQ(Open_Configuration_Folder(state), "");
}

} // namespace
