#include "segmentation/region_grid.h"

#include <cstddef>

namespace quarvel {

std::vector<std::int32_t> regionNumberGrid(const PixelTable& table, std::int32_t limit) {
  std::vector<std::int32_t> grid(
      static_cast<std::size_t>(table.gridWidth()) * static_cast<std::size_t>(table.gridHeight()), 0);
  for (std::size_t index = 0; index < grid.size(); ++index) {
    if (!table.cellHasRegionNumber(index)) continue;
    const double number = table.regionNumberOfCell(index);
    if (!(number >= 1.0 && number < static_cast<double>(limit) + 1.0)) continue;
    grid[index] = static_cast<std::int32_t>(number);
  }
  return grid;
}

}  // namespace quarvel
