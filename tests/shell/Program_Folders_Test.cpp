// Where the program keeps its files: beside the executable of a program folder, or in the
// per-user data folder of an installed program.

#include "state/Program_Folders.h"
#include "state/Settings.h"
#include "state/Startup.h"
#include "support/Installed_Tree.h"
#include "support/Test_Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct Mode_Case {
    const char* name;
    // Lays out the tree under root; gives the folder of the executable.
    std::function<QString(const QString& root)> lay_out;
    bool installed;
};

QString Make(const QString& path) {
    EXPECT_TRUE(QDir().mkpath(path)) << path.toStdString();
    return path;
}

const Mode_Case Mode_Cases[] = {
    {"a plain folder", [](const QString& root) { return Make(root + "/Tessaro"); }, false},
    {"a copied program folder with its working folders",
     [](const QString& root) {
         for (const char* sub : {"PROJECTS", "MASTER", "LANGUAGE"})
             Make(root + "/Tessaro/" + sub);
         Write_Text(root + "/Tessaro/Tessaro.xml", "<Conf_Settings/>");
         return root + "/Tessaro";
     },
     false},
    {"a bin folder without share/tessaro beside it",
     [](const QString& root) {
         Make(root + "/usr/share/other");
         return Make(root + "/usr/bin");
     },
     false},
    {"share/tessaro that is a file, not a folder",
     [](const QString& root) {
         Write_Text(root + "/usr/share/tessaro", "x");
         return Make(root + "/usr/bin");
     },
     false},
    {"an installed tree with a read-only bin folder, as a user sees it",
     [](const QString& root) {
         Make(root + "/usr/share/tessaro");
         const QString bin = Make(root + "/usr/bin");
         QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
         return bin;
     },
     true},
    {"an installed tree run as root: its bin folder may be written",
     [](const QString& root) {
         Make(root + "/usr/share/tessaro");
         const QString bin = Make(root + "/usr/bin");
         QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
         return bin;
     },
     true},
    {"an installed tree under another prefix, named with a trailing separator",
     [](const QString& root) {
         Make(root + "/opt/tessaro/share/tessaro/LANGUAGE");
         return Make(root + "/opt/tessaro/bin") + "/";
     },
     true},
};

TEST(Program_Mode, IsDecidedByTheTreeAroundTheExecutable) {
    for (const Mode_Case& c : Mode_Cases) {
        SCOPED_TRACE(c.name);
        Temp_Folder root;
        const QString exe_dir = c.lay_out(root.Path());
        const QString plain_exe_dir = QDir::cleanPath(exe_dir);
        const QString data = root.File("home/.local/share/Tessaro");
        const Program_Folders folders = Decide_Program_Folders(exe_dir, data);
        EXPECT_EQ(folders.Installed, c.installed);
        EXPECT_EQ(folders.Exe_Dir, plain_exe_dir);
        if (c.installed) {
            EXPECT_EQ(folders.Data_Dir, data);
            EXPECT_EQ(folders.Shipped_Language_Dir,
                      QDir::cleanPath(plain_exe_dir + "/../share/tessaro/LANGUAGE"));
        } else {
            EXPECT_EQ(folders.Data_Dir, plain_exe_dir);
            EXPECT_EQ(folders.Shipped_Language_Dir, "");
        }
        EXPECT_EQ(Is_Installed_Tree(exe_dir), c.installed);
        QFile::setPermissions(plain_exe_dir,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST(Program_Mode, AnInstalledProgramKeepsItsFilesInTheDataFolderAndNothingInBin) {
    Installed_Tree tree;
    App_State state;
    Init_Folders(state, tree.Bin(), tree.Data());
    EXPECT_TRUE(state.Installed);
    EXPECT_EQ(state.Exe_Dir, tree.Bin());
    EXPECT_EQ(state.Data_Dir, tree.Data());
    EXPECT_EQ(state.Master_Dir, tree.Data() + "/MASTER");
    EXPECT_EQ(state.Projects_Dir, tree.Data() + "/PROJECTS");
    EXPECT_EQ(state.Language_Dir, tree.Data() + "/LANGUAGE");
    EXPECT_EQ(state.Settings_File(), tree.Data() + "/Tessaro.xml");
    EXPECT_EQ(state.Language_Folders(),
              QStringList({tree.Data() + "/LANGUAGE", tree.Shipped_Languages()}));
    // The data folder and its missing parents are made.
    for (const char* sub : {"MASTER", "PROJECTS", "LANGUAGE"})
        EXPECT_TRUE(QDir(tree.Data() + "/" + sub).exists()) << sub;

    EXPECT_EQ(Save_Setting(state), std::nullopt);
    EXPECT_TRUE(QFile::exists(tree.Data() + "/Tessaro.xml"));
    EXPECT_EQ(tree.Bin_Entries(), QStringList());
    EXPECT_EQ(QDir(tree.Share()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"LANGUAGE"});
}

TEST(Program_Mode, AProgramFolderKeepsEverythingBesideTheExecutable) {
    Temp_Folder folder;
    App_State state;
    Init_Folders(state, folder.Path(), folder.File("unused data folder"));
    EXPECT_FALSE(state.Installed);
    EXPECT_EQ(state.Data_Dir, folder.Path());
    EXPECT_EQ(state.Projects_Dir, folder.File("PROJECTS"));
    EXPECT_EQ(state.Settings_File(), folder.File("Tessaro.xml"));
    EXPECT_EQ(state.Language_Folders(), QStringList{folder.File("LANGUAGE")});
    EXPECT_FALSE(QFile::exists(folder.File("unused data folder")));
}

TEST(Program_Mode, WithoutADataFolderArgumentTheUsersOwnIsTaken) {
    Installed_Tree tree;
    const Scoped_Env data_home("XDG_DATA_HOME", tree.Data_Home());
    QCoreApplication::setApplicationName(QString::fromLatin1(Application_Name));
    EXPECT_EQ(User_Data_Location(), tree.Data());
    App_State state;
    Init_Folders(state, tree.Bin());
    EXPECT_EQ(state.Data_Dir, tree.Data());
    EXPECT_TRUE(QDir(tree.Data() + "/PROJECTS").exists());
}

} // namespace
