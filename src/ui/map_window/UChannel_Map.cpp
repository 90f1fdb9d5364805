#include "map_window/UChannel_Map.h"

#include "access/Access_File.h"
#include "lang/Error_Texts.h"
#include "paint/Map_Grid_Cells.h"
#include "platform/Error.h"
#include "widgets/Look.h"
#include "widgets/Window_Place.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int Client_Width = 1000;
constexpr int Client_Height = 760;

// A small coloured square for the legend.
QPixmap Swatch(const QColor& colour) {
    QPixmap pixmap(14, 14);
    pixmap.fill(colour);
    QPainter painter(&pixmap);
    painter.setPen(QColor(0xB8, 0xB4, 0xA0));
    painter.drawRect(0, 0, 13, 13);
    return pixmap;
}

QLabel* Add_Legend(QWidget* parent, QHBoxLayout* layout, const char* name, const QColor& colour) {
    auto* swatch = new QLabel(parent);
    swatch->setPixmap(Swatch(colour));
    layout->addWidget(swatch);
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    layout->addWidget(label);
    layout->addSpacing(16);
    return label;
}

QTreeWidget* Make_List(QWidget* parent, const char* name) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return list;
}

} // namespace

TFChannel_Map::TFChannel_Map(App_Context& context, QWidget* parent)
    : Tessaro_Dialog(parent, "TFChannel_Map", false)
    , ctx_(context) {
    // Beside the window it was opened from, which stays usable.
    setModal(false);
    FormCreate();
}

void TFChannel_Map::FormCreate() {
    rebuild_timer_ = new QTimer(this);
    rebuild_timer_->setSingleShot(true);
    rebuild_timer_->setInterval(0);
    connect(rebuild_timer_, &QTimer::timeout, this, &TFChannel_Map::Rebuild);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const look::Title_Panel title = look::Add_Title_Panel(this);
    P_Title = title.P_Title;
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;
    layout->addWidget(P_Title);

    auto* body = new QWidget(this);
    auto* body_layout = new QVBoxLayout(body);
    body_layout->setContentsMargins(12, 6, 12, 6);
    body_layout->setSpacing(6);
    L_Source = new QLabel(body);
    L_Source->setObjectName(QStringLiteral("L_Source"));
    body_layout->addWidget(L_Source);

    Grid_Channels = new Channel_Grid(body);
    Grid_Channels->setObjectName(QStringLiteral("Grid_Channels"));
    body_layout->addWidget(Grid_Channels, 5);

    auto* legend = new QWidget(body);
    legend->setObjectName(QStringLiteral("P_Legend"));
    auto* legend_layout = new QHBoxLayout(legend);
    legend_layout->setContentsMargins(0, 0, 0, 0);
    legend_layout->setSpacing(4);
    L_Legend_Overlap = Add_Legend(legend, legend_layout, "L_Legend_Overlap", Alert_Colour());
    L_Legend_Beyond = Add_Legend(legend, legend_layout, "L_Legend_Beyond", Greyed_Colour());
    L_Legend_Empty = Add_Legend(legend, legend_layout, "L_Legend_Empty", Empty_Cell_Colour());
    legend_layout->addStretch(1);
    body_layout->addWidget(legend);

    auto* lists = new QHBoxLayout;
    lists->setSpacing(12);
    auto* findings = new QVBoxLayout;
    L_Findings = look::Add_Label(body, "L_Findings", QPoint(), look::Label_Style::Grey_Bold);
    findings->addWidget(L_Findings);
    LV_Findings = Make_List(body, "LV_Findings");
    LV_Findings->setHeaderHidden(true);
    LV_Findings->setColumnCount(1);
    findings->addWidget(LV_Findings);
    lists->addLayout(findings, 3);
    auto* load = new QVBoxLayout;
    L_Load = look::Add_Label(body, "L_Load", QPoint(), look::Label_Style::Grey_Bold);
    load->addWidget(L_Load);
    LV_Load = Make_List(body, "LV_Load");
    LV_Load->setColumnCount(4);
    LV_Load->header()->setStretchLastSection(false);
    LV_Load->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    load->addWidget(LV_Load);
    lists->addLayout(load, 2);
    body_layout->addLayout(lists, 2);
    layout->addWidget(body, 1);

    P_Button = look::Make_Panel(this, "P_Button", 40);
    layout->addWidget(P_Button);
    Btn_Close = new Styled_Button(P_Button, "Btn_Close");
    Btn_Close->setGeometry(16, 6, 110, 28);
    Btn_Close->Set_Glyph(style()->standardIcon(QStyle::SP_DialogCloseButton));
    connect(Btn_Close, &QPushButton::clicked, this, &QWidget::close);

    Grid_Channels->Set_Tooltip_Source(
        [this](int channel) { return Channel_Description(map_, channel, ctx_.lang); });
    Grid_Channels->Set_Spoken_Source(
        [this](int channel) { return Channel_Spoken_Text(map_, channel, ctx_.lang); });
    // From the grid down, as the window reads.
    QWidget::setTabOrder(Grid_Channels, LV_Findings);
    QWidget::setTabOrder(LV_Findings, LV_Load);
    QWidget::setTabOrder(LV_Load, Btn_Close);
    connect(Grid_Channels, &Channel_Grid::Current_Channel_Changed, this,
            &TFChannel_Map::Mark_Requests_At);
    connect(Grid_Channels, &Channel_Grid::Channel_Double_Clicked, this,
            &TFChannel_Map::Activate_Channel);
    connect(LV_Findings, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            Mark_Finding(item->data(0, Qt::UserRole).toInt());
    });
    connect(LV_Findings, &QTreeWidget::itemActivated, this, &TFChannel_Map::Activate_Finding);

    look::Set_Caption(L_SW_Code, ctx_.state.SW_Code);
    look::Set_Client_Size(this, Client_Width, Client_Height, false);
    Set_Lang();
}

void TFChannel_Map::Set_Lang() {
    const Lang_Table& t = ctx_.lang;
    setWindowTitle(t[700]);
    look::Set_Caption(L_SW_Desc, t[700]);
    L_Legend_Overlap->setText(t[717]);
    L_Legend_Beyond->setText(t[718]);
    L_Legend_Empty->setText(t[719]);
    Grid_Channels->setAccessibleName(t[990]);
    Grid_Channels->setAccessibleDescription(t[991] + QLatin1Char(' ') + t[992]);
    L_Findings->setText(t[950]);
    L_Load->setText(t[951]);
    LV_Load->setHeaderLabels({t[952], t[953], t[954], t[955]});
    LV_Load->headerItem()->setToolTip(3, t[956]);
    Btn_Close->setText(t[964]);
    if (shown_)
        Rebuild();
}

void TFChannel_Map::Place_On_Show(const QShowEvent& event) {
    if (!beside_) {
        Tessaro_Dialog::Place_On_Show(event);
        return;
    }
    // Restored by the desktop: it stays where it was.
    if (event.spontaneous())
        return;
    QWidget* dialog = beside_->window();
    const QScreen* screen = dialog->screen() ? dialog->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // Before the desktop has framed the map, its frame is taken to be as wide as the dialog's.
    QSize margins = frameGeometry().size() - size();
    if (margins.isNull())
        margins = dialog->frameGeometry().size() - dialog->size();
    // A map taller or wider than the screen's area is made to fit it, as far as it can shrink.
    const QSize room = area.size() - margins;
    if (width() > room.width() || height() > room.height())
        resize(std::max(minimumSizeHint().width(), std::min(width(), room.width())),
               std::max(minimumSizeHint().height(), std::min(height(), room.height())));
    move(Place_Beside(dialog->frameGeometry(), size() + margins, area));
}

void TFChannel_Map::Load_Settings() {
    const App_State& state = ctx_.state;
    settings_ = Load_Map_Settings(state.ParGen_File, state.DMX_Default_Values_File);
}

void TFChannel_Map::Show_Table(const Access_Table& access) {
    Load_Settings();
    live_ = &access;
    Rebuild();
}

void TFChannel_Map::Show_Files() {
    Load_Settings();
    Access_Table saved;
    saved.Reset_Access_Table();
    Load_Access_File(ctx_.state.ModbusTCPM_SetAccess_File, saved);
    saved_ = std::move(saved);
    live_ = nullptr;
    Rebuild();
}

bool TFChannel_Map::Refresh() {
    try {
        if (ctx_.state.Project_Dir.isEmpty()) {
            close();
            return true;
        }
        if (live_)
            Show_Table(*live_);
        else
            Show_Files();
        return true;
    } catch (const Tessaro_Error& error) {
        close();
        ctx_.messages->Error(parentWidget(), Error_Message(error, ctx_.lang));
        return false;
    }
}

void TFChannel_Map::Schedule_Rebuild() {
    if (!rebuild_timer_->isActive())
        rebuild_timer_->start();
}

void TFChannel_Map::Rebuild() {
    rebuild_timer_->stop();
    map_ = Build_Channel_Map(live_ ? *live_ : saved_, settings_, ctx_.lang);
    shown_ = true;
    auto cells = Map_Grid_Cells(map_);
    // The requests may have moved: the marks follow the requests of the current channel.
    marks_ = Request_Marks(Grid_Channels->Current_Channel());
    for (int i = 0; i < Map_Channel_Count; ++i)
        cells[static_cast<size_t>(i)].marked = marks_[static_cast<size_t>(i)];
    Grid_Channels->Set_Cells(cells);
    Show_Source();
    Show_Findings();
    Show_Load();
}

void TFChannel_Map::Show_Source() {
    const Lang_Table& t = ctx_.lang;
    const QString separator = QStringLiteral("   \u00b7   ");
    L_Source->setText((map_.table == Access_Kind::Read ? t[608] : t[609]) + separator + t[960] +
                      QString::number(map_.channel_count) + separator + (live_ ? t[961] : t[962]));
}

void TFChannel_Map::Show_Findings() {
    // After an edit the list keeps its place, and the finding in hand where it is still there.
    const QString current =
        LV_Findings->currentItem() ? LV_Findings->currentItem()->text(0) : QString();
    const int scrolled = LV_Findings->verticalScrollBar()->value();
    const QSignalBlocker blocker(LV_Findings);
    LV_Findings->clear();
    QList<QTreeWidgetItem*> items;
    QTreeWidgetItem* again = nullptr;
    for (size_t i = 0; i < map_.findings.size(); ++i) {
        const Map_Finding& f = map_.findings[i];
        auto* item = new QTreeWidgetItem(QStringList(f.text));
        const QStyle::StandardPixmap icon =
            f.severity == Map_Severity::Error     ? QStyle::SP_MessageBoxCritical
            : f.severity == Map_Severity::Warning ? QStyle::SP_MessageBoxWarning
                                                  : QStyle::SP_MessageBoxInformation;
        item->setIcon(0, style()->standardIcon(icon));
        item->setToolTip(0, f.text);
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        if (!again && !current.isEmpty() && f.text == current)
            again = item;
        items.append(item);
    }
    if (items.isEmpty()) {
        auto* item = new QTreeWidgetItem(QStringList(ctx_.Text(963)));
        item->setData(0, Qt::UserRole, -1);
        items.append(item);
    }
    LV_Findings->addTopLevelItems(items);
    if (again)
        LV_Findings->setCurrentItem(again);
    LV_Findings->verticalScrollBar()->setValue(scrolled);
}

void TFChannel_Map::Show_Load() {
    const Lang_Table& t = ctx_.lang;
    LV_Load->clear();
    QList<QTreeWidgetItem*> items;
    for (const Slave_Load& load : map_.slaves) {
        QString rate = QString::number(load.requests_per_second, 'f', 1);
        if (load.as_fast_as_possible == load.requests)
            rate = t[957];
        else if (load.as_fast_as_possible > 0)
            rate += QStringLiteral(" + ") + QString::number(load.as_fast_as_possible) +
                    QLatin1Char(' ') + t[957];
        auto* item = new QTreeWidgetItem(QStringList{load.Name(), QString::number(load.requests),
                                                     rate, QString::number(load.worst_round_ms)});
        for (int column = 1; column < 4; ++column)
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    LV_Load->addTopLevelItems(items);
    for (int column = 1; column < 4; ++column)
        LV_Load->resizeColumnToContents(column);
}

std::bitset<Map_Channel_Count> TFChannel_Map::Request_Marks(int channel) const {
    std::bitset<Map_Channel_Count> marks;
    for (const Channel_Owner& owner : map_.Owners(channel)) {
        const Device_Request& r = map_.Request_Of(owner);
        for (int k = r.position; k <= std::min(r.Last_Byte(), Map_Channel_Count - 1); ++k)
            marks.set(static_cast<size_t>(k));
    }
    return marks;
}

void TFChannel_Map::Mark_Requests_At(int channel) {
    Apply_Marks(Request_Marks(channel));
}

void TFChannel_Map::Mark_Finding(int index) {
    if (index < 0 || index >= static_cast<int>(map_.findings.size()))
        return;
    const Map_Finding& f = map_.findings[static_cast<size_t>(index)];
    int first = f.first_channel;
    int last = f.last_channel;
    if (first == 0 && !f.slot_numbers.empty()) {
        // A finding about rows: the channels of its first row on the map.
        first = map_.First_Channel_Of_Slot(f.slot_numbers.front());
        last = first;
    }
    if (first == 0)
        return;
    const QSignalBlocker blocker(Grid_Channels);
    Grid_Channels->Set_Current_Channel(first);
    std::bitset<Map_Channel_Count> marks;
    for (int channel = first; channel <= last; ++channel)
        marks.set(static_cast<size_t>(channel - 1));
    Apply_Marks(marks);
}

void TFChannel_Map::Apply_Marks(const std::bitset<Map_Channel_Count>& marks) {
    const std::bitset<Map_Channel_Count> changed = marks ^ marks_;
    marks_ = marks;
    for (int i = 0; i < Map_Channel_Count; ++i) {
        if (!changed[static_cast<size_t>(i)])
            continue;
        Grid_Cell cell = Grid_Channels->Cell(i + 1);
        cell.marked = marks_[static_cast<size_t>(i)];
        Grid_Channels->Set_Cell(i + 1, cell);
    }
}

void TFChannel_Map::Activate_Channel(int channel) {
    const auto owners = map_.Owners(channel);
    if (!owners.empty())
        emit Slot_Activated(map_.Request_Of(owners.front()).slot);
}

void TFChannel_Map::Activate_Finding(QTreeWidgetItem* item) {
    const int index = item ? item->data(0, Qt::UserRole).toInt() : -1;
    if (index < 0 || index >= static_cast<int>(map_.findings.size()))
        return;
    const Map_Finding& f = map_.findings[static_cast<size_t>(index)];
    if (!f.slot_numbers.empty())
        emit Slot_Activated(f.slot_numbers.front());
}
