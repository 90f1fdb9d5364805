// A language change across all windows, made as the user makes it: the flag of a language in
// the options dialog, Yes to the question, OK.
#include "Scripted_App.h"
#include "comm_dialog/UParGen.h"
#include "context/Qt_Messages.h"
#include "dmx_dialog/UDMXDefVal.h"
#include "options_dialog/USoftOptions.h"
#include "project_dialogs/UNew_Project.h"
#include "project_dialogs/UOpenConf.h"
#include "update_dialog/UBoot.h"
#include "widgets/Look.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A language file that sets every entry of the table to "[<tag> <index>]": any text a window
// takes from the table then tells which language and which entry it came from.
QString Tagged_Language(const QString& tag, const QString& version) {
    QString text = QStringLiteral("//VERSION ") + version + QLatin1Char('\n');
    for (int i = 0; i < 1000; ++i)
        text += QStringLiteral("STR%1 = [%2 %1]\n").arg(i).arg(tag);
    return text;
}

// Every text a window shows, each named by where it stands: the title, captions, hints, group
// and tab titles, list items, and the header cells and header hints of its tables.
QStringList Window_Texts(QWidget& window) {
    QStringList texts{QStringLiteral("title=") + window.windowTitle()};
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (auto* label = qobject_cast<QLabel*>(widget))
            texts << name + QStringLiteral(".text=") + label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            texts << name + QStringLiteral(".text=") + button->text();
        if (auto* group = qobject_cast<QGroupBox*>(widget))
            texts << name + QStringLiteral(".title=") + group->title();
        if (auto* tabs = qobject_cast<QTabWidget*>(widget))
            for (int i = 0; i < tabs->count(); ++i)
                texts << name + QStringLiteral(".tab=") + tabs->tabText(i);
        if (auto* list = qobject_cast<QComboBox*>(widget))
            for (int i = 0; i < list->count(); ++i)
                texts << name + QStringLiteral(".item=") + list->itemText(i);
        if (auto* table = qobject_cast<QTableView*>(widget)) {
            const QAbstractItemModel* model = table->model();
            for (int column = 0; column < model->columnCount(); ++column) {
                texts << name + QStringLiteral(".header=") +
                             model->headerData(column, Qt::Horizontal).toString();
                texts << name + QStringLiteral(".header_hint=") +
                             model->headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString();
            }
        }
        if (!look::Hint_Of(widget).isEmpty())
            texts << name + QStringLiteral(".hint=") + look::Hint_Of(widget);
    }
    return texts;
}

// The texts of one language found among a window's texts.
QStringList Texts_Of(const QStringList& texts, const QString& tag) {
    return texts.filter(QStringLiteral("[") + tag + QLatin1Char(' '));
}

// Records the windows whose texts change (a title or a hint is set), in the order in which each
// is first touched.
class Retext_Recorder : public QObject {
public:
    Retext_Recorder() { qApp->installEventFilter(this); }
    ~Retext_Recorder() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((event->type() == QEvent::WindowTitleChange ||
             event->type() == QEvent::ToolTipChange) &&
            watched->isWidgetType()) {
            const QString window = static_cast<QWidget*>(watched)->window()->objectName();
            if (!order.contains(window))
                order.append(window);
        }
        return false;
    }
    QStringList order;
};

class Language_Change : public Scripted_App {
protected:
    // English, the language at start, is tagged as well, so that a text left in it shows.
    Language_Change() {
        Write_Text(folder.File("LANGUAGE/English.lng"), Tagged_Language("en", "3.00"));
        Write_Text(folder.File("LANGUAGE/Deutsch.lng"), Tagged_Language("de", "4.01"));
        Write_Text(folder.File("LANGUAGE/Italiano.lng"), Tagged_Language("it", "5.02"));
    }
    // Starts with the configuration "Plant" open.
    void Start_With_Configuration() {
        QDir().mkpath(folder.File("PROJECTS/Plant/bin"));
        Write_Text(folder.File("Tessaro.xml"), "<Conf_Settings><lastproj><projectname>Plant"
                                               "</projectname></lastproj></Conf_Settings>");
        Start();
        ASSERT_EQ(State().Project_Dir, folder.File("PROJECTS/Plant"));
    }
    // Options: a click on the language's name, Yes, OK. during runs between the click and OK.
    void Switch_To(const QString& language, const std::function<void()>& during = {}) {
        scripts["TFSoftOptions"] = [&](QDialog& dialog) {
            QLabel* name = nullptr;
            for (int k = 1; k <= 6; ++k) {
                auto* label = Child<QLabel>(dialog, ("L_L" + std::to_string(k)).c_str());
                if (label->isVisible() && label->text() == language)
                    name = label;
            }
            ASSERT_NE(name, nullptr) << language.toStdString();
            messages.answers = {true};
            QTest::mouseClick(name, Qt::LeftButton);
            if (during)
                during();
            Child<QPushButton>(dialog, "Btn_OK")->click();
        };
        messages.Clear();
        Click("Btn_Opz");
        scripts.erase("TFSoftOptions");
        ASSERT_EQ(messages.record.size(), 1u) << Messages_Text();
        EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Confirm);
        EXPECT_EQ(State().Language, language);
        messages.Clear();
    }
    // The texts of a dialog at a showing from the main window's step button.
    QStringList Texts_At_Showing(const char* button, const char* dialog_name) {
        QStringList texts;
        scripts[dialog_name] = [&texts](QDialog& dialog) { texts = Window_Texts(dialog); };
        Click(button);
        scripts.erase(dialog_name);
        EXPECT_EQ(shown.value(shown.size() - 1), dialog_name);
        return texts;
    }
};

TEST_F(Language_Change, SwitchingTwiceLeavesTheDmxTableWithTwoHintsInTheLatestLanguage) {
    Start_With_Configuration();
    Switch_To("Deutsch");
    Switch_To("Italiano");
    QStringList hints;
    QString header_hints[3];
    QString header;
    scripts["TFDMXDefVal"] = [&](QDialog& dialog) {
        hints = static_cast<TFDMXDefVal&>(dialog).Hint_Grid;
        auto* grid = Child<QTableView>(dialog, "ACG_DMX_Def_Val");
        for (int column = 0; column < 3; ++column)
            header_hints[column] =
                grid->model()->headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString();
        header = grid->model()->headerData(1, Qt::Horizontal).toString();
    };
    Click("Btn_DMX_Default");
    EXPECT_EQ(hints, QStringList({"[it 509]", "[it 510]"}));
    EXPECT_EQ(header_hints[0], "");
    EXPECT_EQ(header_hints[1], "[it 509]");
    EXPECT_EQ(header_hints[2], "[it 510]");
    EXPECT_EQ(header, "[it 505]");
}

TEST_F(Language_Change, ReTextsTheMainNewOpenOptionsCommunicationAndDmxWindowsAtOnceInOrder) {
    Start_With_Configuration();
    Retext_Recorder recorder;
    QStringList order;
    Switch_To("Deutsch", [&] { order = recorder.order; });
    EXPECT_EQ(order, QStringList({"TFTessaroFirmWare", "TFNew_Project", "TFOpenConf",
                                  "TFSoftOptions", "TFParGen", "TFDMXDefVal"}));

    // Without being shown again, each of them has the new texts only.
    const Tessaro_Windows& windows = app->Windows();
    const std::pair<QWidget*, const char*> retexted[] = {
        {windows.New_Project, "[de 100]"}, {windows.OpenConf, "[de 200]"},
        {windows.SoftOptions, "[de 300]"}, {windows.ParGen, "[de 400]"},
        {windows.DMXDefVal, "[de 500]"},
    };
    for (const auto& [dialog, title] : retexted) {
        EXPECT_EQ(dialog->windowTitle(), title);
        const QStringList texts = Window_Texts(*dialog);
        EXPECT_EQ(Texts_Of(texts, "en"), QStringList());
        EXPECT_FALSE(Texts_Of(texts, "de").isEmpty());
    }
    EXPECT_EQ(Child<QPushButton>(*window, "Btn_New")->text(), "[de 15]");
    EXPECT_EQ(Child<QPushButton>(*window, "Btn_CreateBin")->text(), "[de 17]");
    EXPECT_EQ(look::Hint_Of(Child<QWidget>(*window, "Btn_Opz")), "[de 13]");
    EXPECT_EQ(Label("L_Step_3"), "[de 3]");
    EXPECT_EQ(Child<QPushButton>(*window, "Btn_ModM_SetAccess")->text(), "Set Access");
}

TEST_F(Language_Change, TheAccessWindowKeepsItsCreationTextsWhileItsMessagesFollow) {
    Start_With_Configuration();
    const QStringList english =
        Texts_At_Showing("Btn_ModM_SetAccess", "TFModbus_TCP_Master_Set_Access");
    for (const char* text :
         {"title=[en 600]", "Btn_OK.text=[en 602]", "Btn_OK.hint=[en 640]",
          "PageControl1.tab=[en 608]", "ACG_Modbus_Read.header=[en 612]",
          "ACG_Modbus_Read.header_hint=[en 646]", "ACG_Modbus_Write.header_hint=[en 673]"})
        EXPECT_TRUE(english.contains(text)) << text;

    Switch_To("Deutsch");
    QStringList after_switch;
    scripts["TFModbus_TCP_Master_Set_Access"] = [&](QDialog& dialog) {
        after_switch = Window_Texts(dialog);
        // A request with a port out of range.
        auto* read = Child<QTableView>(dialog, "ACG_Modbus_Read");
        read->model()->setData(read->model()->index(0, 2), "10.0.0.1");
        read->model()->setData(read->model()->index(0, 3), "99999");
        Child<QPushButton>(dialog, "Btn_OK")->click();
        EXPECT_TRUE(dialog.isVisible());
    };
    Click("Btn_ModM_SetAccess");
    EXPECT_EQ(after_switch, english);
    EXPECT_EQ(Texts_Of(after_switch, "de"), QStringList());
    ASSERT_EQ(messages.record.size(), 1u);
    EXPECT_EQ(messages.record[0].kind, Recording_Messages::Kind::Error);
    EXPECT_EQ(messages.record[0].text, "[de 674]1[de 676]");

    // The next start takes the saved language in this window too.
    Click("Btn_Close");
    app.reset();
    Start();
    const QStringList restarted =
        Texts_At_Showing("Btn_ModM_SetAccess", "TFModbus_TCP_Master_Set_Access");
    for (const char* text : {"title=[de 600]", "Btn_OK.text=[de 602]", "Btn_OK.hint=[de 640]",
                             "PageControl1.tab=[de 608]", "ACG_Modbus_Read.header=[de 612]",
                             "ACG_Modbus_Read.header_hint=[de 646]"})
        EXPECT_TRUE(restarted.contains(text)) << text;
}

// Qt's own texts follow the language: the buttons of the desktop's question box in German after
// the switch to German, in Italian after the next, and in English again; its title comes from
// the table.
TEST_F(Language_Change, QtsOwnTextsFollowTheLanguage) {
#ifdef Q_OS_WIN
    // The Windows program carries Qt's translations beside its executable (here from the build
    // machine, through Wine's drive of its root).
    const QString qt_files = folder.File("translations");
    ASSERT_TRUE(QDir().mkpath(qt_files));
    for (const char* code : {"de", "es", "fr", "it"})
        ASSERT_TRUE(
            QFile::copy(QStringLiteral("/usr/share/qt6/translations/qtbase_%1.qm").arg(code),
                        QStringLiteral("%1/qtbase_%2.qm").arg(qt_files, code)));
#else
    const QString qt_files = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#endif
    Start_With_Configuration();
    Qt_Messages desktop(&app->Context().lang);
    const auto question = [&] {
        QStringList texts;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            texts << box->windowTitle() << box->button(QMessageBox::Yes)->text()
                  << box->button(QMessageBox::No)->text();
            box->button(QMessageBox::No)->click();
        });
        EXPECT_FALSE(desktop.Confirm(window, "?"));
        return texts;
    };
    EXPECT_TRUE(app->Context().Qt_Texts.File().isEmpty());
    EXPECT_EQ(question(), QStringList({"[en 983]", "&Yes", "&No"}));

    Switch_To("Deutsch");
    EXPECT_EQ(app->Context().Qt_Texts.File(), qt_files + "/qtbase_de.qm");
    EXPECT_EQ(question(), QStringList({"[de 983]", "&Ja", "&Nein"}));
    Switch_To("Italiano");
    EXPECT_EQ(question(), QStringList({"[it 983]", "&Sì", "&No"}));
    Switch_To("English");
    EXPECT_TRUE(app->Context().Qt_Texts.File().isEmpty());
    EXPECT_EQ(question(), QStringList({"[en 983]", "&Yes", "&No"}));
}

TEST_F(Language_Change, TheUpdateDialogTakesTheNewTextsAtItsNextShowing) {
    Start_With_Configuration();
    const QStringList english = Texts_At_Showing("Btn_CreateBin", "TFBoot");
    EXPECT_TRUE(english.contains("title=[en 802]"));
    Switch_To("Deutsch");
    EXPECT_EQ(Window_Texts(*app->Windows().Boot), english) << "not re-texted while hidden";

    const QStringList german = Texts_At_Showing("Btn_CreateBin", "TFBoot");
    for (const char* text :
         {"title=[de 802]", "L_SW_Desc.text=[de 803]", "L_IP_Address.text=[de 806]",
          "CB_Update_Options.item=[de 815]", "CB_Update_Options.item=[de 817]",
          "Btn_Update.text=[de 820]", "E_IP4.hint=[de 824]", "Btn_Cancel.hint=[de 834]"})
        EXPECT_TRUE(german.contains(text)) << text;
    EXPECT_EQ(german.filter("CB_Update_Options.item=").size(), 3);
    EXPECT_TRUE(german.contains("L_SW_Code.text=VC40362"));
    EXPECT_EQ(Texts_Of(german, "en"), QStringList());
    EXPECT_TRUE(messages.record.empty()) << Messages_Text();
}

TEST_F(Language_Change, TheAboutWindowKeepsItsFixedTextsAndShowsTheNewVersion) {
    Start();
    QStringList english = Texts_At_Showing("Btn_Info", "TFAbout");
    EXPECT_TRUE(english.contains("Label7.text=3.00"));
    EXPECT_EQ(Texts_Of(english, "en"), QStringList()) << "no text from the table";
    Switch_To("Italiano");
    const QStringList italian = Texts_At_Showing("Btn_Info", "TFAbout");
    english.replace(english.indexOf("Label7.text=3.00"), "Label7.text=5.02");
    EXPECT_EQ(italian, english);
}

TEST_F(Language_Change, TheConfigurationLabelsChangeOnlyWhenAConfigurationIsOpened) {
    Start();
    Switch_To("Deutsch");
    EXPECT_EQ(Child<QPushButton>(*window, "Btn_New")->text(), "[de 15]");
    EXPECT_EQ(Label("L_Name_Conf"), "[en 9]");
    EXPECT_EQ(Label("L_Name_Conf_L2"), "[en 10]");

    scripts["TFNew_Project"] = [](QDialog& dialog) {
        QTest::keyClicks(Child<QLineEdit>(dialog, "E_New_Proj"), "Halle 3");
        Child<QPushButton>(dialog, "Btn_OK")->click();
    };
    Click("Btn_New");
    EXPECT_EQ(Label("L_Name_Conf"), "[de 11]");
    EXPECT_EQ(Label("L_Name_Conf_L2"), "Halle 3");
    // A change back keeps the labels of the open configuration as they are.
    Switch_To("Italiano");
    EXPECT_EQ(Label("L_Name_Conf"), "[de 11]");
    EXPECT_EQ(Child<QPushButton>(*window, "Btn_New")->text(), "[it 15]");
}

// Every button a window shows has a name that a screen reader can say, in the chosen language:
// a caption, or for a picture button its hint.
TEST_F(Language_Change, EveryButtonHasANameForAScreenReader) {
    Start_With_Configuration();
    const auto reader_name = [](QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    };
    QStringList unnamed;
    QStringList windows;
    const auto collect = [&](QWidget& shown_window) {
        windows << shown_window.objectName();
        for (QAbstractButton* button : shown_window.findChildren<QAbstractButton*>())
            if (button->isVisibleTo(&shown_window) && reader_name(button).isEmpty())
                unnamed << shown_window.objectName() + QLatin1Char('/') + button->objectName();
    };
    collect(*window);
    for (const char* dialog :
         {"TFAbout", "TFSoftOptions", "TFNew_Project", "TFOpenConf", "TFParGen",
          "TFModbus_TCP_Master_Set_Access", "TFDMXDefVal", "TFBoot"})
        scripts[dialog] = collect;
    for (const char* button : {"Btn_Info", "Btn_Opz", "Btn_New", "Btn_Open", "Btn_Prm_Gen",
                               "Btn_ModM_SetAccess", "Btn_DMX_Default", "Btn_CreateBin"})
        Click(button);
    scripts.clear();
    // The channel map and the dry run are windows of their own beside the main window.
    Click("Btn_Channel_Map");
    Click("Btn_Dry_Run");
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top != window && !windows.contains(top->objectName()))
            collect(*top);
    EXPECT_EQ(windows.size(), 11) << windows.join(' ').toStdString();
    EXPECT_EQ(unnamed, QStringList());
    EXPECT_EQ(reader_name(Child<QWidget>(*window, "Btn_Info")), "[en 12]");
    EXPECT_EQ(reader_name(Child<QWidget>(*window, "Btn_Close")), "[en 14]");

    Switch_To("Deutsch");
    EXPECT_EQ(reader_name(Child<QWidget>(*window, "Btn_Opz")), "[de 13]");
    EXPECT_EQ(reader_name(Child<QWidget>(*window, "Btn_New")), "[de 15]");
}

} // namespace
