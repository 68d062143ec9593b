#pragma once

#include <cstddef>

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

// The trace of the region holding start, which must be its first pixel in
// raster order: nothing of the region precedes it, so its up-left neighbour
// is the first non-member of its 3 x 3 block and the first backtrack pixel.
// isMember(index) answers for in-grid pixels only.
template <typename IsMember, typename Visit>
void traceBoundary(const GridPositions& grid, std::size_t start, std::size_t maxMoves, IsMember&& isMember,
                   Visit&& visit) {
  walkBoundary(start, 0, maxMoves, GridNeighbours(grid), isMember, visit);
}

}  // namespace quarvel
