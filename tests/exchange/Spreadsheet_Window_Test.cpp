// The spreadsheet button of the access dialog and of the DMX Default Value dialog, driven through
// its menu with the file questions answered by the test.

#include "Exchange_Fixtures.h"
#include "access/Access_File.h"
#include "access_dialog/UModbus_TCP_Master_Set_Access.h"
#include "csv_menu/Spreadsheet_Button.h"
#include "dmx_dialog/UDMXDefVal.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct Question {
    QString caption;
    QString start;
    QString filter;
};

class Spreadsheet_Dialogs : public ::testing::Test {
protected:
    Spreadsheet_Dialogs() {
        ctx.lang.Load_Default_Texts();
        ctx.messages = &messages;
        ctx.state.SW_Code = "VC40362";
        ctx.state.Project_Name = "Hall_A";
        ctx.state.Project_Dir = folder.File("Hall_A");
        QDir().mkpath(ctx.state.Project_Dir);
        ctx.state.Set_Files();
        ctx.Ask_Save_File = [this](QWidget*, const QString& caption, const QString& start,
                                   const QString& filter) {
            questions.push_back({caption, start, filter});
            return answer;
        };
        ctx.Ask_Open_File = ctx.Ask_Save_File;
    }
    ~Spreadsheet_Dialogs() override {
        if (access)
            access->hide();
        if (dmx)
            dmx->hide();
    }

    void Show_Access() {
        if (!access)
            access = std::make_unique<TFModbus_TCP_Master_Set_Access>(ctx, nullptr);
        access->hide();
        access->show();
        QApplication::processEvents();
    }
    void Show_DMX() {
        if (!dmx)
            dmx = std::make_unique<TFDMXDefVal>(ctx, nullptr);
        dmx->hide();
        dmx->show();
        QApplication::processEvents();
    }
    static Spreadsheet_Button* Button(QWidget* window) {
        return window->findChild<Spreadsheet_Button*>("Btn_Spreadsheet");
    }
    // Chooses a menu item of the window's button, the file question answered with path.
    void Choose(QWidget* window, const char* action, const QString& path) {
        answer = path;
        Button(window)->findChild<QAction*>(action)->trigger();
        QApplication::processEvents();
    }
    void Write_DMX_Role(const char* value) {
        Write_Text(ctx.state.ParGen_File,
                   QStringLiteral("<Par_Gen><DMX_DMX>%1</DMX_DMX></Par_Gen>").arg(value));
    }

    Temp_Folder folder;
    Recording_Messages messages;
    App_Context ctx;
    QString answer;
    std::vector<Question> questions;
    std::unique_ptr<TFModbus_TCP_Master_Set_Access> access;
    std::unique_ptr<TFDMXDefVal> dmx;
};

TEST_F(Spreadsheet_Dialogs, AccessButtonSitsRightOfPasteRowWithItsMenu) {
    Show_Access();
    Spreadsheet_Button* button = Button(access.get());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->parentWidget(), access->findChild<QWidget*>("P_Button"));
    EXPECT_EQ(button->geometry(), QRect(912, 6, 90, 28));
    EXPECT_LE(button->sizeHint().width(), 90);
    EXPECT_EQ(button->text(), "CSV");
    EXPECT_EQ(button->Hint(),
              "Export the table to a CSV file for a spreadsheet program, or replace it with one");
    QStringList items;
    for (QAction* action : button->Menu->actions())
        items.append(action->isSeparator() ? "-" : action->text());
    EXPECT_EQ(items.join('|'), "Export...|Import...|-|Separator of exported files");
    QStringList separators;
    for (QAction* action : button->Separator_Menu->actions())
        separators.append(action->text() + (action->isChecked() ? " *" : ""));
    EXPECT_EQ(separators.join('|'), "Comma (,) *|Semicolon (;)|Tab");
}

// Export writes what the visible table holds now, edits not yet saved included.
TEST_F(Spreadsheet_Dialogs, AccessExportWritesTheVisibleTableAsItStands) {
    Write_DMX_Role("0"); // the write page
    Access_Table stored;
    Fill_Write_Table(stored.Write);
    Fill_Read_Table(stored.Read);
    Save_Access_File(ctx.state.ModbusTCPM_SetAccess_File, stored);
    const QByteArray on_disk = Read_Bytes(ctx.state.ModbusTCPM_SetAccess_File);
    Show_Access();
    QAbstractItemModel* model = access->ACG_Modbus_Write->model();
    model->setData(model->index(1, 15), "edited, not saved", Qt::EditRole);

    QDir().mkpath(folder.File("out"));
    Choose(access.get(), "Act_Export", folder.File("out/write.csv"));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].caption, "Modbus Write - Export");
    EXPECT_EQ(questions[0].start, ctx.state.Project_Dir + "/Hall_A_Modbus_Write.csv");
    EXPECT_EQ(questions[0].filter, "CSV files (*.csv *.txt *.tsv);;All files (*)");
    const QByteArray csv = Read_Bytes(folder.File("out/write.csv"));
    EXPECT_EQ(csv, Export_Access_Csv(access->Table().Write, ctx.lang, Csv_Separator::Comma));
    EXPECT_TRUE(csv.contains("\"edited, not saved\""));

    // The separator chosen and the folder of the last file are remembered; a name without an
    // extension gets one.
    Button(access.get())->Act_Separator[1]->trigger();
    Choose(access.get(), "Act_Export", folder.File("out/again"));
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[1].start, folder.File("out/Hall_A_Modbus_Write.csv"));
    EXPECT_EQ(Read_Bytes(folder.File("out/again.csv")),
              Export_Access_Csv(access->Table().Write, ctx.lang, Csv_Separator::Semicolon));
    EXPECT_TRUE(messages.record.empty());
    EXPECT_EQ(Read_Bytes(ctx.state.ModbusTCPM_SetAccess_File), on_disk);
}

// Import replaces the visible table; only OK writes the project file, Cancel leaves it.
TEST_F(Spreadsheet_Dialogs, AccessImportReplacesTheTableUntilOkOrCancel) {
    Access_Table stored;
    Fill_Read_Table(stored.Read);
    Fill_Write_Table(stored.Write);
    Save_Access_File(ctx.state.ModbusTCPM_SetAccess_File, stored);
    const QByteArray on_disk = Read_Bytes(ctx.state.ModbusTCPM_SetAccess_File);

    Request_Table rows(Access_Kind::Read);
    for (int s = 1; s <= 3; ++s) {
        const QStringList row = {"Y",
                                 QStringLiteral("127.0.0.%1").arg(s),
                                 "502",
                                 "1",
                                 "Input Register",
                                 "0",
                                 "1",
                                 "100",
                                 "3",
                                 QString::number(s * 2),
                                 "",
                                 "N",
                                 ""};
        for (int field = 1; field <= 13; ++field)
            rows.Set_Field(s, field, row[field - 1]);
    }
    rows.Set_Field(2, 13,
                   QString::fromUtf8("Kessel; \"Vorlauf\"\n\xc2\xb0"
                                     "C"));
    Write_Bytes(folder.File("rows.csv"), Export_Access_Csv(rows, ctx.lang, Csv_Separator::Tab));

    Show_Access();
    Choose(access.get(), "Act_Import", folder.File("rows.csv"));
    EXPECT_TRUE(messages.record.empty()) << messages.Texts().join('|').toStdString();
    EXPECT_EQ(questions.back().caption, "Modbus Read - Import");
    EXPECT_EQ(questions.back().start, ctx.state.Project_Dir);
    EXPECT_EQ(All_Rows(access->Table().Read), All_Rows(rows));
    EXPECT_EQ(access->ACG_Modbus_Read->model()->index(1, 13).data(Qt::EditRole).toString(),
              rows.Field(2, 13));
    EXPECT_EQ(All_Rows(access->Table().Write), All_Rows(stored.Write));
    EXPECT_EQ(Read_Bytes(ctx.state.ModbusTCPM_SetAccess_File), on_disk);

    access->findChild<QAbstractButton*>("Btn_Cancel")->click();
    EXPECT_EQ(Read_Bytes(ctx.state.ModbusTCPM_SetAccess_File), on_disk);

    Show_Access();
    Choose(access.get(), "Act_Import", folder.File("rows.csv"));
    access->Btn_OKClick();
    EXPECT_TRUE(messages.record.empty()) << messages.Texts().join('|').toStdString();
    Access_Table expected = stored;
    expected.Read = rows;
    EXPECT_EQ(Read_Bytes(ctx.state.ModbusTCPM_SetAccess_File), Access_File_Bytes(expected));
}

// A file that cannot be imported changes nothing, and the message says where it is wrong.
TEST_F(Spreadsheet_Dialogs, AccessRefusedFileLeavesTheTableAsItWas) {
    Access_Table stored;
    Fill_Read_Table(stored.Read);
    Save_Access_File(ctx.state.ModbusTCPM_SetAccess_File, stored);
    Show_Access();
    QAbstractItemModel* model = access->ACG_Modbus_Read->model();
    model->setData(model->index(4, 13), "unsaved edit", Qt::EditRole);
    const QList<QStringList> before = All_Rows(access->Table().Read);

    // Five rows, then one that stops after its third column on line 7.
    Request_Table five(Access_Kind::Read);
    for (int slot = 1; slot <= 5; ++slot)
        five.Set_Field(slot, 2, QStringLiteral("10.0.0.%1").arg(slot));
    const QByteArray csv =
        Export_Access_Csv(five, ctx.lang, Csv_Separator::Comma) + "Y,10.0.0.6,502\r\n";
    Write_Bytes(folder.File("bad.csv"), csv);
    const struct {
        const char* name;
        QString path;
        QString message;
    } cases[] = {
        {"wrong column count", folder.File("bad.csv"),
         "Cannot import " + QDir::toNativeSeparators(folder.File("bad.csv")) +
             "\nLine 7, column 4: the line does not have the number of columns of the table, "
             "which is 13"},
        {"unreadable", folder.File("missing.csv"),
         "Cannot import " + QDir::toNativeSeparators(folder.File("missing.csv")) +
             "\nmissing.csv: cannot be read: No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages.Clear();
        Choose(access.get(), "Act_Import", c.path);
        EXPECT_EQ(messages.Texts().join('|').toStdString(), c.message.toStdString());
        EXPECT_EQ(All_Rows(access->Table().Read), before);
    }
    // A question the user cancels does nothing.
    messages.Clear();
    Choose(access.get(), "Act_Import", QString());
    EXPECT_TRUE(messages.record.empty());
    EXPECT_EQ(All_Rows(access->Table().Read), before);
}

// OK and Cancel stay centred at every width; the button keeps its room left of them.
TEST_F(Spreadsheet_Dialogs, DmxButtonStandsLeftOfTheCentredButtons) {
    Show_DMX();
    Spreadsheet_Button* button = Button(dmx.get());
    ASSERT_NE(button, nullptr);
    QWidget* panel = dmx->findChild<QWidget*>("P_Button");
    EXPECT_EQ(button->parentWidget(), panel);
    EXPECT_EQ(button->geometry(), QRect(8, 6, 90, 28));
    auto* ok = dmx->findChild<QWidget*>("Btn_OK");
    auto* cancel = dmx->findChild<QWidget*>("Btn_Cancel");
    for (const int width : {475, dmx->minimumWidth(), 1200}) {
        SCOPED_TRACE(width);
        dmx->resize(width, 337);
        QApplication::processEvents();
        EXPECT_EQ(panel->width(), width);
        EXPECT_LE(
            std::abs(ok->geometry().left() - (panel->width() - 1 - cancel->geometry().right())), 1);
        EXPECT_EQ(ok->size(), QSize(112, 28));
        EXPECT_EQ(ok->y(), 6);
        EXPECT_GE(ok->x(), button->geometry().right() + 8);
        EXPECT_EQ(button->geometry(), QRect(8, 6, 90, 28));
    }
    EXPECT_LE(dmx->minimumWidth(), 475);
}

TEST_F(Spreadsheet_Dialogs, DmxExportAndImportOfTheChannels) {
    Write_Text(ctx.state.ParGen_File, "<Par_Gen><DMX_Num_Channels>24</DMX_Num_Channels></Par_Gen>");
    DMX_Default_Table stored = DMX_Default_Table::With_Channels(24);
    for (int r = 0; r < 24; ++r)
        stored.Rows[static_cast<size_t>(r)] = {QString::number(r + 100), Awkward_Texts()[r % 15]};
    Save_DMX_Defaults(ctx.state.DMX_Default_Values_File, stored);
    const QByteArray on_disk = Read_Bytes(ctx.state.DMX_Default_Values_File);
    Show_DMX();
    dmx->Model()->setData(dmx->Model()->index(0, 1), "7");
    Button(dmx.get())->Act_Separator[2]->trigger(); // tab

    Choose(dmx.get(), "Act_Export", folder.File("dmx"));
    EXPECT_EQ(questions.back().caption, "DMX Default Value - Export");
    EXPECT_EQ(questions.back().start, ctx.state.Project_Dir + "/Hall_A_DMX_Default_Values.txt");
    const QByteArray csv = Read_Bytes(folder.File("dmx.txt"));
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"
                               "Channel\tDefault Value\tMnemonic\r\n1\t7\t"));
    EXPECT_EQ(csv, Export_DMX_Csv(dmx->Model()->Table(), ctx.lang, Csv_Separator::Tab));

    // The separator is the same in every dialog of the run.
    Show_Access();
    emit Button(access.get())->Menu->aboutToShow();
    EXPECT_TRUE(Button(access.get())->Act_Separator[2]->isChecked());

    const DMX_Default_Table shown = dmx->Model()->Table();
    Write_Bytes(folder.File("order.csv"), "Channel;Default Value;Mnemonic\r\n1;1;\r\n3;3;\r\n");
    Choose(dmx.get(), "Act_Import", folder.File("order.csv"));
    EXPECT_EQ(messages.Texts().join('|').toStdString(),
              ("Cannot import " + QDir::toNativeSeparators(folder.File("order.csv")) +
               "\nLine 3, column 1: the channel numbers must run 1, 2, 3 ... in order; "
               "this line must hold channel 2")
                  .toStdString());
    EXPECT_EQ(dmx->Model()->Table(), shown);

    messages.Clear();
    Write_Bytes(folder.File("three.csv"),
                "Channel,Default_Value,MNEMONIC\n1,1,one\n2,2,\"two, \"\"2\"\"\"\n3,3,three");
    Choose(dmx.get(), "Act_Import", folder.File("three.csv"));
    EXPECT_TRUE(messages.record.empty()) << messages.Texts().join('|').toStdString();
    DMX_Default_Table expected = DMX_Default_Table::With_Channels(24);
    expected.Rows[0] = {"1", "one"};
    expected.Rows[1] = {"2", "two, \"2\""};
    expected.Rows[2] = {"3", "three"};
    EXPECT_EQ(dmx->Model()->Table(), expected);
    EXPECT_EQ(Read_Bytes(ctx.state.DMX_Default_Values_File), on_disk);
    dmx->Btn_OKClick();
    EXPECT_EQ(Read_Bytes(ctx.state.DMX_Default_Values_File), DMX_Defaults_Bytes(expected));
}

// The names of an interface's children.
QStringList Child_Names(QAccessibleInterface* iface) {
    QStringList names;
    for (int i = 0; i < iface->childCount(); ++i)
        names.append(iface->child(i)->text(QAccessible::Name));
    return names;
}

// A screen reader finds Export and Import below the button and presses them; the reader's calls
// return at once, the menu's loop and the file question come after.
TEST_F(Spreadsheet_Dialogs, ExportAndImportArePressedThroughTheAccessibilityTree) {
    Show_Access();
    Show_DMX();
    for (QWidget* window :
         {static_cast<QWidget*>(access.get()), static_cast<QWidget*>(dmx.get())}) {
        SCOPED_TRACE(window->objectName().toStdString());
        questions.clear();
        Spreadsheet_Button* button = Button(window);
        QAccessibleInterface* csv = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(csv, nullptr);
        EXPECT_EQ(csv->role(), QAccessible::ButtonMenu);
        EXPECT_EQ(csv->text(QAccessible::Name), "CSV");
        EXPECT_TRUE(csv->state().hasPopup);
        ASSERT_NE(csv->actionInterface(), nullptr);
        const QStringList actions = csv->actionInterface()->actionNames();
        EXPECT_TRUE(actions.contains(QAccessibleActionInterface::pressAction()));
        EXPECT_TRUE(actions.contains(QAccessibleActionInterface::showMenuAction()));

        // The menu and its items, reachable while the menu is closed.
        ASSERT_EQ(csv->childCount(), 1);
        QAccessibleInterface* menu = csv->child(0);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->object(), button->Menu);
        EXPECT_EQ(menu->role(), QAccessible::PopupMenu);
        EXPECT_EQ(menu->parent(), csv);
        EXPECT_EQ(csv->indexOfChild(menu), 0);
        EXPECT_EQ(Child_Names(menu),
                  QStringList({"Export...", "Import...", "", "Separator of exported files"}));
        QAccessibleInterface* export_item = menu->child(0);
        EXPECT_EQ(export_item->role(), QAccessible::MenuItem);
        EXPECT_EQ(export_item->parent(), menu);
        EXPECT_EQ(menu->indexOfChild(export_item), 0);
        EXPECT_EQ(menu->child(2)->role(), QAccessible::Separator);
        QAccessibleInterface* separators = menu->child(3);
        EXPECT_TRUE(separators->state().hasPopup);
        ASSERT_EQ(separators->childCount(), 1);
        QAccessibleInterface* choices = separators->child(0);
        EXPECT_EQ(choices->parent(), separators);
        EXPECT_EQ(Child_Names(choices), QStringList({"Comma (,)", "Semicolon (;)", "Tab"}));
        EXPECT_TRUE(choices->child(0)->state().checkable);
        EXPECT_TRUE(choices->child(0)->state().checked);

        // Export pressed: nothing asked during the call, the file question right after.
        ASSERT_EQ(export_item->actionInterface()->actionNames(),
                  QStringList{QAccessibleActionInterface::pressAction()});
        answer = QString();
        export_item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_TRUE(questions.empty());
        QApplication::processEvents();
        ASSERT_EQ(questions.size(), 1u);
        EXPECT_TRUE(questions[0].caption.endsWith(" - Export"));
        menu->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QApplication::processEvents();
        ASSERT_EQ(questions.size(), 2u);
        EXPECT_TRUE(questions[1].caption.endsWith(" - Import"));

        // A separator chosen through the tree.
        choices->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QApplication::processEvents();
        EXPECT_EQ(ctx.Spreadsheet_Separator, ';');
        EXPECT_TRUE(choices->child(1)->state().checked);
        choices->child(0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QApplication::processEvents();

        // Pressing the button returns before the menu opens; the menu then opens.
        bool returned = false;
        bool ran_inside_the_call = false;
        bool opened = false;
        QTimer::singleShot(0, [&] { ran_inside_the_call = !returned; });
        QTimer::singleShot(100, [&] {
            opened = button->Menu->isVisible();
            button->Menu->hide();
        });
        csv->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        returned = true;
        EXPECT_FALSE(button->Menu->isVisible());
        QTest::qWait(300);
        EXPECT_FALSE(ran_inside_the_call);
        EXPECT_TRUE(opened);
        EXPECT_FALSE(button->Menu->isVisible());
    }
}

// From the keyboard: Space opens the menu on the button, Down and Enter choose Export.
TEST_F(Spreadsheet_Dialogs, TheMenuIsUsedFromTheKeyboard) {
    Show_DMX();
    Spreadsheet_Button* button = Button(dmx.get());
    dmx->activateWindow();
    button->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(button->hasFocus());
    answer = QString();
    bool opened = false;
    QTimer::singleShot(0, [&] {
        QMenu* menu = button->Menu;
        opened = menu->isVisible();
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
        if (menu->isVisible())
            menu->hide();
    });
    QTest::keyClick(button, Qt::Key_Space);
    QApplication::processEvents();
    EXPECT_TRUE(opened);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].caption, "DMX Default Value - Export");
}

} // namespace
