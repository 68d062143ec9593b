#include "segmentation/region_grid.h"

#include <cstddef>

namespace quarvel {

std::vector<std::int32_t> regionNumberGrid(const PixelTable& table, std::int32_t limit) {
  const std::vector<double>& numbers = table.gridRegionNumbers();
  std::vector<std::int32_t> grid(numbers.size(), 0);
  const int width = table.gridWidth();
  const std::size_t w = static_cast<std::size_t>(width);
  for (std::size_t index = 0; index < numbers.size(); ++index) {
    const double number = numbers[index];
    if (!(number >= 1.0 && number < static_cast<double>(limit) + 1.0)) continue;
    if (!table.hasRegionNumber(static_cast<int>(index % w), static_cast<int>(index / w))) continue;
    grid[index] = static_cast<std::int32_t>(number);
  }
  return grid;
}

}  // namespace quarvel
