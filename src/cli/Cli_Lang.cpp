#include "cli/Cli.h"

#include "lang/Language_File.h"
#include "platform/Error.h"
#include "platform/Files.h"

QString Lang_Usage() {
    return QStringLiteral(
        "Usage: tessaro-cli lang FILE.lng [--json]\n"
        "\n"
        "Applies the language file over the English texts exactly as the configurator does.\n"
        "Without --json it lists the version found, every entry the file sets, every STR line\n"
        "that changed nothing and why, and the entries a window shows that the file leaves in\n"
        "English. With --json it prints {\"version\": TEXT, \"entries\": [1000 TEXTS]}.\n");
}

namespace {

QString Quoted(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString Reason(const Lang_Line_Result& result, int count) {
    switch (result.kind) {
    case Lang_Line_Result::Kind::Bad_Index:
        return QStringLiteral("the index field is not a number");
    case Lang_Line_Result::Kind::Out_Of_Range:
        return QStringLiteral("index %1 is outside 0 to %2").arg(result.index).arg(count - 1);
    case Lang_Line_Result::Kind::Empty_Text:
        return QStringLiteral("the text after \"=\" is empty");
    case Lang_Line_Result::Kind::Empty_After_Cut:
        return QStringLiteral("the text is empty once the \"/#/\" comment is cut");
    default:
        return QString();
    }
}

} // namespace

int Verb_Lang(const QStringList& arguments, Cli_Streams streams) {
    QString path;
    bool json = false;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            streams.out << Lang_Usage();
            return Exit_Ok;
        }
        if (argument == QLatin1String("--json"))
            json = true;
        else if (argument.startsWith(QLatin1Char('-')) || !path.isEmpty()) {
            streams.err << "tessaro-cli lang: unexpected argument \"" << argument << "\"\n\n"
                        << Lang_Usage();
            return Exit_Usage;
        } else
            path = argument;
    }
    if (path.isEmpty()) {
        streams.err << "tessaro-cli lang: the language file is missing\n\n" << Lang_Usage();
        return Exit_Usage;
    }

    QByteArray bytes;
    try {
        bytes = Read_File_Bytes(path);
    } catch (const Tessaro_Error& error) {
        streams.err << error.Message() << '\n';
        return Exit_Failed;
    }

    Lang_Table table;
    table.Load_Default_Texts();
    Lang_File_State state;
    struct Line_Report {
        int line;
        QString text;
        Lang_Line_Result result;
    };
    std::vector<Line_Report> refused;
    std::vector<int> set_order;
    const QStringList lines = Split_Text_Lines(Decode_Text_File(bytes));
    for (int i = 0; i < lines.size(); ++i) {
        const Lang_Line_Result result = Apply_Lang_Line(table, lines[i], state);
        if (result.kind == Lang_Line_Result::Kind::Set) {
            if (std::find(set_order.begin(), set_order.end(), result.index) == set_order.end())
                set_order.push_back(result.index);
        } else if (result.kind != Lang_Line_Result::Kind::Ignored) {
            refused.push_back({i + 1, lines[i], result});
        }
    }
    const QString version = state.version_found ? state.version : QStringLiteral("NO VER.");

    if (json) {
        streams.out << "{\"version\": " << Json_String(version) << ", \"entries\": [";
        for (int index = 0; index < table.Lang_Count(); ++index)
            streams.out << (index ? ", " : "") << Json_String(table[index]);
        streams.out << "]}\n";
        return Exit_Ok;
    }

    streams.out << "Version: " << (state.version_found ? version : QStringLiteral("none")) << '\n';
    std::sort(set_order.begin(), set_order.end());
    streams.out << "Entries set: " << set_order.size() << '\n';
    for (const int index : set_order)
        streams.out << "  " << index << " = " << Quoted(table[index]) << '\n';
    streams.out << "STR lines that changed nothing: " << refused.size() << '\n';
    for (const Line_Report& report : refused)
        streams.out << "  line " << report.line << ": " << Quoted(report.text.trimmed()) << ": "
                    << Reason(report.result, table.Lang_Count()) << '\n';
    Lang_Table defaults;
    defaults.Load_Default_Texts();
    QStringList left;
    for (int index = 0; index < table.Lang_Count(); ++index)
        if (Is_Shown_Entry(index) &&
            std::find(set_order.begin(), set_order.end(), index) == set_order.end())
            left.append(QString::number(index));
    streams.out << "Shown entries left in English: " << left.size() << '\n';
    for (const QString& index : left)
        streams.out << "  " << index << " = " << Quoted(defaults[index.toInt()]) << '\n';
    return Exit_Ok;
}
