#include "comm_dialog/UParGen.h"
#include "lang/Language_File.h"
#include "main_window/Tessaro_App.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"
#include "widgets/Look.h"

#include <QFile>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class Set_Communication : public ::testing::Test {
protected:
    Set_Communication() {
        ctx.lang.Load_Default_Texts();
        ctx.messages = &messages;
        ctx.state.SW_Code = "VC40362";
        ctx.state.Project_Dir = folder.Path();
        ctx.state.Set_Files();
        dialog = std::make_unique<TFParGen>(ctx, nullptr);
    }
    template <typename T = QWidget> T* Control(const char* name) {
        T* control = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QLineEdit* Edit(const char* name) { return Control<QLineEdit>(name); }
    void Click(const char* name) { Control<QAbstractButton>(name)->click(); }
    QString Path() const { return ctx.state.ParGen_File; }

    Temp_Folder folder;
    Recording_Messages messages;
    App_Context ctx;
    std::unique_ptr<TFParGen> dialog;
};

TEST_F(Set_Communication, PlacesItsControlsAndTakesItsTexts) {
    EXPECT_EQ(dialog->windowTitle(), "Set Communication");
    EXPECT_EQ(dialog->size(), QSize(312, 479));
    EXPECT_EQ(Control<QLabel>("L_SW_Code")->text(), "VC40362");
    EXPECT_EQ(Control<QLabel>("L_SW_Desc")->text(), "Set Communication Setting");
    EXPECT_EQ(Control<QLabel>("L_SW_Desc")->pos(), QPoint(16, 42));
    EXPECT_EQ(Control<QGroupBox>("GB_DMX")->title(), " DMX ");
    EXPECT_EQ(Control<QGroupBox>("GB_DMX")->geometry(), QRect(8, 70, 296, 91));
    EXPECT_EQ(Control<QGroupBox>("GB_Modbus_TCP_Master")->title(), " Modbus TCP Master ");
    EXPECT_EQ(Control<QComboBox>("CB_DMX_DMX")->geometry(), QRect(82, 21, 192, 21));
    EXPECT_EQ(Control<QComboBox>("CB_DMX_DMX")->itemText(0), "IN");
    EXPECT_EQ(Control<QComboBox>("CB_DMX_DMX")->itemText(1), "OUT");
    EXPECT_EQ(Control<QLabel>("L_DMX_Num_Channal")->text(), "Channel Number");
    EXPECT_EQ(Edit("E_DMX_Num_Channel")->geometry(), QRect(148, 55, 126, 21));
    EXPECT_EQ(Edit("E_IP4_Modbus_TCP_Master")->geometry(), QRect(214, 43, 60, 21));
    EXPECT_EQ(Edit("E_SM2_Modbus_TCP_Master")->geometry(), QRect(82, 98, 60, 21));
    EXPECT_EQ(Edit("E_GAT3_Modbus_TCP_Master")->geometry(), QRect(148, 154, 60, 21));
    EXPECT_EQ(Edit("E_TO_Modbus_TCP_Master")->geometry(), QRect(148, 188, 126, 21));
    EXPECT_EQ(Edit("E_CD_Modbus_TCP_Master")->geometry(), QRect(148, 222, 126, 21));
    EXPECT_EQ(Control<QCheckBox>("CB_En_GAT_Modbus_TCP_Master")->pos(), QPoint(17, 134));
    EXPECT_EQ(Control<QCheckBox>("CB_En_GAT_Modbus_TCP_Master")->text(), "GATEWAY");
    EXPECT_EQ(Control<QLabel>("L_ModbusTCPMaster_CyclicDelay")->text(), "Cyclic Delay (ms)");
    EXPECT_EQ(Control<QPushButton>("Btn_OK")->geometry(), QRect(71, 438, 112, 28));
    EXPECT_EQ(Control<QPushButton>("Btn_Cancel")->geometry(), QRect(192, 438, 112, 28));
    EXPECT_EQ(Control<QPushButton>("Btn_Cancel")->text(), "Cancel");
    EXPECT_EQ(Control("Btn_DMX_Collapse")->geometry(), QRect(280, 10, 11, 11));
    // Every hint pops up, those of the address edits included.
    EXPECT_EQ(Control("Btn_OK")->toolTip(), "Confirm and Save the current configuration");
    EXPECT_EQ(Control("Btn_DMX_Expande")->toolTip(), "Expand");
    EXPECT_EQ(Edit("E_IP1_Modbus_TCP_Master")->toolTip(),
              "Insert here the first byte of IP Address");
    EXPECT_EQ(Edit("E_GAT4_Modbus_TCP_Master")->toolTip(),
              "Insert here the fourth byte of Default Gateway");
    EXPECT_EQ(Control("CB_En_GAT_Modbus_TCP_Master")->toolTip(),
              "Enable/disable the Default Gateway");
}

TEST_F(Set_Communication, FollowsALanguageChange) {
    ctx.lang.Set_Text(400, "Kommunikation");
    ctx.lang.Set_Text(446, "IP-ADRESSE");
    ctx.lang.Set_Text(451, "Erstes Byte der IP-Adresse");
    dialog->Set_Lang();
    EXPECT_EQ(dialog->windowTitle(), "Kommunikation");
    EXPECT_EQ(Control<QLabel>("L_Modbus_TCP_Master_IP_Add")->text(), "IP-ADRESSE");
    EXPECT_EQ(Edit("E_IP1_Modbus_TCP_Master")->toolTip(), "Erstes Byte der IP-Adresse");
    EXPECT_EQ(Control<QComboBox>("CB_DMX_DMX")->itemText(1), "OUT");
}

TEST_F(Set_Communication, FoldingAGroupMovesWhatLiesBelow) {
    struct Step {
        const char* button;
        int client_height;
        int master_top;
        int buttons_top;
    };
    const Step steps[] = {
        {"Btn_DMX_Collapse", 414, 102, 373},
        {"Btn_DMX_Expande", 479, 167, 438},
        {"Btn_Modbus_TCP_Master_Collapse", 247, 167, 206},
        {"Btn_DMX_Collapse", 182, 102, 141},
        {"Btn_Modbus_TCP_Master_Expande", 414, 102, 373},
        {"Btn_DMX_Expande", 479, 167, 438},
    };
    dialog->show();
    auto* dmx = Control<QGroupBox>("GB_DMX");
    auto* master = Control<QGroupBox>("GB_Modbus_TCP_Master");
    for (const Step& step : steps) {
        Click(step.button);
        SCOPED_TRACE(step.button);
        EXPECT_EQ(dialog->height(), step.client_height);
        EXPECT_EQ(dialog->width(), 312);
        EXPECT_EQ(master->y(), step.master_top);
        EXPECT_EQ(Control("Btn_OK")->y(), step.buttons_top);
        EXPECT_EQ(Control("Btn_Cancel")->y(), step.buttons_top);
        EXPECT_EQ(dmx->height(), dialog->GB_DMX_Visible ? 91 : 26);
        EXPECT_EQ(master->height(), dialog->GB_Modbus_TCP_Master_Visible ? 258 : 26);
        EXPECT_EQ(Control("CB_DMX_DMX")->isVisible(), dialog->GB_DMX_Visible);
        EXPECT_EQ(Control("L_DMX_DMX")->isVisible(), dialog->GB_DMX_Visible);
        EXPECT_EQ(Control("Btn_DMX_Collapse")->isVisible(), dialog->GB_DMX_Visible);
        EXPECT_EQ(Control("Btn_DMX_Expande")->isVisible(), !dialog->GB_DMX_Visible);
        EXPECT_EQ(Control("L_Modbus_TCP_Master_IP_Add")->isVisible(),
                  dialog->GB_Modbus_TCP_Master_Visible);
        // A folded group keeps the keyboard out of the fields it cuts off.
        EXPECT_EQ(Edit("E_TO_Modbus_TCP_Master")->focusPolicy() == Qt::StrongFocus,
                  dialog->GB_Modbus_TCP_Master_Visible);
        EXPECT_FALSE(dialog->Is_Change);
    }
}

TEST_F(Set_Communication, AFoldedGroupStaysFoldedWhenTheDialogIsShownAgain) {
    Click("Btn_DMX_Collapse");
    dialog->show();
    // The hidden choice cannot take the focus.
    EXPECT_NE(dialog->focusWidget(), Control("CB_DMX_DMX"));
    dialog->done(QDialog::Rejected);
    dialog->show();
    EXPECT_FALSE(dialog->GB_DMX_Visible);
    EXPECT_EQ(dialog->height(), 414);
    EXPECT_FALSE(Control("CB_DMX_DMX")->isVisible());
}

TEST_F(Set_Communication, ShowsTheFileAndStartsUnchanged) {
    Write_Text(Path(), "<Par_Gen><DMX_DMX>0</DMX_DMX><DMX_Num_Channels>100</DMX_Num_Channels>"
                       "<Modbus_TCP_Master_IP3>07</Modbus_TCP_Master_IP3>"
                       "<Modbus_TCP_Master_EN_GAT>1</Modbus_TCP_Master_EN_GAT></Par_Gen>");
    dialog->show();
    EXPECT_EQ(Control<QComboBox>("CB_DMX_DMX")->currentText(), "IN");
    EXPECT_EQ(Edit("E_DMX_Num_Channel")->text(), "100");
    EXPECT_EQ(Edit("E_IP3_Modbus_TCP_Master")->text(), "07");
    EXPECT_EQ(Edit("E_IP4_Modbus_TCP_Master")->text(), "5");
    EXPECT_EQ(Edit("E_TO_Modbus_TCP_Master")->text(), "1000");
    EXPECT_TRUE(Control<QCheckBox>("CB_En_GAT_Modbus_TCP_Master")->isChecked());
    EXPECT_FALSE(dialog->Is_Change);
    EXPECT_EQ(dialog->focusWidget(), Control("CB_DMX_DMX"));
    EXPECT_TRUE(messages.record.empty());
}

TEST_F(Set_Communication, EditsTheChoiceAndTheGatewayBoxMarkAChange) {
    const std::function<void()> changes[] = {
        [&] { QTest::keyClicks(Edit("E_DMX_Num_Channel"), "4"); },
        [&] { QTest::keyClicks(Edit("E_GAT2_Modbus_TCP_Master"), "1"); },
        [&] { Control<QComboBox>("CB_DMX_DMX")->setCurrentIndex(0); },
        [&] { Click("CB_En_GAT_Modbus_TCP_Master"); },
    };
    for (const auto& change : changes) {
        dialog->show();
        ASSERT_FALSE(dialog->Is_Change);
        change();
        EXPECT_TRUE(dialog->Is_Change);
        dialog->done(QDialog::Rejected);
    }
}

TEST_F(Set_Communication, ADotMovesToTheNextAddressByte) {
    dialog->show();
    struct Case {
        const char* from;
        const char* to;
    } const cases[] = {
        {"E_IP2_Modbus_TCP_Master", "E_IP3_Modbus_TCP_Master"},
        {"E_IP4_Modbus_TCP_Master", "E_SM1_Modbus_TCP_Master"},
        {"E_SM4_Modbus_TCP_Master", "E_GAT1_Modbus_TCP_Master"}, // gateway off
        {"E_GAT4_Modbus_TCP_Master", "E_GAT4_Modbus_TCP_Master"},
    };
    ASSERT_FALSE(Control<QCheckBox>("CB_En_GAT_Modbus_TCP_Master")->isChecked());
    for (const Case& c : cases) {
        QLineEdit* from = Edit(c.from);
        from->setFocus();
        const QString before = from->text();
        QTest::keyClick(from, '.');
        EXPECT_EQ(from->text(), before) << c.from;
        EXPECT_EQ(dialog->focusWidget(), Edit(c.to)) << c.from;
    }
    // Elsewhere a dot is typed like any other key.
    QTest::keyClicks(Edit("E_TO_Modbus_TCP_Master"), ".5");
    EXPECT_EQ(Edit("E_TO_Modbus_TCP_Master")->text(), "1000.5");
}

TEST_F(Set_Communication, CancelAsksOnlyAfterAChange) {
    dialog->show();
    Click("Btn_Cancel");
    EXPECT_TRUE(messages.record.empty());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);

    dialog->show();
    Control<QComboBox>("CB_DMX_DMX")->setCurrentIndex(0);
    messages.answers = {false, true};
    Click("Btn_Cancel");
    EXPECT_TRUE(dialog->isVisible());
    Click("Btn_Cancel");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(messages.Texts(), QStringList({"Do you want to exit without saving changes?",
                                             "Do you want to exit without saving changes?"}));
    EXPECT_FALSE(QFile::exists(Path()));
}

TEST_F(Set_Communication, TheFrameCloseButtonClosesWithoutAsking) {
    dialog->show();
    QTest::keyClicks(Edit("E_DMX_Num_Channel"), "9");
    dialog->close();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(messages.record.empty());
    EXPECT_FALSE(QFile::exists(Path()));
}

TEST_F(Set_Communication, OkWritesTheFileAlsoWhenNothingChanged) {
    dialog->show();
    Click("Btn_OK");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(messages.record.empty());
    EXPECT_EQ(Read_Bytes(Path()), Comm_Settings_Bytes(Comm_Settings()));
}

TEST_F(Set_Communication, OkSavesWhatWasTyped) {
    dialog->show();
    Control<QComboBox>("CB_DMX_DMX")->setCurrentIndex(0);
    Edit("E_DMX_Num_Channel")->setText("024");
    Edit("E_GAT1_Modbus_TCP_Master")->setText("999"); // not checked while the gateway is off
    Click("Btn_OK");
    EXPECT_TRUE(messages.record.empty());
    Comm_Settings expected;
    expected.Set_DMX_Index(0);
    expected.DMX_Num_Channels = "024";
    expected.Modbus_TCP_Master_GAT1 = "999";
    EXPECT_EQ(Load_Comm_Settings(Path()), expected);
}

TEST_F(Set_Communication, OkShowsTheFirstFailureAndKeepsTheDialogOpen) {
    dialog->show();
    Edit("E_DMX_Num_Channel")->setText("0");
    Edit("E_TO_Modbus_TCP_Master")->setText("abc");
    Click("CB_En_GAT_Modbus_TCP_Master");
    Edit("E_GAT1_Modbus_TCP_Master")->setText("999");
    Click("Btn_OK");
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
    EXPECT_EQ(messages.record[0].text, "Error DMX!! Channel Number must be between 24 and 512");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(QFile::exists(Path()));
    EXPECT_EQ(Edit("E_TO_Modbus_TCP_Master")->text(), "abc");

    Edit("E_DMX_Num_Channel")->setText("24");
    Edit("E_TO_Modbus_TCP_Master")->setText("100000");
    Click("Btn_OK");
    EXPECT_EQ(messages.Texts().last(),
              "Error Modbus TCP Master!! GATEWAY IP 1 must be between 0 and 255");
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(Set_Communication, AnUnknownDmxRoleShowsOutAndIsSavedAsOut) {
    Write_Text(Path(), "<Par_Gen><DMX_DMX>7</DMX_DMX></Par_Gen>");
    dialog->show();
    EXPECT_EQ(Control<QComboBox>("CB_DMX_DMX")->currentText(), "OUT");
    Click("Btn_OK");
    EXPECT_TRUE(Read_Bytes(Path()).startsWith("<Par_Gen><DMX_DMX>1</DMX_DMX>"));
}

TEST_F(Set_Communication, AnUnreadableFileIsReportedAndKeptAsBackupOnSave) {
    const QByteArray broken = "<Par_Gen><DMX_Num_Channels>100</DMX_Num_Channels>";
    Write_Bytes(Path(), broken);
    dialog->show();
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
    EXPECT_TRUE(
        messages.record[0].text.startsWith("ParGen.xml: not a well-formed XML file (line 1"))
        << messages.record[0].text.toStdString();
    EXPECT_TRUE(messages.record[0].text.contains("ParGen.xml.bak"));
    EXPECT_EQ(Edit("E_DMX_Num_Channel")->text(), "512");
    EXPECT_FALSE(dialog->Is_Change);

    Click("Btn_OK");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Read_Bytes(Path() + ".bak"), broken);
    EXPECT_EQ(Read_Bytes(Path()), Comm_Settings_Bytes(Comm_Settings()));

    // The next showing reads the new file and keeps the backup as it is.
    Write_Bytes(Path() + ".bak", "older");
    messages.Clear();
    dialog->show();
    Click("Btn_OK");
    EXPECT_TRUE(messages.record.empty());
    EXPECT_EQ(Read_Bytes(Path() + ".bak"), "older");
}

TEST_F(Set_Communication, TheLoadErrorComesFromTheStringTable) {
    QString version;
    ASSERT_TRUE(Load_Lang_File(ctx.lang, TESSARO_LANG_DIR "/Italiano.lng", version));
    Write_Bytes(Path(), "<Par_Gen><DMX_Num_Channels>100</DMX_Num_Channels>");
    dialog->show();
    ASSERT_EQ(messages.record.size(), 1u);
    const QString text = messages.record[0].text;
    EXPECT_TRUE(text.startsWith("ParGen.xml: non è un file XML ben formato (riga 1, colonna "))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith("\n\nSono mostrate le impostazioni predefinite. Quando si salvano, "
                              "il vecchio file viene conservato come ParGen.xml.bak."))
        << text.toStdString();
}

TEST_F(Set_Communication, AFailedSaveKeepsTheDialogOpenWithTheEntries) {
    // The configuration folder has gone away since the dialog was opened.
    ctx.state.Project_Dir = folder.File("gone");
    ctx.state.Set_Files();
    dialog->show();
    Edit("E_CD_Modbus_TCP_Master")->setText("250");
    Click("Btn_OK");
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_TRUE(messages.record[0].text.startsWith("ParGen.xml: cannot be written: "))
        << messages.record[0].text.toStdString();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Edit("E_CD_Modbus_TCP_Master")->text(), "250");
    EXPECT_TRUE(dialog->Is_Change);
}

TEST_F(Set_Communication, ActivationBringsATopEdgeAboveTheScreenBackToZero) {
    dialog->show();
    dialog->move(40, -60);
    dialog->FormActivate();
    EXPECT_EQ(dialog->pos(), QPoint(40, 0));
    dialog->move(40, 30);
    dialog->FormActivate();
    EXPECT_EQ(dialog->pos(), QPoint(40, 30));
}

} // namespace
