// The channel map: building it from both request tables full (2 x 512 rows), as the map window
// does after each edit, and repainting its grid.
#include "map/Channel_Map.h"

#include <benchmark/benchmark.h>

namespace {

// Both tables with every slot used: the read table stores one coil per channel, the write table
// sends each channel to a register of one of eight slaves.
Access_Table Full_Tables() {
    Access_Table access;
    for (int slot = 1; slot <= Access_Slot_Count; ++slot) {
        const QString ip = QStringLiteral("192.168.1.%1").arg(slot % 8 + 1);
        const QString position = QString::number(slot - 1);
        const QStringList read{"Y", ip,       "502", "1", "Coil Status",     QString::number(slot),
                               "8", "100",    "3",   position, "0", "N", "Lamp " + position};
        const QStringList write{"Y",   ip,       "502", "1", "Holding Register",
                                QString::number(slot), "1", "0",   "Y", "N",
                                "3",   QString::number((slot - 1) / 2 * 2), "0",   "N",
                                "Fader " + position};
        for (int field = 1; field <= read.size(); ++field)
            access.Read.Set_Field(slot, field, read[field - 1]);
        for (int field = 1; field <= write.size(); ++field)
            access.Write.Set_Field(slot, field, write[field - 1]);
    }
    return access;
}

void BM_Build_Channel_Map(benchmark::State& state) {
    const Access_Table access = Full_Tables();
    Lang_Table lang;
    lang.Load_Default_Texts();
    Map_Settings settings;
    settings.table = state.range(0) == 0 ? Access_Kind::Read : Access_Kind::Write;
    settings.channel_count = 500;
    settings.Set_Defaults(DMX_Default_Table::With_Channels(500));
    size_t requests = 0;
    for (auto _ : state) {
        const Channel_Map map = Build_Channel_Map(access, settings, lang);
        requests = map.requests.size();
        benchmark::DoNotOptimize(map.findings.data());
    }
    if (requests != Access_Slot_Count)
        state.SkipWithError("rows were refused");
    state.SetLabel(settings.table == Access_Kind::Read ? "read table" : "write table");
}
BENCHMARK(BM_Build_Channel_Map)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// The part of the build that converts and checks the rows.
void BM_Device_Requests(benchmark::State& state) {
    const Access_Table access = Full_Tables();
    Lang_Table lang;
    lang.Load_Default_Texts();
    for (auto _ : state)
        benchmark::DoNotOptimize(Device_Requests(access.Read, lang).requests.data());
}
BENCHMARK(BM_Device_Requests)->Unit(benchmark::kMicrosecond);

} // namespace
