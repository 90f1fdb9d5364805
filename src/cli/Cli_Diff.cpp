#include "cli/Cli.h"

#include "platform/Error.h"
#include "report/Configuration_Compare.h"

QString Diff_Usage() {
    return QStringLiteral(
        "Usage: tessaro-cli diff A B [--json]\n"
        "\n"
        "Compares two configurations by what the device would get. A and B are each a\n"
        "configuration folder, compiled in memory as \"Update Device\" compiles it (nothing is\n"
        "written), or an image such as bank.bin, decoded as dump decodes it. One line per\n"
        "difference:\n"
        "\n"
        "  settings: Modbus_TCP_Master_TimeOut 1000 -> 1500\n"
        "  request 12 (Hall lights): Position 40 -> 42\n"
        "  request 30: only in B\n"
        "  DMX channel 7 default 0 -> 255\n"
        "  files: read row 4 (Pump): Mnemonic \"Pump\" -> \"Pump 2\"\n"
        "\n"
        "Requests are paired by their entry number in the image (as dump counts them); the\n"
        "mnemonic in brackets comes from a folder (an image holds none). Two folders are also\n"
        "compared in what does not reach the image (section \"files\": mnemonics, disabled rows,\n"
        "the request table the device does not use, the gateway while it is disabled); an image\n"
        "has none of it, so a compare with an image covers the image alone. Files that compile\n"
        "but that the editors refuse leave that section out, with a note on standard error.\n"
        "--json prints one JSON array of {\"section\", \"item\", \"field\", \"a\", \"b\"}, "
        "section\n"
        "one of \"settings\", \"request\", \"dmx\", \"files\"; a and b are texts, null on the "
        "side\n"
        "that lacks the item.\n"
        "Exit status 0 when there is no difference, 1 when there is one, 2 for a wrong argument\n"
        "or an input that cannot be read (or a folder that does not compile).\n");
}

namespace {

QString Json_Value(const std::optional<QString>& value) {
    return value ? Json_String(*value) : QStringLiteral("null");
}

} // namespace

int Verb_Diff(const QStringList& arguments, Cli_Streams streams) {
    QStringList paths;
    bool json = false;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            streams.out << Diff_Usage();
            return Exit_Ok;
        }
        if (argument == QLatin1String("--json"))
            json = true;
        else if (argument.startsWith(QLatin1Char('-')) || paths.size() == 2) {
            streams.err << "tessaro-cli diff: unexpected argument \"" << argument << "\"\n\n"
                        << Diff_Usage();
            return Exit_Usage;
        } else
            paths.append(argument);
    }
    if (paths.size() != 2) {
        streams.err << "tessaro-cli diff: two configurations are needed, A and B\n\n"
                    << Diff_Usage();
        return Exit_Usage;
    }

    std::vector<Difference> differences;
    try {
        // A name such as "Hall A" that is no path here is a configuration of the configurator.
        const Compare_Input a = Load_Compare_Input(Resolve_Configuration_Dir(paths[0]));
        const Compare_Input b = Load_Compare_Input(Resolve_Configuration_Dir(paths[1]));
        if (a.Folder && b.Folder)
            for (const Compare_Input* side : {&a, &b})
                if (!side->Texts)
                    streams.err << "tessaro-cli diff: the differences outside the image are left "
                                   "out: "
                                << side->Texts_Error << '\n';
        differences = Compare_Configurations(a, b);
    } catch (const Tessaro_Error& error) {
        streams.err << "tessaro-cli diff: " << error.Message() << '\n';
        return Exit_Usage;
    }

    if (json) {
        streams.out << '[';
        bool first = true;
        for (const Difference& d : differences) {
            streams.out << (first ? "\n  " : ",\n  ") << "{\"section\": " << Json_String(d.Section)
                        << ", \"item\": " << Json_String(d.Item)
                        << ", \"field\": " << Json_String(d.Field) << ", \"a\": " << Json_Value(d.A)
                        << ", \"b\": " << Json_Value(d.B) << '}';
            first = false;
        }
        streams.out << (differences.empty() ? "]\n" : "\n]\n");
    } else {
        for (const Difference& d : differences)
            streams.out << Difference_Line(d) << '\n';
    }
    return differences.empty() ? Exit_Ok : Exit_Failed;
}
