#include "grid/Channel_Grid_Accessible.h"

#include "grid/Channel_Grid.h"

#include <QPointer>
#include <QWindow>

namespace {

// One channel's cell. It holds no QObject of its own: the table made it and deletes it.
class Channel_Cell_Accessible : public QAccessibleInterface,
                                public QAccessibleTableCellInterface,
                                public QAccessibleActionInterface {
public:
    Channel_Cell_Accessible(Channel_Grid* grid, int channel)
        : grid_(grid)
        , channel_(channel) {}

    bool isValid() const override { return !grid_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        if (!grid_)
            return nullptr;
        return grid_->window()->windowHandle();
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(grid_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text type) const override {
        if (!grid_)
            return {};
        switch (type) {
        case QAccessible::Name:
            return grid_->Spoken_Text(channel_);
        case QAccessible::Description: {
            // The tooltip says more; where it says the same, once is enough.
            const QString tooltip = grid_->Tooltip(channel_);
            return tooltip == grid_->Spoken_Text(channel_) ? QString() : tooltip;
        }
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!grid_)
            return {};
        const QRect cell = grid_->Cell_Rect(channel_);
        return QRect(grid_->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!grid_)
            return state;
        state.selectable = true;
        state.focusable = true;
        state.selected = isSelected();
        state.focused = state.selected && grid_->hasFocus();
        state.invisible = !grid_->isVisible();
        state.disabled = !grid_->isEnabled();
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override { return grid_ && grid_->Current_Channel() == channel_; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return (channel_ - 1) % Grid_Columns; }
    int rowIndex() const override { return (channel_ - 1) / Grid_Columns; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    QStringList actionNames() const override {
        if (!grid_ || !grid_->isEnabled())
            return {};
        return {pressAction(), setFocusAction()};
    }
    void doAction(const QString& name) override {
        if (!grid_ || !grid_->isEnabled())
            return;
        if (name == pressAction()) {
            // A double click may open a window with a loop of its own: the reader's call returns
            // first.
            QMetaObject::invokeMethod(
                grid_.data(),
                [grid = grid_, channel = channel_] {
                    if (grid)
                        grid->Activate_Channel(channel);
                },
                Qt::QueuedConnection);
        } else if (name == setFocusAction()) {
            grid_->setFocus(Qt::OtherFocusReason);
            grid_->Set_Current_Channel(channel_);
        }
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == pressAction())
            return {QStringLiteral("Return")};
        return {};
    }

private:
    QPointer<Channel_Grid> grid_;
    int channel_;
};

QAccessibleInterface* Grid_Factory(const QString& class_name, QObject* object) {
    if (class_name == QLatin1String("Channel_Grid"))
        if (auto* grid = qobject_cast<Channel_Grid*>(object))
            return new Channel_Grid_Accessible(grid);
    return nullptr;
}

} // namespace

Channel_Grid_Accessible::Channel_Grid_Accessible(Channel_Grid* grid)
    : QAccessibleWidget(grid, QAccessible::Table) {}

Channel_Grid_Accessible::~Channel_Grid_Accessible() {
    // At the program's end Qt's cache may have deleted the cells first.
    for (const QAccessible::Id id : cells_)
        if (id && QAccessible::accessibleInterface(id))
            QAccessible::deleteAccessibleInterface(id);
}

Channel_Grid* Channel_Grid_Accessible::Grid() const {
    return static_cast<Channel_Grid*>(widget());
}

QWidgetList Channel_Grid_Accessible::Child_Widgets() const {
    QWidgetList widgets;
    for (QObject* object : widget()->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child && !child->isWindow() && child->isVisible())
            widgets.append(child);
    }
    return widgets;
}

QAccessibleInterface* Channel_Grid_Accessible::Cell(int channel) const {
    if (channel < 1 || channel > Channel_Grid::Channel_Count)
        return nullptr;
    QAccessible::Id& id = cells_[static_cast<size_t>(channel - 1)];
    if (!id)
        id = QAccessible::registerAccessibleInterface(new Channel_Cell_Accessible(Grid(), channel));
    return QAccessible::accessibleInterface(id);
}

int Channel_Grid_Accessible::childCount() const {
    return Channel_Grid::Channel_Count + static_cast<int>(Child_Widgets().size());
}

QAccessibleInterface* Channel_Grid_Accessible::child(int index) const {
    if (index < 0)
        return nullptr;
    if (index < Channel_Grid::Channel_Count)
        return Cell(index + 1);
    const QWidgetList widgets = Child_Widgets();
    const qsizetype k = index - Channel_Grid::Channel_Count;
    return k < widgets.size() ? QAccessible::queryAccessibleInterface(widgets[k]) : nullptr;
}

int Channel_Grid_Accessible::indexOfChild(const QAccessibleInterface* child) const {
    if (!child)
        return -1;
    if (const QAccessibleTableCellInterface* cell =
            const_cast<QAccessibleInterface*>(child)->tableCellInterface()) {
        if (cell->table() != this)
            return -1;
        return cell->rowIndex() * Grid_Columns + cell->columnIndex();
    }
    const qsizetype k = Child_Widgets().indexOf(qobject_cast<QWidget*>(child->object()));
    return k < 0 ? -1 : Channel_Grid::Channel_Count + static_cast<int>(k);
}

QAccessibleInterface* Channel_Grid_Accessible::childAt(int x, int y) const {
    const QPoint point = widget()->mapFromGlobal(QPoint(x, y));
    for (QWidget* child : Child_Widgets())
        if (child->geometry().contains(point))
            return QAccessible::queryAccessibleInterface(child);
    return Cell(Grid()->Channel_At(point));
}

QAccessibleInterface* Channel_Grid_Accessible::focusChild() const {
    for (QWidget* child : Child_Widgets())
        if (child->hasFocus())
            return QAccessible::queryAccessibleInterface(child);
    return Grid()->hasFocus() ? Cell(Grid()->Current_Channel()) : nullptr;
}

void* Channel_Grid_Accessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface* Channel_Grid_Accessible::cellAt(int row, int column) const {
    if (row < 0 || row >= Grid_Rows || column < 0 || column >= Grid_Columns)
        return nullptr;
    return Cell(row * Grid_Columns + column + 1);
}

int Channel_Grid_Accessible::selectedCellCount() const {
    return Grid()->Current_Channel() > 0 ? 1 : 0;
}

QList<QAccessibleInterface*> Channel_Grid_Accessible::selectedCells() const {
    if (QAccessibleInterface* cell = Cell(Grid()->Current_Channel()))
        return {cell};
    return {};
}

QString Channel_Grid_Accessible::columnDescription(int column) const {
    if (column < 0 || column >= Grid_Columns)
        return {};
    return QStringLiteral("+%1").arg(column);
}

QString Channel_Grid_Accessible::rowDescription(int row) const {
    if (row < 0 || row >= Grid_Rows)
        return {};
    return QString::number(row * Grid_Columns + 1);
}

int Channel_Grid_Accessible::columnCount() const {
    return Grid_Columns;
}

int Channel_Grid_Accessible::rowCount() const {
    return Grid_Rows;
}

void Install_Channel_Grid_Accessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&Grid_Factory);
        return true;
    }();
    (void)installed;
}
