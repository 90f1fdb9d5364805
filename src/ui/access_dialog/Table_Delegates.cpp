#include "access_dialog/Table_Delegates.h"

#include "access_dialog/UComon.h"
#include "platform/Text.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <limits>

Table_Cell_Delegate::Table_Cell_Delegate(Tessaro_Table* table)
    : QStyledItemDelegate(table) {}

Tessaro_Table* Table_Cell_Delegate::Table() const {
    return qobject_cast<Tessaro_Table*>(parent());
}

QWidget* Table_Cell_Delegate::Opened(QWidget* editor) const {
    if (Tessaro_Table* table = Table())
        table->Editor_Opened(editor);
    return editor;
}

QWidget* Table_Cell_Delegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setMaxLength(std::numeric_limits<int>::max());
    return Opened(editor);
}

bool Table_Cell_Delegate::eventFilter(QObject* editor, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && Table() && Table()->Key_Press(key))
            return true;
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}

bool Check_Box_Delegate::Is_Ticked(const QString& text) {
    return Trim_Text(text) == QLatin1String("Y");
}

QRect Check_Box_Delegate::Box_Rect(const QStyleOptionViewItem& option) const {
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    const int width = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, option.widget);
    const int height = style->pixelMetric(QStyle::PM_IndicatorHeight, &option, option.widget);
    QRect box(0, 0, width, height);
    box.moveCenter(option.rect.center());
    return box;
}

void Check_Box_Delegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    cell.text.clear();
    QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);

    QStyleOptionButton box;
    box.rect = Box_Rect(option);
    box.state =
        QStyle::State_Enabled |
        (Is_Ticked(index.data(Qt::EditRole).toString()) ? QStyle::State_On : QStyle::State_Off);
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, cell.widget);
}

QSize Check_Box_Delegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, option.widget) + 1;
    const QRect box = Box_Rect(option);
    return {box.width() + 2 * margin, box.height() + 2 * margin};
}

bool Check_Box_Delegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                     const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (!(index.flags() & Qt::ItemIsEnabled))
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton ||
            !Box_Rect(option).adjusted(-3, -3, 3, 3).contains(mouse->position().toPoint()))
            return false;
        break;
    }
    case QEvent::MouseButtonDblClick:
        // The second click of a double click toggles again, as any click on the box does.
        return Box_Rect(option)
            .adjusted(-3, -3, 3, 3)
            .contains(static_cast<QMouseEvent*>(event)->position().toPoint());
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Select)
            return false;
        break;
    }
    default:
        return false;
    }
    const bool ticked = Is_Ticked(index.data(Qt::EditRole).toString());
    return model->setData(index, ticked ? QStringLiteral("N") : QStringLiteral("Y"), Qt::EditRole);
}

List_Delegate::List_Delegate(Tessaro_Table* table, const QStringList& items)
    : Table_Cell_Delegate(table)
    , items_(items) {}

QWidget* List_Delegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                     const QModelIndex&) const {
    auto* combo = new QComboBox(parent);
    combo->setEditable(false);
    combo->setMaxVisibleItems(16);
    combo->addItems(items_);
    // The open list is as wide as its longest text, whatever the column's width.
    combo->view()->setMinimumWidth(combo->view()->sizeHintForColumn(0) +
                                   combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8);
    // A choice made in the open list ends the edit at once.
    connect(combo, &QComboBox::activated, this, [this, combo] {
        auto* self = const_cast<List_Delegate*>(this);
        emit self->commitData(combo);
        emit self->closeEditor(combo, QAbstractItemDelegate::NoHint);
    });
    // Opened with the mouse, the list drops down at once.
    const Tessaro_Table* table = Table();
    if (table && (table->Last_Edit_Trigger() == QAbstractItemView::DoubleClicked ||
                  table->Last_Edit_Trigger() == QAbstractItemView::SelectedClicked))
        QTimer::singleShot(0, combo, [combo] {
            if (combo->isVisible())
                combo->showPopup();
        });
    return Opened(combo);
}

void List_Delegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* combo = static_cast<QComboBox*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    int item = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (item < 0 && !text.isEmpty()) {
        combo->insertItem(0, text);
        item = 0;
    }
    combo->setCurrentIndex(item);
}

void List_Delegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                 const QModelIndex& index) const {
    const auto* combo = static_cast<QComboBox*>(editor);
    // Nothing chosen in an empty cell: the cell stays empty.
    if (combo->currentIndex() < 0)
        return;
    if (combo->currentText() != index.data(Qt::EditRole).toString())
        model->setData(index, combo->currentText(), Qt::EditRole);
}
