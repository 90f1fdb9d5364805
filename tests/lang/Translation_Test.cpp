// Qt's own texts in the language of the string table, and file problems said in that language.

#include "lang/Error_Texts.h"
#include "lang/Qt_Translation.h"
#include "support/Test_Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <gtest/gtest.h>

namespace {

QString Qt_Folder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

// Qt's translation files as the packages carry them: Debian's qt6-translations-l10n. On Linux
// they are Qt's own folder; the Windows tests read them from the build machine through Wine's
// drive of its root.
QString Qt_Files() {
#ifdef Q_OS_WIN
    return QStringLiteral("/usr/share/qt6/translations");
#else
    return Qt_Folder();
#endif
}

TEST(Qt_Translation, EachShippedLanguageHasQtsCodeAndOthersStayEnglish) {
    const std::pair<const char*, const char*> cases[] = {
        {"Italiano", "it"}, {"Deutsch", "de"}, {"Français", "fr"}, {"Español", "es"},
        {"English", ""},    {"Klingon", ""},   {"deutsch", ""},    {"", ""},
    };
    for (const auto& [language, code] : cases)
        EXPECT_EQ(Qt_Language_Code(QString::fromUtf8(language)), QString::fromLatin1(code))
            << language;
}

TEST(Qt_Translation, EveryShippedLanguageFindsQtsFileAndEnglishNone) {
    EXPECT_EQ(Qt_Translation_Folders(QString()), QStringList{Qt_Folder()});
    const QStringList folders{Qt_Files()};
    const QStringList files = QDir(TESSARO_LANG_DIR).entryList({"*.lng"}, QDir::Files);
    ASSERT_EQ(files.size(), 5);
    for (const QString& file : files) {
        const QString language = file.chopped(4);
        const QString found = Find_Qt_Translation(language, folders);
        if (language == "English")
            EXPECT_TRUE(found.isEmpty());
        else
            EXPECT_EQ(found, Qt_Files() + "/qtbase_" + Qt_Language_Code(language) + ".qm")
                << language.toStdString() << " (Debian: qt6-translations-l10n)";
    }
}

TEST(Qt_Translation, TheFolderBesideTheExecutableComesFirst) {
    Temp_Folder exe;
    const QStringList folders = Qt_Translation_Folders(exe.Path());
    ASSERT_EQ(folders, (QStringList{exe.File("translations"), Qt_Folder()}));
    const QStringList with_files = folders + QStringList{Qt_Files()};
    // Nothing beside the executable yet: the next folder.
    EXPECT_EQ(Find_Qt_Translation("Deutsch", with_files), Qt_Files() + "/qtbase_de.qm");
    ASSERT_TRUE(QDir(exe.Path()).mkdir("translations"));
    ASSERT_TRUE(QFile::copy(Qt_Files() + "/qtbase_de.qm", exe.File("translations/qtbase_de.qm")));
    EXPECT_EQ(Find_Qt_Translation("Deutsch", with_files), exe.File("translations/qtbase_de.qm"));
    EXPECT_EQ(Find_Qt_Translation("Italiano", with_files), Qt_Files() + "/qtbase_it.qm");
    // A language with no file anywhere stays English.
    EXPECT_EQ(Find_Qt_Translation("Italiano", {exe.File("translations")}), QString());
}

TEST(Qt_Translation, OneTranslationAtATimeFollowsTheLanguage) {
    const QStringList folders{Qt_Files()};
    const auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
    {
        Qt_Translation qt;
        ASSERT_TRUE(qt.Apply("Deutsch", folders));
        EXPECT_EQ(qt.File(), Qt_Files() + "/qtbase_de.qm");
        EXPECT_EQ(yes(), "&Ja");
        ASSERT_TRUE(qt.Apply("Italiano", folders));
        EXPECT_EQ(yes(), "&Sì");
        EXPECT_FALSE(qt.Apply("English", folders));
        EXPECT_TRUE(qt.File().isEmpty());
        EXPECT_EQ(yes(), "&Yes");
        ASSERT_TRUE(qt.Apply("Français", folders));
        EXPECT_EQ(yes(), "&Oui");
        // A damaged file leaves Qt's English rather than the language before.
        Temp_Folder broken;
        Write_Bytes(broken.File("qtbase_es.qm"), "not a translation");
        EXPECT_FALSE(qt.Apply("Español", {broken.Path()}));
        EXPECT_EQ(yes(), "&Yes");
        ASSERT_TRUE(qt.Apply("Español", folders));
    }
    // Gone with its owner.
    EXPECT_EQ(yes(), "&Yes");
}

TEST(File_Problem_Text, EnglishAsEverAndOtherLanguagesFromTheTable) {
    Lang_Table english;
    english.Load_Default_Texts();
    Lang_Table other = english;
    other.Set_Text(975, "[%2] %1 unlesbar");
    other.Set_Text(976, "%1 Zeile %2 Spalte %3 (%4)");
    other.Set_Text(977, "%1 nicht geschrieben: %2");
    struct Case {
        File_Problem problem;
        const char* english;
        const char* other;
    };
    const Case cases[] = {
        {{File_Problem::Kind::Cannot_Be_Read, "ParGen.xml", "Permission denied"},
         "ParGen.xml: cannot be read: Permission denied",
         "[Permission denied] ParGen.xml unlesbar"},
        {{File_Problem::Kind::Not_Well_Formed, "A%2.xml", "Start-end tags mismatch", 3, 14},
         "A%2.xml: not a well-formed XML file (line 3, column 14): Start-end tags mismatch",
         "A%2.xml Zeile 3 Spalte 14 (Start-end tags mismatch)"},
        {{File_Problem::Kind::Cannot_Be_Written, "bank.bin", "No space left on device"},
         "bank.bin: cannot be written: No space left on device",
         "bank.bin nicht geschrieben: No space left on device"},
    };
    for (const Case& c : cases) {
        const Tessaro_Error error(c.problem);
        EXPECT_EQ(error.Message(), QString::fromUtf8(c.english));
        EXPECT_EQ(Error_Message(error, english), QString::fromUtf8(c.english));
        EXPECT_EQ(Error_Message(error, other), QString::fromUtf8(c.other));
    }
    // Any other error keeps its text.
    EXPECT_EQ(Error_Message(Tessaro_Error("row 4: odd"), other), "row 4: odd");
}

} // namespace
