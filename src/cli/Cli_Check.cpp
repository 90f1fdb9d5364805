#include "cli/Cli.h"

#include "access/Access_Check.h"
#include "access/Access_File.h"
#include "comm/Comm_Settings.h"
#include "comm/DMX_Default_Table.h"
#include "lang/Language_File.h"
#include "platform/Error.h"
#include "platform/Files.h"

QString Check_Usage() {
    return QStringLiteral(
        "Usage: tessaro-cli check DIR [--all] [--language FILE.lng]\n"
        "\n"
        "Reads the three files of the configuration folder DIR as their editors read them and\n"
        "runs the checks that the editors run on OK. For each file one line: its name, then\n"
        "\"OK\", \"missing (defaults apply)\" or the message the editor would show (in English, "
        "or\n"
        "in the language of FILE.lng). --all lists every failing row and rule, one per line.\n"
        "Exit status 0 when every file passes, 1 otherwise.\n");
}

namespace {

// The outcome of one file: no messages when it passes.
struct File_Result {
    explicit File_Result(const char* file_name)
        : name(QString::fromLatin1(file_name)) {}
    QString name;
    bool missing = false;
    QStringList messages;
};

File_Result Check_Comm(const QString& path, const Lang_Table& lang) {
    File_Result result("ParGen.xml");
    if (!File_Exists(path)) {
        result.missing = true;
        return result;
    }
    try {
        result.messages = Comm_Failure_Messages(Load_Comm_Settings(path), lang);
    } catch (const Tessaro_Error& error) {
        result.messages.append(error.Message());
    }
    return result;
}

File_Result Check_DMX(const QString& pargen_path, const QString& path, const Lang_Table& lang) {
    File_Result result("DMX_Default_Values.xml");
    if (!File_Exists(path)) {
        result.missing = true;
        return result;
    }
    // The row count comes from ParGen.xml as the editor takes it; a ParGen.xml that cannot be read
    // is reported on its own line and the editor then shows 512 rows.
    DMX_Load_Problems problems;
    const DMX_Default_Table table = Load_DMX_Defaults(pargen_path, path, problems);
    if (problems.Values_Error)
        result.messages.append(*problems.Values_Error);
    else
        result.messages = DMX_Failure_Messages(table, lang);
    return result;
}

File_Result Check_Access(const QString& path, const Lang_Table& lang) {
    File_Result result("ModbusTCPM_SetAccess.xml");
    if (!File_Exists(path)) {
        result.missing = true;
        return result;
    }
    try {
        Access_Table table;
        table.Reset_Access_Table();
        Load_Access_File(path, table);
        for (const Access_Failure& failure : All_Access_Failures(table, lang))
            result.messages.append(failure.message);
    } catch (const Tessaro_Error& error) {
        result.messages.append(error.Message());
    }
    return result;
}

} // namespace

int Verb_Check(const QStringList& arguments, Cli_Streams streams) {
    QString dir;
    QString language;
    bool all = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            streams.out << Check_Usage();
            return Exit_Ok;
        }
        if (argument == QLatin1String("--all")) {
            all = true;
        } else if (argument == QLatin1String("--language")) {
            if (i + 1 >= arguments.size() || !language.isEmpty()) {
                streams.err << "tessaro-cli check: --language needs one language file\n\n"
                            << Check_Usage();
                return Exit_Usage;
            }
            language = arguments[++i];
        } else if (argument.startsWith(QLatin1Char('-')) || !dir.isEmpty()) {
            streams.err << "tessaro-cli check: unexpected argument \"" << argument << "\"\n\n"
                        << Check_Usage();
            return Exit_Usage;
        } else {
            dir = argument;
        }
    }
    if (dir.isEmpty()) {
        streams.err << "tessaro-cli check: the configuration folder is missing\n\n"
                    << Check_Usage();
        return Exit_Usage;
    }
    // A name such as "Hall A" that is no path here is a configuration of the configurator.
    dir = Resolve_Configuration_Dir(dir);
    if (!Folder_Exists(dir)) {
        streams.err << "tessaro-cli check: the configuration folder \"" << dir
                    << "\" does not exist\n";
        return Exit_Failed;
    }

    Lang_Table lang;
    lang.Load_Default_Texts();
    if (!language.isEmpty()) {
        QString version;
        if (!File_Exists(language) || !Load_Lang_File(lang, language, version)) {
            streams.err << File_Display_Name(language) << ": cannot be read\n";
            return Exit_Failed;
        }
    }

    const QString pargen = dir + QStringLiteral("/ParGen.xml");
    const File_Result results[] = {
        Check_Comm(pargen, lang),
        Check_DMX(pargen, dir + QStringLiteral("/DMX_Default_Values.xml"), lang),
        Check_Access(dir + QStringLiteral("/ModbusTCPM_SetAccess.xml"), lang),
    };
    bool passed = true;
    for (const File_Result& result : results) {
        if (result.missing) {
            streams.out << result.name << ": missing (defaults apply)\n";
        } else if (result.messages.isEmpty()) {
            streams.out << result.name << ": OK\n";
        } else {
            passed = false;
            const QStringList shown = all ? result.messages : result.messages.mid(0, 1);
            // A read error already begins with the file's name.
            for (const QString& message : shown)
                streams.out << (message.startsWith(result.name + QStringLiteral(": "))
                                    ? message
                                    : result.name + QStringLiteral(": ") + message)
                            << '\n';
        }
    }
    return passed ? Exit_Ok : Exit_Failed;
}
