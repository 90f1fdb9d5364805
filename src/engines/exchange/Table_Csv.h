#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <span>
#include <vector>

#include "access/Access_Table.h"
#include "comm/DMX_Default_Table.h"
#include "exchange/Csv_Format.h"
#include "lang/Lang_Table.h"

// The request tables and the DMX default values as CSV files for spreadsheet programs: one line
// of column titles, then one line per row with the texts exactly as the table holds them.
//
// - read table: its 13 fields, Enable to Mnemonic; write table: its 15 fields, the On CMD that the
//   window never shows included, so that a round trip keeps it. The used part of the table is
//   written, disabled rows included.
// - DMX table: Channel (written for the reader, checked on import), Default Value, Mnemonic, one
//   line per channel.
//
// An import takes the whole file or nothing: a file of the wrong shape is refused with a problem
// that names its line and column, and the table is left alone. The values themselves are checked
// later, by the same checks as typed values.

enum class Csv_Table { Read, Write, DMX };

Csv_Table Csv_Table_Of(Access_Kind kind);
// Columns of a table's file: 13, 15 or 3.
int Csv_Column_Count(Csv_Table table);
// The column titles in a language (the window's column titles).
QStringList Csv_Titles(Csv_Table table, const Lang_Table& lang);

// What the header line may name in each column, compared without regard to case or surrounding
// blanks: the titles of every language given and the attribute names of the project files
// (Enable, IP_Address, ...; Default_Value, Mnemonic).
class Csv_Header_Titles {
public:
    Csv_Header_Titles(Csv_Table table, std::span<const Lang_Table> languages);
    bool Accepts(int column, const QString& title) const; // column from 0
private:
    std::vector<QSet<QString>> accepted_;
};

// The English texts and, over them, every language file (*.lng) of a folder; a file that cannot
// be read is left out.
std::vector<Lang_Table> Languages_Of_Folder(const QString& folder);

QByteArray Export_Access_Csv(const Request_Table& table, const Lang_Table& lang,
                             Csv_Separator separator);
QByteArray Export_DMX_Csv(const DMX_Default_Table& table, const Lang_Table& lang,
                          Csv_Separator separator);

// Why a file cannot be imported, and where.
struct Csv_Problem {
    enum class Kind {
        Empty_File,       // no header line
        Column_Count,     // detail: the number of columns expected
        Unknown_Title,    // detail: the title expected in the current language
        Open_Quote,       // a quoted text is not closed
        Stray_Quote,      // a quote where none may stand
        Too_Many_Rows,    // detail: the most rows a table holds
        Empty_IP_Address, // the table would end at this row and lose the rows from here
        Channel_Order,    // detail: the channel number expected
        Channel_Beyond,   // detail: the configuration's channel count
        Control_Character // a character that a project file cannot keep
    };
    Kind kind;
    int line = 1;   // physical line of the file, from 1
    int column = 1; // from 1
    QString detail;
};

// The message for the user: the file, then the line, the column and what is wrong, from the
// string table.
QString Csv_Problem_Message(const QString& path, const Csv_Problem& problem,
                            const Lang_Table& lang);
// The message for a file that cannot be read at all.
QString Csv_Unreadable_Message(const QString& path, const QString& reason, const Lang_Table& lang);

struct Access_Csv_Import {
    std::vector<QStringList> rows; // each with the table's fields, Enable first
    std::optional<Csv_Problem> problem;
};
// Up to 512 rows, each with a Slave IP Address (a row without one would end the table and lose
// the rows after it at the next save).
Access_Csv_Import Import_Access_Csv(const QByteArray& bytes, Access_Kind kind,
                                    const Csv_Header_Titles& titles, const Lang_Table& lang);
// The rows into slots 1, 2, ...; every later slot empty with Enable "Y".
void Replace_Access_Rows(Request_Table& table, const std::vector<QStringList>& rows);

struct DMX_Csv_Import {
    std::vector<DMX_Default_Row> rows; // channel 1 first
    std::optional<Csv_Problem> problem;
};
// Channels 1, 2, ... M in order, M at most channel_count.
DMX_Csv_Import Import_DMX_Csv(const QByteArray& bytes, int channel_count,
                              const Csv_Header_Titles& titles, const Lang_Table& lang);
// The table of channel_count rows: the file's rows first, the others at "0" with no mnemonic.
DMX_Default_Table DMX_Table_From_Rows(int channel_count, const std::vector<DMX_Default_Row>& rows);
