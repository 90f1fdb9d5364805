#include "lang/Language_File.h"
#include "state/App_State.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <gtest/gtest.h>

namespace {

// One line of a language file applied over the defaults, and what entry it leaves where.
struct Line_Case {
    const char* line;
    int index;
    const char* expected; // nullptr: the entry keeps its default
};

void PrintTo(const Line_Case& c, std::ostream* os) {
    *os << "[" << c.line << "]";
}

class Language_Line : public ::testing::TestWithParam<Line_Case> {};

TEST_P(Language_Line, SetsTheEntryItNames) {
    const Line_Case& c = GetParam();
    Lang_Table table;
    table.Load_Default_Texts();
    Lang_Table defaults = table;
    Lang_File_State state;
    Apply_Lang_Line(table, QString::fromUtf8(c.line), state);
    const QString expected = c.expected ? QString::fromUtf8(c.expected) : defaults[c.index];
    EXPECT_EQ(table[c.index], expected) << "line: " << c.line;
    // No other entry changes.
    for (int i = 0; i < table.Lang_Count(); ++i) {
        if (i != c.index) {
            ASSERT_EQ(table[i], defaults[i]) << "entry " << i << " changed by: " << c.line;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Language_Line,
    ::testing::Values(
        Line_Case{"STR12 = Text", 12, "Text"}, Line_Case{"STR 12 =Text", 12, "Text"},
        // The character just before "=" is not part of the index.
        Line_Case{"STR12=Text", 1, "Text"}, Line_Case{"STR5=Text", 5, nullptr},
        Line_Case{"STR999 = Last", 999, "Last"}, Line_Case{"STR1000 = Text", 999, nullptr},
        Line_Case{"STR-1 = Text", 0, nullptr}, Line_Case{"STRx1 = Text", 1, nullptr},
        Line_Case{"STR20 =   Set Comm.  /#/ button caption", 20, "Set Comm."},
        Line_Case{"STR9 = \xc2\xb6  None  \xc2\xb6 trailing", 9, "  None  "},
        Line_Case{"STR9 = \xc2\xb6\xc2\xb6", 9, ""}, Line_Case{"STR9 = \xc2\xb6Text", 9, "Text"},
        Line_Case{"STR9 = Te\xc2\xb6xt", 9, "Te"}, Line_Case{"STR9 =", 9, nullptr},
        Line_Case{"STR9 =    ", 9, nullptr},
        // A text that is all comment leaves the entry unchanged.
        Line_Case{"STR9 = /#/ only a comment", 9, nullptr},
        Line_Case{"   \tSTR13 = Opzioni  \r", 13, "Opzioni"},
        Line_Case{"str13 = lower case prefix", 13, nullptr},
        Line_Case{"STR13 Options", 13, nullptr}, Line_Case{"// STR13 = comment", 13, nullptr},
        Line_Case{"STR13 = a = b", 13, "a = b"},
        Line_Case{"STR13 = Caf\xc3\xa9 \xe2\x82\xac", 13, "Caf\xc3\xa9 \xe2\x82\xac"}));

QString Version_After(const QStringList& lines) {
    Lang_Table table;
    table.Load_Default_Texts();
    Lang_File_State state;
    for (const QString& line : lines)
        Apply_Lang_Line(table, line, state);
    return state.version_found ? state.version : QStringLiteral("(none)");
}

TEST(Language_Version, IsTakenFromTheFirstVersionLineOnly) {
    EXPECT_EQ(Version_After({"x", "//version 2.05", "//VERSION 3"}), "2.05");
    EXPECT_EQ(Version_After({"  //VERSION   1.0 beta  "}), "1.0 beta");
    EXPECT_EQ(Version_After({"STR5 = x", "STR13 = //Version 7"}), "7");
    EXPECT_EQ(Version_After({"// VERSION 2"}), "(none)");
    EXPECT_EQ(Version_After({"STR13 = Options"}), "(none)");
}

TEST(Language_Lines, EndAtCrLfOrBoth) {
    EXPECT_EQ(Split_Text_Lines("a\r\nb\rc\nd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(Split_Text_Lines("a\n\nb\n"), (QStringList{"a", "", "b"}));
}

QByteArray Encode(QStringConverter::Encoding encoding, const QString& text) {
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

TEST(Language_Encoding, FollowsTheByteOrderMarkElseUtf8ElseWindows1252) {
    const QString text = QString::fromUtf8("STR13 = Opci\xc3\xb3n \xe2\x82\xac \xc2\xb6x");
    EXPECT_EQ(Decode_Text_File(Encode(QStringConverter::Utf8, text)), text);
    EXPECT_EQ(Decode_Text_File(Encode(QStringConverter::Utf16LE, text)), text);
    EXPECT_EQ(Decode_Text_File(Encode(QStringConverter::Utf16BE, text)), text);
    EXPECT_EQ(Decode_Text_File(text.toUtf8()), text);
    // Windows-1252: o acute, the euro sign and the pilcrow.
    EXPECT_EQ(Decode_Text_File("STR13 = Opci\xf3n \x80 \xb6x"), text);
}

class Language_Files : public ::testing::Test {
protected:
    void SetUp() override {
        state.Language_Dir = folder.Path();
        table.Load_Default_Texts();
    }
    Temp_Folder folder;
    App_State state;
    Lang_Table table;
};

TEST_F(Language_Files, LoadTheNamedLanguageOverTheDefaults) {
    Write_Bytes(folder.File("Italiano.lng"),
                Encode(QStringConverter::Utf16LE, "//VERSION 2.05\r\nSTR13 = Opzioni\r\n"));
    Write_Text(folder.File("English.lng"), "STR12 = not used\n");
    state.Language = "Italiano";
    Init_Language(state, table);
    EXPECT_EQ(state.Language, "Italiano");
    EXPECT_EQ(state.Lang_Version, "2.05");
    EXPECT_EQ(table[13], "Opzioni");
    EXPECT_EQ(table[12], "Information");
}

TEST_F(Language_Files, FallBackToEnglishWhenTheFileIsMissing) {
    Write_Text(folder.File("English.lng"), "STR12 = Info\n");
    state.Language = "Klingon";
    Init_Language(state, table);
    EXPECT_EQ(state.Language, "English");
    EXPECT_EQ(state.Lang_Version, "NO VER.");
    EXPECT_EQ(table[12], "Info");
}

TEST_F(Language_Files, KeepTheDefaultsWithoutAnyFile) {
    state.Language = "Klingon";
    state.Lang_Version = "old";
    table.Set_Text(13, "left over");
    Init_Language(state, table);
    EXPECT_EQ(state.Language, "English");
    EXPECT_EQ(state.Lang_Version, "NO VER.");
    EXPECT_EQ(table[13], "Options");
}

TEST_F(Language_Files, LeaveTheDefaultsWhenTheFileCannotBeRead) {
    // A folder with the name of the language file cannot be read as a file.
    QDir().mkpath(folder.File("Broken.lng"));
    QString version = "NO VER.";
    EXPECT_FALSE(Load_Lang_File(table, folder.File("Broken.lng"), version));
    EXPECT_EQ(version, "NO VER.");
    EXPECT_EQ(table[13], "Options");
}

// An installed program reads languages from the user's LANGUAGE folder and, after it, from the
// shipped one.
TEST_F(Language_Files, ComeFromTheUsersFolderFirstThenFromTheShippedOne) {
    Temp_Folder shipped;
    state.Shipped_Language_Dir = shipped.Path();
    Write_Text(shipped.File("Italiano.lng"), "//VERSION 1.00\nSTR13 = Opzioni\n");
    Write_Text(shipped.File("English.lng"), "STR12 = Info (shipped)\n");
    const struct {
        const char* language;
        const char* user_file; // Italiano.lng in the user's folder, when not null
        const char* language_after;
        const char* text_13;
        const char* text_12;
    } cases[] = {
        {"Italiano", nullptr, "Italiano", "Opzioni", "Information"},
        {"Italiano", "STR13 = Opzioni mie\n", "Italiano", "Opzioni mie", "Information"},
        {"Klingon", nullptr, "English", "Options", "Info (shipped)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        QFile::remove(folder.File("Italiano.lng"));
        if (c.user_file)
            Write_Text(folder.File("Italiano.lng"), c.user_file);
        state.Language = c.language;
        Init_Language(state, table);
        EXPECT_EQ(state.Language, c.language_after);
        EXPECT_EQ(table[13], c.text_13);
        EXPECT_EQ(table[12], c.text_12);
    }
}

} // namespace
