// The access window with both request tables full (2 x 512 rows): opening it (reading the file,
// filling the views, drawing them once) and confirming it (checking and saving both tables).
#include "access/Access_Check.h"
#include "access/Access_File.h"
#include "access_dialog/UModbus_TCP_Master_Set_Access.h"

#include "Bench_Support.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A configuration whose two tables use every slot, each row valid.
struct Full_Configuration {
    Full_Configuration() {
        ctx.lang.Load_Default_Texts();
        ctx.messages = &messages;
        ctx.state.Project_Dir = folder.path();
        ctx.state.Set_Files();
        Access_Table access;
        for (int slot = 1; slot <= Access_Slot_Count; ++slot) {
            const QString ip = QStringLiteral("192.168.%1.%2").arg(slot / 250).arg(slot % 250 + 1);
            const QString position = QString::number(slot - 1);
            const QStringList read{"Y", ip,       "502", "1", "Coil Status",     "100", "1", "100",
                                   "3", position, "0",   "N", "Lamp " + position};
            const QStringList write{"Y",   ip,       "502", "1", "Coil Status",
                                    "200", "1",      "0",   "Y", "N",
                                    "3",   position, "0",   "N", "Fader " + position};
            for (int field = 1; field <= read.size(); ++field)
                access.Read.Set_Field(slot, field, read[field - 1]);
            for (int field = 1; field <= write.size(); ++field)
                access.Write.Set_Field(slot, field, write[field - 1]);
        }
        Save_Access_File(ctx.state.ModbusTCPM_SetAccess_File, access);
    }
    QTemporaryDir folder;
    Silent_Messages messages;
    App_Context ctx;
};

void BM_Open_Access_Window(benchmark::State& state) {
    Full_Configuration config;
    TFModbus_TCP_Master_Set_Access window(config.ctx, nullptr);
    for (auto _ : state) {
        window.show();
        window.repaint();
        QApplication::processEvents();
        state.PauseTiming();
        window.hide();
        state.ResumeTiming();
    }
    if (window.Table().Write.Used_Count() != Access_Slot_Count)
        state.SkipWithError("the tables were not loaded");
}
BENCHMARK(BM_Open_Access_Window)->Unit(benchmark::kMillisecond);

void BM_Confirm_Access_Window(benchmark::State& state) {
    Full_Configuration config;
    TFModbus_TCP_Master_Set_Access window(config.ctx, nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        window.show();
        QApplication::processEvents();
        state.ResumeTiming();
        window.Btn_OKClick();
    }
    if (window.result() != QDialog::Accepted || !config.messages.last_error.isEmpty())
        state.SkipWithError(qPrintable("not saved: " + config.messages.last_error));
}
BENCHMARK(BM_Confirm_Access_Window)->Unit(benchmark::kMillisecond);

void BM_Load_Check_Save_Tables(benchmark::State& state) {
    Full_Configuration config;
    const QString path = config.ctx.state.ModbusTCPM_SetAccess_File;
    for (auto _ : state) {
        Access_Table access;
        Load_Access_File(path, access);
        benchmark::DoNotOptimize(Controllo_dati(access, config.ctx.lang));
        Save_Access_File(path, access);
    }
}
BENCHMARK(BM_Load_Check_Save_Tables)->Unit(benchmark::kMillisecond);

} // namespace
