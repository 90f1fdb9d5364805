#include "access_dialog/UModbus_TCP_Master_Set_Access.h"
#include "comm_dialog/UParGen.h"
#include "dmx_dialog/UDMXDefVal.h"
#include "main_window/Tessaro_App.h"
#include "options_dialog/USoftOptions.h"
#include "project_dialogs/UAbout.h"
#include "project_dialogs/UNew_Project.h"
#include "project_dialogs/UOpenConf.h"
#include "state/Program_Folders.h"
#include "state/Settings.h"
#include "support/Installed_Tree.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"
#include "update_dialog/UBoot.h"
#include "widgets/Look.h"
#include "widgets/Styled_Button.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <gtest/gtest.h>
#include <memory>

namespace {

class Start_Up : public ::testing::Test {
protected:
    void Start() {
        app = std::make_unique<Tessaro_App>(folder.Path(), &messages);
        window = &app->Main_Window();
    }
    template <typename T = QWidget> T* Control(const char* name) {
        T* control = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QString Label(const char* name) { return Control<QLabel>(name)->text(); }
    void Write_Settings(const QString& xml) { Write_Text(folder.File("Tessaro.xml"), xml); }

    Temp_Folder folder;
    Recording_Messages messages;
    std::unique_ptr<Tessaro_App> app;
    TFTessaroFirmWare* window = nullptr;
};

TEST_F(Start_Up, OnAnEmptyFolderCreatesTheFoldersAndUsesTheDefaults) {
    Start();
    for (const char* name : {"MASTER", "PROJECTS", "LANGUAGE"})
        EXPECT_TRUE(QDir(folder.File(name)).exists()) << name;
    const App_State& state = app->Context().state;
    EXPECT_EQ(state.Exe_Dir, folder.Path());
    EXPECT_EQ(state.Language, "English");
    EXPECT_EQ(state.Last_IP_Address, "192.168.2.205");
    EXPECT_EQ(state.Lang_Version, "NO VER.");
    EXPECT_EQ(state.Project_Dir, "");
    EXPECT_EQ(state.ParGen_File, "/ParGen.xml");
    EXPECT_EQ(state.Update_Option_Index, 0);
    EXPECT_FALSE(state.Update_Read_Back);
    EXPECT_EQ(app->Context().lang.Lang_Count(), 1000);
    EXPECT_TRUE(app->Context().Row_Copy_Buffer.isEmpty());
    EXPECT_EQ(Label("L_Name_Conf"), "None Configuration Opened ");
    EXPECT_EQ(Label("L_Name_Conf_L2"), "Use Step1 to open or create new configuration");
    EXPECT_EQ(window->windowTitle(), "Velmora - Configurator VC40362 - DMX / Modbus TCP Master ");
    EXPECT_FALSE(window->Timer_Update()->isActive());
    EXPECT_EQ(window->Timer_Update()->interval(), 60000);
    EXPECT_TRUE(messages.record.empty());
}

TEST_F(Start_Up, CreatesEveryWindowOnce) {
    Start();
    const Tessaro_Windows& w = app->Windows();
    const QObject* windows[] = {w.New_Project, w.OpenConf,  w.About,      w.SoftOptions,
                                w.ParGen,      w.DMXDefVal, w.Set_Access, w.Boot};
    const char* names[] = {"TFNew_Project",
                           "TFOpenConf",
                           "TFAbout",
                           "TFSoftOptions",
                           "TFParGen",
                           "TFDMXDefVal",
                           "TFModbus_TCP_Master_Set_Access",
                           "TFBoot"};
    for (int i = 0; i < 8; ++i) {
        ASSERT_NE(windows[i], nullptr) << names[i];
        EXPECT_EQ(windows[i]->objectName(), names[i]);
    }
}

TEST_F(Start_Up, ReopensTheLastConfigurationWhenItsFolderExists) {
    QDir().mkpath(folder.File("PROJECTS/Plant 7"));
    Write_Settings("<Conf_Settings><lastproj><projectname>Plant 7</projectname></lastproj>"
                   "</Conf_Settings>");
    Start();
    const App_State& state = app->Context().state;
    EXPECT_EQ(state.Project_Dir, folder.File("PROJECTS/Plant 7"));
    EXPECT_EQ(state.ParGen_File, folder.File("PROJECTS/Plant 7/ParGen.xml"));
    EXPECT_EQ(state.DMX_Default_Values_File,
              folder.File("PROJECTS/Plant 7/DMX_Default_Values.xml"));
    EXPECT_EQ(state.ModbusTCPM_SetAccess_File,
              folder.File("PROJECTS/Plant 7/ModbusTCPM_SetAccess.xml"));
    EXPECT_EQ(Label("L_Name_Conf"), "Opened Configuration of the Converter : ");
    EXPECT_EQ(Label("L_Name_Conf_L2"), "Plant 7");
}

TEST_F(Start_Up, KeepsTheNameOfAMissingConfigurationAndWritesItBackAtExit) {
    const QByteArray settings =
        "<Conf_Settings><lastproj><projectname>Gone</projectname></lastproj>"
        "<lastipadd><ipaddress>10.0.0.9</ipaddress></lastipadd>"
        "<lastlang><language>English</language></lastlang>"
        "<lastinternet><enable_internet>0</enable_internet><enable_update>1</enable_update>"
        "<enable_jump_field_tables>0</enable_jump_field_tables>"
        "<Double_Click_Auto_Size>0</Double_Click_Auto_Size></lastinternet></Conf_Settings>";
    Write_Bytes(folder.File("Tessaro.xml"), settings);
    Start();
    EXPECT_EQ(app->Context().state.Project_Dir, "");
    EXPECT_EQ(app->Context().state.Project_Name, "Gone");
    EXPECT_EQ(Label("L_Name_Conf"), "None Configuration Opened ");
    // Update checks need both options.
    EXPECT_FALSE(window->Timer_Update()->isActive());
    window->close();
    EXPECT_EQ(Read_Bytes(folder.File("Tessaro.xml")), settings);
}

TEST_F(Start_Up, StartsTheUpdateTimerWhenBothOptionsAreOn) {
    Write_Settings("<Conf_Settings><lastinternet><enable_internet>1</enable_internet>"
                   "<enable_update>1</enable_update></lastinternet></Conf_Settings>");
    Start();
    EXPECT_TRUE(window->Timer_Update()->isActive());
    EXPECT_EQ(window->Timer_Update()->interval(), 60000);
}

TEST_F(Start_Up, TakesTheTextsOfTheChosenLanguage) {
    Write_Settings("<Conf_Settings><lastlang><language>Italiano</language></lastlang>"
                   "</Conf_Settings>");
    Write_Text(folder.File("LANGUAGE/Italiano.lng"),
               "//VERSION 2.05\nSTR0 = Inizio\nSTR9 = Nessuna configurazione\nSTR15 = Nuova\n"
               "STR14 = Chiudi\n");
    Start();
    EXPECT_EQ(app->Context().state.Lang_Version, "2.05");
    EXPECT_EQ(Label("L_Begin"), "Inizio");
    EXPECT_EQ(Label("L_Name_Conf"), "Nessuna configurazione");
    EXPECT_EQ(Control<QPushButton>("Btn_New")->text(), "Nuova");
    EXPECT_EQ(look::Hint_Of(Control<QWidget>("Btn_Close")), "Chiudi");
    EXPECT_EQ(Control<QPushButton>("Btn_ModM_SetAccess")->text(), "Set Access");
}

struct Control_Case {
    const char* name;
    QRect geometry; // an empty size: a label that fits its text
    bool visible;
    const char* text;
};

TEST_F(Start_Up, LaysOutTheMainWindow) {
    Start();
    EXPECT_EQ(window->size(), QSize(694, 440));
    const Control_Case cases[] = {
        {"L_SW_Code", QRect(16, 8, 0, 0), true, "VC40362"},
        {"L_SW_Desc", QRect(16, 42, 0, 0), true, "DMX / Modbus TCP Master - Converter"},
        {"LL_Update", QRect(208, 19, 294, 17), false, nullptr},
        {"Btn_Info", QRect(516, 8, 50, 50), true, ""},
        {"Btn_Opz", QRect(574, 8, 50, 50), true, ""},
        {"Btn_Close", QRect(632, 8, 50, 50), true, ""},
        {"Shape2", QRect(80, 70, 348, 36), true, nullptr},
        {"L_Name_Conf", QRect(87, 75, 0, 0), true, "None Configuration Opened "},
        {"L_Name_Conf_L2", QRect(87, 88, 0, 0), true,
         "Use Step1 to open or create new configuration"},
        {"L_Begin", QRect(16, 84, 0, 0), true, "Begin"},
        {"L_Step_1", QRect(16, 128, 0, 0), true, "Step 1"},
        {"L_Step_2", QRect(16, 172, 0, 0), true, "Step 2"},
        {"L_Step_3", QRect(16, 216, 0, 0), true, "Step 3"},
        {"L_Step_4", QRect(16, 260, 0, 0), true, "Step 4"},
        {"L_Step_5", QRect(16, 304, 0, 0), true, "Step 5"},
        {"L_Step_6", QRect(16, 348, 0, 0), false, "Step 6"},
        {"L_Step_7", QRect(16, 392, 0, 0), false, "Step 7"},
        {"L_Step_8", QRect(16, 436, 0, 0), false, "Step 8"},
        {"Btn_New", QRect(80, 112, 170, 36), true, "New Configuration"},
        {"Btn_Open", QRect(258, 112, 170, 36), true, "Open Configuration"},
        {"Btn_Prm_Gen", QRect(80, 156, 170, 36), true, "Set Communication"},
        {"Btn_ModM_SetAccess", QRect(80, 200, 170, 36), true, "Set Access"},
        {"Btn_DMX_Default", QRect(80, 244, 170, 36), true, "DMX Default Value"},
        {"Btn_CreateBin", QRect(80, 288, 170, 36), true, "Update Device"},
        {"Btn_Report", QRect(258, 288, 170, 36), true, "Report"},
        {"L_Velmora", QRect(565, 304, 0, 0), true, "www.velmora.com"},
        {"Shape1", QRect(10, 339, 674, 1), true, nullptr},
    };
    window->show();
    for (const Control_Case& c : cases) {
        QWidget* control = Control(c.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->pos(), c.geometry.topLeft()) << c.name;
        if (!c.geometry.size().isEmpty()) {
            EXPECT_EQ(control->size(), c.geometry.size()) << c.name;
        }
        EXPECT_EQ(control->isVisible(), c.visible) << c.name;
        if (!c.text)
            continue;
        if (auto* label = qobject_cast<QLabel*>(control)) {
            EXPECT_EQ(label->text(), c.text) << c.name;
        } else if (auto* button = qobject_cast<QPushButton*>(control)) {
            EXPECT_EQ(button->text(), c.text) << c.name;
        }
    }
}

TEST_F(Start_Up, GivesTheButtonsTheirHints) {
    Start();
    const std::tuple<const char*, const char*, bool> hints[] = {
        {"Btn_Info", "Information", true},
        {"Btn_Opz", "Options", true},
        {"Btn_Close", "Close Configurator", true},
        {"Btn_New", "Create a new configuration for the device", true},
        {"Btn_Open", "Open an exists configuration", true},
        {"Btn_Prm_Gen", "Set the main parameters of Protocols", true},
        {"Btn_CreateBin", "Update the actual Firmware and/or Configuration in the device", true},
        {"Btn_DMX_Default", "Set the Default Value for the DMX", false},
        {"Btn_ModM_SetAccess", "", false},
        {"Btn_Report", "Write a report of the configuration as a PDF or HTML file", true},
    };
    for (const auto& [name, hint, shown] : hints) {
        QWidget* button = Control(name);
        EXPECT_EQ(look::Hint_Of(button), hint) << name;
        EXPECT_EQ(button->toolTip(), shown ? QString(hint) : QString()) << name;
    }
}

TEST_F(Start_Up, FollowsTheFocusOrder) {
    Start();
    // The commissioning tools follow the specified chain.
    const char* order[] = {
        "LL_Update",       "Btn_Info",    "Btn_CreateBin", "Btn_New",         "Btn_Open",
        "Btn_Prm_Gen",     "Btn_Close",   "Btn_Opz",       "Btn_DMX_Default", "Btn_ModM_SetAccess",
        "Btn_Channel_Map", "Btn_Dry_Run", "Btn_Report"};
    // The chain holds every widget; those that take the focus by Tab come in this order.
    QStringList chain;
    QWidget* widget = Control(order[0]);
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            chain.append(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != Control(order[0]));
    QStringList expected;
    for (const char* name : order)
        expected.append(name);
    EXPECT_EQ(chain, expected);
}

TEST_F(Start_Up, EditingStepsNeedAnOpenConfiguration) {
    Start();
    for (const char* name :
         {"Btn_Prm_Gen", "Btn_ModM_SetAccess", "Btn_DMX_Default", "Btn_CreateBin", "Btn_Report"}) {
        messages.Clear();
        Control<QPushButton>(name)->click();
        ASSERT_EQ(messages.record.size(), 1u) << name;
        EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
        EXPECT_EQ(messages.record[0].text, "Error! Project not Valid");
    }
}

TEST_F(Start_Up, CloseWritesTheSettings) {
    Start();
    window->show();
    app->Context().state.Last_IP_Address = "127.0.0.1";
    Control<QPushButton>("Btn_Close")->click();
    EXPECT_FALSE(window->isVisible());
    App_State read;
    read.Exe_Dir = folder.Path();
    Load_Setting(read);
    EXPECT_EQ(read.Last_IP_Address, "127.0.0.1");
}

TEST_F(Start_Up, ReportsSettingsThatCannotBeWrittenAndStillCloses) {
    Start();
    window->show();
    // A folder in the place of the settings file.
    QDir().mkpath(folder.File("Tessaro.xml"));
    window->close();
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_TRUE(messages.record[0].text.startsWith("Tessaro.xml: cannot be written: "))
        << messages.record[0].text.toStdString();
}

TEST_F(Start_Up, CompletesWithSettingsThatAreNotXml) {
    Write_Settings("this is not xml");
    Start();
    EXPECT_EQ(app->Context().state.Language, "English");
    EXPECT_EQ(Label("L_Begin"), "Begin");
    window->close();
    EXPECT_TRUE(Read_Text(folder.File("Tessaro.xml")).startsWith("<Conf_Settings>"));
}

TEST_F(Start_Up, WebLabelOpensTheHomePage) {
    QList<QUrl> opened;
    app = std::make_unique<Tessaro_App>(folder.Path(), &messages, [&](App_Context& ctx) {
        ctx.Open_Url = [&](const QUrl& url) { opened.append(url); };
    });
    app->Main_Window().L_VelmoraClick();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toString(), "http://www.velmora.com/HOME/default.asp?frompg=VC40362");
}

// An installed program: the executable in usr/bin, the shipped languages in
// usr/share/tessaro/LANGUAGE and the user's files in the per-user data folder.
TEST(Start_Up_Installed, KeepsTheUsersFilesInTheDataFolderAndOffersTheShippedLanguages) {
    Installed_Tree tree;
    const Scoped_Env data_home("XDG_DATA_HOME", tree.Data_Home());
    QCoreApplication::setApplicationName(QString::fromLatin1(Application_Name));
    Write_Text(tree.Shipped_Languages() + "/Italiano.lng", "//VERSION 2.05\nSTR0 = Inizio\n");
    Recording_Messages messages;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        Tessaro_App app(tree.Bin(), &messages);
        const App_State& state = app.Context().state;
        EXPECT_TRUE(state.Installed);
        EXPECT_EQ(state.Projects_Dir, tree.Data() + "/PROJECTS");
        for (const char* name : {"MASTER", "PROJECTS", "LANGUAGE"})
            EXPECT_TRUE(QDir(tree.Data() + "/" + name).exists()) << name;
        QLabel* begin = app.Main_Window().findChild<QLabel*>("L_Begin");
        ASSERT_NE(begin, nullptr);
        if (run == 0) {
            // A first start: English, and the settings are written into the data folder on
            // close.
            EXPECT_EQ(begin->text(), "Begin");
            app.Context().state.Language = "Italiano";
            app.Main_Window().close();
            EXPECT_TRUE(Read_Text(tree.Data() + "/Tessaro.xml").contains("Italiano"));
        } else {
            // The language chosen is read from the shipped folder.
            EXPECT_EQ(state.Language, "Italiano");
            EXPECT_EQ(state.Lang_Version, "2.05");
            EXPECT_EQ(begin->text(), "Inizio");
        }
    }
    EXPECT_TRUE(messages.record.empty());
    EXPECT_EQ(tree.Bin_Entries(), QStringList());
}

} // namespace
