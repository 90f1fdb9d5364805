#include "cli/Cli.h"

#include "lang/Language_File.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "report/Report_Data.h"
#include "report/Report_Document.h"

#include <QDateTime>
#include <QDir>

QString Report_Usage() {
    return QStringLiteral(
        "Usage: tessaro-cli report DIR -o FILE.pdf|FILE.html [--language FILE.lng]\n"
        "\n"
        "Writes the commissioning report of the configuration folder DIR: its name, the date\n"
        "and the program version, the communication settings, the request table the device\n"
        "uses (disabled rows marked), the DMX default values, and the image with its settings\n"
        "checksum and whether DIR/bin/bank.bin is current (with its SHA-256), missing or older\n"
        "than the project files. The extension of FILE chooses PDF (A4) or one self-contained\n"
        "HTML file. The texts are English, or those of FILE.lng. Nothing is written into DIR.\n"
        "Exit status 0 when the report is written, 1 when it cannot be (a project file that\n"
        "cannot be read, a file that cannot be written), 2 for a wrong argument.\n");
}

int Verb_Report(const QStringList& arguments, Cli_Streams streams) {
    QString dir;
    QString output;
    QString language;
    const auto usage_error = [&](const QString& message) {
        streams.err << "tessaro-cli report: " << message << "\n\n" << Report_Usage();
        return Exit_Usage;
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            streams.out << Report_Usage();
            return Exit_Ok;
        }
        if (argument == QLatin1String("-o")) {
            if (i + 1 >= arguments.size() || !output.isEmpty())
                return usage_error(QStringLiteral("-o needs one file name"));
            output = arguments[++i];
        } else if (argument == QLatin1String("--language")) {
            if (i + 1 >= arguments.size() || !language.isEmpty())
                return usage_error(QStringLiteral("--language needs one language file"));
            language = arguments[++i];
        } else if (argument.startsWith(QLatin1Char('-')) || !dir.isEmpty()) {
            return usage_error(QStringLiteral("unexpected argument \"%1\"").arg(argument));
        } else {
            dir = argument;
        }
    }
    if (dir.isEmpty())
        return usage_error(QStringLiteral("the configuration folder is missing"));
    if (output.isEmpty())
        return usage_error(QStringLiteral("the report file is missing (-o FILE.pdf or FILE.html)"));
    const std::optional<Report_Format> format = Report_Format_For(output);
    if (!format)
        return usage_error(
            QStringLiteral("\"%1\": the report file must end in .pdf or .html").arg(output));

    // A name such as "Hall A" that is no path here is a configuration of the configurator.
    dir = Resolve_Configuration_Dir(dir);
    Lang_Table lang;
    lang.Load_Default_Texts();
    if (!language.isEmpty()) {
        QString version;
        if (!File_Exists(language) || !Load_Lang_File(lang, language, version)) {
            streams.err << File_Display_Name(language) << ": cannot be read\n";
            return Exit_Failed;
        }
    }
    try {
        const Report_Data data = Collect_Report_Data(dir, QDateTime::currentDateTime(), lang);
        const int pages = Write_Report(output, *format, data, lang);
        streams.out << QDir::toNativeSeparators(output) << ": report written";
        if (*format == Report_Format::Pdf)
            streams.out << " (" << pages << (pages == 1 ? " page)" : " pages)");
        streams.out << '\n';
        return Exit_Ok;
    } catch (const Tessaro_Error& error) {
        streams.err << error.Message() << '\n';
        return Exit_Failed;
    }
}
