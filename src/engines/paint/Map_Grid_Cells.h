#pragma once

#include <array>

#include "map/Channel_Map.h"
#include "paint/Channel_Grid_Paint.h"

// The channel map as grid cells: each channel in the colour of the row of its request with the
// row's number ("+" after it when several requests send the channel), an overlap red with "!!",
// a channel without a request pale with its DMX default value, channels beyond the channel count
// greyed. The cells hold no tooltips: Channel_Description gives a channel's when it is asked
// for.
std::array<Grid_Cell, Grid_Cell_Count> Map_Grid_Cells(const Channel_Map& map);
