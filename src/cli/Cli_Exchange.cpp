#include "cli/Cli.h"

#include "access/Access_Check.h"
#include "access/Access_File.h"
#include "comm/DMX_Default_Table.h"
#include "exchange/Table_Csv.h"
#include "lang/Language_File.h"
#include "platform/Error.h"
#include "platform/Files.h"

#include <QCoreApplication>
#include <QDir>

QString Export_Usage() {
    return QStringLiteral(
        "Usage: tessaro-cli export DIR --table read|write|dmx [-o FILE]\n"
        "                          [--separator comma|semicolon|tab] [--language FILE.lng]\n"
        "\n"
        "Writes one table of the configuration folder DIR, as its file holds it, as a CSV file\n"
        "for spreadsheet programs: the read or write table of ModbusTCPM_SetAccess.xml (the rows\n"
        "of the used part, disabled rows included; the write table with its On CMD column) or\n"
        "the DMX default values (one line per channel of the channel count in ParGen.xml).\n"
        "The first line holds the column titles, in English or in the language of FILE.lng.\n"
        "UTF-8 with a byte-order mark, CR LF line ends, comma separated unless --separator says\n"
        "otherwise. Written to FILE, or to standard output without -o.\n");
}

QString Import_Usage() {
    return QStringLiteral(
        "Usage: tessaro-cli import DIR --table read|write|dmx FILE [--language FILE.lng]\n"
        "\n"
        "Replaces one table of the configuration folder DIR with the rows of the CSV file FILE\n"
        "(as \"Import...\" in the table's dialog does), runs the checks that the dialog runs on\n"
        "OK over the result, and only when they pass saves the project file exactly as the\n"
        "dialog's OK would; the other table of ModbusTCPM_SetAccess.xml is kept as it is.\n"
        "The separator (comma, semicolon or tab) is taken from the first line, whose column\n"
        "titles may be English, the file attribute names (IP_Address, Default_Value, ...), the\n"
        "language of any .lng file in the LANGUAGE folder beside tessaro-cli, or that of\n"
        "FILE.lng. A file that cannot be imported, or a table that fails the checks, gives its\n"
        "messages and exit status 1, and nothing is written.\n");
}

namespace {

struct Exchange_Arguments {
    QString dir;
    QString table_name;
    QString output;    // export: -o
    QString separator; // export: --separator
    QString language;  // --language
    QString file;      // import: the CSV file
};

std::optional<Csv_Table> Table_Named(const QString& name) {
    if (name == QLatin1String("read"))
        return Csv_Table::Read;
    if (name == QLatin1String("write"))
        return Csv_Table::Write;
    if (name == QLatin1String("dmx"))
        return Csv_Table::DMX;
    return std::nullopt;
}

std::optional<Csv_Separator> Separator_Named(const QString& name) {
    if (name.isEmpty() || name == QLatin1String("comma"))
        return Csv_Separator::Comma;
    if (name == QLatin1String("semicolon"))
        return Csv_Separator::Semicolon;
    if (name == QLatin1String("tab"))
        return Csv_Separator::Tab;
    return std::nullopt;
}

// Reads the verb's arguments; a usage message and exit status 2 when they are wrong.
std::optional<int> Parse_Arguments(const char* verb, bool import, const QStringList& arguments,
                                   Exchange_Arguments& parsed, Cli_Streams streams) {
    const QString usage = import ? Import_Usage() : Export_Usage();
    const auto wrong = [&](const QString& why) {
        streams.err << "tessaro-cli " << verb << ": " << why << "\n\n" << usage;
        return Exit_Usage;
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            streams.out << usage;
            return Exit_Ok;
        }
        QString* option = nullptr;
        if (argument == QLatin1String("--table"))
            option = &parsed.table_name;
        else if (argument == QLatin1String("--language"))
            option = &parsed.language;
        else if (!import && argument == QLatin1String("-o"))
            option = &parsed.output;
        else if (!import && argument == QLatin1String("--separator"))
            option = &parsed.separator;
        if (option) {
            if (i + 1 >= arguments.size() || !option->isEmpty())
                return wrong(argument + QStringLiteral(" needs one value"));
            *option = arguments[++i];
        } else if (argument.startsWith(QLatin1Char('-'))) {
            return wrong(QStringLiteral("unexpected argument \"%1\"").arg(argument));
        } else if (parsed.dir.isEmpty()) {
            parsed.dir = argument;
        } else if (import && parsed.file.isEmpty()) {
            parsed.file = argument;
        } else {
            return wrong(QStringLiteral("unexpected argument \"%1\"").arg(argument));
        }
    }
    if (parsed.dir.isEmpty())
        return wrong(QStringLiteral("the configuration folder is missing"));
    if (parsed.table_name.isEmpty())
        return wrong(QStringLiteral("--table is missing"));
    if (!Table_Named(parsed.table_name))
        return wrong(QStringLiteral("--table must be read, write or dmx"));
    if (!Separator_Named(parsed.separator))
        return wrong(QStringLiteral("--separator must be comma, semicolon or tab"));
    if (import && parsed.file.isEmpty())
        return wrong(QStringLiteral("the CSV file is missing"));
    return std::nullopt;
}

// English, then the language of --language when given.
Lang_Table Output_Language(const QString& language) {
    Lang_Table lang;
    lang.Load_Default_Texts();
    if (!language.isEmpty()) {
        QString version;
        if (!File_Exists(language) || !Load_Lang_File(lang, language, version))
            throw Tessaro_Error(File_Display_Name(language) + QStringLiteral(": cannot be read"));
    }
    return lang;
}

// The files of a configuration folder.
struct Project_Files {
    explicit Project_Files(const QString& dir)
        : pargen(dir + QStringLiteral("/ParGen.xml"))
        , dmx(dir + QStringLiteral("/DMX_Default_Values.xml"))
        , access(dir + QStringLiteral("/ModbusTCPM_SetAccess.xml")) {}
    QString pargen;
    QString dmx;
    QString access;
};

Access_Kind Kind_Of(Csv_Table table) {
    return table == Csv_Table::Read ? Access_Kind::Read : Access_Kind::Write;
}

// Both request tables as the access dialog loads them.
Access_Table Load_Access(const QString& path) {
    Access_Table access;
    access.Reset_Access_Table();
    Load_Access_File(path, access);
    return access;
}

} // namespace

int Verb_Export(const QStringList& arguments, Cli_Streams streams) {
    Exchange_Arguments parsed;
    if (const auto status = Parse_Arguments("export", false, arguments, parsed, streams))
        return *status;
    if (!Folder_Exists(parsed.dir)) {
        streams.err << "tessaro-cli export: the configuration folder \"" << parsed.dir
                    << "\" does not exist\n";
        return Exit_Failed;
    }
    const Csv_Table table = *Table_Named(parsed.table_name);
    const Csv_Separator separator = *Separator_Named(parsed.separator);
    const Project_Files files(parsed.dir);
    try {
        const Lang_Table lang = Output_Language(parsed.language);
        QByteArray bytes;
        if (table == Csv_Table::DMX)
            bytes = Export_DMX_Csv(Load_DMX_Defaults(files.pargen, files.dmx), lang, separator);
        else
            bytes =
                Export_Access_Csv(Load_Access(files.access).Table(Kind_Of(table)), lang, separator);
        if (parsed.output.isEmpty()) {
            // The bytes as they stand, byte-order mark included.
            streams.out.flush();
            if (QIODevice* device = streams.out.device())
                device->write(bytes);
            else
                streams.out << QString::fromUtf8(bytes);
            return Exit_Ok;
        }
        if (const auto error = Write_File_Atomic(parsed.output, bytes))
            throw Tessaro_Error(QStringLiteral("%1: cannot be written: %2")
                                    .arg(File_Display_Name(parsed.output), *error));
        return Exit_Ok;
    } catch (const Tessaro_Error& error) {
        streams.err << error.Message() << '\n';
        return Exit_Failed;
    }
}

int Verb_Import(const QStringList& arguments, Cli_Streams streams) {
    Exchange_Arguments parsed;
    if (const auto status = Parse_Arguments("import", true, arguments, parsed, streams))
        return *status;
    if (!Folder_Exists(parsed.dir)) {
        streams.err << "tessaro-cli import: the configuration folder \"" << parsed.dir
                    << "\" does not exist\n";
        return Exit_Failed;
    }
    const Csv_Table table = *Table_Named(parsed.table_name);
    const Project_Files files(parsed.dir);
    try {
        const Lang_Table lang = Output_Language(parsed.language);
        std::vector<Lang_Table> languages = Languages_Of_Folder(
            QCoreApplication::applicationDirPath() + QStringLiteral("/LANGUAGE"));
        languages.push_back(lang);
        const Csv_Header_Titles titles(table, languages);

        QByteArray bytes;
        try {
            bytes = Read_File_Bytes(parsed.file);
        } catch (const Tessaro_Error& error) {
            throw Tessaro_Error(Csv_Unreadable_Message(parsed.file, error.Message(), lang));
        }

        // The project files are read before anything is replaced: one that cannot be read
        // stops the import.
        QString written;
        QStringList failures;
        if (table == Csv_Table::DMX) {
            const DMX_Default_Table loaded = Load_DMX_Defaults(files.pargen, files.dmx);
            const int channels = loaded.Row_Count();
            const DMX_Csv_Import imported = Import_DMX_Csv(bytes, channels, titles, lang);
            if (imported.problem)
                throw Tessaro_Error(Csv_Problem_Message(parsed.file, *imported.problem, lang));
            const DMX_Default_Table replaced = DMX_Table_From_Rows(channels, imported.rows);
            failures = DMX_Failure_Messages(replaced, lang);
            if (failures.isEmpty()) {
                Save_DMX_Defaults(files.dmx, replaced);
                written = QStringLiteral("%1: %2 of %3 channels imported")
                              .arg(QDir::toNativeSeparators(files.dmx))
                              .arg(imported.rows.size())
                              .arg(channels);
            }
        } else {
            const Access_Kind kind = Kind_Of(table);
            // The dialog does not open while ParGen.xml cannot be read either.
            Access_Kind_For_DMX(files.pargen);
            Access_Table access = Load_Access(files.access);
            const Access_Csv_Import imported = Import_Access_Csv(bytes, kind, titles, lang);
            if (imported.problem)
                throw Tessaro_Error(Csv_Problem_Message(parsed.file, *imported.problem, lang));
            Replace_Access_Rows(access.Table(kind), imported.rows);
            for (const Access_Failure& failure : All_Access_Failures(access, lang))
                failures.append(failure.message);
            if (failures.isEmpty()) {
                Save_Access_File(files.access, access);
                written = QStringLiteral("%1: %2 %3 of the %4 table imported")
                              .arg(QDir::toNativeSeparators(files.access))
                              .arg(imported.rows.size())
                              .arg(imported.rows.size() == 1 ? "row" : "rows", parsed.table_name);
            }
        }
        if (!failures.isEmpty()) {
            for (const QString& failure : failures)
                streams.err << failure << '\n';
            streams.err << "Nothing was written.\n";
            return Exit_Failed;
        }
        streams.out << written << '\n';
        return Exit_Ok;
    } catch (const Tessaro_Error& error) {
        streams.err << error.Message() << '\n';
        return Exit_Failed;
    }
}
