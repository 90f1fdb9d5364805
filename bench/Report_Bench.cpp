// The commissioning report of a configuration with 1024 enabled requests: gathering it from the
// folder (which compiles the image) and writing it as a PDF (aim: under 500 ms) or as HTML.
#include "lang/Lang_Table.h"
#include "platform/Files.h"
#include "report/Report_Data.h"
#include "report/Report_Document.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// The converter as DMX master with 1024 read requests, each with a name, and every channel set.
void Write_Configuration(const QString& dir) {
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
    QByteArray access = "<Modbus_TCP_Master_Rules><Modbus_Read>";
    for (int i = 0; i < 1024; ++i)
        access += "<row Enable=\"Y\" IP_Address=\"127.0." + QByteArray::number(i / 250) + "." +
                  QByteArray::number(i % 250 + 1) +
                  "\" Port=\"502\" Slave_ID=\"1\" Type=\"Holding Register\" Address=\"" +
                  QByteArray::number(i) +
                  "\" NPoint=\"1\" PollTime=\"1000\" MaxError=\"3\" Position=\"" +
                  QByteArray::number(i % 256 * 2) + "\" Bit=\"\" Swap=\"N\" Mnemonic=\"Dimmer " +
                  QByteArray::number(i + 1) + " stage left\"/>";
    access += "</Modbus_Read><Modbus_Write/></Modbus_TCP_Master_Rules><!--SW_VERSION = 1.001-->";
    Write_File_Atomic(dir + "/ParGen.xml", par_gen);
    Write_File_Atomic(dir + "/DMX_Default_Values.xml", dmx);
    Write_File_Atomic(dir + "/ModbusTCPM_SetAccess.xml", access);
}

void Report_Of_1024_Requests(benchmark::State& state, Report_Format format, const char* name) {
    QTemporaryDir folder;
    Write_Configuration(folder.path());
    Lang_Table lang;
    lang.Load_Default_Texts();
    const QString output = folder.filePath(QString::fromLatin1(name));
    int pages = 0;
    for (auto _ : state) {
        const Report_Data data = Collect_Report_Data(folder.path(), QDateTime::currentDateTime());
        pages = Write_Report(output, format, data, lang);
        if (data.Settings.Request_Count != 1024) {
            state.SkipWithError("the configuration did not compile to 1024 requests");
            break;
        }
    }
    state.counters["pages"] = pages;
}

void BM_Report_Pdf_1024_Requests(benchmark::State& state) {
    Report_Of_1024_Requests(state, Report_Format::Pdf, "report.pdf");
}
BENCHMARK(BM_Report_Pdf_1024_Requests)->Unit(benchmark::kMillisecond);

void BM_Report_Html_1024_Requests(benchmark::State& state) {
    Report_Of_1024_Requests(state, Report_Format::Html, "report.html");
}
BENCHMARK(BM_Report_Html_1024_Requests)->Unit(benchmark::kMillisecond);

} // namespace
