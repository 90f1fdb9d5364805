#include "image/Image_Loaders.h"

#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/Int_Conv.h"
#include "platform/Text.h"
#include "platform/Xml.h"

#include <cstdint>
#include <optional>
#include <pugixml.hpp>

namespace {

// Parses a project file into doc; false when there is no such file.
bool Load_Project_File(const QString& path, pugi::xml_document& doc) {
    if (!File_Exists(path))
        return false;
    Load_Xml_File(path, doc);
    return true;
}

// The rows of a table element: its child nodes by position, whatever they are, as the editors
// read them. A comment between rows takes a row's place (and, holding no attributes, reads as a
// row without values), so the image never shifts channels or requests against the editor's view.
template <typename Visit> void For_Each_Row(pugi::xml_node parent, Visit&& visit) {
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling())
        if (!visit(node))
            return;
}

// The integer of a settings element, or the fallback when the element is missing, holds more
// than plain text or does not convert.
std::int32_t Setting(pugi::xml_node root, const char* name, std::int32_t fallback) {
    const std::optional<QString> text = Element_Text(First_Child_Element(root, name));
    return text ? To_Int(*text, fallback) : fallback;
}

std::uint8_t Low_8(std::int64_t value) {
    return static_cast<std::uint8_t>(value);
}
std::uint16_t Low_16(std::int64_t value) {
    return static_cast<std::uint16_t>(value);
}
std::uint32_t Low_32(std::int64_t value) {
    return static_cast<std::uint32_t>(value);
}

// One row of a request section, with the place that an error names.
class Request_Row {
public:
    Request_Row(pugi::xml_node node, const QString& file_name, const char* section, int number)
        : node_(node)
        , file_name_(file_name)
        , section_(section)
        , number_(number) {}

    // A missing attribute reads as empty text.
    QString Text(const char* name) const { return Attribute_Text(node_, name).value_or(QString()); }

    // The enabled test: "Y" after trimming and upper-casing. A row without the attribute comes
    // from a file of an older version, which had no such column: it is enabled.
    bool Enabled() const {
        const std::optional<QString> enable = Attribute_Text(node_, "Enable");
        return !enable || Ascii_Upper(Trim_Text(*enable)) == QLatin1String("Y");
    }

    // A value that must convert; anything else ends the compile.
    std::int32_t Required_Int(const char* name) const {
        const QString text = Required_Text(name);
        if (const auto value = Parse_Int(text))
            return *value;
        Refuse(name, text);
    }
    std::int64_t Required_Int64(const char* name) const {
        const QString text = Required_Text(name);
        if (const auto value = Parse_Int64(text))
            return *value;
        Refuse(name, text);
    }
    // A value with a fallback when it is missing or does not convert.
    std::int32_t Int_Or(const char* name, std::int32_t fallback) const {
        return To_Int(Text(name), fallback);
    }

    // "a.b.c.d" with blanks allowed around each number; the first number in the top 8 bits.
    std::uint32_t IP_Word() const {
        const QString text = Required_Text("IP_Address");
        QString rest = text;
        std::uint32_t word = 0;
        for (int part = 0; part < 4; ++part) {
            QString number;
            if (part < 3) {
                const qsizetype dot = rest.indexOf(QLatin1Char('.'));
                if (dot >= 0) {
                    number = rest.left(dot);
                    rest = Trim_Text(rest.mid(dot + 1));
                } else {
                    rest.clear();
                }
            } else {
                number = rest;
            }
            const std::optional<std::int32_t> octet = Parse_Int(Trim_Text(number));
            if (!octet)
                throw Tessaro_Error(
                    QStringLiteral("%1: IP_Address \"%2\" is not four numbers").arg(Where(), text));
            word = (word << 8) | Low_8(*octet);
        }
        return word;
    }

private:
    QString Required_Text(const char* name) const {
        const std::optional<QString> text = Attribute_Text(node_, name);
        if (!text)
            throw Tessaro_Error(
                QStringLiteral("%1: %2 is missing").arg(Where(), QString::fromLatin1(name)));
        if (text->isEmpty())
            throw Tessaro_Error(
                QStringLiteral("%1: %2 is empty").arg(Where(), QString::fromLatin1(name)));
        return *text;
    }

    [[noreturn]] void Refuse(const char* name, const QString& text) const {
        const char* reason = Integer_Syntax(text) ? "is out of range" : "is not an integer";
        throw Tessaro_Error(
            QStringLiteral("%1: %2 \"%3\" %4")
                .arg(Where(), QString::fromLatin1(name), text, QString::fromLatin1(reason)));
    }

    // Leading blanks, an optional sign and decimal digits: an integer, whatever its size.
    static bool Integer_Syntax(const QString& text) {
        qsizetype i = 0;
        while (i < text.size() && text[i] == QLatin1Char(' '))
            ++i;
        if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            ++i;
        if (i == text.size())
            return false;
        for (; i < text.size(); ++i)
            if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
                return false;
        return true;
    }

    // The place an error names: file, section and row number from 1.
    QString Where() const {
        return QStringLiteral("%1: %2 row %3")
            .arg(file_name_, QString::fromLatin1(section_), QString::number(number_));
    }

    pugi::xml_node node_;
    const QString& file_name_;
    const char* section_;
    int number_;
};

// Data bytes of a request: bits packed eight to a byte, or two bytes per register.
std::uint8_t Byte_Count(std::uint8_t function_code, std::uint16_t npoint) {
    switch (function_code) {
    case 1:
    case 2:
    case 5:
    case 15:
        return Low_8((npoint + 7) / 8);
    default:
        return Low_8(npoint * 2);
    }
}

// The start bit converts with 0 as its fallback, as the access editor checks it: register rows
// are saved with an empty start bit.
std::uint16_t Start_Bit(const Request_Row& row) {
    return Low_16(row.Int_Or("Bit", 0));
}

void Load_Read_Fields(const Request_Row& row, Request_Record& r) {
    r.Slave_ID = Low_8(row.Required_Int("Slave_ID"));
    r.Function_Code = Read_Function_Code(Ascii_Upper(row.Text("Type")));
    r.NPoint = Low_16(row.Required_Int("NPoint"));
    r.Byte_Count = Byte_Count(r.Function_Code, r.NPoint);
    r.Address = Low_16(row.Required_Int("Address"));
    r.PollTime = Low_32(row.Required_Int64("PollTime"));
    r.MaxError = Low_32(row.Required_Int64("MaxError"));
    r.Position = Low_16(row.Required_Int("Position"));
    r.Bit = Start_Bit(row);
    r.Request_Flags = 0;
    if (row.Text("Swap") == QLatin1String("Y"))
        r.Request_Flags |= Flag_Swap;
}

void Load_Write_Fields(const Request_Row& row, Request_Record& r) {
    r.Slave_ID = Low_8(row.Required_Int("Slave_ID"));
    r.NPoint = Low_16(row.Required_Int("NPoint"));
    r.Function_Code = Write_Function_Code(Ascii_Upper(row.Text("Type")), r.NPoint);
    r.Byte_Count = Byte_Count(r.Function_Code, r.NPoint);
    r.Address = Low_16(row.Required_Int("Address"));
    r.PollTime = Low_32(row.Required_Int64("PollTime"));
    r.MaxError = Low_32(row.Required_Int64("MaxError"));
    r.Request_Flags = 0;
    if (Ascii_Upper(row.Text("OnChange")) == QLatin1String("Y"))
        r.Request_Flags |= Flag_On_Change;
    if (Ascii_Upper(row.Text("OnCMD")) == QLatin1String("Y"))
        r.Request_Flags |= Flag_On_CMD;
    r.Position = Low_16(row.Required_Int("Position"));
    r.Bit = Start_Bit(row);
    if (Ascii_Upper(row.Text("Swap")) == QLatin1String("Y"))
        r.Request_Flags |= Flag_Swap;
}

} // namespace

std::uint8_t Read_Function_Code(const QString& type) {
    if (type == QLatin1String("COIL STATUS"))
        return 1;
    if (type == QLatin1String("INPUT STATUS"))
        return 2;
    if (type == QLatin1String("HOLDING REGISTER"))
        return 3;
    if (type == QLatin1String("INPUT REGISTER"))
        return 4;
    return 0;
}

std::uint8_t Write_Function_Code(const QString& type, std::uint16_t npoint) {
    if (type == QLatin1String("COIL STATUS"))
        return npoint == 1 ? 5 : 15;
    if (type == QLatin1String("HOLDING REGISTER"))
        return npoint == 1 ? 6 : 16;
    return 0;
}

void Load_Image_Settings(Image_Record& image, const QString& par_gen_file) {
    Image_Settings& s = image.Settings;
    // These two hold even without a file.
    s.Image_Flash_Address = Image_Flash_Address;
    image.DMX_Out = true;

    pugi::xml_document doc;
    if (!Load_Project_File(par_gen_file, doc))
        return;
    const pugi::xml_node root = Root_Element(doc);

    // DMX_DMX: 0 is IN, 1 is OUT; any other value is not OUT, but its channel count is stored
    // as the OUT count.
    const std::int32_t role = Setting(root, "DMX_DMX", 1);
    image.DMX_Out = role == 1;
    const std::uint16_t channels = Low_16(Setting(root, "DMX_Num_Channels", 512));
    s.DMX_IN_Channels = role == 0 ? channels : 0;
    s.DMX_OUT_Channels = role == 0 ? 0 : channels;

    s.Modbus_TCP_Master_TimeOut = Low_32(Setting(root, "Modbus_TCP_Master_TimeOut", 1000));
    s.Modbus_TCP_Master_Cyclic = Low_32(Setting(root, "Modbus_TCP_Master_Cyclic", 100));

    struct Address_Elements {
        std::array<std::uint8_t, 4>& bytes;
        const char* prefix;
        std::array<std::int32_t, 4> fallback;
    };
    const Address_Elements addresses[] = {
        {s.IP_Address, "Modbus_TCP_Master_IP", {192, 168, 0, 5}},
        {s.Subnet_Mask, "Modbus_TCP_Master_SM", {255, 255, 255, 0}},
        {s.Gateway, "Modbus_TCP_Master_GAT", {192, 168, 0, 1}},
    };
    for (const Address_Elements& address : addresses)
        for (int i = 0; i < 4; ++i) {
            const QByteArray name = QByteArray(address.prefix) + QByteArray::number(i + 1);
            address.bytes[i] = Low_8(Setting(root, name.constData(), address.fallback[i]));
        }

    // The gateway counts only when it is enabled with exactly "1".
    const std::optional<QString> gateway_enabled =
        Element_Text(First_Child_Element(root, "Modbus_TCP_Master_EN_GAT"));
    if (gateway_enabled != QStringLiteral("1"))
        s.Gateway.fill(255);
}

void Load_Image_DMX_Defaults(Image_Record& image, const QString& dmx_default_values_file) {
    pugi::xml_document doc;
    if (!Load_Project_File(dmx_default_values_file, doc))
        return;
    // Row i is channel i + 1; rows beyond the 512 channels are ignored, channels without a row
    // keep 0.
    int channel = 0;
    For_Each_Row(Root_Element(doc), [&](pugi::xml_node row) {
        const std::optional<QString> text = Attribute_Text(row, "Default_Value");
        image.DMX_Default_Bytes[channel] = text ? Low_8(To_Int(*text, 0)) : 0;
        return ++channel < DMX_Channels;
    });
}

void Load_Image_Requests(Image_Record& image, const QString& access_file,
                         std::vector<Request_Source>* sources) {
    image.Settings.Request_Count = 0;
    if (sources)
        sources->clear();
    pugi::xml_document doc;
    if (!Load_Project_File(access_file, doc))
        return;

    const QString file_name = File_Display_Name(access_file);
    const bool read = image.DMX_Out;
    const char* section_name = read ? "Modbus_Read" : "Modbus_Write";
    const pugi::xml_node section = First_Child_Element(Root_Element(doc), section_name);
    if (!section)
        throw Tessaro_Error(QStringLiteral("%1: the element \"%2\" is missing")
                                .arg(file_name, QString::fromLatin1(section_name)));

    std::uint32_t count = 0;
    int number = 0;
    For_Each_Row(section, [&](pugi::xml_node node) {
        const Request_Row row(node, file_name, section_name, ++number);
        if (node.type() != pugi::node_element)
            throw Tessaro_Error(QStringLiteral("%1: %2 row %3: a comment or text stands where a "
                                               "row element belongs")
                                    .arg(file_name, QString::fromLatin1(section_name))
                                    .arg(number));
        if (!row.Enabled())
            return true;
        if (count == Request_Table_Entries)
            throw Tessaro_Error(
                QStringLiteral("%1: %2 holds more than %3 enabled requests; the device takes at "
                               "most %3")
                    .arg(file_name, QString::fromLatin1(section_name))
                    .arg(Request_Table_Entries));
        Request_Record& record = image.Request_Table[count];
        record = Request_Record();
        record.IP_Word = row.IP_Word();
        record.Port = Low_16(row.Int_Or("Port", 502));
        if (read)
            Load_Read_Fields(row, record);
        else
            Load_Write_Fields(row, record);
        if (sources)
            sources->push_back({number, row.Text("Mnemonic")});
        ++count;
        return true;
    });
    image.Settings.Request_Count = count;
}
