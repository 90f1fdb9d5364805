#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <span>

#include "paint/Channel_Grid_Paint.h"

// The 512 DMX channels as one widget: 32 x 16 cells drawn in one paintEvent, each with its own
// text, colours, greyed and alert marks and tooltip. Setting a cell repaints that cell alone
// (nothing when it did not change). A click or the arrow keys make a channel current; a double
// click or Enter on a channel emits Channel_Double_Clicked. Channels are numbered 1..512.
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

    // 0 when no channel is current.
    int Current_Channel() const { return current_; }
    void Set_Current_Channel(int channel);

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

private:
    void Update_Layout();
    void Repaint_Channel(int channel);

    std::array<Grid_Cell, Channel_Count> cells_;
    std::function<QString(int)> tooltip_source_;
    int current_ = 0;
    Grid_Layout layout_;
};
