#include "dry_run_window/UDry_Run.h"

#include "lang/Error_Texts.h"
#include "lang/Lang_Table.h"
#include "live/Live_Setup.h"
#include "paint/Channel_Grid_Paint.h"
#include "platform/Error.h"
#include "platform/Int_Conv.h"
#include "widgets/Look.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QIntValidator>
#include <QKeyEvent>
#include <QSplitter>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int Client_Width = 1040;
constexpr int Client_Height = 780;

// The colour of a channel whose value just changed.
QColor Flash_Colour() {
    return QColor(0xFF, 0xD6, 0x00);
}

} // namespace

TFDry_Run::TFDry_Run(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFDry_Run", false)
    , ctx_(context) {
    FormCreate();
}

TFDry_Run::~TFDry_Run() {
    engine_.Stop();
    // The model reads the engine, which goes before the child widgets do.
    LV_Requests->setModel(nullptr);
    delete model_;
}

void TFDry_Run::FormCreate() {
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    const look::Title_Panel title = look::Add_Title_Panel(this);
    P_Title = title.P_Title;
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;
    layout->addWidget(P_Title);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("Splitter"));
    splitter->setChildrenCollapsible(false);
    Grid_Channels = new Channel_Grid(splitter);
    Grid_Channels->setObjectName(QStringLiteral("Grid_Channels"));
    Grid_Channels->Set_Tooltip_Source([this](int channel) { return Tooltip_Of(channel); });
    Grid_Channels->Set_Spoken_Source([this](int channel) { return Spoken_Of(channel); });
    Grid_Channels->installEventFilter(this);
    connect(Grid_Channels, &Channel_Grid::Channel_Double_Clicked, this,
            [this](int channel) { Edit_Channel(channel); });

    LV_Requests = new QTableView(splitter);
    LV_Requests->setObjectName(QStringLiteral("LV_Requests"));
    model_ = new Dry_Run_Model(engine_, ctx_.lang, this);
    LV_Requests->setModel(model_);
    LV_Requests->verticalHeader()->hide();
    LV_Requests->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    LV_Requests->verticalHeader()->setDefaultSectionSize(20);
    LV_Requests->setSelectionBehavior(QAbstractItemView::SelectRows);
    LV_Requests->setSelectionMode(QAbstractItemView::SingleSelection);
    LV_Requests->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LV_Requests->setWordWrap(false);
    // The shipped languages' titles fit these widths (checked by the language tests).
    // The last error takes the room the other columns leave.
    const int widths[] = {44, 130, 150, 70, 80, 110, 250, 100, 80};
    for (int column = 0; column < Dry_Run_Model::Column_Count; ++column)
        LV_Requests->setColumnWidth(column, widths[column]);
    LV_Requests->horizontalHeader()->setSectionResizeMode(Dry_Run_Model::Last_Error,
                                                          QHeaderView::Stretch);
    splitter->addWidget(Grid_Channels);
    splitter->addWidget(LV_Requests);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({420, 240});
    auto* body = new QWidget(this);
    auto* body_layout = new QVBoxLayout(body);
    body_layout->setContentsMargins(8, 8, 8, 8);
    body_layout->addWidget(splitter);
    layout->addWidget(body, 1);

    // The value editor of a channel, over its cell (write table only).
    E_Value = new QLineEdit(Grid_Channels);
    E_Value->setObjectName(QStringLiteral("E_Value"));
    E_Value->setValidator(new QIntValidator(0, 255, E_Value));
    E_Value->setMaxLength(3);
    E_Value->setAlignment(Qt::AlignCenter);
    E_Value->hide();
    E_Value->installEventFilter(this);

    P_Button = look::Make_Panel(this, "P_Button", 40);
    layout->addWidget(P_Button);
    auto* buttons = new QHBoxLayout(P_Button);
    buttons->setContentsMargins(16, 6, 16, 6);
    buttons->setSpacing(8);
    const auto add_button = [this, buttons](const char* name, QStyle::StandardPixmap glyph) {
        auto* button = new Styled_Button(P_Button, name);
        button->setFixedSize(110, 28);
        button->Set_Glyph(style()->standardIcon(glyph));
        buttons->addWidget(button);
        return button;
    };
    Btn_Start = add_button("Btn_Start", QStyle::SP_MediaPlay);
    Btn_Stop = add_button("Btn_Stop", QStyle::SP_MediaStop);
    Btn_Help = add_button("Btn_Help", QStyle::SP_MessageBoxQuestion);
    L_Status = new QLabel(P_Button);
    L_Status->setObjectName(QStringLiteral("L_Status"));
    buttons->addSpacing(8);
    buttons->addWidget(L_Status, 1);
    Btn_Close = add_button("Btn_Close", QStyle::SP_DialogCloseButton);
    Btn_Close->Set_Modal_Result(QDialog::Rejected);
    connect(Btn_Start, &QPushButton::clicked, this, &TFDry_Run::Btn_StartClick);
    connect(Btn_Stop, &QPushButton::clicked, this, &TFDry_Run::Btn_StopClick);
    connect(Btn_Help, &QPushButton::clicked, this, &TFDry_Run::Btn_HelpClick);
    // From the grid down, as the window reads.
    QWidget::setTabOrder(Grid_Channels, LV_Requests);
    QWidget::setTabOrder(LV_Requests, Btn_Start);
    QWidget::setTabOrder(Btn_Start, Btn_Stop);
    QWidget::setTabOrder(Btn_Stop, Btn_Help);
    QWidget::setTabOrder(Btn_Help, Btn_Close);

    connect(&engine_, &Live_Engine::Request_Changed, this, [this](int request) {
        char& flag = dirty_flags_[static_cast<size_t>(request)];
        if (!flag) {
            flag = 1;
            dirty_requests_.push_back(request);
        }
    });
    connect(&engine_, &Live_Engine::Bytes_Changed, this, [this](int first, int last) {
        for (int b = first; b <= last; ++b)
            dirty_bytes_.set(static_cast<size_t>(b));
    });
    refresh_.setInterval(Refresh_Ms);
    connect(&refresh_, &QTimer::timeout, this, &TFDry_Run::Refresh);
    clock_.start();

    look::Set_Caption(L_SW_Code, ctx_.state.SW_Code);
    look::Set_Client_Size(this, Client_Width, Client_Height, false);
    Paint_All();
    Show_Buttons();
    Set_Lang();
}

void TFDry_Run::Set_Lang() {
    const Lang_Table& t = ctx_.lang;
    setWindowTitle(t[720]);
    look::Set_Caption(L_SW_Desc, t[722]);
    Btn_Start->setText(t[723]);
    Btn_Stop->setText(t[724]);
    Btn_Help->setText(t[725]);
    Btn_Close->setText(t[742]);
    Grid_Channels->setAccessibleName(t[990]);
    Grid_Channels->setAccessibleDescription(t[991] + QLatin1Char(' ') + t[993]);
    model_->Retext();
    // The texts of the last errors follow the language too.
    if (model_->Request_Rows() > 0)
        emit model_->dataChanged(
            model_->index(0, 0),
            model_->index(model_->rowCount() - 1, Dry_Run_Model::Column_Count - 1));
    Show_Status();
}

bool TFDry_Run::Btn_StartClick() {
    if (engine_.Running())
        return true;
    Cancel_Edit();
    const App_State& state = ctx_.state;
    Live_Setup setup;
    try {
        setup = Load_Live_Setup(state.ParGen_File, state.DMX_Default_Values_File,
                                state.ModbusTCPM_SetAccess_File, ctx_.lang);
    } catch (const Tessaro_Error& error) {
        ctx_.messages->Error(this, Error_Message(error, ctx_.lang));
        return false;
    }
    return Run_Setup(setup);
}

bool TFDry_Run::Run_Setup(const Live_Setup& setup) {
    if (engine_.Running())
        return true;
    Cancel_Edit();
    channel_count_ = std::clamp(setup.channel_count, 0, Data_Array_Size);
    const std::vector<Device_Request>& requests = setup.list.requests;
    engine_.Set_Plan(setup.list.table, requests, setup.timing, setup.defaults);
    model_->Reset(setup.list.refused);
    for (auto& owners : owners_)
        owners.clear();
    for (int i = 0; i < static_cast<int>(requests.size()); ++i)
        for (int b = requests[static_cast<size_t>(i)].position;
             b <= requests[static_cast<size_t>(i)].Last_Byte(); ++b)
            owners_[static_cast<size_t>(b)].push_back(i);
    dirty_flags_.assign(requests.size(), 0);
    dirty_requests_.clear();
    dirty_bytes_.reset();
    flash_until_.fill(0);
    shown_ = true;
    Paint_All();
    if (requests.empty()) {
        ctx_.messages->Error(this, ctx_.Text(740));
        Show_Status();
        return false;
    }
    const bool write = setup.list.table == Access_Kind::Write;
    if (write) {
        QStringList slaves;
        for (int i = 0; i < static_cast<int>(requests.size()); ++i) {
            const QString slave = QStringLiteral("%1, ID %2")
                                      .arg(engine_.Slave_Of(i))
                                      .arg(requests[static_cast<size_t>(i)].slave_id);
            if (!slaves.contains(slave))
                slaves.append(slave);
        }
        if (!ctx_.messages->Confirm(this, ctx_.Text(735) + QStringLiteral("\n\n") +
                                              slaves.join(QLatin1Char('\n')) +
                                              QStringLiteral("\n\n") + ctx_.Text(736))) {
            Show_Status();
            return false;
        }
    }
    engine_.Allow_Writes(write);
    engine_.Start();
    rate_completed_ = 0;
    rate_at_ms_ = clock_.elapsed();
    rate_ = 0;
    refresh_.start();
    Show_Buttons();
    Show_Status();
    return true;
}

void TFDry_Run::Btn_StopClick() {
    Cancel_Edit();
    engine_.Stop();
    Refresh();
    Show_Buttons();
    Show_Status();
}

void TFDry_Run::Btn_HelpClick() {
    // Each point of the help starts a line of its own.
    QString text = ctx_.Text(741);
    text.replace(QStringLiteral(" \u2022 "), QStringLiteral("\n\n\u2022 "));
    ctx_.messages->Information(this, text);
}

void TFDry_Run::hideEvent(QHideEvent* event) {
    Tessaro_Dialog::hideEvent(event);
    if (!event->spontaneous() && engine_.Running())
        Btn_StopClick();
}

void TFDry_Run::Show_Buttons() {
    Btn_Start->setEnabled(!engine_.Running());
    Btn_Stop->setEnabled(engine_.Running());
}

void TFDry_Run::Show_Status() {
    if (!engine_.Running()) {
        L_Status->setText(shown_ ? ctx_.Text(738) : QString());
        return;
    }
    L_Status->setText(ctx_.Text(737)
                          .arg(engine_.Requests().size())
                          .arg(engine_.Connection_Count())
                          .arg(static_cast<qint64>(rate_ + 0.5)));
}

Grid_Cell TFDry_Run::Cell_Of(int index, bool flash) const {
    Grid_Cell cell;
    const size_t b = static_cast<size_t>(index);
    cell.greyed = index >= channel_count_;
    if (!shown_)
        return cell;
    cell.text = QString::number(engine_.Data()[b]);
    const std::vector<int>& owners = owners_[b];
    if (owners.empty()) {
        cell.background = Empty_Cell_Colour();
        cell.text_colour = Quiet_Text_Colour();
    } else {
        cell.background = Slot_Colour(engine_.Requests()[static_cast<size_t>(owners.front())].slot);
        for (const int owner : owners) {
            const Live_Request_State& s = engine_.States()[static_cast<size_t>(owner)];
            cell.alert = cell.alert || s.suspended || s.errors_in_row > 0;
        }
    }
    if (flash) {
        cell.background = Flash_Colour();
        cell.text_colour = QColor(Qt::black);
        cell.alert = false;
    }
    return cell;
}

QString TFDry_Run::Tooltip_Of(int channel) const {
    if (!shown_ || channel < 1 || channel > Data_Array_Size)
        return {};
    const size_t b = static_cast<size_t>(channel - 1);
    QString text = QStringLiteral("%1 = %2").arg(channel).arg(engine_.Data()[b]);
    for (const int owner : owners_[b]) {
        const Device_Request& r = engine_.Requests()[static_cast<size_t>(owner)];
        const Live_Request_State& s = engine_.States()[static_cast<size_t>(owner)];
        text += QLatin1Char('\n') + ctx_.Text(726) + QLatin1Char(' ') + QString::number(r.slot) +
                QStringLiteral(": ") + engine_.Slave_Of(owner) + QStringLiteral(", ID ") +
                QString::number(r.slave_id);
        if (!r.mnemonic.trimmed().isEmpty())
            text += QStringLiteral(" (") + r.mnemonic + QLatin1Char(')');
        if (s.errors_in_row > 0 || s.suspended)
            text += QStringLiteral(" - ") + Live_Error_Text(s.last_error, ctx_.lang);
    }
    return text;
}

QString TFDry_Run::Spoken_Of(int channel) const {
    if (channel < 1 || channel > Data_Array_Size)
        return {};
    const Lang_Table& t = ctx_.lang;
    const size_t b = static_cast<size_t>(channel - 1);
    QStringList parts;
    if (shown_) {
        parts.append(QString::number(engine_.Data()[b]));
        if (owners_[b].empty())
            parts.append(t[987]);
        for (const int owner : owners_[b]) {
            const Device_Request& r = engine_.Requests()[static_cast<size_t>(owner)];
            const Live_Request_State& s = engine_.States()[static_cast<size_t>(owner)];
            QString part = t[959] + QString::number(r.slot);
            if (!r.mnemonic.trimmed().isEmpty())
                part += QLatin1Char(' ') + r.mnemonic.trimmed();
            if (s.suspended)
                part += QStringLiteral(", ") + t[988];
            if (s.suspended || s.errors_in_row > 0)
                part += QStringLiteral(", ") + t[989] + Live_Error_Text(s.last_error, t);
            parts.append(part);
        }
    }
    if (channel > channel_count_)
        parts.append(t[718]);
    QString text = t[704] + QString::number(channel);
    if (!parts.isEmpty())
        text += QStringLiteral(": ") + parts.join(QStringLiteral(", "));
    return text;
}

void TFDry_Run::Paint_All() {
    std::array<Grid_Cell, Data_Array_Size> cells;
    for (int b = 0; b < Data_Array_Size; ++b)
        cells[static_cast<size_t>(b)] = Cell_Of(b, flash_until_[static_cast<size_t>(b)] != 0);
    Grid_Channels->Set_Cells(cells);
}

void TFDry_Run::Refresh() {
    const std::int64_t now = clock_.elapsed();
    std::bitset<Data_Array_Size> repaint;
    if (!dirty_requests_.empty()) {
        // A request that starts or stops failing changes the colour of its channels.
        for (const int request : dirty_requests_) {
            dirty_flags_[static_cast<size_t>(request)] = 0;
            const Device_Request& r = engine_.Requests()[static_cast<size_t>(request)];
            for (int b = r.position; b <= r.Last_Byte(); ++b)
                repaint.set(static_cast<size_t>(b));
        }
        model_->Refresh_Rows(std::move(dirty_requests_));
        dirty_requests_.clear();
    }
    bool flashing = false;
    for (int b = 0; b < Data_Array_Size; ++b) {
        const size_t k = static_cast<size_t>(b);
        if (dirty_bytes_.test(k)) {
            flash_until_[k] = now + Flash_Ms;
            repaint.set(k);
        } else if (flash_until_[k] != 0 && flash_until_[k] <= now) {
            flash_until_[k] = 0;
            repaint.set(k);
        }
        flashing = flashing || flash_until_[k] != 0;
        if (repaint.test(k))
            Grid_Channels->Set_Cell(b + 1, Cell_Of(b, flash_until_[k] != 0));
    }
    dirty_bytes_.reset();

    // The answers per second, over about a second.
    if (now - rate_at_ms_ >= 1000 && engine_.Running()) {
        const std::uint64_t completed = engine_.Completed();
        rate_ = static_cast<double>(completed - rate_completed_) * 1000.0 /
                static_cast<double>(now - rate_at_ms_);
        rate_completed_ = completed;
        rate_at_ms_ = now;
        Show_Status();
    }
    if (!engine_.Running() && !flashing)
        refresh_.stop();
}

bool TFDry_Run::Edit_Channel(int channel, const QString& text) {
    if (!engine_.Running() || engine_.Table() != Access_Kind::Write || channel < 1 ||
        channel > Data_Array_Size)
        return false;
    editing_ = channel;
    Grid_Channels->Set_Current_Channel(channel);
    QRect rect = Grid_Channels->Cell_Rect(channel);
    const int width = std::max(rect.width(), 40);
    rect = QRect(rect.center().x() - width / 2, rect.top(), width, rect.height());
    E_Value->setGeometry(rect);
    E_Value->setText(
        text.isEmpty() ? QString::number(engine_.Data()[static_cast<size_t>(channel - 1)]) : text);
    E_Value->setAccessibleName(ctx_.Text(704) + QString::number(channel));
    E_Value->show();
    E_Value->raise();
    E_Value->setFocus();
    if (text.isEmpty())
        E_Value->selectAll();
    else
        E_Value->deselect();
    return true;
}

void TFDry_Run::Commit_Edit() {
    if (!editing_)
        return;
    const int channel = editing_;
    const auto value = Parse_Int(E_Value->text());
    Cancel_Edit();
    if (value && *value >= 0 && *value <= 255)
        engine_.Set_Byte(channel - 1, static_cast<std::uint8_t>(*value));
    Refresh();
}

void TFDry_Run::Cancel_Edit() {
    if (!editing_)
        return;
    editing_ = 0;
    E_Value->hide();
    Grid_Channels->setFocus();
}

bool TFDry_Run::eventFilter(QObject* watched, QEvent* event) {
    if (watched == E_Value) {
        // The editor keeps its keys: Enter would reach the grid (which opens an editor on it)
        // and Escape the window (which closes on it).
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                Commit_Edit();
                return true;
            }
            if (key == Qt::Key_Escape) {
                Cancel_Edit();
                return true;
            }
        }
        if (event->type() == QEvent::FocusOut && editing_)
            Commit_Edit();
    } else if (watched == Grid_Channels && event->type() == QEvent::KeyPress) {
        // Typing a number on a channel starts changing its value.
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1 && text.front().isDigit() && Grid_Channels->Current_Channel() > 0 &&
            Edit_Channel(Grid_Channels->Current_Channel(), text))
            return true;
    }
    return Tessaro_Dialog::eventFilter(watched, event);
}
