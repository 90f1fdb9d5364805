// The languages that the options offer when they come from two folders: the user's LANGUAGE
// folder and the languages shipped with an installed program.

#include "lang/Language_List.h"
#include "support/Test_Files.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class Two_Folders : public ::testing::Test {
protected:
    QString User(const QString& name) const { return user.File(name); }
    QString Shipped(const QString& name) const { return shipped.File(name); }
    QStringList Folders() const { return {user.Path(), shipped.Path()}; }

    Temp_Folder user;
    Temp_Folder shipped;
};

TEST_F(Two_Folders, ListEveryLanguageOnceSortedWithTheUsersFileWinning) {
    for (const char* name : {"English.lng", "Italiano.lng", "Deutsch.lng", "Français.lng"})
        Write_Text(Shipped(QString::fromUtf8(name)), "STR0 = x\n");
    Write_Text(User("Italiano.lng"), "STR0 = mine\n");
    Write_Text(User("klingon.lng"), "STR0 = x\n");
    // A read-only file is not offered; in the user's folder it stands for the shipped one too,
    // as it is the file the program would load for that name.
    Write_Text(User("Deutsch.lng"), "STR0 = x\n");
    QFile::setPermissions(User("Deutsch.lng"), QFile::ReadOwner);
    Write_Text(Shipped("Locked.lng"), "STR0 = x\n");
    QFile::setPermissions(Shipped("Locked.lng"), QFile::ReadOwner);

    EXPECT_EQ(List_Language_Files(Folders()),
              QStringList({"English.lng", QString::fromUtf8("Français.lng"), "Italiano.lng",
                           "klingon.lng"}));
    // One folder gives its own list, as it always did.
    EXPECT_EQ(List_Language_Files(user.Path()), QStringList({"Italiano.lng", "klingon.lng"}));
    EXPECT_EQ(List_Language_Files(QStringList{user.File("missing"), shipped.Path()}).size(), 4);
}

TEST_F(Two_Folders, TakeAFlagFromTheLanguagesFolderThenTheOtherThenTheDefault) {
    Write_Text(User("Italiano.lng"), "STR0 = x\n");
    Write_Text(Shipped("Italiano.lng"), "STR0 = x\n");
    Write_Text(Shipped("English.lng"), "STR0 = x\n");
    Write_Text(User("Deutsch.lng"), "STR0 = x\n");
    Write_Bytes(User("Italiano.bmp"), "user");
    Write_Bytes(Shipped("Italiano.bmp"), "shipped");
    Write_Bytes(User("English.bmp"), "user");
    Write_Bytes(Shipped("English.bmp"), "shipped");
    Write_Bytes(Shipped("DefaultFlag.bmp"), "shipped default");

    const struct {
        const char* language;
        QStringList expected;
    } cases[] = {
        {"Italiano", {User("Italiano.bmp"), Shipped("Italiano.bmp"), Shipped("DefaultFlag.bmp")}},
        {"English", {Shipped("English.bmp"), User("English.bmp"), Shipped("DefaultFlag.bmp")}},
        {"Deutsch", {Shipped("DefaultFlag.bmp")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Flag_Files(Folders(), c.language), c.expected) << c.language;

    // A default flag of the user's own comes before the shipped one.
    Write_Bytes(User("DefaultFlag.bmp"), "user default");
    EXPECT_EQ(Flag_Files(Folders(), "Deutsch"),
              QStringList({User("DefaultFlag.bmp"), Shipped("DefaultFlag.bmp")}));
}

} // namespace
