#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "regions/contour.h"
#include "regions/point.h"
#include "regions/point_set.h"

namespace quarvel {

// Conversions between the tables' points and the stages' pixel indices
// (y * width + x on a width x height grid).

// False for a point that is not a whole-numbered position on the grid.
bool gridIndexOf(const Point& point, int width, int height, std::size_t& index);

Point pointOfIndex(std::size_t index, int width);

// Calls visit(index) with the pixel index of every point of the set, in
// raster order, while it answers true. False when visit answered false or a
// point is not a whole-numbered position on the grid. Packed sets are read
// without a Point for each pixel.
template <typename Visit>
bool forEachGridIndex(const PointSet& points, int width, int height, Visit&& visit) {
  if (const std::vector<PointSet::Key>* keys = points.packedKeys()) {
    const std::size_t w = static_cast<std::size_t>(width);
    for (const PointSet::Key key : *keys) {
      const std::int32_t x = PointSet::columnOfKey(key);
      const std::int32_t y = PointSet::rowOfKey(key);
      if (x < 0 || y < 0 || x >= width || y >= height) return false;
      if (!visit(static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x))) return false;
    }
    return true;
  }
  for (const Point& point : points) {
    std::size_t index = 0;
    if (!gridIndexOf(point, width, height, index) || !visit(index)) return false;
  }
  return true;
}

// The contour's points that lie on the grid, as pixel indices, in list order.
std::vector<std::uint32_t> contourPixels(const Contour& contour, int width, int height);

// Appends the pixels to the contour in raster order; pixels must be distinct
// and the contour empty, so the result is already normalised. Sorts pixels.
void appendSortedContour(Contour& contour, std::vector<std::uint32_t>& pixels, int width);

// Pixels of every label 1 .. count in raster order, as packed pixel positions
// (PointSet keys), from one pass over a label grid (labels outside 1 .. count
// are skipped). sizes[k] is label k's pixel count, used to reserve.
std::vector<std::vector<PointSet::Key>> pixelKeysByLabel(std::span<const std::int32_t> labels, int width,
                                                         std::int32_t count,
                                                         const std::vector<std::size_t>& sizes);

}  // namespace quarvel
