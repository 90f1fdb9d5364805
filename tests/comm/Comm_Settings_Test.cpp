#include "comm/Comm_Settings.h"
#include "lang/Lang_Table.h"
#include "platform/Error.h"
#include "support/Schema_Check.h"
#include "support/Test_Files.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

const QByteArray Default_File_Bytes =
    "<Par_Gen><DMX_DMX>1</DMX_DMX><DMX_Num_Channels>512</DMX_Num_Channels>"
    "<Modbus_TCP_Master_TimeOut>1000</Modbus_TCP_Master_TimeOut>"
    "<Modbus_TCP_Master_Cyclic>100</Modbus_TCP_Master_Cyclic>"
    "<Modbus_TCP_Master_IP1>192</Modbus_TCP_Master_IP1>"
    "<Modbus_TCP_Master_IP2>168</Modbus_TCP_Master_IP2>"
    "<Modbus_TCP_Master_IP3>0</Modbus_TCP_Master_IP3>"
    "<Modbus_TCP_Master_IP4>5</Modbus_TCP_Master_IP4>"
    "<Modbus_TCP_Master_SM1>255</Modbus_TCP_Master_SM1>"
    "<Modbus_TCP_Master_SM2>255</Modbus_TCP_Master_SM2>"
    "<Modbus_TCP_Master_SM3>255</Modbus_TCP_Master_SM3>"
    "<Modbus_TCP_Master_SM4>0</Modbus_TCP_Master_SM4>"
    "<Modbus_TCP_Master_GAT1>192</Modbus_TCP_Master_GAT1>"
    "<Modbus_TCP_Master_GAT2>168</Modbus_TCP_Master_GAT2>"
    "<Modbus_TCP_Master_GAT3>0</Modbus_TCP_Master_GAT3>"
    "<Modbus_TCP_Master_GAT4>1</Modbus_TCP_Master_GAT4>"
    "<Modbus_TCP_Master_EN_GAT>0</Modbus_TCP_Master_EN_GAT>"
    "</Par_Gen><!--SW_VERSION = 1.001-->";

// A settings file with every value different from its default.
Comm_Settings Plant_Settings() {
    Comm_Settings s;
    const char* values[Comm_Settings::Value_Count] = {"0",  "100", "250", "20",  "10", "1",
                                                      "2",  "3",   "255", "0",   "0",  "0",
                                                      "10", "1",   "2",   "254", "1"};
    for (int i = 0; i < Comm_Settings::Value_Count; ++i)
        s.Value(i) = QString::fromLatin1(values[i]);
    return s;
}

QString Element(const char* name, const QString& text) {
    return QStringLiteral("<%1>%2</%1>").arg(QString::fromLatin1(name), text);
}

class Comm_File : public ::testing::Test {
protected:
    QString Path() const { return folder.File("ParGen.xml"); }
    Comm_Settings Load(const QString& xml) {
        Write_Text(Path(), xml);
        return Load_Comm_Settings(Path());
    }
    Temp_Folder folder;
};

TEST_F(Comm_File, WithoutAFileEveryValueIsItsDefault) {
    const Comm_Settings s = Load_Comm_Settings(Path());
    EXPECT_EQ(s, Comm_Settings());
    EXPECT_EQ(s.DMX_Index(), 1);
    EXPECT_FALSE(s.Gateway_Enabled());
    EXPECT_EQ(Comm_Settings_Bytes(s), Default_File_Bytes);
    EXPECT_FALSE(QFile::exists(Path()));
}

TEST_F(Comm_File, AMissingElementKeepsItsOwnDefault) {
    const Comm_Settings s = Load("<Par_Gen><DMX_Num_Channels>100</DMX_Num_Channels></Par_Gen>");
    Comm_Settings expected;
    expected.DMX_Num_Channels = "100";
    EXPECT_EQ(s, expected);
}

TEST_F(Comm_File, ElementsAreFoundByNameInAnyOrderAndSavedInTheirFixedOrder) {
    const Comm_Settings plant = Plant_Settings();
    QString reversed;
    for (int i = Comm_Settings::Value_Count - 1; i >= 0; --i)
        reversed += Element(Comm_Settings::Element_Names()[size_t(i)], plant.Value(i));
    const Comm_Settings s = Load("<Par_Gen>" + reversed + "</Par_Gen>");
    EXPECT_EQ(s, plant);

    Save_Comm_Settings(Path(), s);
    QString ordered;
    for (int i = 0; i < Comm_Settings::Value_Count; ++i)
        ordered += Element(Comm_Settings::Element_Names()[size_t(i)], plant.Value(i));
    EXPECT_EQ(Read_Text(Path()), "<Par_Gen>" + ordered + "</Par_Gen><!--SW_VERSION = 1.001-->");
}

TEST_F(Comm_File, ReadsTheFirstElementAndTheFirstOccurrenceAndDropsUnknownElementsOnSave) {
    const Comm_Settings s =
        Load("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- hand-edited -->\n"
             "<Anything>\n  <Plant>North hall</Plant>\n"
             "  <DMX_Num_Channels>64</DMX_Num_Channels>\n"
             "  <DMX_Num_Channels>128</DMX_Num_Channels>\n"
             "  <Modbus_TCP_Master_IP4>007</Modbus_TCP_Master_IP4>\n"
             "  <Modbus_TCP_Master_SM4></Modbus_TCP_Master_SM4>\n"
             "</Anything>");
    Comm_Settings expected;
    expected.DMX_Num_Channels = "64";
    expected.Modbus_TCP_Master_IP4 = "007"; // kept as typed
    expected.Modbus_TCP_Master_SM4 = "";
    EXPECT_EQ(s, expected);

    Save_Comm_Settings(Path(), s);
    const QByteArray saved = Read_Bytes(Path());
    EXPECT_FALSE(saved.contains("Plant"));
    EXPECT_FALSE(saved.contains("<?xml"));
    EXPECT_TRUE(saved.startsWith("<Par_Gen><DMX_DMX>1</DMX_DMX><DMX_Num_Channels>64<"));
    EXPECT_TRUE(saved.contains("<Modbus_TCP_Master_IP4>007</Modbus_TCP_Master_IP4>"));
    EXPECT_TRUE(saved.contains("<Modbus_TCP_Master_SM4/>"));
    EXPECT_TRUE(saved.endsWith("</Par_Gen><!--SW_VERSION = 1.001-->"));
}

TEST_F(Comm_File, TheGatewayIsEnabledOnlyByExactlyOne) {
    const struct {
        const char* text;
        bool enabled;
    } cases[] = {{"1", true},   {"yes", false}, {"true", false}, {" 1", false},
                 {"01", false}, {"0", false},   {"", false}};
    for (const auto& c : cases) {
        const Comm_Settings s =
            Load(QStringLiteral("<Par_Gen>%1</Par_Gen>")
                     .arg(Element("Modbus_TCP_Master_EN_GAT", QString::fromUtf8(c.text))));
        EXPECT_EQ(s.Gateway_Enabled(), c.enabled) << c.text;
        EXPECT_EQ(s.Modbus_TCP_Master_EN_GAT, c.enabled ? "1" : "0") << c.text;
    }
}

TEST_F(Comm_File, TheDmxRoleIsInOnlyForTheIntegerZero) {
    const struct {
        const char* text;
        int index;
    } cases[] = {{"0", 0}, {" +0", 0}, {"1", 1}, {"2", 1}, {"-1", 1}, {"abc", 1}, {"", 1}};
    for (const auto& c : cases) {
        const Comm_Settings s = Load(QStringLiteral("<Par_Gen>%1</Par_Gen>")
                                         .arg(Element("DMX_DMX", QString::fromUtf8(c.text))));
        EXPECT_EQ(s.DMX_Index(), c.index) << c.text;
        // What the next save writes.
        EXPECT_EQ(s.DMX_DMX, QString::number(c.index)) << c.text;
    }
}

TEST_F(Comm_File, SavesTextsExactlyAsEnteredWithEscapes) {
    Comm_Settings s;
    s.Set_DMX_Index(0);
    s.DMX_Num_Channels = " 24";
    s.Modbus_TCP_Master_TimeOut = "";
    s.Modbus_TCP_Master_GAT1 = "999";
    s.Modbus_TCP_Master_GAT2 = "a<b&c>\"d\"";
    s.Set_Gateway_Enabled(false);
    Save_Comm_Settings(Path(), s);
    const QByteArray saved = Read_Bytes(Path());
    EXPECT_TRUE(saved.startsWith("<Par_Gen><DMX_DMX>0</DMX_DMX>"
                                 "<DMX_Num_Channels> 24</DMX_Num_Channels>"
                                 "<Modbus_TCP_Master_TimeOut/>"));
    EXPECT_TRUE(saved.contains("<Modbus_TCP_Master_GAT1>999</Modbus_TCP_Master_GAT1>"
                               "<Modbus_TCP_Master_GAT2>a&lt;b&amp;c&gt;\"d\"</"
                               "Modbus_TCP_Master_GAT2>"));
    EXPECT_TRUE(saved.contains("<Modbus_TCP_Master_EN_GAT>0</Modbus_TCP_Master_EN_GAT>"));
    EXPECT_EQ(Load_Comm_Settings(Path()), s);
}

TEST_F(Comm_File, AFileThatIsNotXmlIsAnErrorNamingTheFileAndThePlace) {
    Write_Text(Path(), "<Par_Gen>\n<DMX_DMX>1</DMX_DMX>\n<DMX_Num_Channels>24</Par_Gen>");
    try {
        Load_Comm_Settings(Path());
        FAIL() << "no error";
    } catch (const Tessaro_Error& error) {
        EXPECT_TRUE(error.Message().startsWith("ParGen.xml: not a well-formed XML file (line 3,"))
            << error.Message().toStdString();
    }
}

TEST_F(Comm_File, AFailedSaveNamesTheFileAndTheReason) {
    try {
        Save_Comm_Settings(folder.File("gone/ParGen.xml"), Comm_Settings());
        FAIL() << "no error";
    } catch (const Tessaro_Error& error) {
        EXPECT_TRUE(error.Message().startsWith("ParGen.xml: cannot be written: "));
        EXPECT_GT(error.Message().size(), QString("ParGen.xml: cannot be written: ").size());
    }
}

TEST_F(Comm_File, AFailedSaveLeavesTheOldFileIntact) {
    Write_Bytes(Path(), Default_File_Bytes);
    QFile::setPermissions(folder.Path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool writable = QFile(folder.File("probe")).open(QIODevice::WriteOnly);
    Comm_Settings s;
    s.DMX_Num_Channels = "24";
    bool failed = false;
    try {
        Save_Comm_Settings(Path(), s);
    } catch (const Tessaro_Error& error) {
        failed = true;
        EXPECT_TRUE(error.Message().startsWith("ParGen.xml: cannot be written: "));
    }
    QFile::setPermissions(folder.Path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (writable)
        GTEST_SKIP() << "running as root: the folder stays writable";
    EXPECT_TRUE(failed);
    EXPECT_EQ(Read_Bytes(Path()), Default_File_Bytes);
}

TEST_F(Comm_File, TheWrittenFileMatchesItsSchema) {
    Save_Comm_Settings(Path(), Plant_Settings());
    Expect_Valid_Xml(Path(), "ParGen.xsd");
}

// One row per case: a field, its text, and the entry the check must report (0: passes).
struct Check_Case {
    QString Comm_Settings::*field;
    const char* text;
    bool gateway;
    int entry;
};

TEST(Comm_Check, ReportsTheFieldOutsideItsRange) {
    using S = Comm_Settings;
    const Check_Case cases[] = {
        {&S::DMX_Num_Channels, "23", false, 414},
        {&S::DMX_Num_Channels, "24", false, 0},
        {&S::DMX_Num_Channels, "512", false, 0},
        {&S::DMX_Num_Channels, "513", false, 414},
        {&S::DMX_Num_Channels, "", false, 414},
        {&S::DMX_Num_Channels, "1e2", false, 414},
        {&S::DMX_Num_Channels, " 100", false, 0},
        {&S::DMX_Num_Channels, "100 ", false, 414},
        {&S::Modbus_TCP_Master_TimeOut, "100000", false, 0},
        {&S::Modbus_TCP_Master_TimeOut, "100001", false, 466},
        {&S::Modbus_TCP_Master_TimeOut, "0", false, 0},
        {&S::Modbus_TCP_Master_TimeOut, "-1", false, 466},
        {&S::Modbus_TCP_Master_TimeOut, "abc", false, 466},
        {&S::Modbus_TCP_Master_Cyclic, "10000", false, 0},
        {&S::Modbus_TCP_Master_Cyclic, "10001", false, 467},
        {&S::Modbus_TCP_Master_Cyclic, "-1", false, 467},
        {&S::Modbus_TCP_Master_IP1, "256", false, 468},
        {&S::Modbus_TCP_Master_IP2, "x", false, 469},
        {&S::Modbus_TCP_Master_IP3, "-1", false, 470},
        {&S::Modbus_TCP_Master_IP4, "255", false, 0},
        {&S::Modbus_TCP_Master_IP4, "", false, 471},
        {&S::Modbus_TCP_Master_SM1, "256", false, 472},
        {&S::Modbus_TCP_Master_SM2, "256", false, 473},
        {&S::Modbus_TCP_Master_SM3, "256", false, 474},
        {&S::Modbus_TCP_Master_SM4, "256", false, 475},
        {&S::Modbus_TCP_Master_GAT1, "999", false, 0},
        {&S::Modbus_TCP_Master_GAT1, "999", true, 476},
        {&S::Modbus_TCP_Master_GAT2, "999", true, 477},
        {&S::Modbus_TCP_Master_GAT3, "", true, 478},
        {&S::Modbus_TCP_Master_GAT4, "256", true, 479},
        {&S::Modbus_TCP_Master_GAT4, "0", true, 0},
    };
    Lang_Table lang;
    lang.Load_Default_Texts();
    for (const Check_Case& c : cases) {
        Comm_Settings s;
        s.*c.field = QString::fromLatin1(c.text);
        s.Set_Gateway_Enabled(c.gateway);
        const auto message = Controllo_Dati(s, lang);
        if (c.entry == 0) {
            EXPECT_FALSE(message) << c.text;
            EXPECT_TRUE(Comm_Failure_Messages(s, lang).isEmpty()) << c.text;
        } else {
            ASSERT_TRUE(message) << c.text;
            EXPECT_EQ(*message, lang.Text(c.entry)) << c.text;
            EXPECT_EQ(Comm_Failing_Entries(s), std::vector<int>{c.entry}) << c.text;
        }
    }
    EXPECT_EQ(lang.Text(476), "Error Modbus TCP Master!! GATEWAY IP 1 must be between 0 and 255");
}

TEST(Comm_Check, TheFirstFailureAloneIsReportedAndTheListHoldsThemAllInOrder) {
    Lang_Table lang;
    lang.Load_Default_Texts();
    Comm_Settings s;
    s.DMX_Num_Channels = "0";
    s.Modbus_TCP_Master_TimeOut = "abc";
    s.Modbus_TCP_Master_SM3 = "300";
    s.Modbus_TCP_Master_GAT4 = "300";
    EXPECT_EQ(Controllo_Dati(s, lang), lang.Text(414));
    EXPECT_EQ(Comm_Failure_Messages(s, lang),
              QStringList({lang.Text(414), lang.Text(466), lang.Text(474)}));
    s.Set_Gateway_Enabled(true);
    EXPECT_EQ(Comm_Failing_Entries(s), (std::vector<int>{414, 466, 474, 479}));
    // Messages come from the current table.
    lang.Set_Text(414, "Fehler DMX!!");
    EXPECT_EQ(Controllo_Dati(s, lang), "Fehler DMX!!");
}

} // namespace
