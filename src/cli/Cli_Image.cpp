#include "cli/Cli.h"

#include "image/Bank_Layout.h"
#include "image/USaveBincc.h"
#include "platform/Error.h"
#include "platform/Files.h"

#include <QDir>
#include <QFileInfo>

QString Compile_Usage() {
    return QStringLiteral(
        "Usage: tessaro-cli compile DIR [-o FILE]\n"
        "\n"
        "Compiles the configuration folder DIR (its ParGen.xml, DMX_Default_Values.xml and\n"
        "ModbusTCPM_SetAccess.xml) into the 35328-byte image exactly as \"Update Device\" does,\n"
        "and writes it to FILE, by default DIR/bin/bank.bin. On an error nothing is written.\n");
}

QString Dump_Usage() {
    return QStringLiteral(
        "Usage: tessaro-cli dump FILE.bin [--json]\n"
        "\n"
        "Decodes a configuration image: its size, the stored and the computed settings checksum,\n"
        "every settings field, the requests and the DMX default values. A wrong size or checksum\n"
        "gives exit status 1.\n");
}

namespace {

QString Function_Name(int code) {
    switch (code) {
    case 1:
        return QStringLiteral("Read Coils");
    case 2:
        return QStringLiteral("Read Discrete Inputs");
    case 3:
        return QStringLiteral("Read Holding Registers");
    case 4:
        return QStringLiteral("Read Input Registers");
    case 5:
        return QStringLiteral("Write Single Coil");
    case 6:
        return QStringLiteral("Write Single Register");
    case 15:
        return QStringLiteral("Write Multiple Coils");
    case 16:
        return QStringLiteral("Write Multiple Registers");
    case 0:
        return QStringLiteral("type not recognised");
    default:
        return QStringLiteral("unknown");
    }
}

QString Dotted(std::uint32_t word) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(word >> 24)
        .arg((word >> 16) & 0xFF)
        .arg((word >> 8) & 0xFF)
        .arg(word & 0xFF);
}

QStringList Flag_Names(std::uint8_t flags) {
    QStringList names;
    if (flags & Flag_On_Change)
        names.append(QStringLiteral("OnChange"));
    if (flags & Flag_Swap)
        names.append(QStringLiteral("Swap"));
    if (flags & Flag_On_CMD)
        names.append(QStringLiteral("OnCMD"));
    return names;
}

bool Is_Address(const Settings_Field& field) {
    return field.Source == Settings_Source::IP_Address ||
           field.Source == Settings_Source::Subnet_Mask || field.Source == Settings_Source::Gateway;
}

// A field's value as text: dotted for the addresses, "N x V" for a run of equal elements.
QString Field_Text(std::span<const std::uint8_t> bank, const Settings_Field& field) {
    QStringList values;
    for (int i = 0; i < field.Count; ++i)
        values.append(QString::number(Read_Settings_Element(bank, field, i)));
    if (Is_Address(field))
        return values.join(QLatin1Char('.'));
    if (field.Count > 1 && values.count(values.first()) == values.size())
        return QStringLiteral("%1 x %2").arg(field.Count).arg(values.first());
    return values.join(QLatin1Char(' '));
}

// The same for JSON: a number, a dotted text or an array of numbers.
QString Field_Json(std::span<const std::uint8_t> bank, const Settings_Field& field) {
    if (Is_Address(field))
        return Json_String(Field_Text(bank, field));
    if (field.Count == 1)
        return QString::number(Read_Settings_Element(bank, field, 0));
    QStringList values;
    for (int i = 0; i < field.Count; ++i)
        values.append(QString::number(Read_Settings_Element(bank, field, i)));
    return QLatin1Char('[') + values.join(QStringLiteral(", ")) + QLatin1Char(']');
}

const Settings_Field& Field_Of(Settings_Source source) {
    for (const Settings_Field& field : Settings_Block_Layout)
        if (field.Source == source)
            return field;
    throw std::logic_error("settings field missing");
}

} // namespace

int Verb_Compile(const QStringList& arguments, Cli_Streams streams) {
    QString dir;
    QString output;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            streams.out << Compile_Usage();
            return Exit_Ok;
        }
        if (argument == QLatin1String("-o")) {
            if (i + 1 >= arguments.size() || !output.isEmpty()) {
                streams.err << "tessaro-cli compile: -o needs one file name\n\n" << Compile_Usage();
                return Exit_Usage;
            }
            output = arguments[++i];
        } else if (argument.startsWith(QLatin1Char('-')) || !dir.isEmpty()) {
            streams.err << "tessaro-cli compile: unexpected argument \"" << argument << "\"\n\n"
                        << Compile_Usage();
            return Exit_Usage;
        } else {
            dir = argument;
        }
    }
    if (dir.isEmpty()) {
        streams.err << "tessaro-cli compile: the configuration folder is missing\n\n"
                    << Compile_Usage();
        return Exit_Usage;
    }
    // A name such as "Hall A" that is no path here is a configuration of the configurator.
    dir = Resolve_Configuration_Dir(dir);
    try {
        const QByteArray bank = Compile_Configuration(dir);
        if (output.isEmpty()) {
            Bank_Buffer buffer;
            std::copy(bank.begin(), bank.end(), buffer.Bytes.begin());
            buffer.Length = static_cast<std::uint32_t>(bank.size());
            Save_Bank_File(dir, buffer);
            output = Bank_File_Path(dir);
        } else if (const auto error = Write_File_Atomic(output, bank)) {
            throw Tessaro_Error(
                QStringLiteral("%1: cannot be written: %2").arg(File_Display_Name(output), *error));
        }
        streams.out << QDir::toNativeSeparators(output) << ": " << bank.size()
                    << " bytes written\n";
        return Exit_Ok;
    } catch (const Tessaro_Error& error) {
        streams.err << error.Message() << '\n';
        return Exit_Failed;
    }
}

int Verb_Dump(const QStringList& arguments, Cli_Streams streams) {
    QString path;
    bool json = false;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            streams.out << Dump_Usage();
            return Exit_Ok;
        }
        if (argument == QLatin1String("--json"))
            json = true;
        else if (argument.startsWith(QLatin1Char('-')) || !path.isEmpty()) {
            streams.err << "tessaro-cli dump: unexpected argument \"" << argument << "\"\n\n"
                        << Dump_Usage();
            return Exit_Usage;
        } else
            path = argument;
    }
    if (path.isEmpty()) {
        streams.err << "tessaro-cli dump: the image file is missing\n\n" << Dump_Usage();
        return Exit_Usage;
    }
    QByteArray data;
    try {
        data = Read_File_Bytes(path);
    } catch (const Tessaro_Error& error) {
        streams.err << error.Message() << '\n';
        return Exit_Failed;
    }

    const bool right_size = data.size() == static_cast<qsizetype>(Bank_Size);
    if (!right_size) {
        if (json)
            streams.out << "{\"file\": " << Json_String(path) << ", \"size\": " << data.size()
                        << ", \"is_bank_size\": false}\n";
        else
            streams.out << "File: " << path << "\nSize: " << data.size()
                        << " bytes (not an image: an image has " << Bank_Size << " bytes)\n";
        return Exit_Failed;
    }
    const std::span bank(reinterpret_cast<const std::uint8_t*>(data.constData()), Bank_Size);
    const std::uint32_t stored =
        Read_Settings_Element(bank, Field_Of(Settings_Source::Checksum), 0);
    const std::uint32_t computed =
        Byte_Sum(bank.subspan(Settings_Block_Offset, Settings_Checksum_Offset));
    const std::uint32_t count_field =
        Read_Settings_Element(bank, Field_Of(Settings_Source::Request_Count), 0);
    const int count = static_cast<int>(
        std::min<std::uint32_t>(count_field, static_cast<std::uint32_t>(Request_Table_Entries)));

    if (json) {
        streams.out << "{\"file\": " << Json_String(path) << ", \"size\": " << data.size()
                    << ", \"is_bank_size\": true, \"checksum\": {\"stored\": " << stored
                    << ", \"computed\": " << computed
                    << ", \"matches\": " << (stored == computed ? "true" : "false")
                    << "}, \"settings\": {";
        bool first = true;
        for (const Settings_Field& field : Settings_Block_Layout) {
            streams.out << (first ? "" : ", ") << Json_String(QString::fromLatin1(field.Name))
                        << ": " << Field_Json(bank, field);
            first = false;
        }
        streams.out << "}, \"requests\": [";
        for (int i = 0; i < count; ++i) {
            const Request_Record record = Read_Request_Record(bank, i);
            streams.out << (i ? ", " : "") << "{\"Entry\": " << i;
            For_Each_Request_Field(record, [&](const char* name, int, const auto& member) {
                streams.out << ", " << Json_String(QString::fromLatin1(name)) << ": "
                            << static_cast<std::uint32_t>(member);
            });
            QStringList flags;
            for (const QString& flag : Flag_Names(record.Request_Flags))
                flags.append(Json_String(flag));
            streams.out << ", \"Function_Name\": "
                        << Json_String(Function_Name(record.Function_Code))
                        << ", \"IP_Address\": " << Json_String(Dotted(record.IP_Word))
                        << ", \"Flags\": [" << flags.join(QStringLiteral(", ")) << "]}";
        }
        streams.out << "], \"dmx_defaults\": [";
        for (std::uint32_t i = 0; i < DMX_Block_Size; ++i)
            streams.out << (i ? ", " : "") << bank[DMX_Block_Offset + i];
        streams.out << "]}\n";
    } else {
        streams.out << "File: " << path << '\n'
                    << "Size: " << data.size() << " bytes (the size of an image)\n"
                    << "Settings checksum: stored " << stored << ", computed " << computed
                    << (stored == computed ? " (matches)" : " (MISMATCH: the image is corrupted)")
                    << '\n'
                    << "Settings:\n";
        for (const Settings_Field& field : Settings_Block_Layout)
            streams.out << "  " << field.Name << " = " << Field_Text(bank, field) << '\n';
        streams.out << "Requests: " << count_field;
        if (count_field > static_cast<std::uint32_t>(Request_Table_Entries))
            streams.out << " (more than the table's " << Request_Table_Entries
                        << " entries; the first " << Request_Table_Entries << " follow)";
        streams.out << '\n';
        for (int i = 0; i < count; ++i) {
            const Request_Record record = Read_Request_Record(bank, i);
            streams.out << "  " << i << ":";
            For_Each_Request_Field(record, [&](const char* name, int, const auto& member) {
                const std::uint32_t value = static_cast<std::uint32_t>(member);
                streams.out << ' ' << name << '=';
                if (std::string_view(name) == "IP_Word")
                    streams.out << Dotted(value);
                else if (std::string_view(name) == "Request_Flags")
                    streams.out << value << " [" << Flag_Names(record.Request_Flags).join(',')
                                << ']';
                else if (std::string_view(name) == "Function_Code")
                    streams.out << value << " (" << Function_Name(record.Function_Code) << ')';
                else
                    streams.out << value;
            });
            streams.out << '\n';
        }
        streams.out << "DMX default values (channel 1 first):\n";
        for (std::uint32_t row = 0; row < DMX_Block_Size; row += 16) {
            streams.out << QStringLiteral("  %1-%2:").arg(row + 1, 3).arg(row + 16, 3);
            for (std::uint32_t i = row; i < row + 16; ++i)
                streams.out << ' ' << bank[DMX_Block_Offset + i];
            streams.out << '\n';
        }
    }
    return stored == computed ? Exit_Ok : Exit_Failed;
}
