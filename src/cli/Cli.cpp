#include "cli/Cli.h"

#include "platform/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString Program_Usage() {
    return QStringLiteral(
        "Usage: tessaro-cli VERB [ARGUMENTS]\n"
        "\n"
        "Works on the configurations of the Tessaro configurator without a window.\n"
        "\n"
        "Verbs:\n"
        "  check DIR [--all] [--language FILE.lng]\n"
        "                           run the editors' checks over a configuration folder\n"
        "  compile DIR [-o FILE]    compile a configuration folder into its image bank.bin\n"
        "  diff A B [--json]        compare two configurations (folders or images) by what the\n"
        "                           device would get\n"
        "  dump FILE.bin [--json]   decode an image: checksum, settings, requests, DMX values\n"
        "  lang FILE.lng [--json]   apply a language file over the English texts and report it\n"
        "  export DIR --table read|write|dmx [-o FILE] [--separator comma|semicolon|tab]\n"
        "                           write a table of a configuration folder as a CSV file\n"
        "  import DIR --table read|write|dmx FILE\n"
        "                           replace a table of a configuration folder with a CSV file\n"
        "  map DIR [--json]         which request owns which DMX channel: overlaps, channels\n"
        "                           beyond the count, uncovered channels, load per slave\n"
        "  report DIR -o FILE.pdf|FILE.html [--language FILE.lng]\n"
        "                           write the commissioning report of a configuration folder\n"
        "  run DIR --seconds N [--json-lines] [--allow-writes] [--set CH=V ...]\n"
        "                           dry run: send the requests to the real slaves for N seconds\n"
        "\n"
        "tessaro-cli VERB --help shows the usage of one verb.\n");
}

QString Folders_Help(const Program_Folders& folders) {
    const QString projects =
        QDir::toNativeSeparators(folders.Data_Dir + QStringLiteral("/PROJECTS"));
    QString text = QStringLiteral("\nFolders:\n");
    if (folders.Installed)
        text +=
            QStringLiteral("  installed program; configurations and settings in the data folder\n"
                           "  %1\n")
                .arg(QDir::toNativeSeparators(folders.Data_Dir));
    else
        text +=
            QStringLiteral("  program folder; configurations and settings beside the executable\n"
                           "  %1\n")
                .arg(QDir::toNativeSeparators(folders.Data_Dir));
    text += QStringLiteral(
                "A DIR that is not an existing path is looked for among the configurations in\n"
                "  %1\n"
                "so tessaro-cli compile \"Hall A\" compiles the configuration \"Hall A\".\n")
                .arg(projects);
    return text;
}

Program_Folders Cli_Folders() {
    const QString exe_dir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    return Decide_Program_Folders(exe_dir,
                                  Is_Installed_Tree(exe_dir) ? User_Data_Location() : QString());
}

QString Resolve_Configuration_Dir(const QString& dir, const QString& projects_dir) {
    if (dir.isEmpty() || QFileInfo::exists(dir) || QDir::isAbsolutePath(dir) ||
        projects_dir.isEmpty())
        return dir;
    const QString candidate = projects_dir + QLatin1Char('/') + dir;
    return Folder_Exists(candidate) ? candidate : dir;
}

QString Resolve_Configuration_Dir(const QString& dir) {
    return Resolve_Configuration_Dir(dir, Cli_Folders().Data_Dir + QStringLiteral("/PROJECTS"));
}

int Run_Cli(const QStringList& arguments, Cli_Streams streams) {
    if (arguments.isEmpty()) {
        streams.err << Program_Usage();
        return Exit_Usage;
    }
    const QString verb = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (verb == QLatin1String("--help") || verb == QLatin1String("-h") ||
        verb == QLatin1String("help")) {
        streams.out << Program_Usage() << Folders_Help(Cli_Folders());
        return Exit_Ok;
    }
    if (verb == QLatin1String("check"))
        return Verb_Check(rest, streams);
    if (verb == QLatin1String("compile"))
        return Verb_Compile(rest, streams);
    if (verb == QLatin1String("diff"))
        return Verb_Diff(rest, streams);
    if (verb == QLatin1String("dump"))
        return Verb_Dump(rest, streams);
    if (verb == QLatin1String("lang"))
        return Verb_Lang(rest, streams);
    if (verb == QLatin1String("export"))
        return Verb_Export(rest, streams);
    if (verb == QLatin1String("import"))
        return Verb_Import(rest, streams);
    if (verb == QLatin1String("map"))
        return Verb_Map(rest, streams);
    if (verb == QLatin1String("report"))
        return Verb_Report(rest, streams);
    if (verb == QLatin1String("run"))
        return Verb_Run(rest, streams);
    streams.err << "tessaro-cli: unknown verb \"" << verb << "\"\n\n" << Program_Usage();
    return Exit_Usage;
}

bool Needs_Gui_Application(const QStringList& arguments) {
    return !arguments.isEmpty() && arguments.first() == QLatin1String("report");
}

QString Json_String(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}
