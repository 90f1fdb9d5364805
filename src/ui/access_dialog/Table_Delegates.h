#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

class Tessaro_Table;

// The editor of a text cell: a line without a length limit. While it is open, the Enter key goes
// to the table's key handler first (see Tessaro_Table).
class Table_Cell_Delegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit Table_Cell_Delegate(Tessaro_Table* table);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* editor, QEvent* event) override;
    Tessaro_Table* Table() const;
    // Lets the table know its open editor; gives the editor back.
    QWidget* Opened(QWidget* editor) const;
};

// A check-box cell: "Y" is ticked, any other text is not; the box is drawn in the middle of the
// cell. A click on the box or the space bar writes "N" into a ticked cell and "Y" into any other.
class Check_Box_Delegate : public Table_Cell_Delegate {
    Q_OBJECT
public:
    using Table_Cell_Delegate::Table_Cell_Delegate;

    static bool Is_Ticked(const QString& text);

    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        return nullptr;
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    QRect Box_Rect(const QStyleOptionViewItem& option) const;
};

// A drop-down cell: the user picks one of a fixed list of texts. A text that is not in the list
// (from a hand-edited file) is offered as the first item, so opening the editor never changes it.
class List_Delegate : public Table_Cell_Delegate {
    Q_OBJECT
public:
    List_Delegate(Tessaro_Table* table, const QStringList& items);

    void Set_Items(const QStringList& items) { items_ = items; }
    const QStringList& Items() const { return items_; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    QStringList items_;
};
