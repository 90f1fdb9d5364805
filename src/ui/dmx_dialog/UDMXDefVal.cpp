#include "dmx_dialog/UDMXDefVal.h"

#include "context/Save_File.h"
#include "csv_menu/Spreadsheet_Button.h"
#include "exchange/Exchange_Texts.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "widgets/Look.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QShowEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int Row_Height = 22;
constexpr int Spreadsheet_Left = 8;
constexpr int Column_Widths[DMX_Table_Model::Column_Count] = {100, 100, 250};

// The channel column looks like the header: it names the row and is never edited.
class Fixed_Column_Delegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->backgroundBrush = option->palette.button();
    }
};

} // namespace

// The table of the dialog; a cell being edited can be closed into the model before the values
// are checked.
class DMX_Grid : public QTableView {
public:
    using QTableView::QTableView;

    void Commit_Edit() {
        if (QWidget* editor = indexWidget(currentIndex())) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
};

TFDMXDefVal::TFDMXDefVal(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFDMXDefVal", false)
    , ctx_(context) {
    Build_Controls();
    look::Set_Caption(L_SW_Code, ctx_.state.SW_Code);
    Set_Lang();
}

void TFDMXDefVal::Build_Controls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    const look::Title_Panel title = look::Add_Title_Panel(this);
    P_Title = title.P_Title;
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;
    layout->addWidget(P_Title);

    model_ = new DMX_Table_Model(this);
    ACG_DMX_Def_Val = new DMX_Grid(this);
    ACG_DMX_Def_Val->setObjectName(QStringLiteral("ACG_DMX_Def_Val"));
    ACG_DMX_Def_Val->setModel(model_);
    ACG_DMX_Def_Val->setItemDelegateForColumn(DMX_Table_Model::Channel_Column,
                                              new Fixed_Column_Delegate(ACG_DMX_Def_Val));
    ACG_DMX_Def_Val->setSelectionMode(QAbstractItemView::SingleSelection);
    ACG_DMX_Def_Val->setSelectionBehavior(QAbstractItemView::SelectItems);
    ACG_DMX_Def_Val->setEditTriggers(
        QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
        QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    ACG_DMX_Def_Val->setWordWrap(false);
    ACG_DMX_Def_Val->verticalHeader()->hide();
    ACG_DMX_Def_Val->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ACG_DMX_Def_Val->verticalHeader()->setMinimumSectionSize(Row_Height);
    ACG_DMX_Def_Val->verticalHeader()->setDefaultSectionSize(Row_Height);
    QHeaderView* header = ACG_DMX_Def_Val->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setFixedHeight(Row_Height);
    for (int column = 0; column < DMX_Table_Model::Column_Count; ++column)
        ACG_DMX_Def_Val->setColumnWidth(column, Column_Widths[column]);
    layout->addWidget(ACG_DMX_Def_Val, 1);

    P_Button = look::Make_Panel(this, "P_Button", 40);
    auto* buttons = new QHBoxLayout(P_Button);
    buttons->setContentsMargins(8, 6, 8, 6);
    buttons->setSpacing(9);
    QStyle* style = this->style();
    Btn_OK = new Styled_Button(P_Button, "Btn_OK");
    Btn_OK->setFixedSize(112, 28);
    Btn_OK->Set_Glyph(style->standardIcon(QStyle::SP_DialogApplyButton));
    Btn_OK->Set_Show_Hint(true);
    connect(Btn_OK, &QPushButton::clicked, this, &TFDMXDefVal::Btn_OKClick);
    Btn_Cancel = new Styled_Button(P_Button, "Btn_Cancel");
    Btn_Cancel->setFixedSize(112, 28);
    Btn_Cancel->Set_Glyph(style->standardIcon(QStyle::SP_DialogCancelButton));
    Btn_Cancel->Set_Show_Hint(true);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TFDMXDefVal::Btn_CancelClick);
    buttons->addStretch(1);
    buttons->addWidget(Btn_OK);
    buttons->addWidget(Btn_Cancel);
    buttons->addStretch(1);
    layout->addWidget(P_Button);

    QWidget::setTabOrder(ACG_DMX_Def_Val, Btn_OK);
    QWidget::setTabOrder(Btn_OK, Btn_Cancel);

    // Left of OK and Cancel, outside their centring layout so that they never move; the panel
    // keeps the room that the three buttons need.
    Btn_Spreadsheet = new Spreadsheet_Button(P_Button, ctx_);
    Btn_Spreadsheet->setGeometry(Spreadsheet_Left, 6, 90, 28);
    Btn_Spreadsheet->On_Export = [this] { Spreadsheet_Export(); };
    Btn_Spreadsheet->On_Import = [this] { Spreadsheet_Import(); };
    QWidget::setTabOrder(Btn_Cancel, Btn_Spreadsheet);
    const int centred = Btn_OK->width() + buttons->spacing() + Btn_Cancel->width();
    P_Button->setMinimumWidth(2 * (Spreadsheet_Left + Btn_Spreadsheet->width() + 8) + centred);
    look::Set_Client_Size(this, 475, 337, false);
}

void TFDMXDefVal::Set_Lang() {
    const Lang_Table& t = ctx_.lang;
    setWindowTitle(t[500]);
    look::Set_Caption(L_SW_Desc, t[501]);
    Btn_OK->setText(t[502]);
    Btn_Cancel->setText(t[503]);
    model_->Set_Header_Texts({t[504], t[505], t[506]});
    Hint_Grid.clear();
    Hint_Grid.append(t[509]);
    Hint_Grid.append(t[510]);
    model_->Set_Header_Hints(Hint_Grid);
    Btn_OK->Set_Hint(t[511]);
    Btn_Cancel->Set_Hint(t[512]);
    Btn_Spreadsheet->Set_Lang();
}

void TFDMXDefVal::FormShow() {
    const App_State& state = ctx_.state;
    DMX_Load_Problems problems;
    // Taken before the file is read: a change in between is then asked about, never missed.
    loaded_file_ = Take_File_Fingerprint(state.DMX_Default_Values_File);
    DMX_Default_Table table =
        Load_DMX_Defaults(state.ParGen_File, state.DMX_Default_Values_File, problems, &ctx_.lang);
    keep_unreadable_file_ = problems.Values_Error.has_value();
    model_->Set_Table(std::move(table));
    if (model_->rowCount() > 0)
        ACG_DMX_Def_Val->setCurrentIndex(model_->index(0, DMX_Table_Model::Value_Column));
    ACG_DMX_Def_Val->scrollToTop();
    ACG_DMX_Def_Val->setFocus();

    if (problems.ParGen_Error)
        ctx_.messages->Error(this, *problems.ParGen_Error + QStringLiteral("\n\n") +
                                       ctx_.Text(978).arg(model_->rowCount()));
    if (problems.Values_Error)
        ctx_.messages->Error(
            this, *problems.Values_Error + QStringLiteral("\n\n") +
                      ctx_.Text(979).arg(File_Display_Name(state.DMX_Default_Values_File)));
}

bool TFDMXDefVal::Controllo_dati() {
    const std::vector<int> failing = DMX_Failing_Rows(model_->Table());
    if (failing.empty())
        return true;
    const int row = failing.front();
    ctx_.messages->Error(this, DMX_Row_Message(row, ctx_.lang));
    // Show the user where the value is.
    const QModelIndex cell = model_->index(row - 1, DMX_Table_Model::Value_Column);
    ACG_DMX_Def_Val->setCurrentIndex(cell);
    ACG_DMX_Def_Val->scrollTo(cell);
    return false;
}

bool TFDMXDefVal::Save() {
    const QString& path = ctx_.state.DMX_Default_Values_File;
    return Save_Project_File(*ctx_.messages, this, ctx_.lang, path, loaded_file_,
                             keep_unreadable_file_,
                             [&] { Save_DMX_Defaults(path, model_->Table()); });
}

void TFDMXDefVal::Btn_OKClick() {
    ACG_DMX_Def_Val->Commit_Edit();
    if (!Controllo_dati())
        return;
    if (!Save())
        return;
    done(QDialog::Accepted);
}

void TFDMXDefVal::Btn_CancelClick() {
    done(QDialog::Rejected);
}

void TFDMXDefVal::Spreadsheet_Export() {
    ACG_DMX_Def_Val->Commit_Edit();
    const DMX_Default_Table& table = model_->Table();
    spreadsheet::Export_File(
        this, ctx_, spreadsheet::Question_Caption(ctx_.Text(500), ctx_.Text(exchange_text::Export)),
        ctx_.state.Project_Name + QStringLiteral("_DMX_Default_Values"),
        [&](Csv_Separator separator) { return Export_DMX_Csv(table, ctx_.lang, separator); });
}

void TFDMXDefVal::Spreadsheet_Import() {
    ACG_DMX_Def_Val->Commit_Edit();
    const auto file = spreadsheet::Ask_Import_File(
        this, ctx_,
        spreadsheet::Question_Caption(ctx_.Text(500), ctx_.Text(exchange_text::Import)));
    if (!file)
        return;
    const int channels = model_->rowCount();
    const DMX_Csv_Import imported = Import_DMX_Csv(
        file->bytes, channels, spreadsheet::Accepted_Titles(ctx_, Csv_Table::DMX), ctx_.lang);
    if (imported.problem) {
        ctx_.messages->Error(this, Csv_Problem_Message(file->path, *imported.problem, ctx_.lang));
        return;
    }
    model_->Set_Table(DMX_Table_From_Rows(channels, imported.rows));
    if (model_->rowCount() > 0)
        ACG_DMX_Def_Val->setCurrentIndex(model_->index(0, DMX_Table_Model::Value_Column));
    ACG_DMX_Def_Val->scrollToTop();
}

void TFDMXDefVal::showEvent(QShowEvent* event) {
    Tessaro_Dialog::showEvent(event);
    // Restoring the window from the task bar keeps the entries; only a new showing reloads.
    if (!event->spontaneous())
        FormShow();
}
