#include "access_dialog/UModbus_TCP_Master_Set_Access.h"

#include "access/Access_Check.h"
#include "access/Access_File.h"
#include "access_dialog/Table_Delegates.h"
#include "context/Save_File.h"
#include "csv_menu/Spreadsheet_Button.h"
#include "exchange/Exchange_Texts.h"
#include "lang/Error_Texts.h"
#include "live/Live_Probe.h"
#include "live/Live_Setup.h"
#include "map_window/UChannel_Map.h"
#include "platform/Error.h"
#include "widgets/Look.h"

#include <QHeaderView>
#include <QHideEvent>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int Client_Width = 1007;
constexpr int Client_Height = 337;
constexpr int Row_Height = 20;

// Column widths, column 0 (N) first.
constexpr int Read_Widths[] = {40, 50, 101, 45, 55, 100, 55, 45, 60, 64, 60, 60, 40, 200};
constexpr int Write_Widths[] = {40, 50, 101, 45, 55, 100, 55, 45, 60, 66, 56, 62, 55, 55, 40, 146};

QStringList Numbers(int count) {
    QStringList numbers;
    numbers.reserve(count);
    for (int i = 0; i < count; ++i)
        numbers.append(QString::number(i));
    return numbers;
}

QStringList Entries(const Lang_Table& t, int first, int last) {
    QStringList texts;
    for (int i = first; i <= last; ++i)
        texts.append(t[i]);
    return texts;
}

} // namespace

TFModbus_TCP_Master_Set_Access::TFModbus_TCP_Master_Set_Access(App_Context& context,
                                                               QWidget* parent)
    : Tessaro_Dialog(parent, "TFModbus_TCP_Master_Set_Access", false)
    , ctx_(context) {
    FormCreate();
}

TFModbus_TCP_Master_Set_Access::~TFModbus_TCP_Master_Set_Access() {
    // The map reads the tables too.
    delete channel_map_;
    // The models read the tables, which go before the child widgets do: the views must not see
    // them any more.
    delete read_model_;
    delete write_model_;
}

Tessaro_Table* TFModbus_TCP_Master_Set_Access::Build_Table(QWidget* page, const char* name,
                                                           Access_Table_Model* model,
                                                           List_Delegate*& positions) {
    auto* table = new Tessaro_Table(page, name);
    table->setModel(model);
    const Request_Table& requests = model->Table();
    const auto fields = Access_Fields(requests.Kind());
    const QStringList types = Access_Type_Names(requests.Kind());
    for (int column = 1; column <= requests.Field_Count(); ++column) {
        switch (fields[static_cast<size_t>(column - 1)].editor) {
        case Access_Editor::Check_Box:
            table->setItemDelegateForColumn(column, new Check_Box_Delegate(table));
            break;
        case Access_Editor::Type_List:
            table->setItemDelegateForColumn(column, new List_Delegate(table, types));
            break;
        case Access_Editor::Position_List:
            positions = new List_Delegate(table, {});
            table->setItemDelegateForColumn(column, positions);
            break;
        case Access_Editor::Bit_List:
            table->setItemDelegateForColumn(column, new List_Delegate(table, Numbers(8)));
            break;
        case Access_Editor::Text:
            break;
        }
    }
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(Row_Height);
    QHeaderView* header = table->horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setMinimumSectionSize(8);
    const int* widths = requests.Kind() == Access_Kind::Read ? Read_Widths : Write_Widths;
    for (int column = 0; column < requests.Column_Count(); ++column)
        table->setColumnWidth(column, widths[column]);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectItems);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                           QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    table->setWordWrap(false);
    table->setTabKeyNavigation(true);

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table);

    table->On_Key_Press = [this](Tessaro_Table& sender, int key) {
        return SGA_KeyPress(&sender, key);
    };
    connect(table, &QTableView::clicked, this, [this, table](const QModelIndex& index) {
        ClickCell(table, index.row(), index.column());
    });
    connect(table, &QTableView::doubleClicked, this, [this, table](const QModelIndex& index) {
        Grid_DblClickCell(table, index.row(), index.column());
    });
    connect(header, &QHeaderView::sectionDoubleClicked, this,
            [this, table](int column) { Grid_DblClickCell(table, Header_Row, column); });
    // A double click on a column border fits the column only where the user asked for it.
    disconnect(header, &QHeaderView::sectionHandleDoubleClicked, table, nullptr);
    connect(header, &QHeaderView::sectionHandleDoubleClicked, this,
            [this, table](int column) { Grid_DblClickCell(table, Header_Row, column); });
    return table;
}

void TFModbus_TCP_Master_Set_Access::FormCreate() {
    read_model_ = new Access_Table_Model(access_.Read, this);
    write_model_ = new Access_Table_Model(access_.Write, this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    const look::Title_Panel title = look::Add_Title_Panel(this);
    P_Title = title.P_Title;
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;
    layout->addWidget(P_Title);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TS_Modbus_Read = new QWidget;
    TS_Modbus_Read->setObjectName(QStringLiteral("TS_Modbus_Read"));
    TS_Modbus_Write = new QWidget;
    TS_Modbus_Write->setObjectName(QStringLiteral("TS_Modbus_Write"));
    PageControl1->addTab(TS_Modbus_Read, QString());
    PageControl1->addTab(TS_Modbus_Write, QString());
    ACG_Modbus_Read = Build_Table(TS_Modbus_Read, "ACG_Modbus_Read", read_model_, read_positions_);
    ACG_Modbus_Write =
        Build_Table(TS_Modbus_Write, "ACG_Modbus_Write", write_model_, write_positions_);
    layout->addWidget(PageControl1, 1);

    P_Button = look::Make_Panel(this, "P_Button", 40);
    layout->addWidget(P_Button);
    const auto add_button = [this](const char* name, int left, QStyle::StandardPixmap glyph) {
        auto* button = new Styled_Button(P_Button, name);
        button->setGeometry(left, 6, 110, 28);
        button->Set_Glyph(style()->standardIcon(glyph));
        button->Set_Show_Hint(true);
        return button;
    };
    Btn_OK = add_button("Btn_OK", 16, QStyle::SP_DialogApplyButton);
    Btn_Cancel = add_button("Btn_Cancel", 134, QStyle::SP_DialogCancelButton);
    Btn_DelRow = add_button("Btn_DelRow", 252, QStyle::SP_TrashIcon);
    Btn_InsRow = add_button("Btn_InsRow", 370, QStyle::SP_FileDialogNewFolder);
    Btn_CopyRow = add_button("Btn_CopyRow", 488, QStyle::SP_FileDialogDetailedView);
    Btn_PasteRow = add_button("Btn_PasteRow", 606, QStyle::SP_FileDialogContentsView);
    // Beyond the specified row of buttons, in the free space on its right.
    Btn_Test_Row = add_button("Btn_Test_Row", 818, QStyle::SP_MediaPlay);
    Btn_Test_Row->setGeometry(818, 6, 90, 28);
    Btn_Cancel->Set_Modal_Result(QDialog::Rejected);
    connect(Btn_OK, &QPushButton::clicked, this, &TFModbus_TCP_Master_Set_Access::Btn_OKClick);
    connect(Btn_DelRow, &QPushButton::clicked, this,
            &TFModbus_TCP_Master_Set_Access::Btn_DelRowClick);
    connect(Btn_InsRow, &QPushButton::clicked, this,
            &TFModbus_TCP_Master_Set_Access::Btn_InsRowClick);
    connect(Btn_CopyRow, &QPushButton::clicked, this,
            &TFModbus_TCP_Master_Set_Access::Btn_CopyRowClick);
    connect(Btn_PasteRow, &QPushButton::clicked, this,
            &TFModbus_TCP_Master_Set_Access::Btn_PasteRowClick);
    connect(Btn_Test_Row, &QPushButton::clicked, this,
            &TFModbus_TCP_Master_Set_Access::Btn_Test_RowClick);
    probe_ = new Live_Probe(this);
    connect(probe_, &Live_Probe::Finished, this,
            &TFModbus_TCP_Master_Set_Access::Test_Row_Finished);
    Btn_Spreadsheet = new Spreadsheet_Button(P_Button, ctx_);
    Btn_Spreadsheet->setGeometry(912, 6, 90, 28);
    Btn_Spreadsheet->On_Export = [this] { Spreadsheet_Export(); };
    Btn_Spreadsheet->On_Import = [this] { Spreadsheet_Import(); };

    // The channel map, in the free space right of the specified buttons.
    Btn_Channel_Map = new Styled_Button(P_Button, "Btn_Channel_Map");
    Btn_Channel_Map->setGeometry(724, 6, 90, 28);
    Btn_Channel_Map->Set_Glyph(style()->standardIcon(QStyle::SP_FileDialogInfoView));
    Btn_Channel_Map->Set_Show_Hint(true);
    connect(Btn_Channel_Map, &QPushButton::clicked, this,
            &TFModbus_TCP_Master_Set_Access::Btn_Channel_MapClick);
    for (Access_Table_Model* model : {read_model_, write_model_}) {
        connect(model, &QAbstractItemModel::dataChanged, this,
                &TFModbus_TCP_Master_Set_Access::Table_Changed);
        connect(model, &QAbstractItemModel::modelReset, this,
                &TFModbus_TCP_Master_Set_Access::Table_Changed);
    }

    look::Set_Caption(L_SW_Code, ctx_.state.SW_Code);
    look::Set_Client_Size(this, Client_Width, Client_Height, false);
    Hint_Read.clear();
    Hint_Write.clear();
    Set_Lang();
}

void TFModbus_TCP_Master_Set_Access::Set_Lang() {
    const Lang_Table& t = ctx_.lang;
    setWindowTitle(t[600]);
    look::Set_Caption(L_SW_Desc, t[601]);
    Styled_Button* buttons[] = {Btn_OK,     Btn_Cancel,  Btn_DelRow,
                                Btn_InsRow, Btn_CopyRow, Btn_PasteRow};
    for (int i = 0; i < 6; ++i) {
        buttons[i]->setText(t[602 + i]);
        buttons[i]->Set_Hint(t[640 + i]);
    }
    Btn_Test_Row->setText(t[743]);
    Btn_Test_Row->Set_Hint(t[744]);
    Btn_Spreadsheet->Set_Lang();

    Btn_Channel_Map->setText(t[703]);
    Btn_Channel_Map->Set_Hint(t[701]);
    PageControl1->setTabText(PageControl1->indexOf(TS_Modbus_Read), t[608]);
    PageControl1->setTabText(PageControl1->indexOf(TS_Modbus_Write), t[609]);

    Hint_Read = Entries(t, 646, 658);
    // The On CMD column is never shown, so it has no hint (entry 668).
    Hint_Write = Entries(t, 659, 667) + Entries(t, 669, 673);

    for (auto [table, model, first] :
         {std::tuple{ACG_Modbus_Read, read_model_, 610}, {ACG_Modbus_Write, write_model_, 624}}) {
        QStringList hints;
        for (int column = 0; column < model->columnCount(); ++column)
            hints.append(SGA_GridHint(table, Header_Row, column));
        model->Set_Header(Entries(t, first, first + model->columnCount() - 1), hints);
    }
}

void TFModbus_TCP_Master_Set_Access::showEvent(QShowEvent* event) {
    Tessaro_Dialog::showEvent(event);
    // A window restored by the desktop keeps its edits.
    if (event->spontaneous())
        return;
    if (!FormShow())
        QTimer::singleShot(0, this, [this] { done(QDialog::Rejected); });
}

void TFModbus_TCP_Master_Set_Access::hideEvent(QHideEvent* event) {
    Tessaro_Dialog::hideEvent(event);
    // Closing the window drops a Test Row that is still waiting; its answer is never shown.
    if (!event->spontaneous() && probe_->Busy()) {
        probe_->Cancel();
        Btn_Test_Row->setEnabled(true);
    }
    // The map belongs to this showing: it closes with the dialog (not when the dialog is only
    // minimised).
    if (!event->spontaneous())
        Close_Channel_Map();
}

void TFModbus_TCP_Master_Set_Access::Close_Channel_Map() {
    if (!channel_map_)
        return;
    channel_map_->hide();
    channel_map_->deleteLater();
    channel_map_ = nullptr;
}

bool TFModbus_TCP_Master_Set_Access::FormShow() {
    const App_State& state = ctx_.state;
    read_model_->Begin_Reload();
    write_model_->Begin_Reload();
    access_.Reset_Access_Table();
    NByte_IN = Access_Slot_Count;
    NByte_OUT = Access_Slot_Count;
    ACG_Modbus_Write->setColumnHidden(Layout_Of(Access_Kind::Write).OnCMD, true);
    ACG_Modbus_Write->setColumnWidth(Layout_Of(Access_Kind::Write).Mnemonic, 146);
    read_positions_->Set_Items(Numbers(NByte_IN));
    write_positions_->Set_Items(Numbers(NByte_OUT));

    // Taken before the file is read: a change in between is then asked about, never missed.
    loaded_file_ = Take_File_Fingerprint(state.ModbusTCPM_SetAccess_File);
    bool loaded = false;
    try {
        Show_Page(Access_Kind_For_DMX(state.ParGen_File));
        Load_Access_File(state.ModbusTCPM_SetAccess_File, access_);
        loaded = true;
    } catch (const Tessaro_Error& error) {
        ctx_.messages->Error(this, Error_Message(error, ctx_.lang));
    }
    read_model_->End_Reload();
    write_model_->End_Reload();
    Do_Copy_In_Read = false;
    Do_Copy_In_Write = false;
    for (Tessaro_Table* table : {ACG_Modbus_Read, ACG_Modbus_Write}) {
        table->setCurrentIndex(table->model()->index(0, 1));
        table->scrollToTop();
    }
    if (loaded && select_slot_on_show_ > 0)
        Select_Slot(select_slot_on_show_);
    select_slot_on_show_ = 0;
    return loaded;
}

void TFModbus_TCP_Master_Set_Access::Show_Page(Access_Kind kind) {
    const bool read = kind == Access_Kind::Read;
    PageControl1->setTabVisible(PageControl1->indexOf(TS_Modbus_Read), read);
    PageControl1->setTabVisible(PageControl1->indexOf(TS_Modbus_Write), !read);
    PageControl1->setCurrentWidget(read ? TS_Modbus_Read : TS_Modbus_Write);
}

Tessaro_Table* TFModbus_TCP_Master_Set_Access::Active_Table() const {
    return PageControl1->currentWidget() == TS_Modbus_Read ? ACG_Modbus_Read : ACG_Modbus_Write;
}

int TFModbus_TCP_Master_Set_Access::Current_Row() const {
    const QModelIndex current = Active_Table()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

Access_Table_Model* TFModbus_TCP_Master_Set_Access::Model_Of(const QTableView* table) const {
    return table == ACG_Modbus_Read ? read_model_ : write_model_;
}

void TFModbus_TCP_Master_Set_Access::Commit_Edits() {
    ACG_Modbus_Read->Commit_Open_Editor();
    ACG_Modbus_Write->Commit_Open_Editor();
}

void TFModbus_TCP_Master_Set_Access::Btn_OKClick() {
    Commit_Edits();
    if (const auto error = Controllo_dati(access_, ctx_.lang, NByte_IN, NByte_OUT)) {
        ctx_.messages->Error(this, *error);
        return;
    }
    const QString& path = ctx_.state.ModbusTCPM_SetAccess_File;
    // The window never opens over a file it could not read, so there is none to keep.
    bool keep_unreadable_file = false;
    if (!Save_Project_File(*ctx_.messages, this, ctx_.lang, path, loaded_file_,
                           keep_unreadable_file, [&] { Save_Access_File(path, access_); }))
        return;
    done(QDialog::Accepted);
}

void TFModbus_TCP_Master_Set_Access::Btn_DelRowClick() {
    Commit_Edits();
    const int row = Current_Row();
    if (row < 0)
        return;
    if (!ctx_.messages->Confirm(this, ctx_.Text(697) + QString::number(row + 1)))
        return;
    Model_Of(Active_Table())->Delete_Row(row + 1);
}

void TFModbus_TCP_Master_Set_Access::Btn_InsRowClick() {
    Commit_Edits();
    const int row = Current_Row();
    if (row >= 0)
        Model_Of(Active_Table())->Insert_Row(row + 1);
}

void TFModbus_TCP_Master_Set_Access::Btn_CopyRowClick() {
    Commit_Edits();
    const int row = Current_Row();
    if (row < 0)
        return;
    Table_Copy_Row(*Active_Table(), row, ctx_);
    const bool read = Active_Table() == ACG_Modbus_Read;
    Do_Copy_In_Read = read;
    Do_Copy_In_Write = !read;
}

void TFModbus_TCP_Master_Set_Access::Btn_PasteRowClick() {
    Commit_Edits();
    const int row = Current_Row();
    if (row < 0)
        return;
    const bool read = Active_Table() == ACG_Modbus_Read;
    Table_Paste_Row(*Active_Table(), row, read ? Do_Copy_In_Read : Do_Copy_In_Write, ctx_);
}

void TFModbus_TCP_Master_Set_Access::Spreadsheet_Export() {
    Commit_Edits();
    const bool read = Active_Table() == ACG_Modbus_Read;
    const Request_Table& table = access_.Table(read ? Access_Kind::Read : Access_Kind::Write);
    const QString name = read ? QStringLiteral("_Modbus_Read") : QStringLiteral("_Modbus_Write");
    spreadsheet::Export_File(this, ctx_,
                             spreadsheet::Question_Caption(ctx_.Text(read ? 608 : 609),
                                                           ctx_.Text(exchange_text::Export)),
                             ctx_.state.Project_Name + name, [&](Csv_Separator separator) {
                                 return Export_Access_Csv(table, ctx_.lang, separator);
                             });
}

void TFModbus_TCP_Master_Set_Access::Spreadsheet_Import() {
    Commit_Edits();
    const bool read = Active_Table() == ACG_Modbus_Read;
    const Access_Kind kind = read ? Access_Kind::Read : Access_Kind::Write;
    const auto file = spreadsheet::Ask_Import_File(
        this, ctx_,
        spreadsheet::Question_Caption(ctx_.Text(read ? 608 : 609),
                                      ctx_.Text(exchange_text::Import)));
    if (!file)
        return;
    const Access_Csv_Import imported = Import_Access_Csv(
        file->bytes, kind, spreadsheet::Accepted_Titles(ctx_, Csv_Table_Of(kind)), ctx_.lang);
    if (imported.problem) {
        ctx_.messages->Error(this, Csv_Problem_Message(file->path, *imported.problem, ctx_.lang));
        return;
    }
    Access_Table_Model* model = Model_Of(Active_Table());
    model->Begin_Reload();
    Replace_Access_Rows(access_.Table(kind), imported.rows);
    model->End_Reload();
    Active_Table()->setCurrentIndex(model->index(0, 1));
    Active_Table()->scrollToTop();
}

void TFModbus_TCP_Master_Set_Access::Btn_Channel_MapClick() {
    Commit_Edits();
    if (!channel_map_) {
        channel_map_ = new TFChannel_Map(ctx_, this);
        // Beside the dialog, so that the table it follows stays in sight.
        channel_map_->Set_Beside(this);
        connect(channel_map_, &TFChannel_Map::Slot_Activated, this,
                &TFModbus_TCP_Master_Set_Access::Select_Slot);
    }
    try {
        channel_map_->Show_Table(access_);
    } catch (const Tessaro_Error& error) {
        ctx_.messages->Error(this, Error_Message(error, ctx_.lang));
        Close_Channel_Map();
        return;
    }
    channel_map_->show();
    channel_map_->raise();
    channel_map_->activateWindow();
}

TFChannel_Map* TFModbus_TCP_Master_Set_Access::Channel_Map_Window() const {
    return channel_map_;
}

void TFModbus_TCP_Master_Set_Access::Table_Changed() {
    if (channel_map_ && channel_map_->isVisible())
        channel_map_->Schedule_Rebuild();
}

void TFModbus_TCP_Master_Set_Access::Select_Slot(int slot) {
    if (slot < 1 || slot > Access_Slot_Count)
        return;
    Tessaro_Table* table = Active_Table();
    const int column = std::max(1, table->currentIndex().column());
    table->setCurrentIndex(table->model()->index(slot - 1, column));
    ClickCell(table, slot - 1, 0);
    table->scrollTo(table->model()->index(slot - 1, column));
    raise();
    activateWindow();
    table->setFocus();
}

void TFModbus_TCP_Master_Set_Access::ClickCell(QTableView* sender, int ARow, int ACol) {
    if (ACol != 0 || ARow < 0)
        return;
    const QAbstractItemModel* model = sender->model();
    sender->selectionModel()->select(
        QItemSelection(model->index(ARow, 0), model->index(ARow, model->columnCount() - 1)),
        QItemSelectionModel::ClearAndSelect);
}

void TFModbus_TCP_Master_Set_Access::Grid_DblClickCell(QTableView* sender, int ARow, int ACol) {
    Table_Auto_Size_Column(*sender, ARow, ACol, ctx_);
}

QString TFModbus_TCP_Master_Set_Access::SGA_GridHint(const QTableView* sender, int ARow,
                                                     int ACol) const {
    if (ARow != Header_Row || ACol <= 0)
        return {};
    if (sender == ACG_Modbus_Read)
        return Hint_Read.value(ACol - 1);
    // Hints follow the displayed columns, which leave out On CMD.
    const int on_cmd = Layout_Of(Access_Kind::Write).OnCMD;
    if (ACol == on_cmd)
        return {};
    return Hint_Write.value(ACol < on_cmd ? ACol - 1 : ACol - 2);
}

bool TFModbus_TCP_Master_Set_Access::SGA_KeyPress(QTableView* sender, int Key) {
    return Table_Enter_Next_Field(*sender, Key, ctx_);
}

void TFModbus_TCP_Master_Set_Access::Btn_Test_RowClick() {
    Commit_Edits();
    const int row = Current_Row();
    if (row < 0 || probe_->Busy())
        return;
    const Request_Table& table = Model_Of(Active_Table())->Table();
    auto request = Device_Request_At(table, row + 1, ctx_.lang);
    if (const auto* refused = std::get_if<Refused_Request>(&request)) {
        ctx_.messages->Error(this, refused->message);
        return;
    }
    const App_State& state = ctx_.state;
    Live_Timing timing;
    try {
        timing = Load_Live_Timing(state.ParGen_File);
    } catch (const Tessaro_Error& error) {
        ctx_.messages->Error(this, Error_Message(error, ctx_.lang));
        return;
    }
    // The answer is shown where it would land; without readable default values, on zeros.
    Data_Array defaults{};
    try {
        defaults = Load_Live_Defaults(state.ParGen_File, state.DMX_Default_Values_File);
    } catch (const Tessaro_Error&) {
    }
    probe_row_ = std::get<Device_Request>(request);
    Btn_Test_Row->setEnabled(false);
    probe_->Start(probe_row_, timing, defaults);
    if (!probe_->Busy())
        Btn_Test_Row->setEnabled(true);
}

bool TFModbus_TCP_Master_Set_Access::Testing_Row() const {
    return probe_->Busy();
}

void TFModbus_TCP_Master_Set_Access::Test_Row_Finished() {
    Btn_Test_Row->setEnabled(true);
    const Probe_Result& result = probe_->Result();
    const QString text = Probe_Message(probe_row_, result, ctx_.lang);
    if (result.error.kind == Live_Error::Kind::None)
        ctx_.messages->Information(this, text);
    else
        ctx_.messages->Error(this, text);
}
