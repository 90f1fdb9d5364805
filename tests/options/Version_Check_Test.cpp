#include "lang/Language_List.h"
#include "support/Test_Files.h"
#include "web/Version_Check.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(Conv_Version, ReadsOneDigitAPointAndThreeDigits) {
    const std::pair<const char*, int> cases[] = {
        {"1.001", 1001},
        {"VER. 1.002", 1002},
        {"ver. 9.999", 9999},
        {"VER. 0.000", 0},
        {"VER.   1.002  ", 1002}, // the text after the first space is trimmed
        {"1.002", 1002},          // no space: the whole text
        {"VER. 10.00", -1},       // the characters taken are "1", ".", "0", "0"
        {"VER. 2.5", -1},         // too short
        {"VER.", -1},
        {"", -1},
        {"VER. 1.0a2", -1},
        {"VER. 1x002", 1002}, // the second character is skipped, whatever it is
        {"A B 1.002", -1},    // only the first space counts
        {"VER. 1.002 and more", 1002},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(Conv_Version(QString::fromLatin1(text)), value) << text;
}

TEST(Is_Newer_Version, FollowsTheAnswerRules) {
    const std::pair<const char*, bool> cases[] = {
        {"VER. 1.002", true},
        {"ver. 1.002", true},
        {"Ver. 1.002", true},
        {"  \r\nVER. 1.002\r\n\t ", true},
        {"VER. 2.000", true},
        {"VER. 1.001", false},
        {"VER. 1.000", false},
        {"VER. 0.000", false},
        {"ver. 0.000", false},
        {" \r\nVER. 0.000\r\n", false},
        {"", false},
        {"\r\n  ", false},
        {"<html><head><title>404 Not Found</title></head></html>", false},
        {"1.002", true},
        {"VER. 10.00", false},
        {"VER. 2.5", false},
    };
    for (const auto& [reply, newer] : cases)
        EXPECT_EQ(Is_Newer_Version(QString::fromLatin1(reply)), newer) << reply;
}

TEST(Version_Query_Url, AsksForThisSoftwareOnTheChosenServer) {
    EXPECT_EQ(Version_Query_Url(Version_Server()).toString(),
              "http://www.velmora.com/home/download/GetversionSW.asp?nomesw=VC40362");
    Version_Server local;
    local.host = "127.0.0.1";
    local.port = 8081;
    EXPECT_EQ(Version_Query_Url(local).toString(),
              "http://127.0.0.1:8081/home/download/GetversionSW.asp?nomesw=VC40362");
    EXPECT_EQ(Version_Server().timeout_ms, 10000);
}

TEST(Link_Caption, IsAnAnchorToTheDownloadPage) {
    EXPECT_EQ(Link_Caption(Download_Page_Url(), "New Version Available. Click Here"),
              "<a href=\"http://www.velmora.com/Home/download/download.asp#VD40362\">"
              "New Version Available. Click Here</a>");
    // A translated text is shown as it is written, markup characters included.
    EXPECT_EQ(Link_Caption(Download_Page_Url(), "Neu <1.2> & mehr"),
              "<a href=\"http://www.velmora.com/Home/download/download.asp#VD40362\">"
              "Neu &lt;1.2&gt; &amp; mehr</a>");
}

class Language_Folder : public ::testing::Test {
protected:
    QString File(const QString& name) const { return folder.File(name); }
    void Add(const QString& name) { Write_Text(File(name), "STR0 = x\n"); }
    Temp_Folder folder;
};

TEST_F(Language_Folder, ListsWritableLanguageFilesSortedIgnoringCase) {
    for (const char* name : {"Italiano.lng", "deutsch.lng", "English.lng", "Français.lng",
                             "Español.lng", "notes.txt", "English.lng.bak", "Old.LNG"})
        Add(QString::fromUtf8(name));
    // Not offered: a folder, a link, a read-only file and a file without a language name.
    QDir().mkpath(File("Folder.lng"));
    QFile::link(File("English.lng"), File("Link.lng"));
    Add("Locked.lng");
    QFile::setPermissions(File("Locked.lng"), QFile::ReadOwner | QFile::ReadGroup);
    Add(".lng");

    EXPECT_EQ(List_Language_Files(folder.Path()),
              (QStringList{"deutsch.lng", "English.lng", QString::fromUtf8("Español.lng"),
                           QString::fromUtf8("Français.lng"), "Italiano.lng"}));
}

TEST_F(Language_Folder, AMissingOrEmptyFolderGivesNoLanguages) {
    EXPECT_TRUE(List_Language_Files(folder.Path()).isEmpty());
    EXPECT_TRUE(List_Language_Files(File("absent")).isEmpty());
}

TEST_F(Language_Folder, FlagFallsBackToTheDefaultFlag) {
    Write_Bytes(File("Italiano.bmp"), "BM");
    Write_Bytes(File("DefaultFlag.bmp"), "BM");
    EXPECT_EQ(Flag_Files(folder.Path(), "Italiano"),
              (QStringList{File("Italiano.bmp"), File("DefaultFlag.bmp")}));
    EXPECT_EQ(Flag_Files(folder.Path(), "Deutsch"), QStringList{File("DefaultFlag.bmp")});
    QFile::remove(File("DefaultFlag.bmp"));
    EXPECT_TRUE(Flag_Files(folder.Path(), "Deutsch").isEmpty());
}

TEST(Language_List, NamesAndPages) {
    EXPECT_EQ(Language_Name("English.lng"), "English");
    EXPECT_EQ(Language_Page_Count(0), 0);
    EXPECT_EQ(Language_Page_Count(1), 1);
    EXPECT_EQ(Language_Page_Count(6), 1);
    EXPECT_EQ(Language_Page_Count(7), 2);
    EXPECT_EQ(Language_Page_Count(12), 2);
    EXPECT_EQ(Language_Page_Count(13), 3);
}

} // namespace
