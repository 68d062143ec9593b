#pragma once

#include <cstddef>

#include "regions/boundary_walk.h"

namespace quarvel {

// The boundary tracer on a width x height grid of pixel indices y * width + x;
// positions outside the grid are never members.
class GridNeighbours {
 public:
  GridNeighbours(int width, int height) : width_(width), height_(height) {}
  bool operator()(std::size_t at, int direction, std::size_t& next) const {
    const std::size_t w = static_cast<std::size_t>(width_);
    const int x = static_cast<int>(at % w) + kRingDx[static_cast<std::size_t>(direction)];
    const int y = static_cast<int>(at / w) + kRingDy[static_cast<std::size_t>(direction)];
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
    next = static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x);
    return true;
  }

 private:
  int width_;
  int height_;
};

// The trace of the region holding start, which must be its first pixel in
// raster order: nothing of the region precedes it, so its up-left neighbour
// is the first non-member of its 3 x 3 block and the first backtrack pixel.
// isMember(index) answers for in-grid pixels only.
template <typename IsMember, typename Visit>
void traceBoundary(int width, int height, std::size_t start, std::size_t maxMoves, IsMember&& isMember,
                   Visit&& visit) {
  walkBoundary(start, 0, maxMoves, GridNeighbours(width, height), isMember, visit);
}

}  // namespace quarvel
