#include "live/Live_Setup.h"

#include "access/Access_File.h"
#include "comm/Comm_Settings.h"
#include "comm/DMX_Default_Table.h"
#include "platform/Int_Conv.h"

#include <algorithm>

Live_Timing Load_Live_Timing(const QString& pargen_path) {
    const Comm_Settings settings = Load_Comm_Settings(pargen_path);
    Live_Timing timing;
    timing.timeout_ms = std::clamp(To_Int(settings.Modbus_TCP_Master_TimeOut, 1000), 0, 100000);
    timing.cyclic_ms = std::clamp(To_Int(settings.Modbus_TCP_Master_Cyclic, 100), 0, 10000);
    return timing;
}

Data_Array Load_Live_Defaults(const QString& pargen_path, const QString& dmx_values_path) {
    const DMX_Default_Table table = Load_DMX_Defaults(pargen_path, dmx_values_path);
    Data_Array data{};
    const int rows = std::min(table.Row_Count(), Data_Array_Size);
    for (int i = 0; i < rows; ++i)
        data[static_cast<size_t>(i)] =
            static_cast<std::uint8_t>(To_Int(table.Rows[static_cast<size_t>(i)].Default_Value, 0));
    return data;
}

Live_Setup Load_Live_Setup(const QString& pargen_path, const QString& dmx_values_path,
                           const QString& access_path, const Lang_Table& lang) {
    Live_Setup setup;
    setup.timing = Load_Live_Timing(pargen_path);
    setup.channel_count = Load_DMX_Channel_Count(pargen_path);
    setup.defaults = Load_Live_Defaults(pargen_path, dmx_values_path);
    Access_Table access;
    access.Reset_Access_Table();
    Load_Access_File(access_path, access);
    setup.list = Device_Requests(access.Table(Access_Kind_For_DMX(pargen_path)), lang);
    return setup;
}

Live_Setup Load_Live_Setup(const QString& dir, const Lang_Table& lang) {
    return Load_Live_Setup(dir + QStringLiteral("/ParGen.xml"),
                           dir + QStringLiteral("/DMX_Default_Values.xml"),
                           dir + QStringLiteral("/ModbusTCPM_SetAccess.xml"), lang);
}
