// The main window's steps with the New, Open and About windows, driven through the main window's
// buttons with a modal showing that the test scripts.
#include "lang/Language_File.h"
#include "main_window/Tessaro_App.h"
#include "options_dialog/USoftOptions.h"
#include "project_dialogs/UAbout.h"
#include "project_dialogs/UNew_Project.h"
#include "project_dialogs/UOpenConf.h"
#include "state/Configurations.h"
#include "state/Settings.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

class Shell_Flows : public ::testing::Test {
protected:
    void Start() {
        app = std::make_unique<Tessaro_App>(folder.Path(), &messages, [this](App_Context& ctx) {
            ctx.Show_Modal = [this](QDialog& dialog) {
                shown.append(dialog.objectName());
                if (!act)
                    return int(QDialog::Rejected);
                dialog.show();
                act(dialog);
                // A dialog still open when the script is done is closed as by its close box.
                if (dialog.isVisible())
                    dialog.reject();
                return dialog.result();
            };
            ctx.Open_Url = [this](const QUrl& url) { opened.append(url); };
        });
        window = &app->Main_Window();
    }
    void Click(const char* button) {
        auto* control = window->findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(control, nullptr) << button;
        control->click();
    }
    QString Label(const char* name) {
        auto* label = window->findChild<QLabel*>(QString::fromLatin1(name));
        return label ? label->text() : QStringLiteral("<missing>");
    }
    template <typename T> static T* Child(QDialog& dialog, const char* name) {
        T* child = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QString Projects() const { return folder.File("PROJECTS"); }
    const App_State& State() { return app->Context().state; }
    void Expect_No_Configuration_Open() {
        EXPECT_EQ(State().Project_Dir, "");
        EXPECT_EQ(Label("L_Name_Conf"), "None Configuration Opened ");
        EXPECT_EQ(Label("L_Name_Conf_L2"), "Use Step1 to open or create new configuration");
    }
    void Expect_Open(const QString& name) {
        EXPECT_EQ(State().Project_Name, name);
        EXPECT_EQ(State().Project_Dir, Projects() + "/" + name);
        EXPECT_EQ(State().ParGen_File, Projects() + "/" + name + "/ParGen.xml");
        EXPECT_EQ(Label("L_Name_Conf"), "Opened Configuration of the Converter : ");
        EXPECT_EQ(Label("L_Name_Conf_L2"), name);
    }

    Temp_Folder folder;
    Recording_Messages messages;
    std::unique_ptr<Tessaro_App> app;
    TFTessaroFirmWare* window = nullptr;
    // What the user does in a dialog shown modally; none: the dialog is closed at once.
    std::function<void(QDialog&)> act;
    QStringList shown;
    QList<QUrl> opened;
};

// ---- the gate

TEST_F(Shell_Flows, WithoutConfigurationOnlyStepOneInformationOptionsAndCloseWork) {
    Start();
    window->show();
    const std::pair<const char*, const char*> open_steps[] = {
        {"Btn_New", "TFNew_Project"},
        {"Btn_Open", "TFOpenConf"},
        {"Btn_Info", "TFAbout"},
        {"Btn_Opz", "TFSoftOptions"},
    };
    for (const auto& [button, dialog] : open_steps) {
        shown.clear();
        Click(button);
        EXPECT_EQ(shown, QStringList{dialog}) << button;
    }
    EXPECT_TRUE(messages.record.empty());
    for (const char* button :
         {"Btn_Prm_Gen", "Btn_ModM_SetAccess", "Btn_DMX_Default", "Btn_CreateBin"}) {
        shown.clear();
        messages.Clear();
        Click(button);
        EXPECT_TRUE(shown.isEmpty()) << button;
        EXPECT_EQ(messages.Texts(), QStringList{"Error! Project not Valid"}) << button;
    }
    EXPECT_FALSE(
        QDir(folder.File("PROJECTS")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
    Click("Btn_Close");
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(QFile::exists(folder.File("Tessaro.xml")));
}

TEST_F(Shell_Flows, WithAConfigurationOpenEachEditingStepOpensItsDialog) {
    QDir().mkpath(folder.File("PROJECTS/Plant"));
    Write_Text(
        folder.File("Tessaro.xml"),
        "<Conf_Settings><lastproj><projectname>Plant</projectname></lastproj></Conf_Settings>");
    Start();
    const std::pair<const char*, const char*> steps[] = {
        {"Btn_Prm_Gen", "TFParGen"},
        {"Btn_ModM_SetAccess", "TFModbus_TCP_Master_Set_Access"},
        {"Btn_DMX_Default", "TFDMXDefVal"},
    };
    for (const auto& [button, dialog] : steps) {
        shown.clear();
        Click(button);
        EXPECT_EQ(shown, QStringList{dialog}) << button;
    }
    EXPECT_TRUE(messages.record.empty()) << messages.Texts().join('\n').toStdString();
}

// ---- New configuration

TEST_F(Shell_Flows, NewWithAValidNameCreatesAndOpensTheConfiguration) {
    Start();
    act = [](QDialog& dialog) {
        Child<QLineEdit>(dialog, "E_New_Proj")->setText("Plant 7");
        Child<QPushButton>(dialog, "Btn_OK")->click();
    };
    Click("Btn_New");
    EXPECT_TRUE(QDir(Projects() + "/Plant 7/bin").exists());
    Expect_Open("Plant 7");
    EXPECT_TRUE(messages.record.empty());
    EXPECT_FALSE(app->Windows().New_Project->isVisible());
    // The editing steps now pass the gate.
    shown.clear();
    act = nullptr;
    Click("Btn_Prm_Gen");
    EXPECT_EQ(shown, QStringList{"TFParGen"});
    EXPECT_TRUE(messages.record.empty());
}

TEST_F(Shell_Flows, NewReportsRefusedNamesInOrderAndStaysOpen) {
    QDir().mkpath(folder.File("PROJECTS/Existing"));
    Start();
    const QStringList before = QDir(folder.Path()).entryList(QDir::AllEntries);
    const std::pair<const char*, const char*> cases[] = {
        {"", "Error! Name Project is not valid"},
        {"Existing", "Error! Name project is not valid because directory already exists"},
        {"Existing/Inner", "Error! Name project is not valid"},
        {"Existing\\Inner", "Error! Name project is not valid"},
        {"..", "Error! Name project is not valid"},
        {"../Outside", "Error! Name project is not valid"},
    };
    for (const auto& [name, message] : cases) {
        messages.Clear();
        bool still_open = false;
        QString kept;
        act = [&](QDialog& dialog) {
            auto* edit = Child<QLineEdit>(dialog, "E_New_Proj");
            edit->setText(name);
            Child<QPushButton>(dialog, "Btn_OK")->click();
            still_open = dialog.isVisible();
            kept = edit->text();
        };
        Click("Btn_New");
        EXPECT_EQ(messages.Texts(), QStringList{message}) << name;
        EXPECT_EQ(messages.record.at(0).kind, Recording_Messages::Kind::Error);
        EXPECT_TRUE(still_open) << name;
        EXPECT_EQ(kept, name);
        Expect_No_Configuration_Open();
    }
    // Nothing was created anywhere.
    EXPECT_EQ(QDir(Projects()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"Existing"});
    EXPECT_TRUE(QDir(Projects() + "/Existing").isEmpty());
    EXPECT_EQ(QDir(folder.Path()).entryList(QDir::AllEntries), before);
}

TEST_F(Shell_Flows, EnterInTheNameFieldActsAsOk) {
    Start();
    act = [](QDialog& dialog) {
        auto* edit = Child<QLineEdit>(dialog, "E_New_Proj");
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        QTest::keyClicks(edit, "Stage");
        QTest::keyClick(edit, Qt::Key_Enter);
    };
    Click("Btn_New");
    EXPECT_EQ(messages.Texts(), QStringList{"Error! Name Project is not valid"});
    EXPECT_TRUE(QDir(Projects() + "/Stage/bin").exists());
    Expect_Open("Stage");
}

TEST_F(Shell_Flows, NewStartsWithAnEmptyFieldEveryTime) {
    Start();
    act = [](QDialog& dialog) {
        auto* edit = Child<QLineEdit>(dialog, "E_New_Proj");
        EXPECT_EQ(edit->text(), "");
        edit->setText("First");
        Child<QPushButton>(dialog, "Btn_OK")->click();
    };
    Click("Btn_New");
    Expect_Open("First");
    QString at_second_showing = "<not shown>";
    act = [&](QDialog& dialog) {
        at_second_showing = Child<QLineEdit>(dialog, "E_New_Proj")->text();
        Child<QLineEdit>(dialog, "E_New_Proj")->setText("Typed then cancelled");
    };
    Click("Btn_New");
    EXPECT_EQ(at_second_showing, "");
    act = [&](QDialog& dialog) {
        at_second_showing = Child<QLineEdit>(dialog, "E_New_Proj")->text();
    };
    Click("Btn_New");
    EXPECT_EQ(at_second_showing, "");
}

TEST_F(Shell_Flows, NewCancelChangesNothing) {
    QDir().mkpath(folder.File("PROJECTS/Plant"));
    Write_Text(folder.File("Tessaro.xml"),
               "<Conf_Settings><lastproj><projectname>Plant</projectname></lastproj>"
               "</Conf_Settings>");
    Start();
    for (const char* how : {"Btn_Cancel", "close box"}) {
        act = [&](QDialog& dialog) {
            Child<QLineEdit>(dialog, "E_New_Proj")->setText("Other");
            if (QString(how) == "Btn_Cancel")
                Child<QPushButton>(dialog, "Btn_Cancel")->click();
            else
                dialog.close();
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(dialog.result(), QDialog::Rejected);
        };
        Click("Btn_New");
        Expect_Open("Plant");
        EXPECT_FALSE(QDir(Projects() + "/Other").exists()) << how;
    }
}

// ---- Open configuration

TEST_F(Shell_Flows, OpenOnAnEmptyListLeavesNoConfigurationOpen) {
    Start();
    act = [](QDialog& dialog) {
        EXPECT_EQ(Child<QListWidget>(dialog, "ListBox1")->count(), 0);
        Child<QPushButton>(dialog, "Btn_OK")->click();
    };
    Click("Btn_Open");
    Expect_No_Configuration_Open();
    EXPECT_EQ(State().Project_Name, "");
    Click("Btn_DMX_Default");
    EXPECT_EQ(messages.Texts(), QStringList{"Error! Project not Valid"});
}

TEST_F(Shell_Flows, OpenOnAnEmptyListDoesNotReopenAnEarlierChoice) {
    QDir().mkpath(folder.File("PROJECTS/Gone soon"));
    Start();
    act = [](QDialog& dialog) { Child<QPushButton>(dialog, "Btn_OK")->click(); };
    Click("Btn_Open");
    Expect_Open("Gone soon");
    QDir(folder.File("PROJECTS/Gone soon")).removeRecursively();
    Click("Btn_Open");
    EXPECT_EQ(app->Windows().OpenConf->Name_Conf, "");
    Expect_No_Configuration_Open();
}

TEST_F(Shell_Flows, OpenPreSelectsTheOpenFolderWhateverItsLetterCase) {
    for (const char* name : {"alpha", "Plant", "zeta"})
        QDir().mkpath(Projects() + "/" + name);
    Start();
    // A folder that is not listed first, opened in upper case as on a file system that ignores
    // letter case.
    const QString target = Existing_Configurations(Projects()).value(1);
    ASSERT_NE(target.toUpper(), target);
    App_State& state = app->Context().state;
    state.Project_Name = target.toUpper();
    state.Project_Dir = Projects() + "/" + target.toUpper();
    QString selected;
    act = [&](QDialog& dialog) {
        auto* list = Child<QListWidget>(dialog, "ListBox1");
        selected = list->currentItem() ? list->currentItem()->text() : QString();
        EXPECT_EQ(list->selectedItems().size(), 1);
        Child<QPushButton>(dialog, "Btn_OK")->click();
    };
    Click("Btn_Open");
    EXPECT_EQ(selected, target);
    Expect_Open(target);
}

TEST_F(Shell_Flows, OpenWithoutConfigurationPreSelectsTheFirstListed) {
    for (const char* name : {"One", "Two", "Three"})
        QDir().mkpath(Projects() + "/" + name);
    Write_Text(Projects() + "/Readme.txt", "a file");
    Start();
    QStringList listed;
    act = [&](QDialog& dialog) {
        auto* list = Child<QListWidget>(dialog, "ListBox1");
        for (int i = 0; i < list->count(); ++i)
            listed.append(list->item(i)->text());
        EXPECT_EQ(list->currentRow(), 0);
        Child<QPushButton>(dialog, "Btn_OK")->click();
    };
    Click("Btn_Open");
    EXPECT_EQ(listed, app->Windows().OpenConf->Configurations());
    EXPECT_EQ(QSet<QString>(listed.begin(), listed.end()), QSet<QString>({"One", "Two", "Three"}));
    Expect_Open(listed.value(0));
}

TEST_F(Shell_Flows, OpenFollowsTheSelectionAndTheDisk) {
    for (const char* name : {"One", "Two"})
        QDir().mkpath(Projects() + "/" + name);
    Start();
    act = [&](QDialog& dialog) {
        auto* list = Child<QListWidget>(dialog, "ListBox1");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        Child<QPushButton>(dialog, "Btn_OK")->click();
    };
    Click("Btn_Open");
    const QStringList listed = app->Windows().OpenConf->Configurations();
    ASSERT_EQ(listed.size(), 2);
    Expect_Open(listed[1]);

    // A folder made outside the program shows at the next showing; a double click opens it.
    QDir().mkpath(Projects() + "/Three");
    act = [&](QDialog& dialog) {
        auto* list = Child<QListWidget>(dialog, "ListBox1");
        EXPECT_EQ(list->count(), 3);
        const auto items = list->findItems("Three", Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        const QRect place = list->visualItemRect(items[0]);
        EXPECT_FALSE(place.isEmpty());
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, place.center());
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, place.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, place.center());
    };
    Click("Btn_Open");
    Expect_Open("Three");
}

TEST_F(Shell_Flows, OpenCancelChangesNothing) {
    for (const char* name : {"One", "Two"})
        QDir().mkpath(Projects() + "/" + name);
    Start();
    act = [](QDialog& dialog) { Child<QPushButton>(dialog, "Btn_Cancel")->click(); };
    Click("Btn_Open");
    Expect_No_Configuration_Open();
    EXPECT_EQ(State().Project_Name, "");

    act = [](QDialog& dialog) { Child<QPushButton>(dialog, "Btn_OK")->click(); };
    Click("Btn_Open");
    const QString opened_name = State().Project_Name;
    act = [](QDialog& dialog) {
        auto* list = Child<QListWidget>(dialog, "ListBox1");
        list->setCurrentRow(list->currentRow() == 0 ? 1 : 0);
        dialog.close();
    };
    Click("Btn_Open");
    Expect_Open(opened_name);
}

// ---- Information and options

TEST_F(Shell_Flows, AboutShowsTheVersionOfTheLanguageLoadedLast) {
    Write_Text(folder.File("LANGUAGE/Deutsch.lng"), "//VERSION 2.05\nSTR15 = Neue Konfiguration\n");
    Write_Text(folder.File("LANGUAGE/Plain.lng"), "STR15 = Plain New\n");
    Start();
    QString version;
    act = [&](QDialog& dialog) { version = Child<QLabel>(dialog, "Label7")->text(); };
    Click("Btn_Info");
    EXPECT_EQ(version, "NO VER.");

    // A language change as the options dialog makes it.
    App_Context& ctx = app->Context();
    for (const auto& [language, expected] :
         {std::pair{"Deutsch", "2.05"}, std::pair{"Plain", "NO VER."}}) {
        ctx.state.Language = language;
        Init_Language(ctx.state, ctx.lang);
        window->Change_Language();
        Click("Btn_Info");
        EXPECT_EQ(version, expected) << language;
    }
}

TEST_F(Shell_Flows, OptionsOkSavesTheSettingsAndSwitchesTheTimer) {
    Start();
    QTimer* timer = window->Timer_Update();
    App_Context& ctx = app->Context();
    struct Case {
        bool internet, update, accept, written, active;
    };
    const Case cases[] = {
        {true, true, false, false, false}, // Cancel: the timer is not touched
        {true, false, true, true, false},   {true, true, true, true, true},
        {false, false, false, false, true}, // Cancel leaves the running timer on
        {false, true, true, true, false},
    };
    for (const Case& c : cases) {
        QFile::remove(folder.File("Tessaro.xml"));
        act = [&](QDialog& dialog) {
            ctx.state.Enable_Internet = c.internet;
            ctx.state.Enable_Update = c.update;
            if (c.accept)
                dialog.accept();
            else
                dialog.reject();
        };
        Click("Btn_Opz");
        EXPECT_EQ(QFile::exists(folder.File("Tessaro.xml")), c.written);
        EXPECT_EQ(timer->isActive(), c.active);
        EXPECT_EQ(timer->interval(), 60000);
        if (c.written) {
            App_State read;
            read.Exe_Dir = folder.Path();
            Load_Setting(read);
            EXPECT_EQ(read.Enable_Internet, c.internet);
            EXPECT_EQ(read.Enable_Update, c.update);
        }
    }
    // OK with both on while the timer runs keeps it running at the interval it has.
    timer->setInterval(7200000);
    timer->start();
    act = [&](QDialog& dialog) {
        ctx.state.Enable_Internet = ctx.state.Enable_Update = true;
        dialog.accept();
    };
    Click("Btn_Opz");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 7200000);
    EXPECT_TRUE(messages.record.empty());
}

} // namespace
