#include "exchange/Csv_Format.h"

#include "lang/Language_File.h"

#include <array>
#include <csv.h>
#include <new>

char Separator_Char(Csv_Separator separator) {
    switch (separator) {
    case Csv_Separator::Semicolon:
        return ';';
    case Csv_Separator::Tab:
        return '\t';
    case Csv_Separator::Comma:
        break;
    }
    return ',';
}

std::optional<Csv_Separator> Separator_Of(char c) {
    switch (c) {
    case ',':
        return Csv_Separator::Comma;
    case ';':
        return Csv_Separator::Semicolon;
    case '\t':
        return Csv_Separator::Tab;
    default:
        return std::nullopt;
    }
}

// ---- writing -------------------------------------------------------------------------------

Csv_Writer::Csv_Writer(Csv_Separator separator)
    : separator_(Separator_Char(separator))
    , bytes_("\xEF\xBB\xBF") {}

void Csv_Writer::Add_Record(const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            bytes_ += separator_;
        const QByteArray text = fields[i].toUtf8();
        const bool quote = text.contains(separator_) || text.contains('"') || text.contains('\r') ||
                           text.contains('\n') ||
                           (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t' ||
                                                text.back() == ' ' || text.back() == '\t'));
        if (!quote) {
            bytes_ += text;
            continue;
        }
        // Enclosed in quotes, each quote doubled: at most twice the text and the two quotes.
        quoted_.resize(2 * text.size() + 2);
        const size_t length = csv_write(quoted_.data(), static_cast<size_t>(quoted_.size()),
                                        text.constData(), static_cast<size_t>(text.size()));
        bytes_.append(quoted_.constData(), static_cast<qsizetype>(length));
    }
    bytes_ += "\r\n";
}

// ---- reading -------------------------------------------------------------------------------

bool Csv_Record::Is_Blank() const {
    for (const Csv_Field& field : fields)
        if (!field.text.isEmpty())
            return false;
    return true;
}

namespace {

// The separator of the file, from its first record.
char Detect_Separator(const QByteArray& text, int expected_columns) {
    constexpr std::array<char, 3> candidates = {',', ';', '\t'};
    std::array<int, 3> counts = {0, 0, 0};
    bool quoted = false;
    qsizetype start = 0;
    while (start < text.size() && (text[start] == '\r' || text[start] == '\n'))
        ++start; // empty lines before the first record are skipped
    for (qsizetype i = start; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\r' || c == '\n'))
            break;
        else if (!quoted)
            for (size_t i = 0; i < candidates.size(); ++i)
                if (c == candidates[i])
                    ++counts[i];
    }
    for (size_t i = 0; i < candidates.size(); ++i)
        if (counts[i] + 1 == expected_columns)
            return candidates[i];
    size_t best = 0;
    for (size_t i = 1; i < candidates.size(); ++i)
        if (counts[i] > counts[best])
            best = i;
    return candidates[best];
}

// libcsv reports fields and record ends through callbacks; the file is fed one byte at a time so
// that each field is known by the line on which it begins.
struct Parse_State {
    Parse_State(Csv_Document& document, int most)
        : doc(document)
        , max_records(most) {}

    Csv_Document& doc;
    int max_records;

    int line = 1;                // line of the byte being fed
    int field_line = 1;          // line on which the field being read began
    bool field_pending = true;   // the next byte that libcsv keeps begins a field
    bool between_records = true; // libcsv skips line ends here
    Csv_Record record;
    int kept = 0;              // records that are not blank
    bool in_blank_run = false; // the last record kept was blank
    bool full = false;

    void Field(const void* data, size_t length) {
        record.fields.push_back(
            {QString::fromUtf8(static_cast<const char*>(data), static_cast<qsizetype>(length)),
             field_line});
        field_pending = true;
    }

    void Record_End() {
        record.line = record.fields.empty() ? field_line : record.fields.front().line;
        if (record.Is_Blank()) {
            // One blank record stands for its whole run.
            if (!in_blank_run)
                doc.records.push_back(std::move(record));
            in_blank_run = true;
        } else {
            doc.records.push_back(std::move(record));
            in_blank_run = false;
            if (++kept >= max_records)
                full = true;
        }
        record = {};
        field_pending = true;
        between_records = true;
    }

    static void On_Field(void* data, size_t length, void* self) {
        static_cast<Parse_State*>(self)->Field(data, length);
    }
    static void On_Record(int, void* self) { static_cast<Parse_State*>(self)->Record_End(); }
};

// Nothing is trimmed: blanks are part of the text.
int No_Space(unsigned char) {
    return 0;
}

} // namespace

Csv_Document Read_Csv(const QByteArray& bytes, int expected_columns, int max_records) {
    Csv_Document doc;
    const QByteArray text = Decode_Text_File(bytes).toUtf8();
    doc.separator = Detect_Separator(text, expected_columns);

    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0)
        throw std::bad_alloc();
    struct Release {
        csv_parser& p;
        ~Release() { csv_free(&p); }
    } release{parser};
    csv_set_delim(&parser, static_cast<unsigned char>(doc.separator));
    csv_set_space_func(&parser, No_Space);

    Parse_State state(doc, max_records);
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size && !state.full; ++i) {
        const char c = text[i];
        const bool line_end = c == '\r' || c == '\n';
        if (state.field_pending && !(state.between_records && line_end)) {
            state.field_line = state.line;
            state.field_pending = false;
            state.between_records = false;
        }
        if (csv_parse(&parser, text.constData() + i, 1, Parse_State::On_Field,
                      Parse_State::On_Record, &state) != 1) {
            if (csv_error(&parser) != CSV_EPARSE)
                throw std::bad_alloc();
            doc.error = Csv_Syntax_Error{Csv_Syntax_Error::Kind::Stray_Quote, state.line,
                                         static_cast<int>(state.record.fields.size()) + 1};
            return doc;
        }
        if (c == '\n' || (c == '\r' && (i + 1 >= size || text[i + 1] != '\n')))
            ++state.line;
    }
    if (state.full) {
        doc.truncated = true;
        return doc;
    }
    if (csv_fini(&parser, Parse_State::On_Field, Parse_State::On_Record, &state) != 0) {
        doc.error = Csv_Syntax_Error{Csv_Syntax_Error::Kind::Open_Quote, state.field_line,
                                     static_cast<int>(state.record.fields.size()) + 1};
        return doc;
    }
    // Blank records that end the file are no rows.
    if (state.in_blank_run)
        doc.records.pop_back();
    return doc;
}
