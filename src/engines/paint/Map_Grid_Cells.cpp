#include "paint/Map_Grid_Cells.h"

std::array<Grid_Cell, Grid_Cell_Count> Map_Grid_Cells(const Channel_Map& map) {
    std::array<Grid_Cell, Grid_Cell_Count> cells;
    for (int channel = 1; channel <= Grid_Cell_Count; ++channel) {
        const Map_Channel& c = map.Channel(channel);
        const auto owners = map.Owners(channel);
        Grid_Cell& cell = cells[static_cast<size_t>(channel - 1)];
        if (owners.empty()) {
            if (c.default_value >= 0 && !c.beyond_count)
                cell.text = QString::number(c.default_value);
            cell.text_colour = Quiet_Text_Colour();
        } else {
            const int slot = map.Request_Of(owners.front()).slot;
            cell.background = Slot_Colour(slot);
            if (c.overlap) {
                cell.alert = true;
                cell.text = QStringLiteral("!!");
            } else {
                cell.text = QString::number(slot);
                if (owners.size() > 1)
                    cell.text += QLatin1Char('+');
            }
        }
        cell.greyed = c.beyond_count;
    }
    return cells;
}
