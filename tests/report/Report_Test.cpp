#include "image/Project_Fixture.h"
#include "image/USaveBincc.h"
#include "lang/Lang_Table.h"
#include "lang/Language_File.h"
#include "platform/Error.h"
#include "report/Report_Data.h"
#include "report/Report_Document.h"
#include "support/Test_Files.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// The text of a PDF page (or of every page with page 0), as pdftotext reads it.
QString Pdf_Text(const QString& path, int page = 0) {
    QStringList arguments{"-layout"};
    if (page > 0)
        arguments << "-f" << QString::number(page) << "-l" << QString::number(page);
    QProcess process;
    process.start("pdftotext", arguments << path << "-");
    EXPECT_TRUE(process.waitForFinished(30000));
    return QString::fromUtf8(process.readAllStandardOutput());
}

int Pdf_Pages(const QString& path) {
    QProcess process;
    process.start("pdfinfo", {path});
    EXPECT_TRUE(process.waitForFinished(30000));
    const QString info = QString::fromUtf8(process.readAllStandardOutput());
    const auto match = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

class Report : public ::testing::Test {
protected:
    Report() { lang.Load_Default_Texts(); }

    // DMX OUT, 24 channels, the converter at 127.0.0.5 with its gateway enabled; two read rows
    // (the second disabled) and a write row the device does not use; channel 7 at 255.
    QString Write_Plant(const QString& read_rows = QString()) {
        const QString dir = folder.File("Hall A");
        QDir().mkpath(dir);
        Write_Text(dir + "/ParGen.xml", Par_Gen_File({{"DMX_DMX", "1"},
                                                      {"DMX_Num_Channels", "24"},
                                                      {"Modbus_TCP_Master_TimeOut", "1500"},
                                                      {"Modbus_TCP_Master_Cyclic", "50"},
                                                      {"Modbus_TCP_Master_IP1", "127"},
                                                      {"Modbus_TCP_Master_IP2", "0"},
                                                      {"Modbus_TCP_Master_IP3", "0"},
                                                      {"Modbus_TCP_Master_IP4", "5"},
                                                      {"Modbus_TCP_Master_SM1", "255"},
                                                      {"Modbus_TCP_Master_SM2", "255"},
                                                      {"Modbus_TCP_Master_SM3", "255"},
                                                      {"Modbus_TCP_Master_SM4", "0"},
                                                      {"Modbus_TCP_Master_GAT1", "127"},
                                                      {"Modbus_TCP_Master_GAT2", "0"},
                                                      {"Modbus_TCP_Master_GAT3", "0"},
                                                      {"Modbus_TCP_Master_GAT4", "1"},
                                                      {"Modbus_TCP_Master_EN_GAT", "1"}}));
        Write_Text(dir + "/ModbusTCPM_SetAccess.xml",
                   Access_File(read_rows.isNull()
                                   ? Access_Row(Section::Read, {{"IP_Address", "127.0.0.20"},
                                                                {"Position", "40"},
                                                                {"Mnemonic", "Hall lights"}}) +
                                         Access_Row(Section::Read, {{"Enable", "N"},
                                                                    {"IP_Address", "127.0.0.21"},
                                                                    {"Mnemonic", "Spare <pump>"}})
                                   : read_rows,
                               Access_Row(Section::Write, {{"Mnemonic", "Unused write"}})));
        Write_Text(dir + "/DMX_Default_Values.xml",
                   DMX_File({"0", "0", "0", "0", "0", "0", "255", "0", "17"}));
        return dir;
    }
    Report_Data Collect(const QString& dir) {
        return Collect_Report_Data(dir, QDateTime(QDate(2024, 5, 17), QTime(14, 30, 5)), lang);
    }

    Temp_Folder folder;
    Lang_Table lang;
};

TEST_F(Report, HtmlHoldsEverySectionWithItsValues) {
    const QString dir = Write_Plant();
    const QString html = Report_Html(Collect(dir), lang);
    const QByteArray image = Compile_Configuration(dir);
    const std::uint32_t checksum =
        static_cast<unsigned char>(image[34812]) | static_cast<unsigned char>(image[34813]) << 8;

    for (const QString& expected : QStringList{
             "<h1>Commissioning Report</h1>",
             "<td class=\"label\">Configuration</td><td>Hall A</td>",
             "<td class=\"label\">Date</td><td>2024-05-17 14:30:05</td>",
             "<td class=\"label\">Program Version</td><td>VC40362 1.001</td>",
             "<h2>Communication</h2>",
             "<td class=\"label\">DMX</td><td>OUT</td>",
             "<td class=\"label\">Channel Number</td><td>24</td>",
             "<td class=\"label\">IP ADDRESS</td><td>127.0.0.5</td>",
             "<td class=\"label\">SUBNET Mask</td><td>255.255.255.0</td>",
             "<td class=\"label\">GATEWAY</td><td>127.0.0.1</td>",
             "<td class=\"label\">TimeOut (ms)</td><td>1500</td>",
             "<td class=\"label\">Cyclic Delay (ms)</td><td>50</td>",
             "<h2>Modbus TCP Requests - Modbus Read</h2>",
             "<thead><tr><th>N</th><th>Enable</th><th>Slave IP Address</th><th>Port</th>"
             "<th>Slave ID</th><th>Type</th><th>Address</th><th>NPoint</th><th>Poll Time</th>"
             "<th>Max Error</th><th>Position</th><th>Start Bit</th><th>Swap</th>"
             "<th>Mnemonic</th><th>Entry</th></tr></thead>",
             // The enabled row with its entry in the image, the disabled one marked.
             "<tr><td class=\"num\">1</td><td>Y</td><td>127.0.0.20</td><td class=\"num\">502</td>"
             "<td class=\"num\">1</td><td>Holding Register</td><td class=\"num\">0</td>"
             "<td class=\"num\">10</td><td class=\"num\">1000</td><td class=\"num\">3</td>"
             "<td class=\"num\">40</td><td class=\"num\">0</td><td>N</td>"
             "<td class=\"wrap\">Hall lights</td><td class=\"num\">0</td></tr>",
             "<tr class=\"off\"><td class=\"num\">2</td><td>N</td><td>127.0.0.21</td>",
             "<td class=\"wrap\">Spare &lt;pump&gt;</td><td "
             "class=\"num\"><i>disabled</i></td></tr>",
             // The channel map: its picture (with its text form) and its findings, here the
             // request's bytes beyond the 24 channels, and the load per slave.
             "<h2>Channel Map</h2>\n<p><img src=\"data:image/png;base64,",
             "alt=\"Channel map of the read table (DMX OUT): channel count 24, 1 request",
             "<tr><td>Warning</td><td class=\"wrap\">Channels 41-60",
             "<h3>Load per slave (an estimate)</h3>",
             "<tr><td>127.0.0.20:502</td><td class=\"num\">1</td><td class=\"num\">1.0</td>"
             "<td class=\"num\">1500</td></tr>",
             "<h2>DMX Default Value</h2>",
             "<th>Channel</th><th>+0</th>",
             "<th>+15</th></tr></thead>",
             "<tr><th>1</th><td class=\"num zero\">0</td>",
             "<td class=\"num\">255</td><td class=\"num zero\">0</td><td class=\"num\">17</td>",
             "<tr><th>497</th>",
             "<h2>Configuration Image</h2>",
             "<td class=\"label\">Size</td><td>35328 bytes</td>",
             QStringLiteral("<td class=\"label\">Settings Checksum</td><td>%1 (0x%2)</td>")
                 .arg(checksum)
                 .arg(QString::number(checksum, 16).toUpper().rightJustified(8, '0')),
             "<td class=\"label\">Requests in the Image</td><td>1</td>",
             "<p class=\"note\">bin/bank.bin is missing: Update Device has not written it "
             "yet.</p>",
         })
        EXPECT_TRUE(html.contains(expected)) << expected.toStdString();
    // The table the device does not use is not the device's record.
    EXPECT_FALSE(html.contains("Unused write"));
    // One file, nothing fetched from elsewhere.
    for (const char* outside : {"src=\"http", "href=", "<link", "<script", "url("})
        EXPECT_FALSE(html.contains(outside)) << outside;
}

TEST_F(Report, TellsHowBankBinStands) {
    const QString dir = Write_Plant();
    const QByteArray image = Compile_Configuration(dir);
    const QString line_missing = "bin/bank.bin is missing";
    const QString line_older = "bin/bank.bin is older than the project files";
    const QString line_sha = "SHA-256 of bin/bank.bin";

    QString html = Report_Html(Collect(dir), lang);
    EXPECT_TRUE(html.contains(line_missing));
    EXPECT_FALSE(html.contains(line_sha));

    QDir().mkpath(dir + "/bin");
    Write_Bytes(dir + "/bin/bank.bin", image);
    const Report_Data current = Collect(dir);
    EXPECT_EQ(current.Bank, Bank_State::Current);
    html = Report_Html(current, lang);
    EXPECT_TRUE(html.contains("<td class=\"label\">SHA-256 of bin/bank.bin</td><td><tt>" +
                              QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex() +
                              "</tt></td>"));
    EXPECT_FALSE(html.contains(line_missing));
    EXPECT_FALSE(html.contains(line_older));

    // The files changed after the last Update Device.
    Write_Text(dir + "/DMX_Default_Values.xml", DMX_File({"1"}));
    html = Report_Html(Collect(dir), lang);
    EXPECT_TRUE(html.contains(line_older));
    EXPECT_FALSE(html.contains(line_sha));

    // Files that do not compile: the message, and still every row of the table.
    Write_Plant(Access_Row(Section::Read, {{"Slave_ID", "x"}, {"Mnemonic", "Broken"}}));
    const Report_Data broken = Collect(dir);
    EXPECT_EQ(broken.Bank, Bank_State::Not_Compiled);
    html = Report_Html(broken, lang);
    EXPECT_TRUE(html.contains("<p class=\"note\">The project files cannot be compiled into an "
                              "image: ModbusTCPM_SetAccess.xml: Modbus_Read row 1: Slave_ID "
                              "&quot;x&quot; is not an integer</p>"))
        << html.toStdString();
    EXPECT_TRUE(html.contains("Broken"));
    EXPECT_FALSE(html.contains(line_older));
    // Nothing of this was written into the configuration.
    EXPECT_EQ(
        QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
        (QStringList{"bin", "DMX_Default_Values.xml", "ModbusTCPM_SetAccess.xml", "ParGen.xml"}));
    EXPECT_EQ(Read_Bytes(dir + "/bin/bank.bin"), image);
}

TEST_F(Report, ShowsTheTableOfTheDMXRole) {
    const QString dir = Write_Plant();
    Write_Text(dir + "/ParGen.xml", Par_Gen_Standard("0", "512", "0"));
    const QString html = Report_Html(Collect(dir), lang);
    EXPECT_TRUE(html.contains("<h2>Modbus TCP Requests - Modbus Write</h2>"));
    EXPECT_TRUE(html.contains("<th>On Change</th><th>On CMD</th>"));
    EXPECT_TRUE(html.contains("<td class=\"wrap\">Unused write</td><td class=\"num\">0</td>"));
    EXPECT_FALSE(html.contains("Hall lights"));
    EXPECT_TRUE(html.contains("<td class=\"label\">DMX</td><td>IN</td>"));
    EXPECT_TRUE(html.contains("<td class=\"label\">GATEWAY</td><td>disabled</td>"));
}

TEST_F(Report, LeavesOutAMapTheEditorsCannotRead) {
    // The compiler needs no Mnemonic; the access editor, and so the map, refuses the row.
    const QString dir = Write_Plant(Access_Row(Section::Read, {{"Mnemonic", nullptr}}));
    const Report_Data data = Collect(dir);
    EXPECT_FALSE(data.Map.has_value());
    EXPECT_EQ(data.Bank, Bank_State::Missing);
    const QString html = Report_Html(data, lang);
    EXPECT_TRUE(html.contains("<h2>Channel Map</h2>\n<p class=\"note\">The channel map cannot be "
                              "drawn: ModbusTCPM_SetAccess.xml: Modbus_Read row 1: attribute "
                              "Mnemonic is missing</p>"))
        << html.toStdString();
    EXPECT_FALSE(html.contains("<img"));
    EXPECT_TRUE(html.contains("<td class=\"label\">Requests in the Image</td><td>1</td>"));
}

TEST_F(Report, FollowsTheLanguage) {
    QString version;
    ASSERT_TRUE(Load_Lang_File(lang, TESSARO_TEST_DATA "/../../lang/Italiano.lng", version));
    const QString html = Report_Html(Collect(Write_Plant()), lang);
    for (const char* expected :
         {"<h1>Rapporto di messa in servizio</h1>", "<h2>Comunicazione</h2>",
          "<h2>Richieste Modbus TCP - Lettura Modbus</h2>",
          "<td class=\"num\"><i>disabilitato</i></td>", "<h2>Immagine della configurazione</h2>"})
        EXPECT_TRUE(html.contains(QString::fromUtf8(expected))) << expected;
}

TEST_F(Report, PdfRepeatsTheTitleRowOnEveryPageAndLosesNoRow) {
    // 300 requests run over several pages.
    QString rows;
    for (int i = 1; i <= 300; ++i)
        rows += Access_Row(
            Section::Read,
            {{"IP_Address", "127.0.0.20"},
             {"Position", QByteArray::number(i % 250).constData()},
             {"Mnemonic",
              QStringLiteral("Lamp %1").arg(i, 3, 10, QChar('0')).toUtf8().constData()}});
    const QString dir = Write_Plant(rows);
    const QString pdf = folder.File("report.pdf");
    const int pages = Write_Report(pdf, Report_Format::Pdf, Collect(dir), lang);
    ASSERT_GE(pages, 4);
    EXPECT_EQ(Pdf_Pages(pdf), pages);

    const QString first = Pdf_Text(pdf, 1);
    for (const char* expected : {"Commissioning Report", "Hall A", "2024-05-17 14:30:05",
                                 "VC40362 1.001", "127.0.0.5", "1500"})
        EXPECT_TRUE(first.contains(expected)) << expected;
    int table_pages = 0;
    for (int page = 1; page <= pages; ++page) {
        const QString text = Pdf_Text(pdf, page);
        EXPECT_TRUE(text.contains(QStringLiteral("Page %1 / %2").arg(page).arg(pages)))
            << "page " << page;
        if (text.contains("Lamp ")) {
            ++table_pages;
            EXPECT_TRUE(text.contains("Mnemonic")) << "page " << page;
        }
    }
    EXPECT_GE(table_pages, 3);
    const QString all = Pdf_Text(pdf);
    for (int i = 1; i <= 300; ++i)
        EXPECT_EQ(all.count(QStringLiteral("Lamp %1").arg(i, 3, 10, QChar('0'))), 1) << i;
    EXPECT_TRUE(all.contains("DMX Default Value"));
    EXPECT_TRUE(all.contains("Requests in the Image"));
    // The channel map's picture, with its findings and load after it.
    QProcess images;
    images.start("pdfimages", {"-list", pdf});
    ASSERT_TRUE(images.waitForFinished(30000));
    EXPECT_EQ(QString::fromUtf8(images.readAllStandardOutput()).count(" image "), 1);
    EXPECT_TRUE(all.contains("Findings"));
    EXPECT_TRUE(all.contains("Load per slave (an estimate)"));
}

TEST_F(Report, FailuresNameTheFileAndLeaveNoFile) {
    const QString dir = Write_Plant();
    const Report_Data data = Collect(dir);
    const QString nowhere = folder.File("no such folder/report.pdf");
    for (const Report_Format format : {Report_Format::Pdf, Report_Format::Html}) {
        try {
            Write_Report(nowhere, format, data, lang);
            ADD_FAILURE() << "written into a missing folder";
        } catch (const Tessaro_Error& error) {
            EXPECT_TRUE(error.Message().startsWith("report.pdf: cannot be written: "))
                << error.Message().toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(nowhere));

    Write_Text(dir + "/ParGen.xml", "<Par_Gen><DMX_DMX>1</DMX_DMX>");
    try {
        Collect(dir);
        ADD_FAILURE() << "a ParGen.xml that is not XML was read";
    } catch (const Tessaro_Error& error) {
        EXPECT_TRUE(error.Message().startsWith("ParGen.xml")) << error.Message().toStdString();
    }
    EXPECT_THROW(Collect(folder.File("Nowhere")), Tessaro_Error);
}

TEST_F(Report, TheFileNameChoosesTheFormat) {
    EXPECT_EQ(Report_Format_For("a/b.pdf"), Report_Format::Pdf);
    EXPECT_EQ(Report_Format_For("b.PDF"), Report_Format::Pdf);
    EXPECT_EQ(Report_Format_For("b.html"), Report_Format::Html);
    EXPECT_EQ(Report_Format_For("b.Htm"), Report_Format::Html);
    EXPECT_EQ(Report_Format_For("b.txt"), std::nullopt);
    EXPECT_EQ(Report_Format_For("pdf"), std::nullopt);
}

} // namespace
