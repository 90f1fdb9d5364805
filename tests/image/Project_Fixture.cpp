#include "Project_Fixture.h"

#include <QStringList>
#include <algorithm>
#include <vector>

namespace {

QString Escaped(const QString& text) {
    QString out = text;
    out.replace('&', "&amp;").replace('<', "&lt;").replace('"', "&quot;");
    return out;
}

} // namespace

QString Access_Row(Section section, Row_Changes changes) {
    // In the order in which the access editor writes them.
    std::vector<std::pair<QString, QString>> attributes = {
        {"Enable", "Y"},   {"IP_Address", "192.168.0.20"}, {"Port", "502"},
        {"Slave_ID", "1"}, {"Type", "Holding Register"},   {"Address", "0"},
        {"NPoint", "10"},  {"PollTime", "1000"},
    };
    if (section == Section::Write)
        attributes.insert(attributes.end(), {{"OnChange", "N"}, {"OnCMD", "N"}});
    attributes.insert(
        attributes.end(),
        {{"MaxError", "3"}, {"Position", "1"}, {"Bit", "0"}, {"Swap", "N"}, {"Mnemonic", ""}});
    for (const auto& [name, value] : changes) {
        auto it = std::find_if(attributes.begin(), attributes.end(),
                               [&](const auto& a) { return a.first == name; });
        if (!value) {
            if (it != attributes.end())
                attributes.erase(it);
        } else if (it != attributes.end()) {
            it->second = QString::fromUtf8(value);
        } else {
            attributes.push_back({QString::fromUtf8(name), QString::fromUtf8(value)});
        }
    }
    QString row = "<row";
    for (const auto& [name, value] : attributes)
        row += QStringLiteral(" %1=\"%2\"").arg(name, Escaped(value));
    return row + "/>";
}

QString Access_File(const QString& read_rows, const QString& write_rows) {
    return "<Modbus_TCP_Master_Rules><Modbus_Read>" + read_rows + "</Modbus_Read><Modbus_Write>" +
           write_rows + "</Modbus_Write></Modbus_TCP_Master_Rules><!--SW_VERSION = 1.001-->";
}

QString Par_Gen_File(std::initializer_list<std::pair<const char*, const char*>> elements) {
    QString xml = "<Par_Gen>";
    for (const auto& [name, text] : elements)
        xml += QStringLiteral("<%1>%2</%1>").arg(QString::fromLatin1(name), Escaped(text));
    return xml + "</Par_Gen><!--SW_VERSION = 1.001-->";
}

QString Par_Gen_Standard(const char* dmx_dmx, const char* channels, const char* en_gat) {
    return Par_Gen_File({{"DMX_DMX", dmx_dmx},
                         {"DMX_Num_Channels", channels},
                         {"Modbus_TCP_Master_TimeOut", "1000"},
                         {"Modbus_TCP_Master_Cyclic", "100"},
                         {"Modbus_TCP_Master_IP1", "192"},
                         {"Modbus_TCP_Master_IP2", "168"},
                         {"Modbus_TCP_Master_IP3", "0"},
                         {"Modbus_TCP_Master_IP4", "5"},
                         {"Modbus_TCP_Master_SM1", "255"},
                         {"Modbus_TCP_Master_SM2", "255"},
                         {"Modbus_TCP_Master_SM3", "255"},
                         {"Modbus_TCP_Master_SM4", "0"},
                         {"Modbus_TCP_Master_GAT1", "192"},
                         {"Modbus_TCP_Master_GAT2", "168"},
                         {"Modbus_TCP_Master_GAT3", "0"},
                         {"Modbus_TCP_Master_GAT4", "1"},
                         {"Modbus_TCP_Master_EN_GAT", en_gat}});
}

QString DMX_File(const QStringList& values) {
    QString xml = "<DMX_Default_Values>";
    for (const QString& value : values)
        xml += QStringLiteral("<Row Default_Value=\"%1\" Mnemonic=\"\"/>").arg(Escaped(value));
    return xml + "</DMX_Default_Values><!--SW_VERSION = 1.001-->";
}
