#include "grid/Channel_Grid.h"

#include "grid/Channel_Grid_Accessible.h"

#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

namespace {

const Grid_Cell Empty_Cell;

bool Valid(int channel) {
    return channel >= 1 && channel <= Channel_Grid::Channel_Count;
}

} // namespace

Channel_Grid::Channel_Grid(QWidget* parent)
    : QWidget(parent) {
    Install_Channel_Grid_Accessibility();
    setObjectName(QStringLiteral("Channel_Grid"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    announce_.setSingleShot(true);
    announce_.setInterval(0);
    connect(&announce_, &QTimer::timeout, this, &Channel_Grid::Announce_Changes);
    Update_Layout();
}

const Grid_Cell& Channel_Grid::Cell(int channel) const {
    return Valid(channel) ? cells_[static_cast<size_t>(channel - 1)] : Empty_Cell;
}

void Channel_Grid::Set_Cell(int channel, const Grid_Cell& cell) {
    if (!Valid(channel))
        return;
    Grid_Cell& held = cells_[static_cast<size_t>(channel - 1)];
    if (held == cell)
        return;
    // A new tooltip alone changes nothing on the screen.
    Grid_Cell looked = held;
    looked.tooltip = cell.tooltip;
    const bool same_look = looked == cell;
    // What a reader hears changes with the text and the marks, not with a colour alone.
    const bool same_meaning =
        held.text == cell.text && held.alert == cell.alert && held.greyed == cell.greyed;
    held = cell;
    if (!same_look)
        Repaint_Channel(channel);
    if (!same_meaning) {
        unannounced_.set(static_cast<size_t>(channel - 1));
        if (!announce_.isActive())
            announce_.start();
    }
}

void Channel_Grid::Set_Cells(std::span<const Grid_Cell> cells) {
    const int count = std::min<int>(static_cast<int>(cells.size()), Channel_Count);
    for (int i = 0; i < count; ++i)
        Set_Cell(i + 1, cells[static_cast<size_t>(i)]);
}

void Channel_Grid::Set_Current_Channel(int channel) {
    Move_Current(channel, true);
}

void Channel_Grid::Move_Current(int channel, bool tell_focus) {
    if (!Valid(channel))
        channel = 0;
    if (channel == current_)
        return;
    const int old = current_;
    current_ = channel;
    Repaint_Channel(old);
    Repaint_Channel(current_);
    // As Qt's tables tell it: the cell left, the cell chosen and, with the focus, the focus.
    Tell_Reader(old, QAccessible::SelectionRemove);
    Tell_Reader(current_, QAccessible::SelectionAdd);
    if (tell_focus && hasFocus())
        Tell_Reader(current_, QAccessible::Focus);
    emit Current_Channel_Changed(current_);
}

void Channel_Grid::Activate_Channel(int channel) {
    if (!Valid(channel))
        return;
    Set_Current_Channel(channel);
    emit Channel_Double_Clicked(channel);
}

QString Channel_Grid::Tooltip(int channel) const {
    if (!Valid(channel))
        return {};
    const QString& own = Cell(channel).tooltip;
    if (own.isEmpty() && tooltip_source_)
        return tooltip_source_(channel);
    return own;
}

QString Channel_Grid::Spoken_Text(int channel) const {
    if (!Valid(channel))
        return {};
    if (spoken_source_)
        return spoken_source_(channel);
    const QString& text = Cell(channel).text;
    return text.isEmpty() ? QString::number(channel)
                          : QString::number(channel) + QStringLiteral(": ") + text;
}

QRect Channel_Grid::Cell_Rect(int channel) const {
    return layout_.Cell_Rect(channel - 1);
}

int Channel_Grid::Channel_At(QPoint point) const {
    return layout_.Cell_At(point) + 1;
}

QSize Channel_Grid::sizeHint() const {
    return QSize(layout_.label_width + Grid_Columns * 30 + 1,
                 layout_.label_height + Grid_Rows * 24 + 1);
}

QSize Channel_Grid::minimumSizeHint() const {
    return QSize(layout_.label_width + Grid_Columns * 18, layout_.label_height + Grid_Rows * 14);
}

void Channel_Grid::Update_Layout() {
    layout_ = Layout_Channel_Grid(rect(), font());
}

void Channel_Grid::Repaint_Channel(int channel) {
    if (Valid(channel))
        update(Cell_Rect(channel));
}

bool Channel_Grid::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tooltip = Tooltip(Channel_At(help->pos()));
        if (!tooltip.isEmpty())
            QToolTip::showText(help->globalPos(), tooltip, this,
                               Cell_Rect(Channel_At(help->pos())));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void Channel_Grid::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().window());
    Paint_Channel_Grid(painter, layout_, cells_, current_ - 1, event->region(), hasFocus());
}

void Channel_Grid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Update_Layout();
}

void Channel_Grid::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        Update_Layout();
        updateGeometry();
        update();
    }
}

void Channel_Grid::mousePressEvent(QMouseEvent* event) {
    const int channel = Channel_At(event->position().toPoint());
    if (event->button() == Qt::LeftButton && channel > 0)
        Set_Current_Channel(channel);
    QWidget::mousePressEvent(event);
}

void Channel_Grid::mouseDoubleClickEvent(QMouseEvent* event) {
    const int channel = Channel_At(event->position().toPoint());
    if (event->button() == Qt::LeftButton && channel > 0) {
        Activate_Channel(channel);
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

int Channel_Grid::Key_Target(const QKeyEvent& event) const {
    const int current = current_ > 0 ? current_ : 1;
    const int column = (current - 1) % Grid_Columns;
    int next = 0;
    switch (event.key()) {
    case Qt::Key_Left:
        next = current - 1;
        break;
    case Qt::Key_Right:
        next = current + 1;
        break;
    case Qt::Key_Up:
        next = current - Grid_Columns;
        break;
    case Qt::Key_Down:
        next = current + Grid_Columns;
        break;
    // Home and End (with Ctrl as well) go to the ends of the channel range, as they always did.
    case Qt::Key_Home:
        next = 1;
        break;
    case Qt::Key_End:
        next = Channel_Count;
        break;
    case Qt::Key_PageUp:
        next = column + 1;
        break;
    case Qt::Key_PageDown:
        next = Channel_Count - Grid_Columns + column + 1;
        break;
    default:
        return 0;
    }
    // Nothing current yet: the first key starts at channel 1. The current channel stays inside
    // the grid.
    if (current_ == 0)
        return 1;
    return Valid(next) ? next : current_;
}

void Channel_Grid::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (current_ > 0)
            Activate_Channel(current_);
        else
            QWidget::keyPressEvent(event);
        return;
    }
    const int next = Key_Target(*event);
    if (next == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    Set_Current_Channel(next);
}

void Channel_Grid::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (current_ == 0 && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                          reason == Qt::ShortcutFocusReason))
        Move_Current(1, false);
    // Qt tells the reader of the grid's focus after this handler (and the focus frame is drawn
    // by the repaint QWidget asks for): the current cell follows it.
    QMetaObject::invokeMethod(this, &Channel_Grid::Tell_Focus, Qt::QueuedConnection);
}

void Channel_Grid::Tell_Focus() {
    if (hasFocus())
        Tell_Reader(current_, QAccessible::Focus);
}

void Channel_Grid::Tell_Reader(int channel, QAccessible::Event type) {
    if (!Valid(channel))
        return;
    QAccessibleEvent event(this, type);
    event.setChild(channel - 1);
    QAccessible::updateAccessibility(&event);
}

void Channel_Grid::Announce_Changes() {
    if (unannounced_.none())
        return;
    const std::bitset<Channel_Count> changed = unannounced_;
    unannounced_.reset();
    if (!isVisible())
        return;
    int first_row = Grid_Rows, last_row = -1, first_column = Grid_Columns, last_column = -1;
    for (int i = 0; i < Channel_Count; ++i) {
        if (!changed.test(static_cast<size_t>(i)))
            continue;
        first_row = std::min(first_row, i / Grid_Columns);
        last_row = std::max(last_row, i / Grid_Columns);
        first_column = std::min(first_column, i % Grid_Columns);
        last_column = std::max(last_column, i % Grid_Columns);
    }
    QAccessibleTableModelChangeEvent data(this, QAccessibleTableModelChangeEvent::DataChanged);
    data.setFirstRow(first_row);
    data.setLastRow(last_row);
    data.setFirstColumn(first_column);
    data.setLastColumn(last_column);
    QAccessible::updateAccessibility(&data);
    // The reader speaks again the cell it stands on; the others it reads when it comes to them.
    if (current_ > 0 && changed.test(static_cast<size_t>(current_ - 1)))
        Tell_Reader(current_, QAccessible::NameChanged);
}
