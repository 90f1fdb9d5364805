#include "platform/Files.h"
#include "support/Test_Files.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(Atomic_Write, ReplacesTheWholeFile) {
    Temp_Folder folder;
    const QString path = folder.File("a.bin");
    Write_Bytes(path, QByteArray(1000, 'x'));
    EXPECT_EQ(Write_File_Atomic(path, "new"), std::nullopt);
    EXPECT_EQ(Read_Bytes(path), QByteArray("new"));
    // No temporary file is left behind.
    EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files), QStringList{"a.bin"});
}

TEST(Atomic_Write, ReportsAFailureAndKeepsTheOldFile) {
    Temp_Folder folder;
    EXPECT_NE(Write_File_Atomic(folder.File("missing/a.bin"), "x"), std::nullopt);
    // A folder in the way of the file.
    QDir().mkpath(folder.File("taken"));
    EXPECT_NE(Write_File_Atomic(folder.File("taken"), "x"), std::nullopt);
    EXPECT_TRUE(Folder_Exists(folder.File("taken")));
}

TEST(Backup, KeepsACopyBesideTheFile) {
    Temp_Folder folder;
    Write_Bytes(folder.File("ParGen.xml"), "<broken");
    EXPECT_EQ(Keep_Backup(folder.File("ParGen.xml")), std::nullopt);
    EXPECT_EQ(Read_Bytes(folder.File("ParGen.xml.bak")), QByteArray("<broken"));
}

} // namespace
