#include "regions/pixel_grid.h"

#include <algorithm>
#include <cmath>

namespace quarvel {
namespace {

// Whole numbers this small stay exact when a neighbour offset is added.
bool isModerateWholeNumber(double value) {
  return std::abs(value) <= 2147483647.0 && std::floor(value) == value;
}

}  // namespace

std::optional<PixelGrid> PixelGrid::of(const PointSet& pixels, std::size_t maxCells) {
  if (pixels.empty()) return std::nullopt;
  double left = pixels.begin()->x();
  double right = left;
  for (const Point& p : pixels) {
    if (!isModerateWholeNumber(p.x()) || !isModerateWholeNumber(p.y())) return std::nullopt;
    left = std::min(left, p.x());
    right = std::max(right, p.x());
  }
  PixelGrid grid;
  grid.left_ = left;
  grid.top_ = pixels.begin()->y();
  grid.width_ = right - left + 1.0;
  grid.height_ = (pixels.end() - 1)->y() - grid.top_ + 1.0;
  if (grid.width_ * grid.height_ > static_cast<double>(maxCells)) return std::nullopt;

  const auto width = static_cast<std::size_t>(grid.width_);
  grid.cells_.assign(width * static_cast<std::size_t>(grid.height_), false);
  for (const Point& p : pixels) {
    grid.cells_[static_cast<std::size_t>(p.y() - grid.top_) * width +
                static_cast<std::size_t>(p.x() - left)] = true;
  }
  return grid;
}

PixelGrid PixelGrid::blankCopy() const {
  PixelGrid blank = *this;
  blank.cells_.assign(cells_.size(), false);
  return blank;
}

std::ptrdiff_t PixelGrid::cellOf(const Point& point) const {
  const double column = point.x() - left_;
  const double row = point.y() - top_;
  if (!(column >= 0.0 && column < width_ && row >= 0.0 && row < height_)) return -1;
  if (std::floor(point.x()) != point.x() || std::floor(point.y()) != point.y()) return -1;
  return static_cast<std::ptrdiff_t>(static_cast<std::size_t>(row) * static_cast<std::size_t>(width_) +
                                     static_cast<std::size_t>(column));
}

bool PixelGrid::contains(const Point& point) const {
  const std::ptrdiff_t cell = cellOf(point);
  return cell >= 0 && cells_[static_cast<std::size_t>(cell)];
}

bool PixelGrid::insert(const Point& point) {
  const std::ptrdiff_t cell = cellOf(point);
  if (cell < 0) return false;
  cells_[static_cast<std::size_t>(cell)] = true;
  return true;
}

}  // namespace quarvel
