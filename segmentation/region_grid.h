#pragma once

#include <cstdint>
#include <vector>

#include "model/pixel_table.h"

namespace quarvel {

// The pixels' region numbers as whole numbers in raster order, truncated as
// the graph truncates them for its indices; 0 where a pixel has no number or
// its number is below 1 or above limit.
std::vector<std::int32_t> regionNumberGrid(const PixelTable& table, std::int32_t limit);

}  // namespace quarvel
