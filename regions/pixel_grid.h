#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "regions/point.h"
#include "regions/point_set.h"

namespace quarvel {

// A bit per position of the bounding box of a pixel set, for constant-time
// membership where a binary search per probe would cost too much (contour
// tracing around a long, ragged boundary).
class PixelGrid {
 public:
  // A grid of the set, or nothing when its box would exceed maxCells positions
  // or a coordinate is not a whole number of moderate size.
  static std::optional<PixelGrid> of(const PointSet& pixels, std::size_t maxCells);

  // A grid over the same box with no position set.
  PixelGrid blankCopy() const;

  bool contains(const Point& point) const;
  // Sets a position of the box; answers false for one outside it.
  bool insert(const Point& point);

 private:
  PixelGrid() = default;
  // The cell of a position of the box, or -1.
  std::ptrdiff_t cellOf(const Point& point) const;

  double left_ = 0.0;
  double top_ = 0.0;
  double width_ = 0.0;
  double height_ = 0.0;
  std::vector<bool> cells_;
};

}  // namespace quarvel
