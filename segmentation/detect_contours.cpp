#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/segmenter.h"
#include "segmentation/boundary_tracing.h"
#include "segmentation/pixel_bits.h"
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
    const bool placed =
        forEachGridIndex(entry.second.pixels(), width, height, [&grid, position](std::size_t index) {
          if (grid[index] != 0) return false;
          grid[index] = position;
          return true;
        });
    if (!placed) return false;
  }
  return true;
}

// Whether the pixel table's region numbers already are that grid, as they are
// straight after labelling: every pixel of a region carries the region's
// position, and the regions cover the whole grid. Reading them in place
// spares the run a word a pixel of fresh memory at the stage where its heap
// grows most.
bool numbersAreRegionGrid(const RegionTable& regions, const PixelTable& table, int width, int height) {
  if (!table.isPlainGrid()) return false;
  const std::vector<std::uint32_t>& numbers = table.gridRegionWords();
  std::uint32_t position = 0;
  std::size_t covered = 0;
  for (const auto& entry : regions) {
    ++position;
    const bool carried =
        forEachGridIndex(entry.second.pixels(), width, height,
                         [&numbers, position](std::size_t index) { return numbers[index] == position; });
    if (!carried) return false;
    covered += entry.second.pixels().size();
  }
  // A pixel set holds each pixel once, and a pixel carries one number: so
  // the regions' pixels are distinct, and as many as the cells only when
  // every cell is some region's.
  return covered == numbers.size();
}

}  // namespace

void Segmenter::detectContours() {
  const int width = pixelTable_.gridWidth();
  const int height = pixelTable_.gridHeight();
  std::vector<std::int32_t> builtGrid;
  std::span<const std::int32_t> grid;
  if (numbersAreRegionGrid(regionTable_, pixelTable_, width, height)) {
    const std::vector<std::uint32_t>& numbers = pixelTable_.gridRegionWords();
    // Positions stay far below 2^31, so the words read the same as signed.
    grid = {reinterpret_cast<const std::int32_t*>(numbers.data()), numbers.size()};
  } else if (regionGrid(regionTable_, width, height, builtGrid)) {
    grid = builtGrid;
  } else {
    // Regions that do not tile the grid are traced one by one on their own
    // pixel sets.
    for (auto& entry : regionTable_) {
      if (!entry.second.pixels().empty()) entry.second.computeContour();
    }
    return;
  }

  // traced: whether a trace has passed the pixel. A trace only steps on its
  // own region's pixels, so no two regions share a mark.
  PixelBits traced(grid.size());
  const std::vector<std::uint8_t> masks = sameNumberMasks(grid, width, height);
  const MaskedNeighbours neighbours(masks, static_cast<std::size_t>(width));
  std::vector<std::uint32_t> pixels;
  for (auto& entry : regionTable_) {
    Region& region = entry.second;
    if (region.pixels().empty()) continue;
    std::size_t start = 0;
    gridIndexOf(*region.pixelsBegin(), width, height, start);
    pixels.clear();
    const std::size_t maxMoves = 8 * region.pixels().size() + 8;
    traceBoundary(neighbours, start, maxMoves, [&traced, &pixels](std::size_t pixel, int) {
      if (traced.claim(pixel)) pixels.push_back(static_cast<std::uint32_t>(pixel));
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
