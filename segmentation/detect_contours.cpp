#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/segmenter.h"
#include "segmentation/boundary_tracing.h"
#include "segmentation/grid_positions.h"
#include "segmentation/table_exchange.h"

namespace quarvel {
namespace {

// Each region's position in the table (1-based) at each of its pixels, 0
// elsewhere; false when a pixel lies off the grid or in two regions.
bool regionGrid(const RegionTable& regions, int width, int height, std::vector<std::int32_t>& grid) {
  grid.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  std::int32_t position = 0;
  for (const auto& entry : regions) {
    ++position;
    for (const Point& pixel : entry.second.pixels()) {
      std::size_t index = 0;
      if (!gridIndexOf(pixel, width, height, index) || grid[index] != 0) return false;
      grid[index] = position;
    }
  }
  return true;
}

}  // namespace

void Segmenter::detectContours() {
  const int width = pixelTable_.gridWidth();
  const int height = pixelTable_.gridHeight();
  std::vector<std::int32_t> grid;
  if (!regionGrid(regionTable_, width, height, grid)) {
    // Regions that do not tile the grid are traced one by one on their own
    // pixel sets.
    for (auto& entry : regionTable_) {
      if (!entry.second.pixels().empty()) entry.second.computeContour();
    }
    return;
  }

  // traced[p]: the last region whose trace passed pixel p.
  std::vector<std::int32_t> traced(grid.size(), 0);
  std::vector<std::uint32_t> pixels;
  const GridPositions positions(width, height);
  std::int32_t position = 0;
  for (auto& entry : regionTable_) {
    ++position;
    Region& region = entry.second;
    if (region.pixels().empty()) continue;
    std::size_t start = 0;
    gridIndexOf(*region.pixelsBegin(), width, height, start);
    pixels.clear();
    const std::size_t maxMoves = 8 * region.pixels().size() + 8;
    traceBoundary(
        positions, start, maxMoves, [&grid, position](std::size_t pixel) { return grid[pixel] == position; },
        [&traced, &pixels, position](std::size_t pixel, int) {
          if (traced[pixel] == position) return;
          traced[pixel] = position;
          pixels.push_back(static_cast<std::uint32_t>(pixel));
        });
    Contour& contour = region.contour();
    if (contour.empty()) {
      appendSortedContour(contour, pixels, width);
    } else {
      for (std::uint32_t pixel : pixels) contour.add(pointOfIndex(pixel, width));
      contour.normalise();
    }
  }
}

}  // namespace quarvel
