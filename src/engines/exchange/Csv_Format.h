#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// CSV files as spreadsheet programs read and write them (RFC 4180 quoting), through libcsv.

// The separator between the fields of a line.
enum class Csv_Separator { Comma, Semicolon, Tab };

char Separator_Char(Csv_Separator separator);
// ',', ';' or '\t'; nothing for any other character.
std::optional<Csv_Separator> Separator_Of(char c);

// Writes a file: UTF-8 with a byte-order mark, CR LF after every line. A field is quoted when it
// holds the separator, a quote or a line break, or begins or ends with a blank; other fields are
// written as they stand.
class Csv_Writer {
public:
    explicit Csv_Writer(Csv_Separator separator);
    void Add_Record(const QStringList& fields);
    const QByteArray& Bytes() const { return bytes_; }

private:
    char separator_;
    QByteArray bytes_;
    QByteArray quoted_; // room for libcsv's quoting
};

// Where a field begins: the physical line of the file (from 1) and the column, counted from 1.
struct Csv_Field {
    QString text;
    int line = 1;
};

struct Csv_Record {
    std::vector<Csv_Field> fields;
    int line = 1; // where the record begins
    // True when every field is empty.
    bool Is_Blank() const;
};

// A fault of the file's syntax: where parsing stopped.
struct Csv_Syntax_Error {
    enum class Kind {
        Open_Quote, // a quoted field whose closing quote never comes
        Stray_Quote // a quote inside an unquoted field, or text after a closing quote
    };
    Kind kind;
    int line;
    int column;
};

struct Csv_Document {
    char separator = ',';
    std::vector<Csv_Record> records;
    // Parsing stopped here; the records read before it are kept.
    std::optional<Csv_Syntax_Error> error;
    // Parsing stopped after the most records that were asked for.
    bool truncated = false;
};

// Reads a file. The text is UTF-8 or UTF-16 after a byte-order mark, UTF-8 without one when it is
// valid UTF-8, else Windows-1252. Lines end with CR LF, LF or CR; the last one may lack its end.
//
// The separator is chosen from the first record: the one of comma, semicolon and tab that splits
// it into expected_columns fields, else the one that occurs most often outside quotes (comma on a
// tie). Fields are kept exactly as they stand, blanks included.
//
// Empty lines are skipped. Of a run of blank records (every field empty, as spreadsheet programs
// append them) only the first is kept, and a run at the end of the file is dropped. Parsing
// stops after max_records records that are not blank (truncated is then set).
Csv_Document Read_Csv(const QByteArray& bytes, int expected_columns, int max_records);
