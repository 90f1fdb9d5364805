#pragma once

#include <QAccessibleWidget>
#include <array>

class Channel_Grid;

// The channel grid as a screen reader sees it: a table of 16 rows and 32 columns whose children
// are the 512 cells, channel 1 first (child i is channel i + 1), then the grid's own visible child
// widgets (the value editor of the dry run while it is open). A cell's name is the grid's spoken
// text of its channel, its description the channel's tooltip; it is selected when it is the
// current channel and focused when it is that and the grid has the focus. A cell's press action
// does what a double click does, at the next turn of the event loop (a window it opens must not
// hold the reader's call); its focus action makes it current and gives the grid the focus.
// There are no header cells: each cell's name begins with its channel.
class Channel_Grid_Accessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit Channel_Grid_Accessible(Channel_Grid* grid);
    ~Channel_Grid_Accessible() override;

    // QAccessibleInterface
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    // The cells are always the same 512: nothing to rebuild.
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    Channel_Grid* Grid() const;
    QWidgetList Child_Widgets() const;
    // The interface of channel 1..512's cell, made when it is first asked for.
    QAccessibleInterface* Cell(int channel) const;

    mutable std::array<QAccessible::Id, 512> cells_{};
};

// Lets Qt use Channel_Grid_Accessible for every Channel_Grid; more calls do nothing.
void Install_Channel_Grid_Accessibility();
