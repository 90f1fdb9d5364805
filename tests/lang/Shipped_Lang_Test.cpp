// The language files and flags that ship in the program's LANGUAGE folder.

#include "lang/Lang_Table.h"
#include "lang/Language_File.h"
#include "support/Test_Files.h"
#include "widgets/Look.h"
#include "widgets/Styled_Button.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPixmap>
#include <QtEndian>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const QString Lang_Dir = QStringLiteral(TESSARO_LANG_DIR);

std::string S(const QString& text) {
    return text.toStdString();
}

// Entries that no window shows; a translation may leave them out.
bool Is_Shown(int index) {
    const std::pair<int, int> hidden[] = {{407, 411}, {415, 427}, {430, 443}, {668, 668},
                                          {800, 801}, {804, 805}, {807, 813}, {825, 831}};
    for (const auto& [first, last] : hidden)
        if (index >= first && index <= last)
            return false;
    return true;
}

QStringList Lang_Files() {
    return QDir(Lang_Dir).entryList({QStringLiteral("*.lng")}, QDir::Files, QDir::Name);
}

// One language file applied line by line over the English defaults.
struct Applied_File {
    QString name;
    Lang_Table table;
    Lang_File_State state;
    std::map<int, int> times_set;     // index -> number of lines that set it
    std::vector<std::string> refused; // "line N: why" for every "STR" line that was refused
};

Applied_File Apply(const QString& file_name) {
    Applied_File file;
    file.name = file_name;
    file.table.Load_Default_Texts();
    const QStringList lines =
        Split_Text_Lines(Decode_Text_File(Read_Bytes(Lang_Dir + QLatin1Char('/') + file_name)));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const Lang_Line_Result result = Apply_Lang_Line(file.table, lines[n], file.state);
        using Kind = Lang_Line_Result::Kind;
        if (result.kind == Kind::Set) {
            ++file.times_set[result.index];
        } else if (result.kind != Kind::Ignored) {
            const char* why = result.kind == Kind::Bad_Index      ? "bad index"
                              : result.kind == Kind::Out_Of_Range ? "index out of range"
                                                                  : "empty text";
            file.refused.push_back("line " + std::to_string(n + 1) + ": " + why);
        }
    }
    return file;
}

std::vector<Applied_File> Apply_All() {
    std::vector<Applied_File> files;
    for (const QString& name : Lang_Files())
        files.push_back(Apply(name));
    return files;
}

bool Is_English(const Applied_File& file) {
    return file.name == QLatin1String("English.lng");
}

TEST(Shipped_Lang, EveryLanguageShipsWithItsFlag) {
    const QStringList files = Lang_Files();
    for (const char* language : {"English", "Italiano", "Deutsch", "Français", "Español"})
        EXPECT_TRUE(files.contains(QString::fromUtf8(language) + ".lng")) << language;
    for (const QString& file : files) {
        const QString flag = QFileInfo(file).completeBaseName() + ".bmp";
        EXPECT_TRUE(QFileInfo(Lang_Dir + QLatin1Char('/') + flag).isFile()) << S(flag);
    }
    EXPECT_TRUE(QFileInfo(Lang_Dir + "/DefaultFlag.bmp").isFile());
}

TEST(Shipped_Lang, FilesAreReadWithoutARefusedLineOrARepeatedEntry) {
    for (const Applied_File& file : Apply_All()) {
        SCOPED_TRACE(S(file.name));
        EXPECT_TRUE(file.refused.empty()) << ::testing::PrintToString(file.refused);
        EXPECT_TRUE(file.state.version_found);
        EXPECT_FALSE(file.state.version.isEmpty());
        for (const auto& [index, times] : file.times_set)
            EXPECT_EQ(times, 1) << "STR" << index << " is set more than once";
    }
}

TEST(Shipped_Lang, EnglishHoldsExactlyTheProgramTexts) {
    const Applied_File english = Apply(QStringLiteral("English.lng"));
    std::set<int> defaults;
    for (const auto& [index, text] : Default_Text_Entries())
        defaults.insert(index);
    std::set<int> set_by_file;
    for (const auto& [index, times] : english.times_set)
        set_by_file.insert(index);
    EXPECT_EQ(set_by_file, defaults);

    Lang_Table table;
    table.Load_Default_Texts();
    for (int i = 0; i < table.Lang_Count(); ++i)
        EXPECT_EQ(english.table[i], table[i]) << "STR" << i;
}

TEST(Shipped_Lang, TranslationsSetEveryShownEntry) {
    for (const Applied_File& file : Apply_All()) {
        if (Is_English(file))
            continue;
        SCOPED_TRACE(S(file.name));
        std::vector<int> missing;
        for (const auto& [index, text] : Default_Text_Entries())
            if (Is_Shown(index) && !file.times_set.count(index))
                missing.push_back(index);
        EXPECT_TRUE(missing.empty()) << "not translated: " << ::testing::PrintToString(missing);
    }
}

// The program joins texts with numbers and names without separators: a blank that the English
// text has at either end must stay in every language.
TEST(Shipped_Lang, JoinedTextsKeepTheirBlanks) {
    for (const Applied_File& file : Apply_All()) {
        SCOPED_TRACE(S(file.name));
        for (const auto& [index, english_text] : Default_Text_Entries()) {
            const QString english = QString::fromUtf8(english_text);
            const QString text = file.table[index];
            const bool keeps_front = !english.startsWith(QLatin1Char(' ')) ||
                                     (!text.isEmpty() && text.front().isSpace());
            const bool keeps_back =
                !english.endsWith(QLatin1Char(' ')) || (!text.isEmpty() && text.back().isSpace());
            EXPECT_TRUE(keeps_front && keeps_back) << "STR" << index << " [" << S(text) << "]";
        }
    }
}

// Captions take "&" as a shortcut mark and hints and the update link read "<" as markup.
TEST(Shipped_Lang, TextsAreNotEmptyAndHoldNoMarkup) {
    for (const Applied_File& file : Apply_All()) {
        SCOPED_TRACE(S(file.name));
        for (const auto& [index, times] : file.times_set) {
            const QString text = file.table[index];
            EXPECT_FALSE(text.trimmed().isEmpty()) << "STR" << index;
            EXPECT_FALSE(text.contains(QLatin1Char('&')) || text.contains(QLatin1Char('<')))
                << "STR" << index << " [" << S(text) << "]";
        }
    }
}

// Texts that stand on a control of fixed size: they must fit it in the window font.
struct Fit {
    enum Kind { Step_Button, Button, Label, Bold_Label, Header };
    Kind kind;
    int width; // of the control, or the room left to a label or a column title
    std::vector<int> entries;
};

const Fit Fits[] = {
    {Fit::Step_Button, 170, {15, 16, 17, 20, 21, 700, 720}},
    // The report step of the main window.
    {Fit::Step_Button, 170, {760}},
    {Fit::Button,
     110,
     {103, 104, 203, 204, 307, 308, 312, 313, 502, 503, 602, 603, 604, 605, 606, 607}},
    {Fit::Button, 112, {402, 403}},
    {Fit::Button, 204, {311}},
    // Test Row, right of the access dialog's buttons; the dry run window's buttons and the
    // column titles of its requests.
    {Fit::Button, 90, {743}},
    {Fit::Button, 110, {723, 724, 725, 742}},
    {Fit::Header, 44, {726}},
    {Fit::Header, 70, {729}},
    {Fit::Header, 80, {730, 734}},
    {Fit::Header, 100, {733}},
    {Fit::Header, 110, {731}},
    {Fit::Header, 130, {727}},
    {Fit::Header, 150, {728}},
    {Fit::Header, 250, {732}},
    // The word of the Suspended column, after its glyph in the 80-pixel column.
    {Fit::Label, 60, {985}},
    // The spreadsheet button is 90 wide; its menu arrow takes 12 of them.
    {Fit::Button, 78, {745}},

    // The channel map's button in the access dialog and the Close of its window.
    {Fit::Button, 90, {703}},
    {Fit::Button, 110, {964}},
    // Step labels left of the step buttons.
    {Fit::Bold_Label, 60, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
    // Labels left of an edit or a drop-down list.
    {Fit::Label, 62, {405}},
    {Fit::Label, 128, {406, 449, 450}},
    // The configuration labels inside their frame, and the update link, of the main window.
    {Fit::Label, 336, {9, 10, 11}},
    {Fit::Label, 294, {19}},
    // Headings of the narrowest dialogs.
    {Fit::Bold_Label, 300, {101}},
    {Fit::Bold_Label, 285, {401}},
    {Fit::Label, 300, {102}},
    // Check boxes of the options dialog.
    {Fit::Label, 440, {309, 320, 321}},
    {Fit::Label, 420, {310}},
    // Column titles of the DMX table and of the request tables (the narrower of read and
    // write where both have the column).
    {Fit::Header, 100, {504, 505}},
    {Fit::Header, 40, {610, 624, 622, 638}},
    {Fit::Header, 50, {611, 625}},
    {Fit::Header, 101, {612, 626}},
    {Fit::Header, 45, {613, 627, 617, 631}},
    {Fit::Header, 55, {614, 628, 616, 630, 620, 636, 621, 637}},
    {Fit::Header, 60, {618, 632}},
    {Fit::Header, 62, {619, 635}},
    {Fit::Header, 66, {633}},
    {Fit::Header, 146, {623, 639}},
};

// The room a caption takes, in the window font.
int Caption_Width(Fit::Kind kind, const QString& text) {
    QFont font = look::Base_Font();
    switch (kind) {
    case Fit::Step_Button:
    case Fit::Button: {
        Styled_Button button(nullptr);
        button.setFont(font);
        QPixmap glyph(20, 20);
        glyph.fill(Qt::gray);
        button.Set_Glyph(QIcon(glyph));
        button.Set_Left_Aligned(kind == Fit::Step_Button);
        button.setText(text);
        return button.sizeHint().width();
    }
    case Fit::Bold_Label:
        font.setBold(true);
        return QFontMetrics(font).horizontalAdvance(text);
    case Fit::Label:
        return QFontMetrics(font).horizontalAdvance(text);
    case Fit::Header:
        return QFontMetrics(font).horizontalAdvance(text) + 4; // the title's margins
    }
    return 0;
}

TEST(Shipped_Lang, CaptionsFitTheirControls) {
    for (const Applied_File& file : Apply_All()) {
        SCOPED_TRACE(S(file.name));
        for (const Fit& fit : Fits)
            for (int index : fit.entries) {
                const QString text = file.table[index];
                EXPECT_LE(Caption_Width(fit.kind, text), fit.width)
                    << "STR" << index << " [" << S(text) << "]";
            }
    }
}

// The picture header of a Windows bitmap, as the flags need it.
struct Bmp_Check {
    bool ok = false;
    std::string why;
};

Bmp_Check Check_Flag(const QByteArray& bytes) {
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    const auto s32 = [&](int at) { return qFromLittleEndian<qint32>(bytes.constData() + at); };
    if (bytes.size() < 54 || !bytes.startsWith("BM"))
        return {false, "not a bitmap"};
    if (u32(2) != static_cast<quint32>(bytes.size()))
        return {false, "file size field does not match"};
    if (u32(14) < 40)
        return {false, "old header"};
    const int width = s32(18), height = s32(22);
    if (width != 48 || (height != 48 && height != -48))
        return {false, "not 48 x 48"};
    if (u16(26) != 1 || u16(28) != 24 || u32(30) != 0)
        return {false, "not uncompressed 24-bit"};
    const quint32 offset = u32(10);
    const int row = 48 * 3; // already a multiple of 4
    if (offset < 54 || offset + 48 * row > static_cast<quint32>(bytes.size()))
        return {false, "pixels missing"};
    // The dialog makes the bottom-left colour transparent: the whole edge must be that colour,
    // so that nothing of the picture itself disappears at its border.
    const auto pixel = [&](int x, int y_from_bottom) {
        const int stored_row = height > 0 ? y_from_bottom : 47 - y_from_bottom;
        return bytes.mid(offset + stored_row * row + x * 3, 3);
    };
    const QByteArray background = pixel(0, 0);
    for (int i = 0; i < 48; ++i)
        for (const QByteArray& edge : {pixel(i, 0), pixel(i, 47), pixel(0, i), pixel(47, i)})
            if (edge != background)
                return {false, "edge not all of the transparent colour"};
    int opaque = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            opaque += pixel(x, y) != background;
    if (opaque < 48 * 48 / 4)
        return {false, "almost nothing to see"};
    return {true, {}};
}

TEST(Shipped_Lang, FlagsAre48x48BitmapsWithATransparentEdge) {
    const QStringList flags =
        QDir(Lang_Dir).entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
    ASSERT_FALSE(flags.isEmpty());
    for (const QString& flag : flags) {
        const Bmp_Check check = Check_Flag(Read_Bytes(Lang_Dir + QLatin1Char('/') + flag));
        EXPECT_TRUE(check.ok) << S(flag) << ": " << check.why;
    }
}

TEST(Shipped_Lang, FlagCheckRefusesBrokenPictures) {
    const QByteArray good = Read_Bytes(Lang_Dir + "/Italiano.bmp");
    ASSERT_TRUE(Check_Flag(good).ok);
    const auto patched = [&](int at, QByteArray value) {
        QByteArray bytes = good;
        bytes.replace(at, value.size(), value);
        return bytes;
    };
    QByteArray no_edge = good;
    no_edge[54 + 3 * 10] = '\x01'; // a pixel of the bottom row
    const std::pair<QByteArray, std::string> broken[] = {
        {good.left(good.size() - 1), "file size field does not match"},
        {patched(18, QByteArray("\x2f\x00\x00\x00", 4)), "not 48 x 48"},
        {patched(28, QByteArray("\x20\x00", 2)), "not uncompressed 24-bit"},
        {patched(30, QByteArray("\x01\x00\x00\x00", 4)), "not uncompressed 24-bit"},
        {no_edge, "edge not all of the transparent colour"},
    };
    for (const auto& [bytes, why] : broken)
        EXPECT_EQ(Check_Flag(bytes).why, why);
}

} // namespace
