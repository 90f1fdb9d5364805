#include "Access_Fixtures.h"
#include "access/Access_File.h"
#include "access_dialog/Table_Delegates.h"
#include "access_dialog/UModbus_TCP_Master_Set_Access.h"
#include "main_window/Tessaro_App.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

class Access_Window : public ::testing::Test {
protected:
    Access_Window() {
        ctx.lang.Load_Default_Texts();
        ctx.messages = &messages;
        ctx.state.SW_Code = "VC40362";
        ctx.state.Project_Dir = folder.Path();
        ctx.state.Set_Files();
    }
    ~Access_Window() override {
        if (window)
            window->hide();
    }

    void Create() { window = std::make_unique<TFModbus_TCP_Master_Set_Access>(ctx, nullptr); }
    // Shows the window as the main window does, without a modal loop.
    void Show() {
        if (!window)
            Create();
        window->show();
        QApplication::processEvents();
    }
    void Reopen() {
        window->hide();
        Show();
    }
    void Write_DMX(const char* value) {
        Write_Text(ctx.state.ParGen_File,
                   QStringLiteral("<Par_Gen><DMX_DMX>%1</DMX_DMX></Par_Gen>").arg(value));
    }
    void Write_Access(const Access_Table& access) {
        Save_Access_File(ctx.state.ModbusTCPM_SetAccess_File, access);
    }
    QString Cell(QTableView* table, int row, int column) {
        return table->model()->index(row, column).data(Qt::EditRole).toString();
    }
    QStringList Row(QTableView* table, int row) {
        QStringList texts;
        for (int column = 1; column < table->model()->columnCount(); ++column)
            texts.append(Cell(table, row, column));
        return texts;
    }
    void Set_Cell(QTableView* table, int row, int column, const QString& text) {
        table->model()->setData(table->model()->index(row, column), text, Qt::EditRole);
    }
    void Go_To(QTableView* table, int row, int column) {
        table->setCurrentIndex(table->model()->index(row, column));
    }
    std::string Messages_Text() const { return messages.Texts().join(" | ").toStdString(); }

    Temp_Folder folder;
    Recording_Messages messages;
    App_Context ctx;
    std::unique_ptr<TFModbus_TCP_Master_Set_Access> window;
};

TEST_F(Access_Window, IsBuiltAsSpecifiedAtCreation) {
    Create();
    EXPECT_EQ(window->objectName(), "TFModbus_TCP_Master_Set_Access");
    EXPECT_EQ(window->windowTitle(), "Set Modbus TCP Master Access");
    EXPECT_EQ(window->size(), QSize(1007, 337));
    EXPECT_EQ(window->findChild<QLabel*>("L_SW_Code")->text(), "VC40362");
    EXPECT_EQ(window->findChild<QLabel*>("L_SW_Desc")->text(), "Set Modbus TCP Master Access");
    const struct {
        const char* name;
        int left;
        const char* caption;
        const char* hint;
    } buttons[] = {
        {"Btn_OK", 16, "OK", "Confirm and save the PDO List"},
        {"Btn_Cancel", 134, "Cancel", "Exit without save the PDO List"},
        {"Btn_DelRow", 252, "Delete Row", "Delete the selected Row in the table"},
        {"Btn_InsRow", 370, "Insert Row", "Insert a Row in the Table"},
        {"Btn_CopyRow", 488, "Copy Row", "Copy all Fields of the Selected Row"},
        {"Btn_PasteRow", 606, "Paste Row", "Paste the Copied Fields in the Selected Row"},
    };
    for (const auto& b : buttons) {
        auto* button = window->findChild<Styled_Button*>(b.name);
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->geometry(), QRect(b.left, 6, 110, 28)) << b.name;
        EXPECT_EQ(button->text(), b.caption);
        EXPECT_EQ(button->Hint(), b.hint);
    }
    auto* pages = window->findChild<QTabWidget*>("PageControl1");
    EXPECT_EQ(pages->tabText(0), "Modbus Read");
    EXPECT_EQ(pages->tabText(1), "Modbus Write");

    auto* read = window->findChild<QTableView*>("ACG_Modbus_Read");
    auto* write = window->findChild<QTableView*>("ACG_Modbus_Write");
    ASSERT_TRUE(read && write);
    EXPECT_EQ(read->model()->columnCount(), 14);
    EXPECT_EQ(write->model()->columnCount(), 16);
    EXPECT_EQ(read->model()->rowCount(), 512);
    QStringList read_titles, write_titles;
    for (int c = 0; c < 14; ++c)
        read_titles.append(read->model()->headerData(c, Qt::Horizontal).toString());
    for (int c = 0; c < 16; ++c)
        write_titles.append(write->model()->headerData(c, Qt::Horizontal).toString());
    EXPECT_EQ(read_titles.join('|'), "N|Enable|Slave IP Address|Port|Slave ID|Type|Address|NPoint|"
                                     "Poll Time|Max Error|Position|Start Bit|Swap|Mnemonic");
    EXPECT_EQ(write_titles.join('|'), "N|Enable|Slave IP Address|Port|Slave ID|Type|Address|"
                                      "NPoint|Poll Time|On Change|On CMD|Max Error|Position|"
                                      "Start Bit|Swap|Mnemonic");
    const int read_widths[] = {40, 50, 101, 45, 55, 100, 55, 45, 60, 64, 60, 60, 40, 200};
    const int write_widths[] = {40, 50, 101, 45, 55, 100, 55, 45, 60, 66, 56, 62, 55, 55, 40, 146};
    for (int c = 0; c < 14; ++c)
        EXPECT_EQ(read->columnWidth(c), read_widths[c]) << c;
    for (int c = 0; c < 16; ++c)
        EXPECT_EQ(write->columnWidth(c), write_widths[c]) << c;
}

TEST_F(Access_Window, CellsHaveTheColoursAndEditorsOfTheirColumns) {
    Show();
    const struct {
        const char* table;
        int column;
        QColor colour;
        bool check_box;
        bool editable;
    } cases[] = {
        {"ACG_Modbus_Read", 1, QColor(0xFFD8B0), true, false},
        {"ACG_Modbus_Read", 2, QColor(0xE0FAFE), false, true},
        {"ACG_Modbus_Read", 7, QColor(0xE0FAFE), false, true},
        {"ACG_Modbus_Read", 8, QColor(0xA8FFA8), false, true},
        {"ACG_Modbus_Read", 9, QColor(0xA8FFA8), false, true},
        {"ACG_Modbus_Read", 11, QColor(0xFCD6F4), false, true},
        {"ACG_Modbus_Read", 12, QColor(0xFFFFA8), true, false},
        {"ACG_Modbus_Read", 13, QColor(Qt::white), false, true},
        {"ACG_Modbus_Write", 9, QColor(0xA8FFA8), true, false},
        {"ACG_Modbus_Write", 10, QColor(0xA8FFA8), true, false},
        {"ACG_Modbus_Write", 11, QColor(0xA8FFA8), false, true},
        {"ACG_Modbus_Write", 12, QColor(0xFCD6F4), false, true},
        {"ACG_Modbus_Write", 14, QColor(0xFFFFA8), true, false},
    };
    for (const auto& c : cases) {
        auto* table = window->findChild<QTableView*>(c.table);
        const QModelIndex index = table->model()->index(100, c.column);
        EXPECT_EQ(index.data(Qt::BackgroundRole).value<QColor>(), c.colour) << c.table << c.column;
        EXPECT_EQ(Is_Check_Box_Column(*table, c.column), c.check_box) << c.table << c.column;
        EXPECT_EQ(bool(index.flags() & Qt::ItemIsEditable), c.editable) << c.table << c.column;
    }
    auto* read = window->ACG_Modbus_Read;
    EXPECT_FALSE(read->model()->index(0, 0).flags() & Qt::ItemIsEditable);
    EXPECT_EQ(Cell(read, 0, 0), "1");
    EXPECT_EQ(Cell(read, 511, 0), "512");
    auto* positions = qobject_cast<List_Delegate*>(read->itemDelegateForColumn(10));
    ASSERT_NE(positions, nullptr);
    EXPECT_EQ(positions->Items().size(), 512);
    EXPECT_EQ(positions->Items().last(), "511");
    auto* types = qobject_cast<List_Delegate*>(window->ACG_Modbus_Write->itemDelegateForColumn(5));
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->Items(), QStringList({"Coil Status", "Holding Register"}));
    auto* bits = qobject_cast<List_Delegate*>(read->itemDelegateForColumn(11));
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits->Items().join(','), "0,1,2,3,4,5,6,7");
}

TEST_F(Access_Window, ShowsThePageOfTheDmxRole) {
    const struct {
        const char* pargen; // nullptr: no file
        bool read;
    } cases[] = {{"<Par_Gen><DMX_DMX>1</DMX_DMX></Par_Gen>", true},
                 {"<Par_Gen><DMX_DMX>0</DMX_DMX></Par_Gen>", false},
                 {nullptr, true},
                 {"<Par_Gen><DMX_Num_Channels>24</DMX_Num_Channels></Par_Gen>", true}};
    Create();
    for (const auto& c : cases) {
        QFile::remove(ctx.state.ParGen_File);
        if (c.pargen)
            Write_Text(ctx.state.ParGen_File, c.pargen);
        Reopen();
        QTabWidget* pages = window->PageControl1;
        EXPECT_EQ(pages->isTabVisible(0), c.read) << (c.pargen ? c.pargen : "no file");
        EXPECT_EQ(pages->isTabVisible(1), !c.read);
        EXPECT_EQ(pages->currentWidget(),
                  c.read ? window->TS_Modbus_Read : window->TS_Modbus_Write);
        EXPECT_EQ(window->Active_Table(),
                  c.read ? window->ACG_Modbus_Read : window->ACG_Modbus_Write);
    }
    EXPECT_TRUE(messages.record.empty()) << Messages_Text();
}

TEST_F(Access_Window, LoadsBothTablesAndKeepsOnCmdThroughOk) {
    Write_DMX("0");
    Access_Table access;
    Set_Row(access.Read, 1, Valid_Read_Row());
    for (int slot = 1; slot <= 2; ++slot)
        Set_Row(access.Write, slot, Valid_Write_Row());
    access.Write.Set_Field(1, 10, "Y");
    access.Write.Set_Field(2, 10, "");
    Write_Access(access);
    Show();
    EXPECT_TRUE(window->ACG_Modbus_Write->isColumnHidden(10));
    EXPECT_EQ(Row(window->ACG_Modbus_Read, 0), Valid_Read_Row()) << "the hidden page is loaded";
    EXPECT_EQ(Cell(window->ACG_Modbus_Write, 0, 10), "Y");
    Set_Cell(window->ACG_Modbus_Write, 1, 15, "Edited");
    window->Btn_OKClick();
    EXPECT_TRUE(messages.record.empty()) << Messages_Text();
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_FALSE(window->isVisible());
    Access_Table saved;
    Load_Access_File(ctx.state.ModbusTCPM_SetAccess_File, saved);
    EXPECT_EQ(saved.Write.Field(1, 10), "Y");
    EXPECT_EQ(saved.Write.Field(2, 10), "");
    EXPECT_EQ(saved.Write.Field(2, 15), "Edited");
    EXPECT_EQ(saved.Read.Row(1), Valid_Read_Row());
}

TEST_F(Access_Window, EachShowingStartsFromTheFile) {
    Access_Table access;
    Set_Row(access.Read, 1, Valid_Read_Row());
    Write_Access(access);
    const QByteArray before = Read_Bytes(ctx.state.ModbusTCPM_SetAccess_File);
    Show();
    Set_Cell(window->ACG_Modbus_Read, 0, 13, "changed");
    Set_Cell(window->ACG_Modbus_Read, 1, 2, "10.0.0.9");
    window->Btn_Cancel->click();
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(Read_Bytes(ctx.state.ModbusTCPM_SetAccess_File), before);
    Show();
    EXPECT_EQ(Row(window->ACG_Modbus_Read, 0), Valid_Read_Row());
    EXPECT_EQ(Cell(window->ACG_Modbus_Read, 1, 2), "");
    EXPECT_EQ(Cell(window->ACG_Modbus_Read, 1, 1), "Y");
}

TEST_F(Access_Window, OkRefusesAnInvalidRowOnTheHiddenPage) {
    Write_DMX("0");
    Access_Table access;
    QStringList read = Valid_Read_Row();
    read[2] = "99999";
    Set_Row(access.Read, 1, Valid_Read_Row());
    Set_Row(access.Read, 2, read);
    Write_Access(access);
    const QByteArray before = Read_Bytes(ctx.state.ModbusTCPM_SetAccess_File);
    Show();
    ASSERT_EQ(window->Active_Table(), window->ACG_Modbus_Write);
    window->Btn_OKClick();
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
    EXPECT_EQ(messages.record[0].text,
              "Error row 2!! [Modbus Read] Port must be between 0 and 65535");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Read_Bytes(ctx.state.ModbusTCPM_SetAccess_File), before);
}

TEST_F(Access_Window, AFileThatCannotBeReadKeepsTheWindowClosed) {
    const struct {
        const char* pargen;
        const char* access;
        const char* message;
    } cases[] = {
        {"<Par_Gen><DMX_DMX>1</Par_Gen>", "",
         "ParGen.xml: not a well-formed XML file (line 1, column 22): Start-end tags mismatch"},
        {"<Par_Gen><DMX_DMX>1</DMX_DMX></Par_Gen>",
         "<Modbus_TCP_Master_Rules><Modbus_Read><row IP_Address=\"1.2.3.4\"/></Modbus_Read>"
         "<Modbus_Write/></Modbus_TCP_Master_Rules>",
         "ModbusTCPM_SetAccess.xml: Modbus_Read row 1: attribute Port is missing"},
    };
    Create();
    for (const auto& c : cases) {
        messages.Clear();
        Write_Text(ctx.state.ParGen_File, c.pargen);
        Write_Text(ctx.state.ModbusTCPM_SetAccess_File, c.access);
        Show();
        QApplication::processEvents();
        ASSERT_EQ(messages.record.size(), 1u) << c.message;
        EXPECT_EQ(messages.record[0].text.toStdString(), c.message);
        EXPECT_FALSE(window->isVisible()) << c.message;
        EXPECT_EQ(window->result(), QDialog::Rejected);
        EXPECT_EQ(Read_Text(ctx.state.ModbusTCPM_SetAccess_File), c.access) << "untouched";
    }
    // Shown modally, as the main window does, it returns at once without waiting for the user.
    messages.Clear();
    QTimer::singleShot(5000, window.get(), [this] { window->done(99); });
    EXPECT_EQ(window->exec(), QDialog::Rejected);
    EXPECT_EQ(messages.record.size(), 1u);
}

TEST_F(Access_Window, AFailedSaveKeepsTheWindowOpenWithItsEdits) {
    ctx.state.ModbusTCPM_SetAccess_File = folder.File("locked");
    ASSERT_TRUE(QDir().mkpath(ctx.state.ModbusTCPM_SetAccess_File));
    Show();
    Set_Cell(window->ACG_Modbus_Read, 0, 13, "kept");
    window->Btn_OKClick();
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_TRUE(messages.record[0].text.startsWith("locked: cannot be written: "))
        << Messages_Text();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Cell(window->ACG_Modbus_Read, 0, 13), "kept");
}

TEST_F(Access_Window, DeleteAsksForTheRowNumberFirst) {
    Access_Table access;
    for (int slot = 1; slot <= 6; ++slot) {
        Set_Row(access.Read, slot, Valid_Read_Row());
        access.Read.Set_Field(slot, 13, QString::number(slot));
    }
    Write_Access(access);
    Show();
    QTableView* read = window->ACG_Modbus_Read;
    Go_To(read, 4, 3);
    messages.answers = {false};
    window->Btn_DelRowClick();
    EXPECT_EQ(messages.Texts(), QStringList{"Are you sure to delete the Row number 5"});
    EXPECT_EQ(Cell(read, 4, 13), "5");
    messages.answers = {true};
    window->Btn_DelRowClick();
    EXPECT_EQ(Cell(read, 4, 13), "6");
    EXPECT_EQ(Cell(read, 5, 2), "");
    EXPECT_EQ(read->currentIndex(), read->model()->index(4, 3));
}

TEST_F(Access_Window, InsertOpensAnEmptyRowWithoutAQuestion) {
    Show();
    QTableView* read = window->ACG_Modbus_Read;
    for (int row : {0, 510, 511})
        for (int column = 1; column <= 13; ++column)
            Set_Cell(read, row, column, QStringLiteral("r%1").arg(row));
    Go_To(read, 511, 2);
    window->Btn_InsRowClick();
    EXPECT_EQ(Row(read, 511), QStringList(13, ""));
    EXPECT_EQ(Row(read, 510), QStringList(13, "r510"));
    Go_To(read, 0, 2);
    window->Btn_InsRowClick();
    EXPECT_EQ(Row(read, 0), QStringList(13, ""));
    EXPECT_EQ(Row(read, 1), QStringList(13, "r0"));
    EXPECT_EQ(Row(read, 511), QStringList(13, "r510"));
    EXPECT_TRUE(messages.record.empty()) << Messages_Text();
}

TEST_F(Access_Window, PasteNeedsACopyOfThisShowingAndOfTheSameWidth) {
    Show();
    QTableView* read = window->ACG_Modbus_Read;
    // No copy yet.
    Go_To(read, 1, 1);
    window->Btn_PasteRowClick();
    EXPECT_EQ(messages.Texts(), QStringList{"Error!!! Copy a valid row before Paste it"});

    // A copy from an earlier showing cannot be pasted.
    Set_Row(window->Table().Read, 1, Valid_Read_Row());
    Go_To(read, 0, 1);
    window->Btn_CopyRowClick();
    EXPECT_TRUE(window->Do_Copy_In_Read);
    EXPECT_FALSE(window->Do_Copy_In_Write);
    EXPECT_EQ(ctx.Row_Copy_Buffer.size(), 13);
    Reopen();
    EXPECT_FALSE(window->Do_Copy_In_Read);
    messages.Clear();
    Go_To(read, 3, 1);
    window->Btn_PasteRowClick();
    EXPECT_EQ(messages.Texts(), QStringList{"Error!!! Copy a valid row before Paste it"});
    EXPECT_EQ(Cell(read, 3, 2), "");

    // A buffer of another width.
    window->Do_Copy_In_Read = true;
    ctx.Row_Copy_Buffer = QStringList(15, "x");
    messages.Clear();
    window->Btn_PasteRowClick();
    EXPECT_EQ(messages.Texts(),
              QStringList{"Error in the Copy values!!! Copy a valid row before Paste it"});
    EXPECT_EQ(Cell(read, 3, 2), "");
}

TEST_F(Access_Window, PasteAsksOnlyOverTextOutsideCheckBoxes) {
    Access_Table access;
    QStringList row = Valid_Read_Row();
    row[0] = "N";
    Set_Row(access.Read, 1, row);
    Write_Access(access);
    Show();
    QTableView* read = window->ACG_Modbus_Read;
    Go_To(read, 0, 4);
    window->Btn_CopyRowClick();

    // A reset row (Enable "Y", all else empty) and a row with ticks only: no question.
    Set_Cell(read, 5, 12, "Y");
    for (int target : {4, 5}) {
        Go_To(read, target, 1);
        window->Btn_PasteRowClick();
        EXPECT_EQ(Row(read, target), row) << target;
    }
    EXPECT_TRUE(messages.record.empty()) << Messages_Text();

    // A row with just a Mnemonic: asked; No keeps it, Yes overwrites it.
    Set_Cell(read, 6, 13, "note");
    Go_To(read, 6, 1);
    messages.answers = {false, true};
    window->Btn_PasteRowClick();
    EXPECT_EQ(Cell(read, 6, 2), "");
    EXPECT_EQ(Cell(read, 6, 13), "note");
    window->Btn_PasteRowClick();
    EXPECT_EQ(Row(read, 6), row);
    EXPECT_EQ(messages.Texts(),
              QStringList(2, "Row Already used. Do you want to overwrite the values?"));

    // An empty row pasted over a used one empties its texts and copies its ticks.
    Go_To(read, 100, 1);
    window->Btn_CopyRowClick();
    Go_To(read, 6, 1);
    messages.answers = {true};
    window->Btn_PasteRowClick();
    QStringList reset(13, "");
    reset[0] = "Y";
    EXPECT_EQ(Row(read, 6), reset);
}

TEST_F(Access_Window, EnterMovesToTheNextDisplayedFieldWithTheOptionOn) {
    Write_DMX("0");
    ctx.state.Enable_Jump_Field_Tables = true;
    Show();
    Tessaro_Table* write = window->ACG_Modbus_Write;
    write->setFocus();
    const struct {
        int row, column, next_row, next_column;
    } cases[] = {{0, 1, 0, 2},    {0, 9, 0, 11},  {3, 15, 4, 1},
                 {511, 15, 0, 1}, {7, 14, 7, 15}, {0, 0, 0, 0}};
    for (const auto& c : cases) {
        Go_To(write, c.row, c.column);
        EXPECT_TRUE(window->SGA_KeyPress(write, Qt::Key_Return));
        EXPECT_EQ(write->currentIndex(), write->model()->index(c.next_row, c.next_column))
            << c.row << "," << c.column;
    }
    // Through the keyboard, also with the keypad's Enter and while a cell is being edited: the
    // typed text is kept and the next cell becomes current.
    Go_To(write, 2, 13);
    QTest::keyClick(write, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(write->currentIndex(), write->model()->index(2, 14));
    Go_To(write, 2, 2);
    QTest::keyClick(write, Qt::Key_F2);
    ASSERT_TRUE(write->Is_Editing());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "10.1.1.1");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(write->currentIndex(), write->model()->index(2, 3));
    EXPECT_EQ(Cell(write, 2, 2), "10.1.1.1");
}

TEST_F(Access_Window, EnterKeepsItsUsualMeaningWithTheOptionOff) {
    Show();
    Tessaro_Table* read = window->ACG_Modbus_Read;
    read->setFocus();
    Go_To(read, 3, 4);
    EXPECT_FALSE(window->SGA_KeyPress(read, Qt::Key_Return));
    QTest::keyClick(read, Qt::Key_Return);
    EXPECT_EQ(read->currentIndex(), read->model()->index(3, 4));
    // An open editor ends on Enter and the cell stays current.
    QTest::keyClick(read, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "7");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the editor ends itself a moment later
    EXPECT_FALSE(read->Is_Editing());
    EXPECT_EQ(read->currentIndex(), read->model()->index(3, 4));
    EXPECT_EQ(Cell(read, 3, 4), "7");
    ctx.state.Enable_Jump_Field_Tables = true;
    EXPECT_FALSE(window->SGA_KeyPress(read, Qt::Key_Tab)) << "only Enter moves";
}

TEST_F(Access_Window, HeaderDoubleClickFitsTheColumnOnlyWithTheOption) {
    Show();
    QTableView* read = window->ACG_Modbus_Read;
    Set_Cell(read, 300, 13, QString(80, 'W'));
    const int width = read->columnWidth(13);
    window->Grid_DblClickCell(read, Header_Row, 13);
    EXPECT_EQ(read->columnWidth(13), width) << "option off";
    ctx.state.Double_Click_Auto_Size = true;
    window->Grid_DblClickCell(read, 300, 13);
    EXPECT_EQ(read->columnWidth(13), width) << "a data cell";
    // A real double click on the header cell.
    QHeaderView* header = read->horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(13) + 20, header->height() / 2);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, centre);
    const int fitted = read->columnWidth(13);
    EXPECT_GT(fitted, read->fontMetrics().horizontalAdvance(QString(80, 'W')));
    EXPECT_LT(fitted, read->fontMetrics().horizontalAdvance(QString(80, 'W')) + 20);
    // A double click on a column border does nothing with the option off.
    ctx.state.Double_Click_Auto_Size = false;
    read->setColumnWidth(13, 50);
    const QPoint border(header->sectionViewportPosition(13) + 49, header->height() / 2);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, border);
    EXPECT_EQ(read->columnWidth(13), 50);
}

TEST_F(Access_Window, OnlyHeaderCellsOfDataColumnsHaveHints) {
    Show();
    QAbstractItemModel* write = window->ACG_Modbus_Write->model();
    QAbstractItemModel* read = window->ACG_Modbus_Read->model();
    EXPECT_EQ(write->headerData(11, Qt::Horizontal, Qt::ToolTipRole).toString(), ctx.Text(669));
    EXPECT_EQ(ctx.Text(669),
              "Insert the Maximum Number of Error before Suspend the Modbus TCP Request");
    EXPECT_EQ(write->headerData(9, Qt::Horizontal, Qt::ToolTipRole).toString(), ctx.Text(667));
    EXPECT_EQ(write->headerData(15, Qt::Horizontal, Qt::ToolTipRole).toString(), ctx.Text(673));
    EXPECT_FALSE(write->headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
    EXPECT_EQ(read->headerData(1, Qt::Horizontal, Qt::ToolTipRole).toString(), ctx.Text(646));
    EXPECT_EQ(read->headerData(13, Qt::Horizontal, Qt::ToolTipRole).toString(), ctx.Text(658));
    EXPECT_FALSE(read->index(4, 5).data(Qt::ToolTipRole).isValid());
    EXPECT_EQ(window->Hint_Read.size(), 13);
    EXPECT_EQ(window->Hint_Write.size(), 14);
    EXPECT_FALSE(window->Hint_Write.contains(ctx.Text(668)));
    EXPECT_EQ(window->SGA_GridHint(window->ACG_Modbus_Write, 7, 11), "");
}

TEST_F(Access_Window, KeepsItsCreationTextsAfterALanguageChange) {
    Create();
    ctx.lang.Set_Text(602, "Bestaetigen");
    ctx.lang.Set_Text(674, "Fehler Zeile ");
    Show();
    EXPECT_EQ(window->Btn_OK->text(), "OK");
    Set_Cell(window->ACG_Modbus_Read, 0, 2, "1.2.3");
    window->Btn_OKClick();
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_TRUE(messages.record[0].text.startsWith("Fehler Zeile 1!! [Modbus Read]"))
        << Messages_Text();
}

TEST_F(Access_Window, CellEditorsWriteTheTextsOfTheTable) {
    Show();
    Tessaro_Table* read = window->ACG_Modbus_Read;
    read->setFocus();
    // Check boxes: the space bar and a click on the box toggle between "Y" and "N".
    Go_To(read, 2, 1);
    QTest::keyClick(read, Qt::Key_Space);
    EXPECT_EQ(Cell(read, 2, 1), "N");
    const QRect cell = read->visualRect(read->model()->index(2, 12));
    QTest::mouseClick(read->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(Cell(read, 2, 12), "Y");
    QTest::mouseClick(read->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(Cell(read, 2, 12), "N");

    // A drop-down offers its list; a text from the file that is not in it is kept.
    Set_Cell(read, 2, 5, "Holding Registers");
    Go_To(read, 2, 5);
    QTest::keyClick(read, Qt::Key_F2);
    auto* combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText(), "Holding Registers");
    EXPECT_EQ(combo->count(), 5);
    read->Commit_Open_Editor();
    EXPECT_EQ(Cell(read, 2, 5), "Holding Registers");
    Go_To(read, 2, 5);
    QTest::keyClick(read, Qt::Key_F2);
    combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
    ASSERT_NE(combo, nullptr);
    combo->setCurrentText("Input Status");
    read->Commit_Open_Editor();
    EXPECT_EQ(Cell(read, 2, 5), "Input Status");

    // Text is not limited in length; an open editor is saved by OK.
    Go_To(read, 0, 13);
    QTest::keyClick(read, Qt::Key_F2);
    auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(line, nullptr);
    line->setText(QString(40000, 'm'));
    Set_Row(window->Table().Read, 1, Valid_Read_Row());
    window->Btn_OKClick();
    EXPECT_TRUE(messages.record.empty()) << Messages_Text();
    Access_Table saved;
    Load_Access_File(ctx.state.ModbusTCPM_SetAccess_File, saved);
    EXPECT_EQ(saved.Read.Field(1, 13), QString(40000, 'm'));
}

TEST_F(Access_Window, AClickOnTheNumberSelectsTheRow) {
    Show();
    QTableView* read = window->ACG_Modbus_Read;
    const QRect cell = read->visualRect(read->model()->index(3, 0));
    QTest::mouseClick(read->viewport(), Qt::LeftButton, {}, cell.center());
    const QModelIndexList selected = read->selectionModel()->selectedIndexes();
    EXPECT_EQ(selected.size(), 14);
    for (const QModelIndex& index : selected)
        EXPECT_EQ(index.row(), 3);
    EXPECT_EQ(window->Current_Row(), 3);
}

TEST(Access_Table_Model, PassesTheModelTester) {
    Access_Table access;
    Set_Row(access.Write, 1, Valid_Write_Row());
    Access_Table_Model model(access.Write, nullptr);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setData(model.index(3, 2), "10.0.0.1", Qt::EditRole);
    EXPECT_FALSE(model.setData(model.index(3, 0), "9", Qt::EditRole)) << "N is not edited";
    model.Insert_Row(1);
    model.Delete_Row(1);
    model.Begin_Reload();
    access.Reset_Access_Table();
    model.End_Reload();
    EXPECT_EQ(model.index(3, 2).data().toString(), "");
}

} // namespace

namespace {

TEST_F(Access_Window, ClosesCleanlyWithAListOpen) {
    Show();
    Tessaro_Table* read = window->ACG_Modbus_Read;
    read->setFocus();
    Go_To(read, 2, 5);
    const QPoint centre = read->visualRect(read->currentIndex()).center();
    // A double click as the desktop delivers it: press, release, double click, release.
    QTest::mouseClick(read->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(read->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(read->viewport(), Qt::LeftButton, {}, centre);
    QTest::qWait(20);
    ASSERT_TRUE(read->Is_Editing());
    EXPECT_NE(QApplication::activePopupWidget(), nullptr) << "the list drops down at once";
    window.reset(); // the window goes while its editor and list are open
}

} // namespace
