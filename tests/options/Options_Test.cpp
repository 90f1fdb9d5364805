#include "Test_Http_Server.h"
#include "main_window/Tessaro_App.h"
#include "options_dialog/USoftOptions.h"
#include "state/Program_Folders.h"
#include "state/Settings.h"
#include "support/Installed_Tree.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"
#include "web/Version_Checker.h"
#include "widgets/Look.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString German_File = QString::fromUtf8("//VERSION 3.10\n"
                                              "STR15 = Neue Konfiguration\n"
                                              "STR9 = Keine Konfiguration\n"
                                              "STR300 = Software-Optionen\n"
                                              "STR301 = Optionen der Software\n"
                                              "STR302 = Sprache\n"
                                              "STR304 = ¶Gewählte Sprache : ¶\n"
                                              "STR305 = ¶Seite ¶\n"
                                              "STR306 = ¶ von ¶\n"
                                              "STR307 = Zurück\n"
                                              "STR308 = Weiter\n"
                                              "STR312 = OK\n"
                                              "STR313 = Abbrechen\n"
                                              "STR315 = Kein Update verfügbar\n"
                                              "STR316 = ¶Sprache wechseln von ¶\n"
                                              "STR317 = ¶ nach ¶\n"
                                              "STR318 = ¶?¶\n");

QImage Flag(QColor colour) {
    // A coloured square on a white background (the picture's transparent colour).
    QImage image(48, 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 8; y < 40; ++y)
        for (int x = 8; x < 40; ++x)
            image.setPixelColor(x, y, colour);
    return image;
}

class Options : public ::testing::Test {
protected:
    Options() { QDir().mkpath(folder.File("LANGUAGE")); }

    void Start() {
        app = std::make_unique<Tessaro_App>(folder.Path(), &messages, [this](App_Context& ctx) {
            ctx.Open_Url = [this](const QUrl& url) { opened.append(url); };
            ctx.Version_Query.host = QStringLiteral("127.0.0.1");
            ctx.Version_Query.port = server.Port();
        });
        main = &app->Main_Window();
        dialog = app->Windows().SoftOptions;
    }
    App_State& State() { return app->Context().state; }
    void Add_Language(const QString& name, const QString& text = QStringLiteral("STR0 = x\n")) {
        Write_Text(folder.File("LANGUAGE/" + name + ".lng"), text);
    }
    void Add_Flag(const QString& name, QColor colour) {
        ASSERT_TRUE(Flag(colour).save(folder.File("LANGUAGE/" + name + ".bmp"), "BMP"));
    }
    void Write_Settings(bool internet, bool update) {
        Write_Text(folder.File("Tessaro.xml"),
                   QStringLiteral("<Conf_Settings><lastinternet><enable_internet>%1"
                                  "</enable_internet><enable_update>%2</enable_update>"
                                  "</lastinternet></Conf_Settings>")
                       .arg(int(internet))
                       .arg(int(update)));
    }

    template <typename T = QWidget> T* Get(const char* name) {
        T* control = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    template <typename T = QWidget> T* Main_Control(const char* name) {
        T* control = main->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QString Text(const char* name) { return Get<QLabel>(name)->text(); }
    QLabel* Slot_Label(int k) { return Get<QLabel>(("L_L" + std::to_string(k)).c_str()); }
    QLabel* Slot_Picture(int k) { return Get<QLabel>(("I_L" + std::to_string(k)).c_str()); }
    // The names of the slots shown, in slot order.
    QStringList Shown_Slots() {
        QStringList names;
        for (int k = 1; k <= 6; ++k)
            if (!Slot_Label(k)->isHidden())
                names.append(Slot_Label(k)->text());
        return names;
    }
    // Opens the dialog from the main window's Options button; script acts on the shown dialog
    // and gives the button that closes it.
    void Run_Options(const std::function<QPushButton*()>& script) {
        app->Context().Show_Modal = [&](QDialog& shown) {
            shown.show();
            if (QPushButton* button = script())
                button->click();
            const int result = shown.result();
            shown.hide();
            return result;
        };
        Main_Control<QPushButton>("Btn_Opz")->click();
    }

    Temp_Folder folder;
    Recording_Messages messages;
    Test_Http_Server server;
    QList<QUrl> opened;
    std::unique_ptr<Tessaro_App> app;
    TFTessaroFirmWare* main = nullptr;
    TFSoftOptions* dialog = nullptr;
};

TEST_F(Options, LaysOutTheDialogWithTheEnglishTexts) {
    Start();
    dialog->show();
    EXPECT_EQ(dialog->size(), QSize(509, 373));
    EXPECT_EQ(dialog->windowTitle(), "Software Options");
    EXPECT_EQ(Text("L_SW_Code"), "VC40362");
    EXPECT_EQ(Text("L_SW_Desc"), "Software Options");
    auto* pages = Get<QTabWidget>("PC_Options");
    EXPECT_EQ(pages->tabText(0), "Language");
    EXPECT_EQ(pages->tabText(1), "Connection Options");
    EXPECT_EQ(pages->tabText(2), "Software Settings");
    EXPECT_EQ(pages->currentWidget(), Get("TS_Language"));
    const std::tuple<const char*, QRect, const char*> controls[] = {
        {"L_Sel_Lang", QRect(12, 11, 0, 0), "Selected Language : English"},
        {"I_L1", QRect(24, 40, 48, 48), nullptr},
        {"I_L2", QRect(26, 94, 48, 48), nullptr},
        {"I_L3", QRect(24, 148, 48, 48), nullptr},
        {"I_L4", QRect(254, 40, 48, 48), nullptr},
        {"I_L5", QRect(254, 94, 48, 48), nullptr},
        {"I_L6", QRect(254, 148, 48, 48), nullptr},
        {"L_L1", QRect(80, 56, 0, 0), nullptr},
        {"L_L2", QRect(80, 110, 0, 0), nullptr},
        {"L_L3", QRect(80, 164, 0, 0), nullptr},
        {"L_L4", QRect(310, 56, 0, 0), nullptr},
        {"L_L5", QRect(310, 110, 0, 0), nullptr},
        {"L_L6", QRect(310, 164, 0, 0), nullptr},
        {"Btn_Prev", QRect(12, 204, 110, 28), "Previous"},
        {"L_Page_Lang", QRect(220, 212, 0, 0), nullptr},
        {"Btn_Next", QRect(379, 205, 110, 28), "Next"},
        {"CB_En_Con", QRect(12, 16, 0, 0), "Enable Internet Connection"},
        {"CB_Update", QRect(36, 47, 0, 0), "Check Software Update at Start of Program"},
        {"Btn_Check_Update", QRect(36, 78, 204, 28), "Check Available Update"},
        {"LL_Check_Update", QRect(40, 120, 0, 0), nullptr},
        {"CB_Soft_Set_Jump_Table", QRect(12, 16, 0, 0),
         "Jump into next field in the tables by pressing the Enter Key"},
        {"CB_DoubleClick_Auto_Size", QRect(12, 39, 0, 0),
         "Enable Auto Size of Table Columns by Double Click"},
        {"P_Title", QRect(0, 0, 509, 69), nullptr},
        {"P_Button", QRect(0, 333, 509, 40), nullptr},
        {"Btn_OK", QRect(16, 6, 110, 28), "OK"},
        {"Btn_Cancel", QRect(134, 6, 110, 28), "Cancel"},
    };
    for (const auto& [name, geometry, text] : controls) {
        QWidget* control = Get(name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->pos(), geometry.topLeft()) << name;
        if (!geometry.size().isEmpty()) {
            EXPECT_EQ(control->size(), geometry.size()) << name;
        }
        if (!text)
            continue;
        if (auto* label = qobject_cast<QLabel*>(control)) {
            EXPECT_EQ(label->text(), text) << name;
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            EXPECT_EQ(button->text(), text) << name;
        }
    }
}

TEST_F(Options, BeforeItsFirstShowingTheDialogHasItsDesignTexts) {
    Start();
    EXPECT_EQ(Text("L_Sel_Lang"), "Selected Language : ");
    EXPECT_EQ(Text("L_Page_Lang"), "Page 1 / 1");
}

TEST_F(Options, SevenLanguagesGiveTwoPages) {
    for (const char* name : {"English", "Italiano", "deutsch", "Svenska", "Polski", "Norsk"})
        Add_Language(name);
    Add_Language(QString::fromUtf8("Français"));
    Start();
    dialog->show();
    EXPECT_EQ(dialog->SL_Languages,
              (QStringList{"deutsch.lng", "English.lng", QString::fromUtf8("Français.lng"),
                           "Italiano.lng", "Norsk.lng", "Polski.lng", "Svenska.lng"}));
    EXPECT_EQ(Shown_Slots(), (QStringList{"deutsch", "English", QString::fromUtf8("Français"),
                                          "Italiano", "Norsk", "Polski"}));
    EXPECT_EQ(Text("L_Page_Lang"), "Page 1 / 2");
    EXPECT_TRUE(Get("Btn_Prev")->isHidden());
    EXPECT_FALSE(Get("Btn_Next")->isHidden());

    Get<QPushButton>("Btn_Next")->click();
    EXPECT_EQ(dialog->Show_Page, 2);
    EXPECT_EQ(Shown_Slots(), QStringList{"Svenska"});
    EXPECT_TRUE(Slot_Picture(2)->isHidden());
    EXPECT_EQ(Text("L_Page_Lang"), "Page 2 / 2");
    EXPECT_FALSE(Get("Btn_Prev")->isHidden());
    EXPECT_TRUE(Get("Btn_Next")->isHidden());

    // Next does not go past the last page, Previous not before the first.
    dialog->Btn_NextClick(Get("Btn_Next"));
    EXPECT_EQ(dialog->Show_Page, 2);
    Get<QPushButton>("Btn_Prev")->click();
    EXPECT_EQ(dialog->Show_Page, 1);
    EXPECT_EQ(Shown_Slots().size(), 6);
    dialog->Btn_NextClick(Get("Btn_Prev"));
    EXPECT_EQ(dialog->Show_Page, 1);
    EXPECT_EQ(Text("L_Page_Lang"), "Page 1 / 2");

    // Every showing starts again on page 1.
    Get<QPushButton>("Btn_Next")->click();
    dialog->hide();
    dialog->show();
    EXPECT_EQ(dialog->Show_Page, 1);
    EXPECT_EQ(Shown_Slots().size(), 6);
}

TEST_F(Options, SixLanguagesFitOnePage) {
    for (const char* name : {"A", "B", "C", "D", "E", "F"})
        Add_Language(name);
    Start();
    dialog->show();
    EXPECT_EQ(Shown_Slots(), (QStringList{"A", "B", "C", "D", "E", "F"}));
    EXPECT_EQ(Text("L_Page_Lang"), "Page 1 / 1");
    EXPECT_TRUE(Get("Btn_Prev")->isHidden());
    EXPECT_TRUE(Get("Btn_Next")->isHidden());
}

TEST_F(Options, WithoutLanguageFilesNoSlotIsShownAndNextStaysOnPageOne) {
    Start();
    dialog->show();
    EXPECT_TRUE(dialog->SL_Languages.isEmpty());
    EXPECT_TRUE(Shown_Slots().isEmpty());
    EXPECT_TRUE(Get("Btn_Prev")->isHidden());
    dialog->Btn_NextClick(Get("Btn_Next"));
    EXPECT_EQ(dialog->Show_Page, 1);
}

TEST_F(Options, LeavesOutReadOnlyFilesAndFolders) {
    Add_Language("English");
    Add_Language("Locked");
    QFile::setPermissions(folder.File("LANGUAGE/Locked.lng"), QFile::ReadOwner | QFile::ReadUser);
    QDir().mkpath(folder.File("LANGUAGE/Folder.lng"));
    Start();
    dialog->show();
    EXPECT_EQ(dialog->SL_Languages, QStringList{"English.lng"});
}

TEST_F(Options, ShowsEachFlagOrTheDefaultFlagOrNone) {
    for (const char* name : {"Deutsch", "English", "Italiano"})
        Add_Language(name);
    Add_Flag("Italiano", Qt::green);
    Add_Flag("DefaultFlag", Qt::blue);
    Write_Bytes(folder.File("LANGUAGE/Deutsch.bmp"), "not a picture");
    Start();
    dialog->show();
    auto centre = [&](int k) { return Slot_Picture(k)->pixmap().toImage().pixelColor(24, 24); };
    // Deutsch's own flag cannot be read: the default flag stands in, as for English.
    for (int k = 1; k <= 3; ++k)
        EXPECT_FALSE(Slot_Picture(k)->isHidden()) << k;
    EXPECT_EQ(centre(1), QColor(Qt::blue));
    EXPECT_EQ(centre(2), QColor(Qt::blue));
    EXPECT_EQ(centre(3), QColor(Qt::green));
    // The picture's background colour is transparent.
    EXPECT_EQ(Slot_Picture(3)->pixmap().toImage().pixelColor(1, 1).alpha(), 0);
    EXPECT_EQ(Slot_Picture(3)->pixmap().toImage().pixelColor(24, 24).alpha(), 255);

    QFile::remove(folder.File("LANGUAGE/DefaultFlag.bmp"));
    dialog->hide();
    dialog->show();
    EXPECT_TRUE(Slot_Picture(1)->isHidden());
    EXPECT_TRUE(Slot_Picture(2)->isHidden());
    EXPECT_FALSE(Slot_Picture(3)->isHidden());
    EXPECT_EQ(Shown_Slots(), (QStringList{"Deutsch", "English", "Italiano"}));
}

// An installed program offers the user's languages and the shipped ones in one list; a user's
// file of the same name wins, and each flag comes from its language's folder if it can.
TEST(Options_Installed, OffersTheUsersAndTheShippedLanguagesInOneList) {
    Installed_Tree tree;
    const Scoped_Env data_home("XDG_DATA_HOME", tree.Data_Home());
    QCoreApplication::setApplicationName(QString::fromLatin1(Application_Name));
    const QString shipped = tree.Shipped_Languages() + "/";
    const QString user = tree.Data() + "/LANGUAGE/";
    for (const char* name : {"English", "Deutsch", "Italiano"})
        Write_Text(shipped + name + ".lng", QStringLiteral("STR15 = %1 (shipped)\n").arg(name));
    ASSERT_TRUE(Flag(Qt::blue).save(shipped + "Italiano.bmp", "BMP"));
    ASSERT_TRUE(Flag(Qt::red).save(shipped + "DefaultFlag.bmp", "BMP"));
    Write_Text(user + "Italiano.lng", "STR15 = Nuova (mia)\n");
    Write_Text(user + "Sardu.lng", "STR15 = Noa\n");
    ASSERT_TRUE(Flag(Qt::green).save(user + "Deutsch.bmp", "BMP"));

    Recording_Messages messages;
    Tessaro_App app(tree.Bin(), &messages);
    TFSoftOptions* dialog = app.Windows().SoftOptions;
    dialog->show();
    EXPECT_EQ(dialog->SL_Languages,
              QStringList({"Deutsch.lng", "English.lng", "Italiano.lng", "Sardu.lng"}));
    const auto flag = [dialog](int k) {
        const QLabel* picture = dialog->findChild<QLabel*>(QStringLiteral("I_L%1").arg(k));
        return picture->pixmap().toImage().pixelColor(24, 24);
    };
    // Deutsch takes the user's flag, Italiano (the user's file) the shipped one, English and
    // Sardu the shipped default flag.
    EXPECT_EQ(flag(1), QColor(Qt::green));
    EXPECT_EQ(flag(2), QColor(Qt::red));
    EXPECT_EQ(flag(3), QColor(Qt::blue));
    EXPECT_EQ(flag(4), QColor(Qt::red));

    messages.answers = {true, true};
    dialog->LangClick(3);
    QPushButton* btn_new = app.Main_Window().findChild<QPushButton*>("Btn_New");
    EXPECT_EQ(btn_new->text(), "Nuova (mia)");
    dialog->LangClick(1);
    EXPECT_EQ(btn_new->text(), "Deutsch (shipped)");
    EXPECT_EQ(tree.Bin_Entries(), QStringList());
}

TEST_F(Options, ChangingTheLanguageAsksAndRetextsTheWindows) {
    Add_Language("English");
    Add_Language("Deutsch", German_File);
    Start();
    dialog->show();
    ASSERT_EQ(Slot_Label(1)->text(), "Deutsch");

    // No: nothing changes.
    messages.answers = {false};
    QTest::mouseClick(Slot_Label(1), Qt::LeftButton);
    ASSERT_EQ(messages.Texts(),
              QStringList{"Do you want to change the Language from English to Deutsch?"});
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Confirm);
    EXPECT_EQ(dialog->Language_In_Use, "English");
    EXPECT_EQ(Main_Control<QPushButton>("Btn_New")->text(), "New Configuration");

    // Yes, through the flag this time.
    messages.Clear();
    messages.answers = {true};
    Add_Flag("Deutsch", Qt::red);
    dialog->Update_Lang_Page(1);
    QTest::mouseClick(Slot_Picture(1), Qt::LeftButton);
    EXPECT_EQ(messages.Texts(),
              QStringList{"Do you want to change the Language from English to Deutsch?"});
    EXPECT_EQ(dialog->Language_In_Use, "Deutsch");
    EXPECT_EQ(State().Language, "English"); // until OK
    EXPECT_EQ(State().Lang_Version, "3.10");
    EXPECT_EQ(Main_Control<QPushButton>("Btn_New")->text(), "Neue Konfiguration");
    EXPECT_EQ(Main_Control<QPushButton>("Btn_ModM_SetAccess")->text(), "Set Access");
    // The configuration labels keep their texts until a configuration is opened.
    EXPECT_EQ(Main_Control<QLabel>("L_Name_Conf")->text(), "None Configuration Opened ");
    EXPECT_EQ(dialog->windowTitle(), "Software-Optionen");
    EXPECT_EQ(Text("L_SW_Desc"), "Optionen der Software");
    EXPECT_EQ(Get<QTabWidget>("PC_Options")->tabText(0), "Sprache");
    EXPECT_EQ(Text("L_Sel_Lang"), QString::fromUtf8("Gewählte Sprache : Deutsch"));
    EXPECT_EQ(Text("L_Page_Lang"), "Seite 1 von 1");
    EXPECT_EQ(Get<QPushButton>("Btn_Cancel")->text(), "Abbrechen");
    // Entries the file does not name are English again.
    EXPECT_EQ(Get<QCheckBox>("CB_En_Con")->text(), "Enable Internet Connection");

    // The next question is in the new language.
    messages.Clear();
    messages.answers = {false};
    dialog->LangClick(2);
    EXPECT_EQ(messages.Texts(), QStringList{"Sprache wechseln von Deutsch nach English?"});
}

TEST_F(Options, TheLanguageInUseIsAskedForAndReloaded) {
    Add_Language("English", "STR15 = New Setup\n");
    Start();
    EXPECT_EQ(Main_Control<QPushButton>("Btn_New")->text(), "New Setup");
    dialog->show();
    Add_Language("English", "//VERSION 1.5\nSTR15 = Fresh Setup\n");
    messages.answers = {true};
    dialog->LangClick(1);
    EXPECT_EQ(messages.Texts(),
              QStringList{"Do you want to change the Language from English to English?"});
    EXPECT_EQ(Main_Control<QPushButton>("Btn_New")->text(), "Fresh Setup");
    EXPECT_EQ(State().Lang_Version, "1.5");
}

TEST_F(Options, AChangeOnPageTwoKeepsThePageLabelOfPageTwo) {
    for (const char* name : {"A", "B", "C", "D", "E", "English"})
        Add_Language(name);
    Add_Language("Zulu", German_File);
    Start();
    dialog->show();
    Get<QPushButton>("Btn_Next")->click();
    messages.answers = {true};
    dialog->LangClick(1);
    EXPECT_EQ(Text("L_Page_Lang"), "Seite 2 von 2");
    EXPECT_EQ(Shown_Slots(), QStringList{"Zulu"});
    EXPECT_EQ(Get<QPushButton>("Btn_Prev")->text(), QString::fromUtf8("Zurück"));
}

TEST_F(Options, OkKeepsTheNewLanguageAndSavesIt) {
    Add_Language("English");
    Add_Language("Deutsch", German_File);
    Start();
    Run_Options([&] {
        messages.answers = {true};
        dialog->LangClick(1);
        return Get<QPushButton>("Btn_OK");
    });
    EXPECT_EQ(State().Language, "Deutsch");
    EXPECT_EQ(Main_Control<QPushButton>("Btn_New")->text(), "Neue Konfiguration");
    App_State saved;
    saved.Exe_Dir = folder.Path();
    Load_Setting(saved);
    EXPECT_EQ(saved.Language, "Deutsch");
}

TEST_F(Options, CancelAfterALanguageChangeBringsBackThePreviousTexts) {
    Add_Language("English", "//VERSION 1.0\nSTR15 = New Setup\n");
    Add_Language("Deutsch", German_File);
    Start();
    for (const char* how : {"Cancel", "Escape", "frame"}) {
        Run_Options([&]() -> QPushButton* {
            messages.answers = {true};
            dialog->LangClick(1);
            EXPECT_EQ(Main_Control<QPushButton>("Btn_New")->text(), "Neue Konfiguration");
            if (how == std::string("Cancel"))
                return Get<QPushButton>("Btn_Cancel");
            if (how == std::string("Escape"))
                QTest::keyClick(dialog, Qt::Key_Escape);
            else
                dialog->close();
            return nullptr;
        });
        EXPECT_EQ(State().Language, "English") << how;
        EXPECT_EQ(State().Lang_Version, "1.0") << how;
        EXPECT_EQ(Main_Control<QPushButton>("Btn_New")->text(), "New Setup") << how;
        EXPECT_EQ(dialog->windowTitle(), "Software Options") << how;
        EXPECT_EQ(Get<QPushButton>("Btn_Cancel")->text(), "Cancel") << how;
    }
    // Cancel writes no settings.
    EXPECT_FALSE(QFile::exists(folder.File("Tessaro.xml")));
}

TEST_F(Options, CheckBoxesEnableTheUpdateControls) {
    Start();
    dialog->show();
    auto* internet = Get<QCheckBox>("CB_En_Con");
    auto* update = Get<QCheckBox>("CB_Update");
    auto* check = Get<QPushButton>("Btn_Check_Update");
    struct Case {
        bool internet, update;
        bool update_enabled, check_enabled;
    };
    const Case cases[] = {
        {false, false, false, false},
        {false, true, false, false},
        {true, false, true, false},
        {true, true, true, true},
    };
    for (const Case& c : cases) {
        internet->setChecked(c.internet);
        update->setChecked(c.update);
        EXPECT_EQ(update->isEnabled(), c.update_enabled) << c.internet << c.update;
        EXPECT_EQ(check->isEnabled(), c.check_enabled) << c.internet << c.update;
        // The rule never changes what is checked.
        EXPECT_EQ(update->isChecked(), c.update);
    }
    // Unchecking and checking internet again by the mouse.
    internet->setChecked(true);
    update->setChecked(true);
    QTest::mouseClick(internet, Qt::LeftButton, {}, QPoint(5, internet->height() / 2));
    EXPECT_FALSE(internet->isChecked());
    EXPECT_FALSE(update->isEnabled());
    EXPECT_FALSE(check->isEnabled());
    EXPECT_TRUE(update->isChecked());
    QTest::mouseClick(internet, Qt::LeftButton, {}, QPoint(5, internet->height() / 2));
    EXPECT_TRUE(update->isEnabled());
    EXPECT_TRUE(check->isEnabled());
}

TEST_F(Options, ShowingTakesTheOptionsOfTheProgram) {
    Start();
    State().Enable_Internet = false;
    State().Enable_Update = true;
    State().Enable_Jump_Field_Tables = true;
    State().Double_Click_Auto_Size = false;
    Get<QTabWidget>("PC_Options")->setCurrentIndex(2);
    dialog->show();
    EXPECT_EQ(Get<QTabWidget>("PC_Options")->currentWidget(), Get("TS_Language"));
    EXPECT_FALSE(Get<QCheckBox>("CB_En_Con")->isChecked());
    EXPECT_TRUE(Get<QCheckBox>("CB_Update")->isChecked());
    EXPECT_FALSE(Get<QCheckBox>("CB_Update")->isEnabled());
    EXPECT_FALSE(Get<QPushButton>("Btn_Check_Update")->isEnabled());
    EXPECT_TRUE(Get<QCheckBox>("CB_Soft_Set_Jump_Table")->isChecked());
    EXPECT_FALSE(Get<QCheckBox>("CB_DoubleClick_Auto_Size")->isChecked());
    EXPECT_TRUE(Get("LL_Check_Update")->isHidden());
}

TEST_F(Options, OkStoresTheOptionsAndSwitchesTheUpdateTimer) {
    Write_Settings(true, true);
    Start();
    QTimer* timer = main->Timer_Update();
    ASSERT_TRUE(timer->isActive());
    // Internet on, update off: the timer stops; a disabled but checked box would be stored
    // as checked.
    Run_Options([&] {
        Get<QCheckBox>("CB_Update")->setChecked(false);
        Get<QCheckBox>("CB_Soft_Set_Jump_Table")->setChecked(true);
        return Get<QPushButton>("Btn_OK");
    });
    EXPECT_TRUE(State().Enable_Internet);
    EXPECT_FALSE(State().Enable_Update);
    EXPECT_TRUE(State().Enable_Jump_Field_Tables);
    EXPECT_FALSE(timer->isActive());

    Run_Options([&] {
        Get<QCheckBox>("CB_Update")->setChecked(true);
        Get<QCheckBox>("CB_En_Con")->setChecked(false);
        return Get<QPushButton>("Btn_OK");
    });
    EXPECT_FALSE(State().Enable_Internet);
    EXPECT_TRUE(State().Enable_Update);
    EXPECT_FALSE(timer->isActive());
    App_State saved;
    saved.Exe_Dir = folder.Path();
    Load_Setting(saved);
    EXPECT_FALSE(saved.Enable_Internet);
    EXPECT_TRUE(saved.Enable_Update);
    EXPECT_TRUE(saved.Enable_Jump_Field_Tables);

    Run_Options([&] {
        Get<QCheckBox>("CB_En_Con")->setChecked(true);
        return Get<QPushButton>("Btn_OK");
    });
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 60000);

    // Cancel touches neither the options nor the timer.
    Run_Options([&] {
        Get<QCheckBox>("CB_En_Con")->setChecked(false);
        return Get<QPushButton>("Btn_Cancel");
    });
    EXPECT_TRUE(State().Enable_Internet);
    EXPECT_TRUE(timer->isActive());
}

TEST_F(Options, CheckAvailableUpdateShowsTheResult) {
    Start();
    State().Enable_Internet = true;
    State().Enable_Update = true;
    dialog->show();
    auto* button = Get<QPushButton>("Btn_Check_Update");
    auto* link = Get<QLabel>("LL_Check_Update");
    ASSERT_TRUE(button->isEnabled());

    server.answer.hold = true;
    server.answer.body = "VER. 1.002";
    button->click();
    EXPECT_TRUE(dialog->Check_Running());
    EXPECT_FALSE(button->isEnabled());
    ASSERT_TRUE(Wait_Until([&] { return server.requests.size() == 1; }));
    server.Release();
    ASSERT_TRUE(Wait_Until([&] { return !dialog->Check_Running(); }));
    EXPECT_TRUE(button->isEnabled());
    EXPECT_FALSE(link->isHidden());
    EXPECT_EQ(link->text(), "<a href=\"http://www.velmora.com/Home/download/download.asp#VD40362\">"
                            "New Version Available. Click Here for more Details</a>");
    emit link->linkActivated(
        QStringLiteral("http://www.velmora.com/Home/download/download.asp#VD40362"));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toString(), "http://www.velmora.com/Home/download/download.asp#VD40362");

    server.answer.hold = false;
    server.answer.body = "VER. 1.001";
    dialog->Btn_Check_UpdateClick();
    ASSERT_TRUE(Wait_Until([&] { return !dialog->Check_Running(); }));
    EXPECT_EQ(link->text(), "No Update Available");
    EXPECT_EQ(link->textFormat(), Qt::PlainText);
    EXPECT_TRUE(messages.record.empty());
}

TEST_F(Options, ARefusedCheckShowsNoUpdateAndNoMessage) {
    Start();
    app->Context().Version_Query.port = Test_Http_Server::Closed_Port();
    dialog->show();
    dialog->Btn_Check_UpdateClick();
    ASSERT_TRUE(Wait_Until([&] { return !dialog->Check_Running(); }));
    EXPECT_EQ(Text("LL_Check_Update"), "No Update Available");
    EXPECT_FALSE(Get("LL_Check_Update")->isHidden());
    EXPECT_TRUE(messages.record.empty());
}

TEST_F(Options, ClosingTheDialogDropsItsRunningCheck) {
    Start();
    dialog->show();
    server.answer.hold = true;
    dialog->Btn_Check_UpdateClick();
    ASSERT_TRUE(Wait_Until([&] { return server.requests.size() == 1; }));
    dialog->reject();
    EXPECT_FALSE(dialog->Check_Running());
    State().Enable_Internet = true;
    State().Enable_Update = true;
    dialog->show();
    EXPECT_TRUE(Get("Btn_Check_Update")->isEnabled());
    EXPECT_TRUE(Get("LL_Check_Update")->isHidden());
}

class Update_Timer : public Options {
protected:
    void Start_With_Updates() {
        Write_Settings(true, true);
        Start();
        link = Main_Control<QLabel>("LL_Update");
        timer = main->Timer_Update();
    }
    void Wait_For_Timer() {
        ASSERT_TRUE(Wait_Until([&] { return timer->isActive(); }));
    }
    QLabel* link = nullptr;
    QTimer* timer = nullptr;
};

TEST_F(Update_Timer, ATickShowsTheLinkAndWaitsTwoHours) {
    Start_With_Updates();
    server.answer.body = "VER. 1.002";
    // The timer's own tick runs the check.
    timer->start(1);
    ASSERT_TRUE(Wait_Until([&] { return server.requests.size() == 1; }));
    Wait_For_Timer();
    EXPECT_EQ(timer->interval(), 7200000);
    EXPECT_FALSE(link->isHidden());
    EXPECT_EQ(link->text(), "<a href=\"http://www.velmora.com/Home/download/download.asp#VD40362\">"
                            "New Version Available. Click Here for more Details</a>");
    emit link->linkActivated(
        QStringLiteral("http://www.velmora.com/Home/download/download.asp#VD40362"));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toString(), "http://www.velmora.com/Home/download/download.asp#VD40362");

    server.answer.body = "VER. 1.001";
    main->Timer_UpdateTimer();
    EXPECT_FALSE(timer->isActive());
    Wait_For_Timer();
    EXPECT_TRUE(link->isHidden());
    EXPECT_EQ(server.requests.size(), 2);
    EXPECT_TRUE(messages.record.empty());
}

TEST_F(Update_Timer, ATickNeverStartsASecondCheck) {
    Start_With_Updates();
    server.answer.hold = true;
    server.answer.body = "VER. 1.002";
    main->Timer_UpdateTimer();
    ASSERT_TRUE(Wait_Until([&] { return server.requests.size() == 1; }));
    EXPECT_FALSE(timer->isActive());
    main->Timer_UpdateTimer();
    main->Set_Update_Timer(true); // the options switched on again during the check
    main->Timer_UpdateTimer();
    Wait_Until([] { return false; }, 200);
    EXPECT_EQ(server.requests.size(), 1);
    server.Release();
    Wait_For_Timer();
    EXPECT_FALSE(link->isHidden());
    EXPECT_EQ(server.requests.size(), 1);
}

TEST_F(Update_Timer, AFailedCheckHidesTheLink) {
    Start_With_Updates();
    server.answer.body = "VER. 1.002";
    main->Timer_UpdateTimer();
    Wait_For_Timer();
    ASSERT_FALSE(link->isHidden());
    app->Context().Version_Query.port = Test_Http_Server::Closed_Port();
    main->Timer_UpdateTimer();
    Wait_For_Timer();
    EXPECT_TRUE(link->isHidden());
    EXPECT_TRUE(messages.record.empty());
}

TEST_F(Update_Timer, StaysOffWhenTheOptionsWereTurnedOffDuringTheCheck) {
    Start_With_Updates();
    server.answer.hold = true;
    main->Timer_UpdateTimer();
    ASSERT_TRUE(Wait_Until([&] { return server.requests.size() == 1; }));
    Run_Options([&] {
        Get<QCheckBox>("CB_Update")->setChecked(false);
        return Get<QPushButton>("Btn_OK");
    });
    server.Release();
    ASSERT_TRUE(Wait_Until([&] { return !main->findChild<Version_Checker*>("HTTP1")->Running(); }));
    EXPECT_FALSE(timer->isActive());
}

} // namespace
