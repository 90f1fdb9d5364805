#include "lang/Language_File.h"

#include "platform/Files.h"
#include "platform/Int_Conv.h"
#include "platform/Text.h"
#include "state/App_State.h"

#include <QFile>
#include <QStringDecoder>

namespace {

const QString Pilcrow = QString(QChar(0x00B6));

// The characters 0x80 to 0x9F of Windows-1252; the rest of the code page is Latin-1.
constexpr char16_t Cp1252_High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString Decode_Cp1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        text.append(QChar(c >= 0x80 && c <= 0x9F ? Cp1252_High[c - 0x80] : char16_t{c}));
    }
    return text;
}

QString Decode_With(QStringConverter::Encoding encoding, const QByteArray& bytes) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

} // namespace

QString Decode_Text_File(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return Decode_With(QStringConverter::Utf8, bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE"))
        return Decode_With(QStringConverter::Utf16LE, bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return Decode_With(QStringConverter::Utf16BE, bytes.mid(2));
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return Decode_Cp1252(bytes);
}

QStringList Split_Text_Lines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

Lang_Line_Result Apply_Lang_Line(Lang_Table& table, const QString& line, Lang_File_State& state) {
    Lang_Line_Result result;
    const QString t = Trim_Text(line);
    QString version_text = t;

    if (t.startsWith(QLatin1String("STR"))) {
        // p counts from 1 and is 0 without "="; the index field runs from character 4 to
        // character p - 2, leaving out the character just before "=".
        const qsizetype p = t.indexOf(QLatin1Char('=')) + 1;
        const qsizetype field_length = p - 5;
        const QString field = field_length > 0 ? t.mid(3, field_length) : QString();
        const int index = To_Int(Trim_Text(field), -1);
        result.index = index;
        if (field_length <= 0 || !Parse_Int(Trim_Text(field)))
            result.kind = Lang_Line_Result::Kind::Bad_Index;
        else if (index < 0 || index >= table.Lang_Count())
            result.kind = Lang_Line_Result::Kind::Out_Of_Range;
        else {
            QString text = Trim_Text(t.mid(p));
            if (text.isEmpty()) {
                result.kind = Lang_Line_Result::Kind::Empty_Text;
            } else {
                const qsizetype comment = text.indexOf(QLatin1String("/#/"));
                if (comment >= 0)
                    text = Trim_Text(text.left(comment));
                if (text.isEmpty()) {
                    result.kind = Lang_Line_Result::Kind::Empty_After_Cut;
                } else {
                    if (text.startsWith(Pilcrow))
                        text.remove(0, 1);
                    const qsizetype mark = text.indexOf(Pilcrow);
                    if (mark >= 0)
                        text.truncate(mark);
                    table.Set_Text(index, text);
                    result.kind = Lang_Line_Result::Kind::Set;
                    result.text = text;
                    version_text = text;
                }
            }
        }
    }

    if (!state.version_found && version_text.toUpper().startsWith(QLatin1String("//VERSION"))) {
        state.version = Trim_Text(version_text.mid(9));
        state.version_found = true;
    }
    return result;
}

bool Load_Lang_File(Lang_Table& table, const QString& path, QString& lang_version) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    Lang_File_State state;
    for (const QString& line : Split_Text_Lines(Decode_Text_File(bytes)))
        Apply_Lang_Line(table, line, state);
    if (state.version_found)
        lang_version = state.version;
    return true;
}

QString Find_Language_File(const QStringList& folders, const QString& language) {
    for (const QString& folder : folders) {
        const QString path = folder + QLatin1Char('/') + language + QStringLiteral(".lng");
        if (File_Exists(path))
            return path;
    }
    return QString();
}

void Init_Language(App_State& state, Lang_Table& table) {
    table.Load_Default_Texts();
    state.Lang_Version = QStringLiteral("NO VER.");
    const QStringList folders = state.Language_Folders();
    const QString path = Find_Language_File(folders, state.Language);
    if (!path.isEmpty()) {
        if (Load_Lang_File(table, path, state.Lang_Version))
            table.Set_Language(state.Language);
        return;
    }
    state.Language = QStringLiteral("English");
    const QString english = Find_Language_File(folders, state.Language);
    if (!english.isEmpty())
        Load_Lang_File(table, english, state.Lang_Version);
}
