#include "image/Bank_Text.h"

#include <stdexcept>

std::span<const std::uint8_t> Bank_Bytes(const QByteArray& bank) {
    return {reinterpret_cast<const std::uint8_t*>(bank.constData()),
            static_cast<std::size_t>(bank.size())};
}

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

QString Dotted_Address(std::uint32_t word) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(word >> 24)
        .arg((word >> 16) & 0xFF)
        .arg((word >> 8) & 0xFF)
        .arg(word & 0xFF);
}

QStringList Request_Flag_Names(std::uint8_t flags) {
    QStringList names;
    if (flags & Flag_On_Change)
        names.append(QStringLiteral("OnChange"));
    if (flags & Flag_Swap)
        names.append(QStringLiteral("Swap"));
    if (flags & Flag_On_CMD)
        names.append(QStringLiteral("OnCMD"));
    return names;
}

QString Request_Field_Text(std::string_view name, std::uint32_t value) {
    if (name == "IP_Word")
        return Dotted_Address(value);
    if (name == "Request_Flags")
        return QStringLiteral("%1 [%2]").arg(value).arg(
            Request_Flag_Names(static_cast<std::uint8_t>(value)).join(QLatin1Char(',')));
    if (name == "Function_Code")
        return QStringLiteral("%1 (%2)").arg(value).arg(Function_Name(static_cast<int>(value)));
    return QString::number(value);
}

bool Is_Address_Field(const Settings_Field& field) {
    return field.Source == Settings_Source::IP_Address ||
           field.Source == Settings_Source::Subnet_Mask || field.Source == Settings_Source::Gateway;
}

QString Settings_Field_Text(std::span<const std::uint8_t> bank, const Settings_Field& field) {
    QStringList values;
    for (int i = 0; i < field.Count; ++i)
        values.append(QString::number(Read_Settings_Element(bank, field, i)));
    if (Is_Address_Field(field))
        return values.join(QLatin1Char('.'));
    if (field.Count > 1 && values.count(values.first()) == values.size())
        return QStringLiteral("%1 x %2").arg(field.Count).arg(values.first());
    return values.join(QLatin1Char(' '));
}

const Settings_Field& Settings_Field_Of(Settings_Source source) {
    for (const Settings_Field& field : Settings_Block_Layout)
        if (field.Source == source)
            return field;
    throw std::logic_error("settings field missing");
}
