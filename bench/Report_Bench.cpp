// The commissioning report of a configuration with 1024 enabled requests: gathering it from the
// folder (which compiles the image) and writing it as a PDF (aim: under 500 ms) or as HTML. With
// 1024 requests in one table (the image full) the editors, and so the channel map, refuse the
// file; with both tables full (512 each, what the editor holds) the map's picture is drawn too.
#include "lang/Lang_Table.h"
#include "platform/Files.h"
#include "report/Report_Data.h"
#include "report/Report_Document.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QByteArray Rows(int count, int first) {
    QByteArray rows;
    for (int i = first; i < first + count; ++i)
        rows += "<row Enable=\"Y\" IP_Address=\"127.0." + QByteArray::number(i / 250) + "." +
                QByteArray::number(i % 250 + 1) +
                "\" Port=\"502\" Slave_ID=\"1\" Type=\"Holding Register\" Address=\"" +
                QByteArray::number(i) +
                "\" NPoint=\"1\" PollTime=\"1000\" MaxError=\"3\" Position=\"" +
                QByteArray::number(i % 256 * 2) + "\" Bit=\"\" Swap=\"N\" OnChange=\"N\" " +
                "OnCMD=\"N\" Mnemonic=\"Dimmer " + QByteArray::number(i + 1) + " stage left\"/>";
    return rows;
}

// The converter as DMX master, every channel set, with read_rows read requests and write_rows
// write requests, each with a name.
void Write_Configuration(const QString& dir, int read_rows, int write_rows) {
    QByteArray par_gen = "<Par_Gen><DMX_DMX>1</DMX_DMX><DMX_Num_Channels>512</DMX_Num_Channels>"
                         "<Modbus_TCP_Master_TimeOut>1000</Modbus_TCP_Master_TimeOut>"
                         "<Modbus_TCP_Master_Cyclic>100</Modbus_TCP_Master_Cyclic>"
                         "<Modbus_TCP_Master_IP1>127</Modbus_TCP_Master_IP1>"
                         "<Modbus_TCP_Master_IP2>0</Modbus_TCP_Master_IP2>"
                         "<Modbus_TCP_Master_IP3>0</Modbus_TCP_Master_IP3>"
                         "<Modbus_TCP_Master_IP4>5</Modbus_TCP_Master_IP4>"
                         "<Modbus_TCP_Master_EN_GAT>0</Modbus_TCP_Master_EN_GAT></Par_Gen>"
                         "<!--SW_VERSION = 1.001-->";
    QByteArray dmx = "<DMX_Default_Values>";
    for (int i = 0; i < 512; ++i)
        dmx += "<Row Default_Value=\"" + QByteArray::number(i % 256) + "\" Mnemonic=\"Ch\"/>";
    dmx += "</DMX_Default_Values><!--SW_VERSION = 1.001-->";
    const QByteArray access = "<Modbus_TCP_Master_Rules><Modbus_Read>" + Rows(read_rows, 0) +
                              "</Modbus_Read><Modbus_Write>" + Rows(write_rows, read_rows) +
                              "</Modbus_Write></Modbus_TCP_Master_Rules><!--SW_VERSION = 1.001-->";
    Write_File_Atomic(dir + "/ParGen.xml", par_gen);
    Write_File_Atomic(dir + "/DMX_Default_Values.xml", dmx);
    Write_File_Atomic(dir + "/ModbusTCPM_SetAccess.xml", access);
}

void Report_Of_1024_Requests(benchmark::State& state, Report_Format format, const char* name,
                             int read_rows) {
    QTemporaryDir folder;
    Write_Configuration(folder.path(), read_rows, 1024 - read_rows);
    Lang_Table lang;
    lang.Load_Default_Texts();
    const QString output = folder.filePath(QString::fromLatin1(name));
    int pages = 0;
    for (auto _ : state) {
        const Report_Data data =
            Collect_Report_Data(folder.path(), QDateTime::currentDateTime(), lang);
        pages = Write_Report(output, format, data, lang);
        if (data.Settings.Request_Count != static_cast<std::uint32_t>(read_rows) ||
            data.Map.has_value() != (read_rows <= 512)) {
            state.SkipWithError("the configuration is not the one meant");
            break;
        }
    }
    state.counters["pages"] = pages;
}

void BM_Report_Pdf_1024_Requests(benchmark::State& state) {
    Report_Of_1024_Requests(state, Report_Format::Pdf, "report.pdf", 1024);
}
BENCHMARK(BM_Report_Pdf_1024_Requests)->Unit(benchmark::kMillisecond);

void BM_Report_Html_1024_Requests(benchmark::State& state) {
    Report_Of_1024_Requests(state, Report_Format::Html, "report.html", 1024);
}
BENCHMARK(BM_Report_Html_1024_Requests)->Unit(benchmark::kMillisecond);

void BM_Report_Pdf_Both_Tables_Full(benchmark::State& state) {
    Report_Of_1024_Requests(state, Report_Format::Pdf, "report.pdf", 512);
}
BENCHMARK(BM_Report_Pdf_Both_Tables_Full)->Unit(benchmark::kMillisecond);

void BM_Report_Html_Both_Tables_Full(benchmark::State& state) {
    Report_Of_1024_Requests(state, Report_Format::Html, "report.html", 512);
}
BENCHMARK(BM_Report_Html_Both_Tables_Full)->Unit(benchmark::kMillisecond);

} // namespace
