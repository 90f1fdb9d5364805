#include "comm/DMX_Default_Table.h"
#include "comm/DMX_Table_Model.h"
#include "lang/Lang_Table.h"
#include "platform/Error.h"
#include "support/Schema_Check.h"
#include "support/Test_Files.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

QString Rows_File(int count) {
    QString xml = "<DMX_Default_Values>";
    for (int i = 1; i <= count; ++i)
        xml += QStringLiteral("<Row Default_Value=\"%1\" Mnemonic=\"Ch %2\"/>").arg(i % 256).arg(i);
    return xml + "</DMX_Default_Values><!--SW_VERSION = 1.001-->";
}

QString ParGen_With_Count(const QString& count) {
    return "<Par_Gen><DMX_DMX>1</DMX_DMX><DMX_Num_Channels>" + count +
           "</DMX_Num_Channels></Par_Gen>";
}

class DMX_File : public ::testing::Test {
protected:
    QString ParGen() const { return folder.File("ParGen.xml"); }
    QString Values() const { return folder.File("DMX_Default_Values.xml"); }
    DMX_Default_Table Load() { return Load_DMX_Defaults(ParGen(), Values()); }
    Temp_Folder folder;
};

TEST_F(DMX_File, TheRowCountIsTheChannelCountOfTheCommunicationSettings) {
    const struct {
        const char* pargen; // nullptr: no file
        int count;
        int rows;
    } cases[] = {
        {nullptr, 512, 512},
        {"<Par_Gen><DMX_DMX>1</DMX_DMX></Par_Gen>", 512, 512},
        {"<Par_Gen><DMX_Num_Channels>24</DMX_Num_Channels></Par_Gen>", 24, 24},
        {"<Par_Gen><DMX_Num_Channels>abc</DMX_Num_Channels></Par_Gen>", 512, 512},
        {"<Par_Gen><DMX_Num_Channels></DMX_Num_Channels></Par_Gen>", 512, 512},
        {"<Other><DMX_Num_Channels> 100</DMX_Num_Channels></Other>", 100, 100},
        // Hand-edited counts: none below 1 and at most the device's 512 channels.
        {"<Par_Gen><DMX_Num_Channels>0</DMX_Num_Channels></Par_Gen>", 0, 0},
        {"<Par_Gen><DMX_Num_Channels>-5</DMX_Num_Channels></Par_Gen>", -5, 0},
        {"<Par_Gen><DMX_Num_Channels>600</DMX_Num_Channels></Par_Gen>", 600, 512},
    };
    for (const auto& c : cases) {
        QFile::remove(ParGen());
        if (c.pargen)
            Write_Text(ParGen(), QString::fromUtf8(c.pargen));
        const char* name = c.pargen ? c.pargen : "no file";
        EXPECT_EQ(Load_DMX_Channel_Count(ParGen()), c.count) << name;
        const DMX_Default_Table table = Load();
        EXPECT_EQ(table.Row_Count(), c.rows) << name;
        EXPECT_EQ(table, DMX_Default_Table::With_Channels(c.rows)) << name;
    }
}

TEST_F(DMX_File, AShorterChannelCountShowsAndSavesOnlyItsRows) {
    Write_Text(ParGen(), ParGen_With_Count("24"));
    Write_Text(Values(), Rows_File(512));
    const DMX_Default_Table table = Load();
    ASSERT_EQ(table.Row_Count(), 24);
    EXPECT_EQ(table.Rows[0], (DMX_Default_Row{"1", "Ch 1"}));
    EXPECT_EQ(table.Rows[23], (DMX_Default_Row{"24", "Ch 24"}));
    Save_DMX_Defaults(Values(), table);
    EXPECT_EQ(Read_Bytes(Values()).count("<Row "), 24);
    EXPECT_EQ(Load(), table);
}

TEST_F(DMX_File, RowsBeyondTheFileStartAtZero) {
    Write_Text(Values(), Rows_File(3));
    const DMX_Default_Table table = Load();
    ASSERT_EQ(table.Row_Count(), 512);
    EXPECT_EQ(table.Rows[2], (DMX_Default_Row{"3", "Ch 3"}));
    for (int r = 3; r < 512; ++r)
        ASSERT_EQ(table.Rows[size_t(r)], DMX_Default_Row()) << r;
}

TEST_F(DMX_File, EachAttributeAndEachChildIsTakenOnItsOwnByPosition) {
    Write_Text(ParGen(), ParGen_With_Count("6"));
    Write_Text(Values(), "<?xml version=\"1.0\"?>\n<!-- kept by hand -->\n<Values>\n"
                         "  <Row Mnemonic=\"no value\"/>\n"
                         "  <Row Default_Value=\"17\"/>\n"
                         "  <!-- a comment takes a channel -->\n"
                         "  <Channel Default_Value=\"9\" Mnemonic=\"other name\"/>\n"
                         "  <Row Default_Value=\" 300 \" Mnemonic=\"\"/>\n"
                         "</Values>");
    const DMX_Default_Table table = Load();
    const std::vector<DMX_Default_Row> expected = {
        {"0", "no value"}, {"17", ""}, {"0", ""}, {"9", "other name"}, {" 300 ", ""}, {"0", ""},
    };
    EXPECT_EQ(table.Rows, expected);
}

TEST_F(DMX_File, SavesEveryRowExactly) {
    DMX_Default_Table table = DMX_Default_Table::With_Channels(3);
    table.Rows[0] = {"255", "Stage left"};
    table.Rows[2] = {"007", ""};
    Save_DMX_Defaults(Values(), table);
    EXPECT_EQ(Read_Bytes(Values()),
              "<DMX_Default_Values><Row Default_Value=\"255\" Mnemonic=\"Stage left\"/>"
              "<Row Default_Value=\"0\" Mnemonic=\"\"/><Row Default_Value=\"007\" Mnemonic=\"\"/>"
              "</DMX_Default_Values><!--SW_VERSION = 1.001-->");
    Save_DMX_Defaults(Values(), DMX_Default_Table::With_Channels(0));
    EXPECT_EQ(Read_Bytes(Values()), "<DMX_Default_Values/><!--SW_VERSION = 1.001-->");
}

TEST_F(DMX_File, AnyMnemonicSurvivesSaveAndReload) {
    DMX_Default_Table table = DMX_Default_Table::With_Channels(512);
    table.Rows[0].Mnemonic = "Spot \"A\" & 'B'";
    table.Rows[1].Mnemonic = "<dimmer> 1 > 0";
    table.Rows[2].Mnemonic = QString::fromUtf8("Bühne – Éclairage ñ 舞台");
    table.Rows[3].Mnemonic = "tab\there\nnew line  ";
    table.Rows[511] = {"128", "last &amp; literal"};
    Save_DMX_Defaults(Values(), table);
    EXPECT_TRUE(Read_Bytes(Values()).contains(
        "Mnemonic=\"Spot &quot;A&quot; &amp; 'B'\"/><Row Default_Value=\"0\" "
        "Mnemonic=\"&lt;dimmer&gt; 1 &gt; 0\"/>"));
    EXPECT_EQ(Load(), table);
    Expect_Valid_Xml(Values(), "DMX_Default_Values.xsd");
}

TEST_F(DMX_File, AFileThatIsNotXmlIsNamedAndTheOtherFileStillCounts) {
    Write_Text(ParGen(), "<Par_Gen><DMX_Num_Channels>30</DMX_Num_Channels>");
    Write_Text(Values(), Rows_File(40));
    EXPECT_THROW(Load(), Tessaro_Error);

    DMX_Load_Problems problems;
    DMX_Default_Table table = Load_DMX_Defaults(ParGen(), Values(), problems);
    ASSERT_TRUE(problems.ParGen_Error);
    EXPECT_TRUE(problems.ParGen_Error->startsWith("ParGen.xml: not a well-formed XML file"));
    EXPECT_FALSE(problems.Values_Error);
    EXPECT_EQ(table.Row_Count(), 512);
    EXPECT_EQ(table.Rows[39], (DMX_Default_Row{"40", "Ch 40"}));

    Write_Text(ParGen(), ParGen_With_Count("30"));
    Write_Text(Values(), "<DMX_Default_Values><Row Default_Value=\"5\"/><Row");
    table = Load_DMX_Defaults(ParGen(), Values(), problems);
    EXPECT_FALSE(problems.ParGen_Error);
    ASSERT_TRUE(problems.Values_Error);
    EXPECT_TRUE(problems.Values_Error->startsWith(
        "DMX_Default_Values.xml: not a well-formed XML file (line 1, column"))
        << problems.Values_Error->toStdString();
    EXPECT_EQ(table, DMX_Default_Table::With_Channels(30));
}

TEST_F(DMX_File, AFailedSaveNamesTheFile) {
    try {
        Save_DMX_Defaults(folder.File("gone/DMX_Default_Values.xml"),
                          DMX_Default_Table::With_Channels(24));
        FAIL() << "no error";
    } catch (const Tessaro_Error& error) {
        EXPECT_TRUE(error.Message().startsWith("DMX_Default_Values.xml: cannot be written: "));
    }
}

TEST(DMX_Check, TheFirstRowOutsideZeroTo255IsReported) {
    Lang_Table lang;
    lang.Load_Default_Texts();
    const struct {
        const char* value;
        bool passes;
    } cases[] = {{"0", true},    {"255", true},   {" 7", true},          {"+7", true},
                 {"256", false}, {"-1", false},   {"abc", false},        {"", false},
                 {"12 ", false}, {"0x10", false}, {"99999999999", false}};
    for (const auto& c : cases) {
        DMX_Default_Table table = DMX_Default_Table::With_Channels(24);
        table.Rows[4].Default_Value = QString::fromLatin1(c.value);
        const auto message = Controllo_dati(table, lang);
        EXPECT_EQ(message.has_value(), !c.passes) << c.value;
        if (message) {
            EXPECT_EQ(*message, "Error row 5!! Default Value must be between 0 and 255");
        }
    }

    DMX_Default_Table table = DMX_Default_Table::With_Channels(512);
    table.Rows[4].Default_Value = "";
    table.Rows[8].Default_Value = "300";
    table.Rows[511].Mnemonic = QString(2000, QLatin1Char('x')); // never checked
    EXPECT_EQ(Controllo_dati(table, lang), "Error row 5!! Default Value must be between 0 and 255");
    EXPECT_EQ(DMX_Failing_Rows(table), (std::vector<int>{5, 9}));
    EXPECT_EQ(DMX_Failure_Messages(table, lang),
              QStringList({"Error row 5!! Default Value must be between 0 and 255",
                           "Error row 9!! Default Value must be between 0 and 255"}));
    lang.Set_Text(507, "Fehler Zeile ");
    lang.Set_Text(508, "!! 0..255");
    EXPECT_EQ(Controllo_dati(table, lang), "Fehler Zeile 5!! 0..255");
    EXPECT_FALSE(Controllo_dati(DMX_Default_Table::With_Channels(0), lang));
}

TEST(DMX_Model, ShowsTheTableAndTakesEditsOfTheTwoTextColumns) {
    DMX_Table_Model model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    DMX_Default_Table table = DMX_Default_Table::With_Channels(24);
    table.Rows[1] = {"12", "Wash"};
    model.Set_Table(table);
    model.Set_Header_Texts({"Channel", "Default Value", "Mnemonic"});
    model.Set_Header_Hints({"value hint", "mnemonic hint"});

    EXPECT_EQ(model.rowCount(), 24);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.index(1, 0).data(), "2");
    EXPECT_EQ(model.index(1, 1).data(), "12");
    EXPECT_EQ(model.index(1, 2).data(Qt::EditRole), "Wash");
    EXPECT_EQ(model.index(23, 0).data(), "24");
    EXPECT_FALSE(model.index(0, 0).flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(model.index(0, 1).flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(model.index(0, 2).flags() & Qt::ItemIsEditable);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal), "Default Value");
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::ToolTipRole), QVariant());
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::ToolTipRole), "value hint");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::ToolTipRole), "mnemonic hint");
    EXPECT_EQ(model.index(3, 1).data(Qt::ToolTipRole), QVariant());

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(model.setData(model.index(3, 1), " 42"));
    EXPECT_TRUE(model.setData(model.index(3, 2), "Spot & <Fog>"));
    EXPECT_FALSE(model.setData(model.index(3, 0), "99"));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(model.Table().Rows[3], (DMX_Default_Row{" 42", "Spot & <Fog>"}));
    EXPECT_EQ(model.index(3, 0).data(), "4");

    model.Set_Table(DMX_Default_Table::With_Channels(0));
    EXPECT_EQ(model.rowCount(), 0);
}

} // namespace
