// The three editors of a configuration ask before OK writes over a file that another program
// changed while the dialog held it, and only then.

#include "access/Access_File.h"
#include "access_dialog/UModbus_TCP_Master_Set_Access.h"
#include "comm/Comm_Settings.h"
#include "comm/DMX_Default_Table.h"
#include "comm_dialog/UParGen.h"
#include "dmx_dialog/UDMXDefVal.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"

#include "../access/Access_Fixtures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

QByteArray Access_Bytes(const char* mnemonic) {
    Access_Table access;
    QStringList row = Valid_Read_Row();
    row.last() = QString::fromLatin1(mnemonic);
    Set_Row(access.Read, 1, row);
    return Access_File_Bytes(access);
}

QByteArray DMX_Bytes(const char* first_value) {
    DMX_Default_Table table = DMX_Default_Table::With_Channels(512);
    table.Rows[0].Default_Value = QString::fromLatin1(first_value);
    return DMX_Defaults_Bytes(table);
}

QByteArray ParGen_Bytes(const char* channels) {
    Comm_Settings settings;
    settings.DMX_Num_Channels = QString::fromLatin1(channels);
    return Comm_Settings_Bytes(settings);
}

QTableView* Table(QDialog& dialog, const char* name) {
    return dialog.findChild<QTableView*>(QString::fromLatin1(name));
}

// Sets a cell of a dialog's table as the user's editor does.
void Set_Cell(QDialog& dialog, const char* table, int row, int column, const char* text) {
    QAbstractItemModel* model = Table(dialog, table)->model();
    model->setData(model->index(row, column), QString::fromLatin1(text), Qt::EditRole);
}
QString Cell(QDialog& dialog, const char* table, int row, int column) {
    return Table(dialog, table)->model()->index(row, column).data(Qt::EditRole).toString();
}

// One editor: the file it writes, that file as the dialog reads it and as another program
// changes it, an edit of the user (the text it leaves in the dialog and in the saved file) and
// an entry that fails the dialog's own check.
struct Editor {
    const char* name;
    std::function<std::unique_ptr<QDialog>(App_Context&)> create;
    QString App_State::*file;
    QByteArray on_disk;
    QByteArray other_change;
    std::function<void(QDialog&)> edit;
    std::function<QString(QDialog&)> edited_text;
    QString edited;
    QByteArray saved_edit;
    std::function<void(QDialog&)> wrong_entry;
};

const Editor Set_Communication{
    "ParGen.xml",
    [](App_Context& ctx) { return std::make_unique<TFParGen>(ctx, nullptr); },
    &App_State::ParGen_File,
    ParGen_Bytes("512"),
    ParGen_Bytes("200"),
    [](QDialog& d) { d.findChild<QLineEdit*>("E_DMX_Num_Channel")->setText("100"); },
    [](QDialog& d) { return d.findChild<QLineEdit*>("E_DMX_Num_Channel")->text(); },
    "100",
    "<DMX_Num_Channels>100</DMX_Num_Channels>",
    [](QDialog& d) { d.findChild<QLineEdit*>("E_DMX_Num_Channel")->setText("5"); },
};

const Editor DMX_Default_Value{
    "DMX_Default_Values.xml",
    [](App_Context& ctx) { return std::make_unique<TFDMXDefVal>(ctx, nullptr); },
    &App_State::DMX_Default_Values_File,
    DMX_Bytes("0"),
    DMX_Bytes("9"),
    [](QDialog& d) { Set_Cell(d, "ACG_DMX_Def_Val", 0, DMX_Table_Model::Value_Column, "77"); },
    [](QDialog& d) { return Cell(d, "ACG_DMX_Def_Val", 0, DMX_Table_Model::Value_Column); },
    "77",
    "<Row Default_Value=\"77\" Mnemonic=\"\"/>",
    [](QDialog& d) { Set_Cell(d, "ACG_DMX_Def_Val", 0, DMX_Table_Model::Value_Column, "256"); },
};

const Editor Set_Access{
    "ModbusTCPM_SetAccess.xml",
    [](App_Context& ctx) { return std::make_unique<TFModbus_TCP_Master_Set_Access>(ctx, nullptr); },
    &App_State::ModbusTCPM_SetAccess_File,
    Access_Bytes("Boiler"),
    Access_Bytes("Chiller"),
    [](QDialog& d) {
        // A whole row, so that it is saved also where the table was empty.
        const QStringList row = Valid_Read_Row();
        for (int column = 1; column < row.size(); ++column)
            Set_Cell(d, "ACG_Modbus_Read", 0, column, row[column - 1].toLatin1().constData());
        Set_Cell(d, "ACG_Modbus_Read", 0, 13, "Pump");
    },
    [](QDialog& d) { return Cell(d, "ACG_Modbus_Read", 0, 13); },
    "Pump",
    "Mnemonic=\"Pump\"",
    [](QDialog& d) { Set_Cell(d, "ACG_Modbus_Read", 0, 3, "70000"); },
};

void PrintTo(const Editor& editor, std::ostream* out) {
    *out << editor.name;
}

class Lost_Update : public ::testing::TestWithParam<Editor> {
protected:
    Lost_Update() {
        ctx.lang.Load_Default_Texts();
        ctx.messages = &messages;
        ctx.state.SW_Code = "VC40362";
        ctx.state.Project_Dir = folder.Path();
        ctx.state.Set_Files();
        // The access dialog picks its page from the DMX role: the read table.
        Write_Bytes(ctx.state.ParGen_File, ParGen_Bytes("512"));
    }
    ~Lost_Update() override {
        if (dialog)
            dialog->hide();
    }

    const Editor& E() const { return GetParam(); }
    QString Path() const { return ctx.state.*E().file; }
    // The user opens the editor and makes the edit.
    void Open_And_Edit() {
        dialog = E().create(ctx);
        dialog->show();
        QApplication::processEvents();
        ASSERT_TRUE(dialog->isVisible());
        ASSERT_TRUE(messages.record.empty()) << messages.Texts().join(" | ").toStdString();
        E().edit(*dialog);
    }
    void Ok() {
        dialog->findChild<QAbstractButton*>("Btn_OK")->click();
        QApplication::processEvents();
    }
    QString Question(int what) const {
        return ctx.Text(what) + E().name + "\n\n" + ctx.Text(783) + "\n" + ctx.Text(784);
    }
    bool Saved_The_Edit() const { return Read_Bytes(Path()).contains(E().saved_edit); }

    Temp_Folder folder;
    Recording_Messages messages;
    App_Context ctx;
    std::unique_ptr<QDialog> dialog;
};

TEST_P(Lost_Update, NoQuestionWhileTheFileOnDiskIsWhatTheDialogRead) {
    for (const bool file_there : {true, false}) {
        SCOPED_TRACE(file_there ? "file there" : "no file");
        QFile::remove(Path());
        if (file_there)
            Write_Bytes(Path(), E().on_disk);
        messages.Clear();
        Open_And_Edit();
        // Another program writes the same bytes again: nothing of it would be lost.
        if (file_there)
            Write_Bytes(Path(), E().on_disk);
        Ok();
        EXPECT_TRUE(messages.record.empty()) << messages.Texts().join(" | ").toStdString();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_TRUE(Saved_The_Edit());
    }
}

TEST_P(Lost_Update, NoKeepsTheOtherChangeAndTheEditsThenYesOverwrites) {
    Write_Bytes(Path(), E().on_disk);
    Open_And_Edit();
    Write_Bytes(Path(), E().other_change);

    messages.answers = {false};
    Ok();
    ASSERT_EQ(messages.record.size(), 1u) << messages.Texts().join(" | ").toStdString();
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Confirm);
    EXPECT_EQ(messages.record[0].text, Question(780));
    EXPECT_EQ(Read_Bytes(Path()), E().other_change);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(E().edited_text(*dialog), E().edited);
    EXPECT_FALSE(QFile::exists(Path() + ".bak"));

    // Asked again on the next OK: the file still holds the other change.
    messages.Clear();
    messages.answers = {true};
    Ok();
    ASSERT_EQ(messages.Texts(), QStringList{Question(780)});
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(Saved_The_Edit());
}

TEST_P(Lost_Update, AFileRemovedOrCreatedBehindTheDialogIsAskedAboutToo) {
    // Removed while the dialog held it; No keeps it removed.
    Write_Bytes(Path(), E().on_disk);
    Open_And_Edit();
    QFile::remove(Path());
    messages.answers = {false};
    Ok();
    EXPECT_EQ(messages.Texts(), QStringList{Question(781)});
    EXPECT_FALSE(QFile::exists(Path()));
    EXPECT_TRUE(dialog->isVisible());

    // Missing when the dialog read it, created since; Yes writes the edit.
    dialog->hide();
    dialog.reset();
    messages.Clear();
    Open_And_Edit();
    Write_Bytes(Path(), E().other_change);
    messages.answers = {true};
    Ok();
    EXPECT_EQ(messages.Texts(), QStringList{Question(782)});
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(Saved_The_Edit());
}

TEST_P(Lost_Update, TheQuestionComesAfterTheChecksOfTheDialog) {
    Write_Bytes(Path(), E().on_disk);
    Open_And_Edit();
    Write_Bytes(Path(), E().other_change);
    // An entry that fails the dialog's own check: its message alone, no question, nothing saved.
    E().wrong_entry(*dialog);
    Ok();
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
    EXPECT_EQ(Read_Bytes(Path()), E().other_change);
    EXPECT_TRUE(dialog->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Editors, Lost_Update,
                         ::testing::Values(Set_Communication, DMX_Default_Value, Set_Access),
                         [](const auto& info) {
                             QString name = QString::fromLatin1(info.param.name);
                             return name.section('.', 0, 0).remove('_').toStdString();
                         });

} // namespace
