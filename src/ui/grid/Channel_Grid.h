#pragma once

#include <QAccessible>
#include <QTimer>
#include <QWidget>
#include <array>
#include <bitset>
#include <functional>
#include <span>

#include "paint/Channel_Grid_Paint.h"

// The 512 DMX channels as one widget: 32 x 16 cells drawn in one paintEvent, each with its own
// text, colours, greyed and alert marks and tooltip. Setting a cell repaints that cell alone
// (nothing when it did not change). A click or the keys make a channel current; a double click or
// Enter on a channel emits Channel_Double_Clicked. Channels are numbered 1..512.
//
// Keys: the arrows move by one channel (left and right run on into the next row) and by one row;
// Home and End go to the first and last channel of the row, Ctrl+Home and Ctrl+End to channels 1
// and 512, Page Up and Page Down to the top and bottom row of the column (the whole grid is one
// page). With no channel current, any of them makes channel 1 current, and so does coming to the
// grid with Tab. With the focus, the current channel has a wide frame and the cells a focus line.
//
// To a screen reader the grid is a table of 16 rows and 32 columns (Channel_Grid_Accessible):
// each cell speaks the text that the window's spoken source gives for its channel. Focus and
// current channel reach the reader as Qt's own tables send them; changed cells are announced
// once per turn of the event loop that changed them, as they are drawn, however many changes
// came in between.
class Channel_Grid : public QWidget {
    Q_OBJECT
public:
    static constexpr int Channel_Count = Grid_Cell_Count;

    explicit Channel_Grid(QWidget* parent = nullptr);

    const Grid_Cell& Cell(int channel) const;
    void Set_Cell(int channel, const Grid_Cell& cell);
    // All 512 cells (channel 1 first); only the cells that changed are repainted.
    void Set_Cells(std::span<const Grid_Cell> cells);

    // Where a cell holds no tooltip of its own, the grid asks source for the channel's tooltip
    // when it is about to show it.
    void Set_Tooltip_Source(std::function<QString(int channel)> source) {
        tooltip_source_ = std::move(source);
    }
    // The tooltip shown over a channel.
    QString Tooltip(int channel) const;

    // What a screen reader speaks for a channel: the source is asked each time a reader asks (so
    // texts follow the language); without a source, the channel number and the cell's text.
    void Set_Spoken_Source(std::function<QString(int channel)> source) {
        spoken_source_ = std::move(source);
    }
    QString Spoken_Text(int channel) const;

    // 0 when no channel is current.
    int Current_Channel() const { return current_; }
    void Set_Current_Channel(int channel);
    // What a double click on a channel does: makes it current and emits Channel_Double_Clicked.
    void Activate_Channel(int channel);

    // Where a channel's cell lies in the widget, and the channel under a point (0 for none).
    QRect Cell_Rect(int channel) const;
    int Channel_At(QPoint point) const;
    const Grid_Layout& Layout() const { return layout_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void Current_Channel_Changed(int channel);
    void Channel_Double_Clicked(int channel);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void Update_Layout();
    void Repaint_Channel(int channel);
    // The channel a key moves the current channel to, or 0 for a key that does not move it.
    int Key_Target(const QKeyEvent& event) const;
    void Move_Current(int channel, bool tell_focus);
    // An accessibility event about a channel's cell.
    void Tell_Reader(int channel, QAccessible::Event type);
    void Tell_Focus();
    void Announce_Changes();

    std::array<Grid_Cell, Channel_Count> cells_;
    std::function<QString(int)> tooltip_source_;
    std::function<QString(int)> spoken_source_;
    int current_ = 0;
    Grid_Layout layout_;
    // Cells whose text or marks changed since the reader was last told.
    std::bitset<Channel_Count> unannounced_;
    QTimer announce_;
};
