// "Update Device" without the window: compiling the three project files of a configuration with
// 1024 enabled requests into the image, and writing bank.bin.
#include "image/USaveBincc.h"
#include "platform/Files.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// A configuration as the editors write it, with a full request table.
void Write_Configuration(const QString& dir) {
    QByteArray par_gen = "<Par_Gen><DMX_DMX>1</DMX_DMX><DMX_Num_Channels>512</DMX_Num_Channels>"
                         "<Modbus_TCP_Master_TimeOut>1000</Modbus_TCP_Master_TimeOut>"
                         "<Modbus_TCP_Master_Cyclic>100</Modbus_TCP_Master_Cyclic>";
    const char* values[] = {"192", "168", "0",   "5",   "255", "255",
                            "255", "0",   "192", "168", "0",   "1"};
    for (int i = 0; i < 12; ++i) {
        const QByteArray name = QByteArray(i < 4   ? "IP"
                                           : i < 8 ? "SM"
                                                   : "GAT") +
                                QByteArray::number(i % 4 + 1);
        par_gen +=
            "<Modbus_TCP_Master_" + name + ">" + values[i] + "</Modbus_TCP_Master_" + name + ">";
    }
    par_gen += "<Modbus_TCP_Master_EN_GAT>1</Modbus_TCP_Master_EN_GAT></Par_Gen>"
               "<!--SW_VERSION = 1.001-->";

    QByteArray dmx = "<DMX_Default_Values>";
    for (int i = 0; i < 512; ++i)
        dmx += "<Row Default_Value=\"" + QByteArray::number(i % 256) + "\" Mnemonic=\"Ch\"/>";
    dmx += "</DMX_Default_Values><!--SW_VERSION = 1.001-->";

    QByteArray access = "<Modbus_TCP_Master_Rules><Modbus_Read>";
    for (int i = 0; i < 1024; ++i)
        access += "<row Enable=\"Y\" IP_Address=\"192.168." + QByteArray::number(i / 250) + "." +
                  QByteArray::number(i % 250 + 1) +
                  "\" Port=\"502\" Slave_ID=\"1\" Type=\"Holding Register\" Address=\"" +
                  QByteArray::number(i) +
                  "\" NPoint=\"1\" PollTime=\"1000\" MaxError=\"3\" Position=\"" +
                  QByteArray::number(i % 256 * 2) + "\" Bit=\"\" Swap=\"N\" Mnemonic=\"Row\"/>";
    access += "</Modbus_Read><Modbus_Write/></Modbus_TCP_Master_Rules><!--SW_VERSION = 1.001-->";

    const Project_Files files = Project_Files::In_Folder(dir);
    Write_File_Atomic(files.ParGen_File, par_gen);
    Write_File_Atomic(files.DMX_Default_Values_File, dmx);
    Write_File_Atomic(files.ModbusTCPM_SetAccess_File, access);
    Create_Folder(dir + "/bin");
}

void BM_Compile_And_Save_1024_Requests(benchmark::State& state) {
    QTemporaryDir folder;
    Write_Configuration(folder.path());
    const Project_Files files = Project_Files::In_Folder(folder.path());
    const auto image = std::make_unique<Image_Record>();
    Bank_Buffer buffer;
    for (auto _ : state) {
        Compile_Bank(files, *image, buffer);
        Save_Bank_File(folder.path(), buffer);
    }
    if (image->Settings.Request_Count != 1024 || buffer.Length != Bank_Size)
        state.SkipWithError("the configuration did not compile to 1024 requests");
}
BENCHMARK(BM_Compile_And_Save_1024_Requests)->Unit(benchmark::kMillisecond);

void BM_Compile_Only_1024_Requests(benchmark::State& state) {
    QTemporaryDir folder;
    Write_Configuration(folder.path());
    const Project_Files files = Project_Files::In_Folder(folder.path());
    const auto image = std::make_unique<Image_Record>();
    Bank_Buffer buffer;
    for (auto _ : state)
        Compile_Bank(files, *image, buffer);
}
BENCHMARK(BM_Compile_Only_1024_Requests)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
