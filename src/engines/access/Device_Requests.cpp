#include "access/Device_Requests.h"

#include "image/Image_Loaders.h"
#include "platform/Int_Conv.h"
#include "platform/Text.h"

#include <QStringList>

namespace {

// The four numbers of an address that the check has accepted ("blanks before a number" allowed).
quint32 Ip_Word(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('.'));
    quint32 word = 0;
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        word = (word << 8) | static_cast<quint32>(To_Int(parts[i], 0) & 0xFF);
    return word;
}

QString Dotted(quint32 word) {
    // Joined by hand: four QString::arg calls would cost a third of the conversion of a table.
    QString dotted;
    dotted.reserve(15);
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (shift != 24)
            dotted += QLatin1Char('.');
        dotted += QString::number((word >> shift) & 0xFF);
    }
    return dotted;
}

} // namespace

int Device_Request::Last_Byte() const {
    if (bit_type)
        return position + (npoint + start_bit - 1) / 8;
    return position + 2 * npoint - 1;
}

std::variant<Device_Request, Refused_Request> Device_Request_At(const Request_Table& table,
                                                                int slot, const Lang_Table& lang) {
    if (const auto failure = First_Row_Failure(table, slot, lang))
        return Refused_Request{table.Kind(), slot, failure->rule, failure->message};
    const Access_Layout& f = table.Layout();
    const auto text = [&](int field) -> const QString& { return table.Field(slot, field); };
    Device_Request r;
    r.table = table.Kind();
    r.slot = slot;
    r.mnemonic = text(f.Mnemonic);
    r.ip_word = Ip_Word(text(f.IP_Address));
    r.ip_address = Dotted(r.ip_word);
    r.port = To_Int(text(f.Port), 0);
    r.slave_id = To_Int(text(f.Slave_ID), 0);
    const QString type = Ascii_Upper(text(f.Type));
    r.type = Trim_Text(type);
    r.npoint = To_Int(text(f.NPoint), 0);
    r.address = To_Int(text(f.Address), 0);
    r.poll_time = To_Int64(text(f.PollTime), 0);
    r.max_error = To_Int64(text(f.MaxError), 0);
    r.position = To_Int(text(f.Position), 0);
    if (table.Kind() == Access_Kind::Read) {
        r.function_code = Read_Function_Code(type);
        r.bit_type = r.function_code == 1 || r.function_code == 2;
        // The device takes Swap on a read row only when it is exactly "Y".
        r.swap = text(f.Swap) == QLatin1String("Y");
    } else {
        r.function_code = Write_Function_Code(type, static_cast<std::uint16_t>(r.npoint));
        r.bit_type = r.function_code == 5 || r.function_code == 15;
        r.swap = Ascii_Upper(text(f.Swap)) == QLatin1String("Y");
        r.on_change = Ascii_Upper(text(f.OnChange)) == QLatin1String("Y");
        r.on_cmd = Ascii_Upper(text(f.OnCMD)) == QLatin1String("Y");
    }
    // Registers ignore the start bit; bits start where it says (the check made it 0..7).
    r.start_bit = r.bit_type ? To_Int(text(f.Bit), 0) : 0;
    return r;
}

Device_Request_List Device_Requests(const Request_Table& table, const Lang_Table& lang) {
    Device_Request_List list;
    list.table = table.Kind();
    const int used = table.Used_Count();
    for (int slot = 1; slot <= used; ++slot) {
        if (!table.Is_Enabled(slot))
            continue;
        auto row = Device_Request_At(table, slot, lang);
        if (auto* refused = std::get_if<Refused_Request>(&row))
            list.refused.push_back(std::move(*refused));
        else
            list.requests.push_back(std::move(std::get<Device_Request>(row)));
    }
    return list;
}
