#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class Lang_Table;

// The default value of one DMX channel and its free description, as typed.
struct DMX_Default_Row {
    QString Default_Value = QStringLiteral("0");
    QString Mnemonic;

    bool operator==(const DMX_Default_Row&) const = default;
};

// One row per DMX channel, channel 1 first; the channel number is the row's position.
struct DMX_Default_Table {
    // The device has 512 channels.
    static constexpr int Max_Channels = 512;

    std::vector<DMX_Default_Row> Rows;

    int Row_Count() const { return static_cast<int>(Rows.size()); }
    // Rows at "0" with an empty mnemonic for a channel count; a count below 1 gives no rows, one
    // above 512 gives 512.
    static DMX_Default_Table With_Channels(int channel_count);

    bool operator==(const DMX_Default_Table&) const = default;
};

// The channel count of a configuration: the integer in DMX_Num_Channels of ParGen.xml, or 512
// without a file, without the element or when its text is not an integer. The count is taken
// as it stands. Throws Tessaro_Error when the file exists but cannot be read or is not XML.
int Load_DMX_Channel_Count(const QString& pargen_path);

// What went wrong while the table was read: each file that exists but cannot be read, with the
// message naming it, the place and the reason. The table was then built as if it were missing.
struct DMX_Load_Problems {
    std::optional<QString> ParGen_Error;
    std::optional<QString> Values_Error;
};

// The table as the editor shows it: as many rows as the channel count (at most 512), each at "0"
// and an empty mnemonic, then filled by position from the children of DMX_Default_Values.xml's
// first element; each attribute is read on its own and children beyond the count are ignored.
// This form throws Tessaro_Error at the first file that cannot be read.
DMX_Default_Table Load_DMX_Defaults(const QString& pargen_path, const QString& values_path);
// This form reports unreadable files in problems and goes on as if they were missing; the
// messages are in the language of lang, in English without it.
DMX_Default_Table Load_DMX_Defaults(const QString& pargen_path, const QString& values_path,
                                    DMX_Load_Problems& problems, const Lang_Table* lang = nullptr);

// The bytes of DMX_Default_Values.xml: one empty Row per channel with Default_Value then
// Mnemonic, then the version comment; no declaration, no indentation.
QByteArray DMX_Defaults_Bytes(const DMX_Default_Table& table);
// Replaces the file in one step; throws Tessaro_Error naming the file and the reason.
void Save_DMX_Defaults(const QString& path, const DMX_Default_Table& table);

// The checks made before saving: every default value must read as an integer from 0 to 255
// (a text that is not an integer fails). The rows that fail, counted from 1, in order.
std::vector<int> DMX_Failing_Rows(const DMX_Default_Table& table);
// The message for a failing row: "Error row " + row + "!! Default Value must be between 0 and
// 255" from the current string table.
QString DMX_Row_Message(int row, const Lang_Table& lang);
// The message of the first failing row, or nothing when the table may be saved.
std::optional<QString> Controllo_dati(const DMX_Default_Table& table, const Lang_Table& lang);
// The messages of every failing row, in order.
QStringList DMX_Failure_Messages(const DMX_Default_Table& table, const Lang_Table& lang);
