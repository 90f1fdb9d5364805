#include "exchange/Table_Csv.h"

#include "exchange/Exchange_Texts.h"
#include "lang/Language_File.h"
#include "platform/Int_Conv.h"
#include "platform/Text.h"

#include <QDir>
#include <algorithm>

namespace {

// The file's column titles in the string table: read 611..623, write 625..639 (On CMD
// included), DMX 504..506.
int First_Title(Csv_Table table) {
    switch (table) {
    case Csv_Table::Read:
        return 611;
    case Csv_Table::Write:
        return 625;
    case Csv_Table::DMX:
        break;
    }
    return 504;
}

QStringList Attribute_Names(Csv_Table table) {
    if (table == Csv_Table::DMX)
        return {QString(), QStringLiteral("Default_Value"), QStringLiteral("Mnemonic")};
    QStringList names;
    for (const Access_Field& field :
         Access_Fields(table == Csv_Table::Read ? Access_Kind::Read : Access_Kind::Write))
        names.append(QString::fromLatin1(field.attribute));
    return names;
}

QString Title_Key(const QString& title) {
    return Trim_Text(title).toCaseFolded();
}

// Characters below U+0020 other than tab and line breaks: an XML attribute cannot hold them.
bool Has_Control_Character(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 && u != '\t' && u != '\r' && u != '\n')
            return true;
    }
    return false;
}

Csv_Problem Problem(Csv_Problem::Kind kind, int line, int column, QString detail = {}) {
    return {kind, line, column, std::move(detail)};
}

// The record has the table's number of columns.
std::optional<Csv_Problem> Check_Column_Count(const Csv_Record& record, int columns) {
    const int count = static_cast<int>(record.fields.size());
    if (count == columns)
        return std::nullopt;
    // Name the first column missing, or the first one too many.
    const int line = count < columns ? record.fields.back().line
                                     : record.fields[static_cast<size_t>(columns)].line;
    return Problem(Csv_Problem::Kind::Column_Count, line, std::min(count, columns) + 1,
                   QString::number(columns));
}

std::optional<Csv_Problem> Check_Control_Characters(const Csv_Record& record) {
    for (size_t c = 0; c < record.fields.size(); ++c)
        if (Has_Control_Character(record.fields[c].text))
            return Problem(Csv_Problem::Kind::Control_Character, record.fields[c].line,
                           static_cast<int>(c) + 1);
    return std::nullopt;
}

std::optional<Csv_Problem> Syntax_Problem(const Csv_Syntax_Error& error) {
    const auto kind = error.kind == Csv_Syntax_Error::Kind::Open_Quote
                          ? Csv_Problem::Kind::Open_Quote
                          : Csv_Problem::Kind::Stray_Quote;
    return Problem(kind, error.line, error.column);
}

// Reads the file and checks its header; the data records follow in doc.records[1..].
std::optional<Csv_Problem> Read_With_Header(const QByteArray& bytes, Csv_Table table,
                                            const Csv_Header_Titles& titles, const Lang_Table& lang,
                                            int max_rows, Csv_Document& doc) {
    const int columns = Csv_Column_Count(table);
    // One record beyond the most rows, so that a file with too many is seen.
    doc = Read_Csv(bytes, columns, max_rows + 2);
    if (doc.records.empty())
        return doc.error ? Syntax_Problem(*doc.error)
                         : Problem(Csv_Problem::Kind::Empty_File, 1, 1);
    const Csv_Record& header = doc.records.front();
    if (auto problem = Check_Column_Count(header, columns))
        return problem;
    const QStringList expected = Csv_Titles(table, lang);
    for (int c = 0; c < columns; ++c) {
        const Csv_Field& field = header.fields[static_cast<size_t>(c)];
        if (!titles.Accepts(c, field.text))
            return Problem(Csv_Problem::Kind::Unknown_Title, field.line, c + 1, expected[c]);
    }
    return std::nullopt;
}

} // namespace

Csv_Table Csv_Table_Of(Access_Kind kind) {
    return kind == Access_Kind::Read ? Csv_Table::Read : Csv_Table::Write;
}

int Csv_Column_Count(Csv_Table table) {
    switch (table) {
    case Csv_Table::Read:
        return Layout_Of(Access_Kind::Read).Field_Count;
    case Csv_Table::Write:
        return Layout_Of(Access_Kind::Write).Field_Count;
    case Csv_Table::DMX:
        break;
    }
    return 3;
}

QStringList Csv_Titles(Csv_Table table, const Lang_Table& lang) {
    QStringList titles;
    const int first = First_Title(table);
    for (int c = 0; c < Csv_Column_Count(table); ++c)
        titles.append(lang.Text(first + c));
    return titles;
}

Csv_Header_Titles::Csv_Header_Titles(Csv_Table table, std::span<const Lang_Table> languages)
    : accepted_(static_cast<size_t>(Csv_Column_Count(table))) {
    const QStringList attributes = Attribute_Names(table);
    for (size_t c = 0; c < accepted_.size(); ++c)
        if (!attributes[static_cast<qsizetype>(c)].isEmpty())
            accepted_[c].insert(Title_Key(attributes[static_cast<qsizetype>(c)]));
    for (const Lang_Table& lang : languages) {
        const QStringList titles = Csv_Titles(table, lang);
        for (size_t c = 0; c < accepted_.size(); ++c)
            accepted_[c].insert(Title_Key(titles[static_cast<qsizetype>(c)]));
    }
}

bool Csv_Header_Titles::Accepts(int column, const QString& title) const {
    if (column < 0 || column >= static_cast<int>(accepted_.size()))
        return false;
    return accepted_[static_cast<size_t>(column)].contains(Title_Key(title));
}

std::vector<Lang_Table> Languages_Of_Folder(const QString& folder) {
    std::vector<Lang_Table> languages(1);
    languages.front().Load_Default_Texts();
    if (folder.isEmpty())
        return languages;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({QStringLiteral("*.lng")}, QDir::Files | QDir::Readable, QDir::Name)) {
        Lang_Table lang;
        lang.Load_Default_Texts();
        QString version;
        if (Load_Lang_File(lang, dir.filePath(name), version))
            languages.push_back(std::move(lang));
    }
    return languages;
}

QByteArray Export_Access_Csv(const Request_Table& table, const Lang_Table& lang,
                             Csv_Separator separator) {
    Csv_Writer writer(separator);
    writer.Add_Record(Csv_Titles(Csv_Table_Of(table.Kind()), lang));
    const int used = table.Used_Count();
    for (int slot = 1; slot <= used; ++slot)
        writer.Add_Record(table.Row(slot));
    return writer.Bytes();
}

QByteArray Export_DMX_Csv(const DMX_Default_Table& table, const Lang_Table& lang,
                          Csv_Separator separator) {
    Csv_Writer writer(separator);
    writer.Add_Record(Csv_Titles(Csv_Table::DMX, lang));
    for (int r = 0; r < table.Row_Count(); ++r) {
        const DMX_Default_Row& row = table.Rows[static_cast<size_t>(r)];
        writer.Add_Record({QString::number(r + 1), row.Default_Value, row.Mnemonic});
    }
    return writer.Bytes();
}

QString Csv_Problem_Message(const QString& path, const Csv_Problem& problem,
                            const Lang_Table& lang) {
    using K = Csv_Problem::Kind;
    int reason = exchange_text::Empty_File;
    switch (problem.kind) {
    case K::Empty_File:
        reason = exchange_text::Empty_File;
        break;
    case K::Column_Count:
        reason = exchange_text::Column_Count;
        break;
    case K::Unknown_Title:
        reason = exchange_text::Unknown_Title;
        break;
    case K::Open_Quote:
        reason = exchange_text::Open_Quote;
        break;
    case K::Stray_Quote:
        reason = exchange_text::Stray_Quote;
        break;
    case K::Too_Many_Rows:
        reason = exchange_text::Too_Many_Rows;
        break;
    case K::Empty_IP_Address:
        reason = exchange_text::Empty_IP_Address;
        break;
    case K::Channel_Order:
        reason = exchange_text::Channel_Order;
        break;
    case K::Channel_Beyond:
        reason = exchange_text::Channel_Beyond;
        break;
    case K::Control_Character:
        reason = exchange_text::Control_Character;
        break;
    }
    return lang.Text(exchange_text::Cannot_Import) + QDir::toNativeSeparators(path) +
           QLatin1Char('\n') + lang.Text(exchange_text::Line) + QString::number(problem.line) +
           lang.Text(exchange_text::Column) + QString::number(problem.column) + lang.Text(reason) +
           problem.detail;
}

QString Csv_Unreadable_Message(const QString& path, const QString& reason, const Lang_Table& lang) {
    return lang.Text(exchange_text::Cannot_Import) + QDir::toNativeSeparators(path) +
           QLatin1Char('\n') + reason;
}

Access_Csv_Import Import_Access_Csv(const QByteArray& bytes, Access_Kind kind,
                                    const Csv_Header_Titles& titles, const Lang_Table& lang) {
    Access_Csv_Import result;
    Csv_Document doc;
    result.problem =
        Read_With_Header(bytes, Csv_Table_Of(kind), titles, lang, Access_Slot_Count, doc);
    if (result.problem)
        return result;
    const int columns = Layout_Of(kind).Field_Count;
    const int ip_column = Layout_Of(kind).IP_Address; // fields are numbered from 1, as columns
    std::vector<QStringList> rows;
    for (size_t r = 1; r < doc.records.size(); ++r) {
        const Csv_Record& record = doc.records[r];
        const auto problem = [&]() -> std::optional<Csv_Problem> {
            if (r > static_cast<size_t>(Access_Slot_Count))
                return Problem(Csv_Problem::Kind::Too_Many_Rows, record.line, 1,
                               QString::number(Access_Slot_Count));
            if (auto wrong = Check_Column_Count(record, columns))
                return wrong;
            const Csv_Field& ip = record.fields[static_cast<size_t>(ip_column - 1)];
            if (Trim_Text(ip.text).isEmpty())
                return Problem(Csv_Problem::Kind::Empty_IP_Address, ip.line, ip_column);
            return Check_Control_Characters(record);
        }();
        if (problem) {
            result.problem = problem;
            return result;
        }
        QStringList row;
        row.reserve(columns);
        for (const Csv_Field& field : record.fields)
            row.append(field.text);
        rows.push_back(std::move(row));
    }
    if (doc.error) {
        result.problem = Syntax_Problem(*doc.error);
        return result;
    }
    result.rows = std::move(rows);
    return result;
}

void Replace_Access_Rows(Request_Table& table, const std::vector<QStringList>& rows) {
    table.Reset();
    const int count = std::min(static_cast<int>(rows.size()), Access_Slot_Count);
    for (int slot = 1; slot <= count; ++slot) {
        const QStringList& row = rows[static_cast<size_t>(slot - 1)];
        for (int field = 1; field <= table.Field_Count(); ++field)
            table.Set_Field(slot, field, row.value(field - 1));
    }
}

DMX_Csv_Import Import_DMX_Csv(const QByteArray& bytes, int channel_count,
                              const Csv_Header_Titles& titles, const Lang_Table& lang) {
    DMX_Csv_Import result;
    Csv_Document doc;
    result.problem =
        Read_With_Header(bytes, Csv_Table::DMX, titles, lang, DMX_Default_Table::Max_Channels, doc);
    if (result.problem)
        return result;
    const int count = std::clamp(channel_count, 0, DMX_Default_Table::Max_Channels);
    std::vector<DMX_Default_Row> rows;
    for (size_t r = 1; r < doc.records.size(); ++r) {
        const Csv_Record& record = doc.records[r];
        const int channel = static_cast<int>(r);
        const auto problem = [&]() -> std::optional<Csv_Problem> {
            if (auto wrong = Check_Column_Count(record, 3))
                return wrong;
            const Csv_Field& number = record.fields.front();
            if (Parse_Int(Trim_Text(number.text)) != channel)
                return Problem(Csv_Problem::Kind::Channel_Order, number.line, 1,
                               QString::number(channel));
            if (channel > count)
                return Problem(Csv_Problem::Kind::Channel_Beyond, number.line, 1,
                               QString::number(count));
            return Check_Control_Characters(record);
        }();
        if (problem) {
            result.problem = problem;
            return result;
        }
        rows.push_back({record.fields[1].text, record.fields[2].text});
    }
    if (doc.error) {
        result.problem = Syntax_Problem(*doc.error);
        return result;
    }
    result.rows = std::move(rows);
    return result;
}

DMX_Default_Table DMX_Table_From_Rows(int channel_count, const std::vector<DMX_Default_Row>& rows) {
    DMX_Default_Table table = DMX_Default_Table::With_Channels(channel_count);
    const size_t count = std::min(rows.size(), table.Rows.size());
    std::copy_n(rows.begin(), count, table.Rows.begin());
    return table;
}
