#include "grid/Channel_Grid.h"

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
    setObjectName(QStringLiteral("Channel_Grid"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
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
    held = cell;
    if (!same_look)
        Repaint_Channel(channel);
}

void Channel_Grid::Set_Cells(std::span<const Grid_Cell> cells) {
    const int count = std::min<int>(static_cast<int>(cells.size()), Channel_Count);
    for (int i = 0; i < count; ++i)
        Set_Cell(i + 1, cells[static_cast<size_t>(i)]);
}

void Channel_Grid::Set_Current_Channel(int channel) {
    if (!Valid(channel))
        channel = 0;
    if (channel == current_)
        return;
    const int old = current_;
    current_ = channel;
    Repaint_Channel(old);
    Repaint_Channel(current_);
    emit Current_Channel_Changed(current_);
}

QString Channel_Grid::Tooltip(int channel) const {
    if (!Valid(channel))
        return {};
    const QString& own = Cell(channel).tooltip;
    if (own.isEmpty() && tooltip_source_)
        return tooltip_source_(channel);
    return own;
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
    Paint_Channel_Grid(painter, layout_, cells_, current_ - 1, event->region());
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
        Set_Current_Channel(channel);
        emit Channel_Double_Clicked(channel);
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void Channel_Grid::keyPressEvent(QKeyEvent* event) {
    const int current = current_ > 0 ? current_ : 1;
    int next = -1;
    switch (event->key()) {
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
    case Qt::Key_Home:
        next = 1;
        break;
    case Qt::Key_End:
        next = Channel_Count;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (current_ > 0) {
            emit Channel_Double_Clicked(current_);
            return;
        }
        break;
    default:
        break;
    }
    if (next == -1) {
        QWidget::keyPressEvent(event);
        return;
    }
    // The current channel stays inside the grid.
    if (Valid(next))
        Set_Current_Channel(next);
    else if (current_ == 0)
        Set_Current_Channel(1);
}
