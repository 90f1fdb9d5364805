// The channel map: building it from both request tables full (2 x 512 rows), as the map window
// does after each edit, and repainting its grid.
#include "grid/Channel_Grid.h"
#include "map/Channel_Map.h"
#include "map_window/UChannel_Map.h"
#include "paint/Map_Grid_Cells.h"

#include "Bench_Support.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// Both tables with every slot used: the read table stores one coil per channel, the write table
// sends each channel to a register of one of eight slaves.
Access_Table Full_Tables() {
    Access_Table access;
    for (int slot = 1; slot <= Access_Slot_Count; ++slot) {
        const QString ip = QStringLiteral("192.168.1.%1").arg(slot % 8 + 1);
        const QString position = QString::number(slot - 1);
        const QStringList read{"Y",   ip,  "502",    "1", "Coil Status", QString::number(slot), "8",
                               "100", "3", position, "0", "N",           "Lamp " + position};
        const QStringList write{"Y",
                                ip,
                                "502",
                                "1",
                                "Holding Register",
                                QString::number(slot),
                                "1",
                                "0",
                                "Y",
                                "N",
                                "3",
                                QString::number((slot - 1) / 2 * 2),
                                "0",
                                "N",
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

Channel_Map Full_Map() {
    Lang_Table lang;
    lang.Load_Default_Texts();
    Map_Settings settings;
    settings.channel_count = 500;
    settings.Set_Defaults(DMX_Default_Table::With_Channels(500));
    return Build_Channel_Map(Full_Tables(), settings, lang);
}

// The cells of the grid, as the window makes them after each build.
void BM_Map_Grid_Cells(benchmark::State& state) {
    const Channel_Map map = Full_Map();
    for (auto _ : state)
        benchmark::DoNotOptimize(Map_Grid_Cells(map)[0].text.size());
}
BENCHMARK(BM_Map_Grid_Cells)->Unit(benchmark::kMicrosecond);

// Repainting the whole grid of the window (about 1000 x 400 pixels), in the widget and into a
// picture.
void BM_Repaint_Grid(benchmark::State& state) {
    const auto cells = Map_Grid_Cells(Full_Map());
    Channel_Grid grid;
    grid.resize(976, 420);
    grid.Set_Cells(cells);
    grid.show();
    QApplication::processEvents();
    for (auto _ : state)
        grid.repaint();
}
BENCHMARK(BM_Repaint_Grid)->Unit(benchmark::kMicrosecond);

void BM_Paint_Grid_Picture(benchmark::State& state) {
    const auto cells = Map_Grid_Cells(Full_Map());
    QImage image(976, 420, QImage::Format_RGB32);
    const Grid_Layout layout = Layout_Channel_Grid(image.rect(), QFont("Verdana", 8));
    for (auto _ : state) {
        QPainter painter(&image);
        Paint_Channel_Grid(painter, layout, cells);
    }
}
BENCHMARK(BM_Paint_Grid_Picture)->Unit(benchmark::kMicrosecond);

// What the map window does after an edit in the access table: the build, the grid, the findings
// and the load, and the repaint of what changed.
void BM_Map_Window_Rebuild(benchmark::State& state) {
    QTemporaryDir folder;
    Silent_Messages messages;
    App_Context ctx;
    ctx.lang.Load_Default_Texts();
    ctx.messages = &messages;
    ctx.state.Project_Dir = folder.path();
    ctx.state.Set_Files();
    Access_Table access = Full_Tables();
    TFChannel_Map window(ctx, nullptr);
    window.Show_Table(access);
    window.show();
    QApplication::processEvents();
    const int position = Layout_Of(Access_Kind::Read).Position;
    int edit = 0;
    for (auto _ : state) {
        // One row moves back and forth between two bytes.
        access.Read.Set_Field(1, position, QString::number(++edit % 2));
        window.Rebuild();
        QApplication::processEvents();
    }
    if (window.Map().requests.size() != Access_Slot_Count)
        state.SkipWithError("rows were refused");
}
BENCHMARK(BM_Map_Window_Rebuild)->Unit(benchmark::kMicrosecond);

// Setting one cell and repainting what changed: the dry run's update of one channel.
void BM_Update_One_Cell(benchmark::State& state) {
    Channel_Grid grid;
    grid.resize(976, 420);
    grid.show();
    QApplication::processEvents();
    int value = 0;
    for (auto _ : state) {
        Grid_Cell cell;
        cell.text = QString::number(++value % 256);
        grid.Set_Cell(100, cell);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_Update_One_Cell)->Unit(benchmark::kMicrosecond);

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
