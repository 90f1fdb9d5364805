#include "csv_menu/Spreadsheet_Button.h"

#include "csv_menu/Menu_Button_Accessible.h"
#include "exchange/Exchange_Texts.h"
#include "lang/Error_Texts.h"
#include "platform/Error.h"
#include "platform/Files.h"

#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace {

constexpr std::array<char, 3> Separator_Chars = {',', ';', '\t'};

Csv_Separator Chosen_Separator(const App_Context& ctx) {
    return Separator_Of(ctx.Spreadsheet_Separator).value_or(Csv_Separator::Comma);
}

QString Start_Folder(const App_Context& ctx) {
    if (!ctx.Spreadsheet_Folder.isEmpty() && Folder_Exists(ctx.Spreadsheet_Folder))
        return ctx.Spreadsheet_Folder;
    if (!ctx.state.Project_Dir.isEmpty())
        return ctx.state.Project_Dir;
    return QDir::homePath();
}

QString File_Filter(const App_Context& ctx) {
    return ctx.Text(exchange_text::Csv_Files) + QStringLiteral(" (*.csv *.txt *.tsv);;") +
           ctx.Text(exchange_text::All_Files) + QStringLiteral(" (*)");
}

void Remember_Folder(App_Context& ctx, const QString& path) {
    ctx.Spreadsheet_Folder = QFileInfo(path).absolutePath();
}

} // namespace

Spreadsheet_Button::Spreadsheet_Button(QWidget* parent, App_Context& context)
    : Styled_Button(parent, "Btn_Spreadsheet")
    , ctx_(context) {
    // A screen reader reaches Export and Import without the menu's loop holding its calls.
    Install_Menu_Button_Accessibility();
    Set_Glyph(style()->standardIcon(QStyle::SP_FileIcon));
    Set_Show_Hint(true);

    Menu = new QMenu(this);
    Menu->setObjectName(QStringLiteral("Spreadsheet_Menu"));
    Act_Export = Menu->addAction(QString());
    Act_Export->setObjectName(QStringLiteral("Act_Export"));
    Act_Import = Menu->addAction(QString());
    Act_Import->setObjectName(QStringLiteral("Act_Import"));
    Menu->addSeparator();
    Separator_Menu = Menu->addMenu(QString());
    Separator_Menu->setObjectName(QStringLiteral("Separator_Menu"));
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    const char* names[] = {"Act_Separator_Comma", "Act_Separator_Semicolon", "Act_Separator_Tab"};
    for (size_t i = 0; i < Act_Separator.size(); ++i) {
        QAction* action = Separator_Menu->addAction(QString());
        action->setObjectName(QString::fromLatin1(names[i]));
        action->setCheckable(true);
        group->addAction(action);
        const char c = Separator_Chars[i];
        connect(action, &QAction::triggered, this, [this, c] { ctx_.Spreadsheet_Separator = c; });
        Act_Separator[i] = action;
    }
    setMenu(Menu);

    connect(Act_Export, &QAction::triggered, this, [this] {
        if (On_Export)
            On_Export();
    });
    connect(Act_Import, &QAction::triggered, this, [this] {
        if (On_Import)
            On_Import();
    });
    // Another dialog may have chosen the separator since.
    connect(Menu, &QMenu::aboutToShow, this, &Spreadsheet_Button::Show_Separator);
    Show_Separator();
}

void Spreadsheet_Button::Set_Lang() {
    setText(ctx_.Text(exchange_text::Button));
    Set_Hint(ctx_.Text(exchange_text::Button_Hint));
    Act_Export->setText(ctx_.Text(exchange_text::Export));
    Act_Import->setText(ctx_.Text(exchange_text::Import));
    Separator_Menu->setTitle(ctx_.Text(exchange_text::Separator_Menu));
    Act_Separator[0]->setText(ctx_.Text(exchange_text::Comma));
    Act_Separator[1]->setText(ctx_.Text(exchange_text::Semicolon));
    Act_Separator[2]->setText(ctx_.Text(exchange_text::Tab));
}

void Spreadsheet_Button::Show_Separator() {
    for (size_t i = 0; i < Act_Separator.size(); ++i)
        Act_Separator[i]->setChecked(Separator_Chars[i] == Separator_Char(Chosen_Separator(ctx_)));
}

namespace spreadsheet {

QString Question_Caption(const QString& table_name, const QString& menu_text) {
    QString action = menu_text.trimmed();
    while (action.endsWith(QLatin1Char('.')) || action.endsWith(QChar(0x2026)))
        action.chop(1);
    return table_name.trimmed() + QStringLiteral(" - ") + action.trimmed();
}

bool Export_File(QWidget* parent, App_Context& ctx, const QString& caption,
                 const QString& file_name, const std::function<QByteArray(Csv_Separator)>& bytes) {
    const Csv_Separator separator = Chosen_Separator(ctx);
    const QString extension =
        separator == Csv_Separator::Tab ? QStringLiteral(".txt") : QStringLiteral(".csv");
    const QString suggested = Start_Folder(ctx) + QLatin1Char('/') + file_name + extension;
    QString path = ctx.Ask_Save_File(parent, caption, suggested, File_Filter(ctx));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += extension;
    Remember_Folder(ctx, path);
    if (const auto error = Write_File_Atomic(path, bytes(separator))) {
        ctx.messages->Error(parent, ctx.Text(exchange_text::Cannot_Export) +
                                        QDir::toNativeSeparators(path) + QLatin1Char('\n') +
                                        *error);
        return false;
    }
    return true;
}

std::optional<Chosen_File> Ask_Import_File(QWidget* parent, App_Context& ctx,
                                           const QString& caption) {
    const QString path = ctx.Ask_Open_File(parent, caption, Start_Folder(ctx), File_Filter(ctx));
    if (path.isEmpty())
        return std::nullopt;
    Remember_Folder(ctx, path);
    try {
        return Chosen_File{path, Read_File_Bytes(path)};
    } catch (const Tessaro_Error& error) {
        ctx.messages->Error(parent,
                            Csv_Unreadable_Message(path, Error_Message(error, ctx.lang), ctx.lang));
        return std::nullopt;
    }
}

Csv_Header_Titles Accepted_Titles(const App_Context& ctx, Csv_Table table) {
    std::vector<Lang_Table> languages = Languages_Of_Folder(ctx.state.Language_Dir);
    languages.push_back(ctx.lang);
    return Csv_Header_Titles(table, languages);
}

} // namespace spreadsheet
