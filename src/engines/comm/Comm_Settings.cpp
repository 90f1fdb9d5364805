#include "comm/Comm_Settings.h"

#include "lang/Lang_Table.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/Int_Conv.h"
#include "platform/Xml.h"

namespace {

using Member = QString Comm_Settings::*;

constexpr std::array<Member, Comm_Settings::Value_Count> Members = {
    &Comm_Settings::DMX_DMX,
    &Comm_Settings::DMX_Num_Channels,
    &Comm_Settings::Modbus_TCP_Master_TimeOut,
    &Comm_Settings::Modbus_TCP_Master_Cyclic,
    &Comm_Settings::Modbus_TCP_Master_IP1,
    &Comm_Settings::Modbus_TCP_Master_IP2,
    &Comm_Settings::Modbus_TCP_Master_IP3,
    &Comm_Settings::Modbus_TCP_Master_IP4,
    &Comm_Settings::Modbus_TCP_Master_SM1,
    &Comm_Settings::Modbus_TCP_Master_SM2,
    &Comm_Settings::Modbus_TCP_Master_SM3,
    &Comm_Settings::Modbus_TCP_Master_SM4,
    &Comm_Settings::Modbus_TCP_Master_GAT1,
    &Comm_Settings::Modbus_TCP_Master_GAT2,
    &Comm_Settings::Modbus_TCP_Master_GAT3,
    &Comm_Settings::Modbus_TCP_Master_GAT4,
    &Comm_Settings::Modbus_TCP_Master_EN_GAT,
};

// One check before saving: the field, its accepted range and the entry of its message.
struct Range_Check {
    Member field;
    int low;
    int high;
    int entry;
    bool gateway; // checked only while the gateway is enabled
};

constexpr Range_Check Checks[] = {
    {&Comm_Settings::DMX_Num_Channels, 24, 512, 414, false},
    {&Comm_Settings::Modbus_TCP_Master_TimeOut, 0, 100000, 466, false},
    {&Comm_Settings::Modbus_TCP_Master_Cyclic, 0, 10000, 467, false},
    {&Comm_Settings::Modbus_TCP_Master_IP1, 0, 255, 468, false},
    {&Comm_Settings::Modbus_TCP_Master_IP2, 0, 255, 469, false},
    {&Comm_Settings::Modbus_TCP_Master_IP3, 0, 255, 470, false},
    {&Comm_Settings::Modbus_TCP_Master_IP4, 0, 255, 471, false},
    {&Comm_Settings::Modbus_TCP_Master_SM1, 0, 255, 472, false},
    {&Comm_Settings::Modbus_TCP_Master_SM2, 0, 255, 473, false},
    {&Comm_Settings::Modbus_TCP_Master_SM3, 0, 255, 474, false},
    {&Comm_Settings::Modbus_TCP_Master_SM4, 0, 255, 475, false},
    {&Comm_Settings::Modbus_TCP_Master_GAT1, 0, 255, 476, true},
    {&Comm_Settings::Modbus_TCP_Master_GAT2, 0, 255, 477, true},
    {&Comm_Settings::Modbus_TCP_Master_GAT3, 0, 255, 478, true},
    {&Comm_Settings::Modbus_TCP_Master_GAT4, 0, 255, 479, true},
};

} // namespace

const std::array<const char*, Comm_Settings::Value_Count>& Comm_Settings::Element_Names() {
    static const std::array<const char*, Value_Count> names = {
        "DMX_DMX",
        "DMX_Num_Channels",
        "Modbus_TCP_Master_TimeOut",
        "Modbus_TCP_Master_Cyclic",
        "Modbus_TCP_Master_IP1",
        "Modbus_TCP_Master_IP2",
        "Modbus_TCP_Master_IP3",
        "Modbus_TCP_Master_IP4",
        "Modbus_TCP_Master_SM1",
        "Modbus_TCP_Master_SM2",
        "Modbus_TCP_Master_SM3",
        "Modbus_TCP_Master_SM4",
        "Modbus_TCP_Master_GAT1",
        "Modbus_TCP_Master_GAT2",
        "Modbus_TCP_Master_GAT3",
        "Modbus_TCP_Master_GAT4",
        "Modbus_TCP_Master_EN_GAT",
    };
    return names;
}

QString& Comm_Settings::Value(int i) {
    return this->*Members.at(static_cast<size_t>(i));
}

const QString& Comm_Settings::Value(int i) const {
    return this->*Members.at(static_cast<size_t>(i));
}

Comm_Settings Load_Comm_Settings(const QString& path) {
    Comm_Settings settings;
    if (!File_Exists(path))
        return settings;
    pugi::xml_document doc;
    Load_Xml_File(path, doc);
    const pugi::xml_node root = Root_Element(doc);
    const auto& names = Comm_Settings::Element_Names();
    for (int i = 0; i < Comm_Settings::Value_Count; ++i) {
        if (auto text = Element_Text(First_Child_Element(root, names[static_cast<size_t>(i)])))
            settings.Value(i) = *text;
    }
    // The DMX choice offers IN and OUT only: anything but 0 is OUT, as every reader of the file
    // takes it.
    settings.Set_DMX_Index(To_Int(settings.DMX_DMX, 1));
    settings.Set_Gateway_Enabled(settings.Modbus_TCP_Master_EN_GAT == QLatin1String("1"));
    return settings;
}

QByteArray Comm_Settings_Bytes(const Comm_Settings& settings) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Par_Gen");
    doc.append_child(pugi::node_comment).set_value(Project_File_Comment);
    const auto& names = Comm_Settings::Element_Names();
    for (int i = 0; i < Comm_Settings::Value_Count; ++i)
        Append_Text_Element(root, names[static_cast<size_t>(i)], settings.Value(i));
    return Xml_Raw_Bytes(doc);
}

void Save_Comm_Settings(const QString& path, const Comm_Settings& settings) {
    if (const auto error = Write_File_Atomic(path, Comm_Settings_Bytes(settings)))
        throw Tessaro_Error(
            File_Problem{File_Problem::Kind::Cannot_Be_Written, File_Display_Name(path), *error});
}

std::vector<int> Comm_Failing_Entries(const Comm_Settings& settings) {
    std::vector<int> entries;
    const bool gateway = settings.Gateway_Enabled();
    for (const Range_Check& check : Checks) {
        if (check.gateway && !gateway)
            continue;
        const int value = To_Int(settings.*check.field, -1);
        if (value < check.low || value > check.high)
            entries.push_back(check.entry);
    }
    return entries;
}

std::optional<QString> Controllo_Dati(const Comm_Settings& settings, const Lang_Table& lang) {
    const std::vector<int> entries = Comm_Failing_Entries(settings);
    if (entries.empty())
        return std::nullopt;
    return lang.Text(entries.front());
}

QStringList Comm_Failure_Messages(const Comm_Settings& settings, const Lang_Table& lang) {
    QStringList messages;
    for (const int entry : Comm_Failing_Entries(settings))
        messages.append(lang.Text(entry));
    return messages;
}
