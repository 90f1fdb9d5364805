// The New, Open and About windows on their own: layout, texts, focus and their handlers.
#include "lang/Language_File.h"
#include "main_window/Tessaro_App.h"
#include "project_dialogs/UAbout.h"
#include "project_dialogs/UNew_Project.h"
#include "project_dialogs/UOpenConf.h"
#include "support/Recording_Messages.h"
#include "support/Test_Files.h"
#include "widgets/Look.h"
#include "widgets/Styled_Button.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

struct Control_Case {
    const char* name;
    QRect geometry; // relative to the window; an empty size: a label that fits its text
    const char* text;
    const char* hint; // nullptr: not checked
    bool hint_shown;
};

class Shell_Dialogs : public ::testing::Test {
protected:
    void Start() {
        app = std::make_unique<Tessaro_App>(folder.Path(), &messages, [this](App_Context& ctx) {
            ctx.Open_Url = [this](const QUrl& url) { opened.append(url); };
        });
    }
    static QWidget* Child(QWidget* dialog, const char* name) {
        auto* child = dialog->findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    static void Check_Controls(QWidget* dialog, const std::vector<Control_Case>& cases) {
        for (const Control_Case& c : cases) {
            QWidget* control = Child(dialog, c.name);
            if (!control)
                continue;
            const QPoint position = control->mapTo(dialog, QPoint(0, 0));
            EXPECT_EQ(position, c.geometry.topLeft()) << c.name;
            if (!c.geometry.size().isEmpty()) {
                EXPECT_EQ(control->size(), c.geometry.size()) << c.name;
            }
            if (c.text) {
                if (auto* label = qobject_cast<QLabel*>(control)) {
                    EXPECT_EQ(label->text(), c.text) << c.name;
                } else if (auto* button = qobject_cast<QPushButton*>(control)) {
                    EXPECT_EQ(button->text(), c.text) << c.name;
                }
            }
            if (c.hint) {
                EXPECT_EQ(look::Hint_Of(control), c.hint) << c.name;
                EXPECT_EQ(control->toolTip(), c.hint_shown ? QString(c.hint) : QString()) << c.name;
            }
        }
    }
    static QStringList Focus_Chain(QWidget* first, int count) {
        QStringList chain;
        QWidget* widget = first;
        while (chain.size() < count) {
            if (widget->focusPolicy() & Qt::TabFocus)
                chain.append(widget->objectName());
            widget = widget->nextInFocusChain();
            if (widget == first)
                break;
        }
        return chain;
    }
    void Change_Language(const QString& language) {
        App_Context& ctx = app->Context();
        ctx.state.Language = language;
        Init_Language(ctx.state, ctx.lang);
        app->Main_Window().Change_Language();
    }

    Temp_Folder folder;
    Recording_Messages messages;
    std::unique_ptr<Tessaro_App> app;
    QList<QUrl> opened;
};

// ---- New configuration

TEST_F(Shell_Dialogs, NewIsLaidOutAndTexted) {
    Start();
    TFNew_Project* dialog = app->Windows().New_Project;
    dialog->show();
    EXPECT_EQ(dialog->size(), QSize(331, 162));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_EQ(dialog->windowTitle(), "Create New Configuration");
    EXPECT_EQ(Child(dialog, "P_Title")->geometry(), QRect(0, 0, 331, 69));
    EXPECT_EQ(Child(dialog, "P_Button")->geometry(), QRect(0, 122, 331, 40));
    EXPECT_EQ(Child(dialog, "L_SW_Code")->parentWidget()->objectName(), "P_Title");
    EXPECT_EQ(Child(dialog, "Btn_OK")->parentWidget()->objectName(), "P_Button");
    Check_Controls(
        dialog,
        {
            {"L_SW_Code", QRect(16, 8, 0, 0), "VC40362", nullptr, false},
            {"L_SW_Desc", QRect(16, 42, 0, 0), "Create New Configuration", nullptr, false},
            {"Label1", QRect(16, 70, 0, 0), "Name of the new Configuration", nullptr, false},
            {"E_New_Proj", QRect(16, 94, 297, 21), nullptr,
             "Insert here the name of new configuration", true},
            {"Btn_OK", QRect(85, 128, 110, 28), "OK", "Confirm the Name of new Configuration",
             false},
            {"Btn_Cancel", QRect(203, 128, 110, 28), "Cancel", "Cancel the New Configuration",
             false},
        });
    EXPECT_EQ(Focus_Chain(Child(dialog, "E_New_Proj"), 3),
              QStringList({"E_New_Proj", "Btn_OK", "Btn_Cancel"}));
    EXPECT_EQ(dialog->focusWidget(), Child(dialog, "E_New_Proj"));
}

TEST_F(Shell_Dialogs, NewAndOpenFollowALanguageChange) {
    Write_Text(folder.File("LANGUAGE/Italiano.lng"),
               "STR100 = Nuova configurazione\nSTR102 = Nome\nSTR107 = Nome vuoto\n"
               "STR108 = Scrivi il nome\nSTR200 = Apri\nSTR202 = Elenco\nSTR203 = Apri!\n"
               "STR205 = Scegli\n");
    Start();
    Change_Language("Italiano");
    TFNew_Project* new_project = app->Windows().New_Project;
    EXPECT_EQ(new_project->windowTitle(), "Nuova configurazione");
    EXPECT_EQ(static_cast<QLabel*>(Child(new_project, "Label1"))->text(), "Nome");
    EXPECT_EQ(Child(new_project, "E_New_Proj")->toolTip(), "Scrivi il nome");
    EXPECT_EQ(static_cast<QLabel*>(Child(new_project, "L_SW_Code"))->text(), "VC40362");
    new_project->show();
    new_project->Btn_OKClick();
    EXPECT_EQ(messages.Texts(), QStringList{"Nome vuoto"});

    TFOpenConf* open = app->Windows().OpenConf;
    EXPECT_EQ(open->windowTitle(), "Apri");
    EXPECT_EQ(static_cast<QLabel*>(Child(open, "Label1"))->text(), "Elenco");
    EXPECT_EQ(static_cast<QPushButton*>(Child(open, "Btn_OK"))->text(), "Apri!");
    EXPECT_EQ(Child(open, "ListBox1")->toolTip(), "Scegli");
    // Entries the file leaves alone keep their English text.
    EXPECT_EQ(static_cast<QPushButton*>(Child(open, "Btn_Cancel"))->text(), "Cancel");
}

TEST_F(Shell_Dialogs, NewKeepsTheNameAfterAnErrorAndClosesWithOk) {
    QDir().mkpath(folder.File("PROJECTS/Taken"));
    Start();
    TFNew_Project* dialog = app->Windows().New_Project;
    dialog->show();
    auto* edit = static_cast<QLineEdit*>(Child(dialog, "E_New_Proj"));
    QTest::keyClicks(edit, "Taken");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(messages.Texts(),
              QStringList{"Error! Name project is not valid because directory already exists"});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(edit->text(), "Taken");
    // Other keys are the edit's own.
    EXPECT_FALSE(dialog->E_New_ProjKeyPress(Qt::Key_A));
    QTest::keyClicks(edit, " 2");
    EXPECT_TRUE(dialog->E_New_ProjKeyPress('\r'));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(app->Context().state.Project_Name, "Taken 2");
}

// ---- Open configuration

TEST_F(Shell_Dialogs, OpenIsLaidOutAndFollowsItsSize) {
    Start();
    TFOpenConf* dialog = app->Windows().OpenConf;
    dialog->show();
    EXPECT_EQ(dialog->size(), QSize(377, 351));
    EXPECT_NE(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_EQ(dialog->windowTitle(), "Open Configuration");
    const auto layout_at = [&](int w, int h) {
        dialog->resize(w, h);
        EXPECT_EQ(Child(dialog, "P_Title")->geometry(), QRect(0, 0, w, 69));
        EXPECT_EQ(Child(dialog, "P_Button")->geometry(), QRect(0, h - 40, w, 40));
        Check_Controls(dialog, {
                                   {"L_SW_Code", QRect(16, 8, 0, 0), "VC40362", nullptr, false},
                                   {"L_SW_Desc", QRect(16, 42, 0, 0),
                                    "Open an Existing Configuration", nullptr, false},
                                   {"Label1", QRect(16, 70, 0, 0),
                                    "List of Avaliable Configurations", nullptr, false},
                                   {"ListBox1", QRect(16, 94, w - 32, h - 40 - 6 - 94), nullptr,
                                    "Select from this list the configuration to open", true},
                                   {"Btn_OK", QRect(w - 16 - 110 - 8 - 110, h - 40 + 6, 110, 28),
                                    "OK", "Open the Selected Configuration", false},
                                   {"Btn_Cancel", QRect(w - 16 - 110, h - 40 + 6, 110, 28),
                                    "Cancel", "Cancel open of Configuration", false},
                               });
    };
    layout_at(377, 351);
    layout_at(600, 500);
    EXPECT_EQ(Focus_Chain(Child(dialog, "ListBox1"), 3),
              QStringList({"ListBox1", "Btn_OK", "Btn_Cancel"}));
}

TEST_F(Shell_Dialogs, OpenSearchesTheListedNamesInUpperCase) {
    for (const char* name : {"Hall", "PLANT", "plant"})
        QDir().mkpath(folder.File(QString("PROJECTS/") + name));
    Start();
    TFOpenConf* dialog = app->Windows().OpenConf;
    dialog->Load_Existing_Configuration();
    const QStringList names = dialog->Configurations();
    ASSERT_EQ(names.size(), 3);
    const int first_plant = names.indexOf("PLANT") < names.indexOf("plant")
                                ? names.indexOf("PLANT")
                                : names.indexOf("plant");
    EXPECT_EQ(dialog->Search_Open_Conf("Plant"), first_plant);
    EXPECT_EQ(dialog->Search_Open_Conf("hALL"), names.indexOf("Hall"));
    EXPECT_EQ(dialog->Search_Open_Conf("Hal"), -1);
    EXPECT_EQ(dialog->Search_Open_Conf(""), -1);
}

TEST_F(Shell_Dialogs, OpenNameFollowsTheListAndKeepsItBetweenShowings) {
    for (const char* name : {"One", "Two"})
        QDir().mkpath(folder.File(QString("PROJECTS/") + name));
    Start();
    TFOpenConf* dialog = app->Windows().OpenConf;
    dialog->show();
    const QStringList names = dialog->Configurations();
    EXPECT_EQ(dialog->Name_Conf, names[0]);
    auto* list = static_cast<QListWidget*>(Child(dialog, "ListBox1"));
    EXPECT_EQ(dialog->focusWidget(), list);
    list->setCurrentRow(1);
    EXPECT_EQ(dialog->Name_Conf, names[1]);
    dialog->reject();
    // The state names no configuration, so the next showing selects the first again.
    EXPECT_EQ(dialog->Name_Conf, names[1]);
    dialog->show();
    EXPECT_EQ(dialog->Name_Conf, names[0]);
    EXPECT_EQ(app->Context().state.Project_Dir, "");
}

TEST_F(Shell_Dialogs, EnterPressesOkInTheListAndTheFocusedButton) {
    QDir().mkpath(folder.File("PROJECTS/One"));
    Start();
    TFOpenConf* dialog = app->Windows().OpenConf;
    dialog->show();
    QTest::keyClick(Child(dialog, "ListBox1"), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    dialog->show();
    Child(dialog, "Btn_Cancel")->setFocus();
    QTest::keyClick(Child(dialog, "Btn_Cancel"), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);

    TFNew_Project* new_project = app->Windows().New_Project;
    new_project->show();
    static_cast<QLineEdit*>(Child(new_project, "E_New_Proj"))->setText("Two");
    Child(new_project, "Btn_Cancel")->setFocus();
    QTest::keyClick(Child(new_project, "Btn_Cancel"), Qt::Key_Return);
    EXPECT_FALSE(new_project->isVisible());
    EXPECT_EQ(new_project->result(), QDialog::Rejected);
    EXPECT_FALSE(QDir(folder.File("PROJECTS/Two")).exists());
    EXPECT_TRUE(messages.record.empty());
}

// ---- About

TEST_F(Shell_Dialogs, AboutShowsItsFixedTexts) {
    Write_Text(folder.File("LANGUAGE/Italiano.lng"), "//VERSION 3.1\nSTR103 = Va bene\n");
    Start();
    Change_Language("Italiano");
    TFAbout* dialog = app->Windows().About;
    dialog->show();
    EXPECT_EQ(dialog->size(), QSize(435, 162));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_EQ(dialog->windowTitle(), "About...");
    Check_Controls(
        dialog,
        {
            {"Image2", QRect(32, 24, 96, 96), nullptr, nullptr, false},
            {"Label1", QRect(143, 24, 0, 0), "Software Tessaro ", nullptr, false},
            {"Label2", QRect(143, 39, 0, 0), "DMX / Modbus TCP Master - Converter", nullptr, false},
            {"Label6", QRect(143, 62, 0, 0), "Software Code : ", nullptr, false},
            {"Label9", QRect(255, 62, 0, 0), "VC40362", nullptr, false},
            {"Label3", QRect(143, 77, 0, 0), "Version :", nullptr, false},
            {"Label10", QRect(255, 77, 0, 0), "1.001", nullptr, false},
            {"Label8", QRect(143, 92, 0, 0), "Document Code :", nullptr, false},
            {"Label12", QRect(255, 92, 0, 0), "VM40362", nullptr, false},
            {"Label5", QRect(143, 107, 0, 0), "Language Ver :", nullptr, false},
            {"Label7", QRect(255, 107, 0, 0), "3.1", nullptr, false},
            {"Label4", QRect(323, 141, 0, 0), "www.velmora.com", nullptr, false},
            {"LbButton1", QRect(32, 132, 96, 22), "OK", nullptr, false},
        });
    auto* title = static_cast<QLabel*>(Child(dialog, "Label1"));
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(title->font().pixelSize(), 13);
    for (const char* name : {"Label2", "Label6", "Label9", "Label7"})
        EXPECT_EQ(Child(dialog, name)->palette().color(QPalette::WindowText), QColor(51, 51, 51))
            << name;
    auto* link = static_cast<QLabel*>(Child(dialog, "Label4"));
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    // Every label fits inside the window.
    for (QLabel* label : dialog->findChildren<QLabel*>())
        EXPECT_TRUE(dialog->rect().contains(label->geometry()))
            << label->objectName().toStdString();
    // The picture holds a drawing.
    const QImage picture = static_cast<QLabel*>(Child(dialog, "Image2"))->pixmap().toImage();
    EXPECT_EQ(picture.size(), QSize(96, 96));
    EXPECT_GT(picture.pixelColor(50, 50).alpha(), 0);
}

TEST_F(Shell_Dialogs, AboutOpensTheHomePageAndClosesWithOk) {
    Start();
    TFAbout* dialog = app->Windows().About;
    dialog->show();
    QTest::mouseClick(Child(dialog, "Label4"), Qt::LeftButton);
    QTest::mouseClick(Child(dialog, "Image2"), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 2);
    for (const QUrl& url : opened)
        EXPECT_EQ(url.toString(), "http://www.velmora.com/HOME/default.asp?frompg=VC40362");
    EXPECT_TRUE(dialog->isVisible());
    static_cast<QPushButton*>(Child(dialog, "LbButton1"))->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

} // namespace
