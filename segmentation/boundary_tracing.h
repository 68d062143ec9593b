#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "regions/boundary_walk.h"
#include "segmentation/grid_positions.h"

namespace quarvel {

// The boundary tracer on a width x height grid of pixel indices y * width + x;
// positions outside the grid are never members.
class GridNeighbours {
 public:
  explicit GridNeighbours(const GridPositions& grid) : grid_(grid) {}
  bool operator()(std::size_t at, int direction, std::size_t& next) const {
    const std::size_t row = grid_.row(at);
    const auto d = static_cast<std::size_t>(direction);
    // A step off the grid on either side wraps to a large value.
    const std::size_t x = grid_.column(at, row) + static_cast<std::size_t>(kRingDx[d]);
    const std::size_t y = row + static_cast<std::size_t>(kRingDy[d]);
    if (x >= grid_.width() || y >= grid_.height()) return false;
    next = y * grid_.width() + x;
    return true;
  }

 private:
  GridPositions grid_;
};

// Per pixel of a width x height grid of numbers, bit d set when its neighbour
// in ring direction d lies on the grid and carries the same number.
std::vector<std::uint8_t> sameNumberMasks(std::span<const std::int32_t> numbers, int width, int height);

// The tracer's neighbours on a grid of such masks, every position a member:
// a trace only stands on pixels of the region it traces, so a neighbour
// belongs to it exactly when the mask of the pixel the trace stands on says
// so. The walk then reads one byte where it stands instead of the numbers of
// three rows around it, which on a large map mostly miss the cache.
class MaskedNeighbours {
 public:
  MaskedNeighbours(const std::vector<std::uint8_t>& masks, std::size_t width) : masks_(masks.data()) {
    for (std::size_t d = 0; d < 8; ++d) {
      offset_[d] = kRingDy[d] * static_cast<std::ptrdiff_t>(width) + kRingDx[d];
    }
  }
  bool operator()(std::size_t at, int direction, std::size_t& next) const {
    if (((masks_[at] >> direction) & 1) == 0) return false;
    next = at + static_cast<std::size_t>(offset_[static_cast<std::size_t>(direction)]);
    return true;
  }

 private:
  const std::uint8_t* masks_;
  std::array<std::ptrdiff_t, 8> offset_{};
};

// The trace of the region holding start, which must be its first pixel in
// raster order: nothing of the region precedes it, so its up-left neighbour
// is the first non-member of its 3 x 3 block and the first backtrack pixel.
// isMember(index) answers for in-grid pixels only.
template <typename IsMember, typename Visit>
void traceBoundary(const GridPositions& grid, std::size_t start, std::size_t maxMoves, IsMember&& isMember,
                   Visit&& visit) {
  walkBoundary(start, 0, maxMoves, GridNeighbours(grid), isMember, visit);
}

// The same trace read from the grid's same-number masks.
template <typename Visit>
void traceBoundary(const MaskedNeighbours& neighbours, std::size_t start, std::size_t maxMoves,
                   Visit&& visit) {
  walkBoundary(
      start, 0, maxMoves, neighbours, [](std::size_t) { return true; }, visit);
}

}  // namespace quarvel
