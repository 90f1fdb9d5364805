#pragma once

#include <QAction>
#include <QByteArray>
#include <QMenu>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "context/App_Context.h"
#include "exchange/Table_Csv.h"
#include "widgets/Styled_Button.h"

// The button of a table dialog that opens the spreadsheet menu: "Export..." and "Import..." of
// the dialog's table, and the separator of exported files (remembered for the run in the
// context, shared by every dialog). From the keyboard: Space opens the menu, the arrows choose,
// Enter acts. To a screen reader (Menu_Button_Accessible) the menu's items are the button's
// descendants, and pressing the button or an item returns at once.
class Spreadsheet_Button : public Styled_Button {
    Q_OBJECT
public:
    Spreadsheet_Button(QWidget* parent, App_Context& context);

    // Caption, hint and menu texts from the string table.
    void Set_Lang();

    // What the two menu items do.
    std::function<void()> On_Export;
    std::function<void()> On_Import;

    QMenu* Menu = nullptr;
    QAction* Act_Export = nullptr;
    QAction* Act_Import = nullptr;
    QMenu* Separator_Menu = nullptr;
    // Comma, semicolon, tab.
    std::array<QAction*, 3> Act_Separator{};

private:
    void Show_Separator();

    App_Context& ctx_;
};

namespace spreadsheet {

// The caption of a file question: the table's name and the menu item without its dots, as in
// "Modbus Read - Export".
QString Question_Caption(const QString& table_name, const QString& menu_text);

// Asks where to export (starting in the folder of the last file, else in the configuration's
// folder, with file_name suggested) and writes the file that bytes makes for the chosen
// separator in one step. A name without an extension gets ".csv" (".txt" for tab separated
// files). False when the user cancelled or the file could not be written (the error is shown).
bool Export_File(QWidget* parent, App_Context& ctx, const QString& caption,
                 const QString& file_name, const std::function<QByteArray(Csv_Separator)>& bytes);

struct Chosen_File {
    QString path;
    QByteArray bytes;
};
// Asks which file to import and reads it; nothing when the user cancelled or the file cannot be
// read (the error is shown).
std::optional<Chosen_File> Ask_Import_File(QWidget* parent, App_Context& ctx,
                                           const QString& caption);

// The titles a file's header may carry: the current language, English, the file attribute names
// and every language file of the program's language folder.
Csv_Header_Titles Accepted_Titles(const App_Context& ctx, Csv_Table table);

} // namespace spreadsheet
