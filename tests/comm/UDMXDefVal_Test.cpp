#include "dmx_dialog/UDMXDefVal.h"
#include "lang/Language_File.h"
#include "main_window/Tessaro_App.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"
#include "widgets/Look.h"

#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

QString Rows_File(int count) {
    QString xml = "<DMX_Default_Values>";
    for (int i = 1; i <= count; ++i)
        xml += QStringLiteral("<Row Default_Value=\"%1\" Mnemonic=\"Ch %2\"/>").arg(i % 256).arg(i);
    return xml + "</DMX_Default_Values><!--SW_VERSION = 1.001-->";
}

class DMX_Default_Value : public ::testing::Test {
protected:
    DMX_Default_Value() {
        ctx.lang.Load_Default_Texts();
        ctx.messages = &messages;
        ctx.state.SW_Code = "VC40362";
        ctx.state.Project_Dir = folder.Path();
        ctx.state.Set_Files();
        dialog = std::make_unique<TFDMXDefVal>(ctx, nullptr);
        grid = dialog->findChild<QTableView*>("ACG_DMX_Def_Val");
    }
    void Channels(const char* count) {
        Write_Text(ctx.state.ParGen_File,
                   QStringLiteral("<Par_Gen><DMX_Num_Channels>%1</DMX_Num_Channels></Par_Gen>")
                       .arg(QString::fromLatin1(count)));
    }
    QAbstractItemModel* Model() { return grid->model(); }
    QString Cell(int row, int column) { return Model()->index(row, column).data().toString(); }
    // Types into a cell as the user does: select it, type, and leave the editor open.
    void Type(int row, int column, const QString& text) {
        grid->setCurrentIndex(Model()->index(row, column));
        grid->edit(grid->currentIndex());
        QWidget* editor = grid->indexWidget(grid->currentIndex());
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, text);
    }
    void Click(const char* name) { dialog->findChild<QAbstractButton*>(name)->click(); }
    QString Values() const { return ctx.state.DMX_Default_Values_File; }

    Temp_Folder folder;
    Recording_Messages messages;
    App_Context ctx;
    std::unique_ptr<TFDMXDefVal> dialog;
    QTableView* grid = nullptr;
};

TEST_F(DMX_Default_Value, IsAResizableWindowWithTheTableBetweenThePanels) {
    ASSERT_NE(grid, nullptr);
    dialog->show();
    EXPECT_EQ(dialog->size(), QSize(475, 337));
    EXPECT_NE(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(dialog->windowTitle(), "DMX Default Value");
    EXPECT_EQ(dialog->findChild<QLabel*>("L_SW_Code")->text(), "VC40362");
    EXPECT_EQ(dialog->findChild<QLabel*>("L_SW_Desc")->text(), "DMX Default Value");
    auto* title = dialog->findChild<QWidget*>("P_Title");
    auto* buttons = dialog->findChild<QWidget*>("P_Button");
    EXPECT_EQ(title->geometry(), QRect(0, 0, 475, 69));
    EXPECT_EQ(buttons->geometry(), QRect(0, 297, 475, 40));
    EXPECT_EQ(grid->geometry(), QRect(0, 69, 475, 228));
    dialog->resize(700, 500);
    EXPECT_EQ(grid->geometry(), QRect(0, 69, 700, 391));

    EXPECT_EQ(Model()->columnCount(), 3);
    EXPECT_EQ(Model()->headerData(0, Qt::Horizontal).toString(), "Channel");
    EXPECT_EQ(Model()->headerData(1, Qt::Horizontal).toString(), "Default Value");
    EXPECT_EQ(Model()->headerData(2, Qt::Horizontal).toString(), "Mnemonic");
    EXPECT_EQ(grid->columnWidth(0), 100);
    EXPECT_EQ(grid->columnWidth(1), 100);
    EXPECT_EQ(grid->columnWidth(2), 250);
    EXPECT_EQ(grid->rowHeight(0), 22);
    EXPECT_EQ(grid->horizontalHeader()->sectionResizeMode(2), QHeaderView::Interactive);
    EXPECT_FALSE(Model()->index(0, 0).flags() & Qt::ItemIsEditable);
    EXPECT_EQ(dialog->findChild<QWidget*>("Btn_OK")->toolTip(),
              "Confirm and Save DMX Default Values");
    EXPECT_EQ(dialog->findChild<QPushButton*>("Btn_Cancel")->text(), "Cancel");
}

TEST_F(DMX_Default_Value, KeepsTwoHeaderHintsInTheLatestLanguage) {
    for (const char* language : {"Deutsch", "Italiano", "Deutsch"}) {
        ctx.lang.Set_Text(509, QStringLiteral("%1 value").arg(language));
        ctx.lang.Set_Text(510, QStringLiteral("%1 mnemonic").arg(language));
        ctx.lang.Set_Text(505, QStringLiteral("%1 column").arg(language));
        dialog->Set_Lang();
    }
    EXPECT_EQ(dialog->Hint_Grid, QStringList({"Deutsch value", "Deutsch mnemonic"}));
    EXPECT_EQ(Model()->headerData(1, Qt::Horizontal, Qt::ToolTipRole), "Deutsch value");
    EXPECT_EQ(Model()->headerData(2, Qt::Horizontal, Qt::ToolTipRole), "Deutsch mnemonic");
    EXPECT_EQ(Model()->headerData(0, Qt::Horizontal, Qt::ToolTipRole), QVariant());
    EXPECT_EQ(Model()->headerData(1, Qt::Horizontal).toString(), "Deutsch column");
}

TEST_F(DMX_Default_Value, ShowsTheChannelsOfTheCommunicationSettingsAndSavesThem) {
    Channels("24");
    Write_Text(Values(), Rows_File(512));
    dialog->show();
    ASSERT_EQ(Model()->rowCount(), 24);
    EXPECT_EQ(Cell(0, 0), "1");
    EXPECT_EQ(Cell(23, 0), "24");
    EXPECT_EQ(Cell(23, 1), "24");
    EXPECT_EQ(Cell(23, 2), "Ch 24");
    EXPECT_EQ(grid->currentIndex(), Model()->index(0, 1));

    Type(2, 1, "200");
    Type(2, 2, "Fog & \"Haze\""); // the editor is still open when OK is pressed
    Click("Btn_OK");
    EXPECT_TRUE(messages.record.empty());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const QByteArray saved = Read_Bytes(Values());
    EXPECT_EQ(saved.count("<Row "), 24);
    EXPECT_TRUE(
        saved.contains("<Row Default_Value=\"2\" Mnemonic=\"Ch 2\"/>"
                       "<Row Default_Value=\"200\" Mnemonic=\"Fog &amp; &quot;Haze&quot;\"/>"))
        << saved.toStdString();
}

TEST_F(DMX_Default_Value, WithoutFilesShows512ChannelsAtZero) {
    dialog->show();
    ASSERT_EQ(Model()->rowCount(), 512);
    EXPECT_EQ(Cell(511, 0), "512");
    EXPECT_EQ(Cell(511, 1), "0");
    EXPECT_EQ(Cell(511, 2), "");
    EXPECT_FALSE(QFile::exists(Values()));
}

TEST_F(DMX_Default_Value, OkReportsTheFirstWrongRowAndSavesNothing) {
    Channels("24");
    dialog->show();
    Type(4, 1, "");
    Type(8, 1, "300");
    Click("Btn_OK");
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
    EXPECT_EQ(messages.record[0].text, "Error row 5!! Default Value must be between 0 and 255");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(QFile::exists(Values()));
    EXPECT_EQ(Cell(8, 1), "300");
    EXPECT_EQ(grid->currentIndex(), Model()->index(4, 1));

    Type(4, 1, "255");
    Click("Btn_OK");
    EXPECT_EQ(messages.Texts().last(), "Error row 9!! Default Value must be between 0 and 255");
    Type(8, 1, "0");
    Click("Btn_OK");
    EXPECT_EQ(messages.record.size(), 2u);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(DMX_Default_Value, CancelClosesAtOnceAndTheNextShowingReadsTheFileAgain) {
    Channels("24");
    Write_Text(Values(), Rows_File(24));
    const QByteArray before = Read_Bytes(Values());
    dialog->show();
    Type(0, 1, "99");
    Type(0, 2, "changed");
    Click("Btn_Cancel");
    EXPECT_TRUE(messages.record.empty());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(Read_Bytes(Values()), before);

    dialog->show();
    EXPECT_EQ(Cell(0, 1), "1");
    EXPECT_EQ(Cell(0, 2), "Ch 1");
}

TEST_F(DMX_Default_Value, AChannelCountBelowOneShowsNoRowsAndSavesAnEmptyTable) {
    Channels("0");
    Write_Text(Values(), Rows_File(3));
    dialog->show();
    EXPECT_EQ(Model()->rowCount(), 0);
    Click("Btn_OK");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Read_Bytes(Values()), "<DMX_Default_Values/><!--SW_VERSION = 1.001-->");
}

TEST_F(DMX_Default_Value, AnUnreadableValuesFileIsReportedAndKeptAsBackupOnSave) {
    Channels("24");
    const QByteArray broken = "<DMX_Default_Values><Row Default_Value=\"5\" Mnemonic=\"a\">";
    Write_Bytes(Values(), broken);
    dialog->show();
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_TRUE(messages.record[0].text.startsWith(
        "DMX_Default_Values.xml: not a well-formed XML file (line 1"))
        << messages.record[0].text.toStdString();
    EXPECT_TRUE(messages.record[0].text.contains("DMX_Default_Values.xml.bak"));
    ASSERT_EQ(Model()->rowCount(), 24);
    EXPECT_EQ(Cell(0, 1), "0");

    Click("Btn_OK");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Read_Bytes(Values() + ".bak"), broken);
    EXPECT_EQ(Read_Bytes(Values()).count("<Row "), 24);
}

TEST_F(DMX_Default_Value, AnUnreadableCommunicationFileIsReportedAnd512ChannelsAreShown) {
    Write_Text(ctx.state.ParGen_File, "<Par_Gen><DMX_Num_Channels>24</DMX_Num_Channel></Par_Gen>");
    Write_Text(Values(), Rows_File(30));
    dialog->show();
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_TRUE(messages.record[0].text.startsWith("ParGen.xml: not a well-formed XML file"));
    EXPECT_EQ(Model()->rowCount(), 512);
    EXPECT_EQ(Cell(29, 2), "Ch 30");
    Click("Btn_OK");
    EXPECT_FALSE(QFile::exists(Values() + ".bak"));
}

// The load errors are said in the language of the table, the parser's own description inside.
TEST_F(DMX_Default_Value, LoadErrorsComeFromTheStringTable) {
    QString version;
    ASSERT_TRUE(Load_Lang_File(ctx.lang, TESSARO_LANG_DIR "/Deutsch.lng", version));
    Write_Text(ctx.state.ParGen_File, "<Par_Gen><DMX_Num_Channels>24</DMX_Num_Channel></Par_Gen>");
    Write_Text(Values(), "<DMX_Default_Values><Row Default_Value=\"5\">");
    dialog->show();
    ASSERT_EQ(messages.record.size(), 2u);
    const QString pargen = messages.record[0].text;
    EXPECT_TRUE(
        pargen.startsWith("ParGen.xml: keine wohlgeformte XML-Datei (Zeile 1, Spalte 32): "))
        << pargen.toStdString();
    EXPECT_TRUE(pargen.endsWith("\n\nDie Tabelle zeigt 512 Kanäle.")) << pargen.toStdString();
    const QString values = messages.record[1].text;
    EXPECT_TRUE(values.startsWith("DMX_Default_Values.xml: keine wohlgeformte XML-Datei (Zeile 1"))
        << values.toStdString();
    EXPECT_TRUE(values.endsWith("\n\nJeder Kanal beginnt bei 0. Beim Speichern der Tabelle wird "
                                "die alte Datei als DMX_Default_Values.xml.bak aufbewahrt."))
        << values.toStdString();
    // In English the messages read as they always did.
    ctx.lang.Load_Default_Texts();
    messages.Clear();
    dialog->hide();
    dialog->show();
    ASSERT_EQ(messages.record.size(), 2u);
    EXPECT_TRUE(messages.record[0].text.startsWith(
        "ParGen.xml: not a well-formed XML file (line 1, column 32): "));
    EXPECT_TRUE(messages.record[0].text.endsWith("\n\nThe table shows 512 channels."));
}

TEST_F(DMX_Default_Value, AFailedSaveKeepsTheDialogOpenWithTheEntries) {
    ctx.state.Project_Dir = folder.File("gone");
    ctx.state.Set_Files();
    dialog->show();
    Type(0, 2, "Key light");
    Click("Btn_OK");
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_TRUE(messages.record[0].text.startsWith("DMX_Default_Values.xml: cannot be written: "));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Cell(0, 2), "Key light");
}

} // namespace
