#include "platform/File_Fingerprint.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Sets the file's modification time back to what it was, as a copy tool that keeps times does.
void Set_Modified(const QString& path, const QDateTime& time) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

TEST(File_Fingerprint, TellsWhatAnotherProgramDidToTheFile) {
    struct Case {
        const char* what;
        std::function<void(const QString&)> before; // the file as the window reads it
        std::function<void(const QString&)> after;  // what another program does then
        File_Change change;
    };
    const QDateTime earlier = QDateTime::currentDateTimeUtc().addSecs(-3600);
    const Case cases[] = {
        {"missing and still missing", [](const QString&) {}, [](const QString&) {},
         File_Change::None},
        {"untouched", [](const QString& p) { Write_Bytes(p, "<a>1</a>"); }, [](const QString&) {},
         File_Change::None},
        {"the same bytes written again",
         [&](const QString& p) {
             Write_Bytes(p, "<a>1</a>");
             Set_Modified(p, earlier);
         },
         [](const QString& p) { Write_Bytes(p, "<a>1</a>"); }, File_Change::None},
        {"other bytes of another size", [](const QString& p) { Write_Bytes(p, "<a>1</a>"); },
         [](const QString& p) { Write_Bytes(p, "<a>12</a>"); }, File_Change::Changed},
        {"other bytes of the same size with the old time",
         [&](const QString& p) {
             Write_Bytes(p, "<a>1</a>");
             Set_Modified(p, earlier);
         },
         [&](const QString& p) {
             Write_Bytes(p, "<a>2</a>");
             Set_Modified(p, earlier);
         },
         File_Change::Changed},
        {"emptied", [](const QString& p) { Write_Bytes(p, "<a>1</a>"); },
         [](const QString& p) { Write_Bytes(p, ""); }, File_Change::Changed},
        {"removed", [](const QString& p) { Write_Bytes(p, "<a>1</a>"); },
         [](const QString& p) { QFile::remove(p); }, File_Change::Removed},
        {"replaced by a folder", [](const QString& p) { Write_Bytes(p, "<a>1</a>"); },
         [](const QString& p) {
             QFile::remove(p);
             QDir().mkpath(p);
         },
         File_Change::Removed},
        {"created", [](const QString&) {}, [](const QString& p) { Write_Bytes(p, ""); },
         File_Change::Created},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Temp_Folder folder;
        const QString path = folder.File("ParGen.xml");
        c.before(path);
        const File_Fingerprint loaded = Take_File_Fingerprint(path);
        EXPECT_EQ(File_Change_Since(loaded, path), File_Change::None);
        c.after(path);
        EXPECT_EQ(File_Change_Since(loaded, path), c.change);
    }
}

TEST(File_Fingerprint, RecordsSizeTimeAndHashOfTheBytes) {
    Temp_Folder folder;
    const QString path = folder.File("a.xml");
    EXPECT_EQ(Take_File_Fingerprint(path), File_Fingerprint{});
    Write_Bytes(path, "abc");
    const File_Fingerprint print = Take_File_Fingerprint(path);
    EXPECT_TRUE(print.Exists);
    EXPECT_EQ(print.Size, 3);
    EXPECT_TRUE(print.Modified.isValid());
    // SHA-256 of "abc".
    EXPECT_EQ(print.Hash.toHex(),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(File_Fingerprint, FallsBackToSizeAndTimeWhenTheBytesCouldNotBeRead) {
    File_Fingerprint loaded{true, 3, QDateTime::fromSecsSinceEpoch(1000, Qt::UTC), {}};
    File_Fingerprint now = loaded;
    now.Hash = "readable now";
    EXPECT_EQ(Compare_Fingerprints(loaded, now), File_Change::None);
    now.Modified = now.Modified.addSecs(1);
    EXPECT_EQ(Compare_Fingerprints(loaded, now), File_Change::Changed);
    now = loaded;
    now.Size = 4;
    EXPECT_EQ(Compare_Fingerprints(loaded, now), File_Change::Changed);
}

} // namespace
