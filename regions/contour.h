#pragma once

#include <cstddef>
#include <ostream>
#include <span>
#include <vector>

#include "regions/point.h"

namespace quarvel {

// The boundary points of a region, in the order they were added, or in raster
// order with each position once after normalise().
class Contour {
 public:
  Contour() = default;
  Contour(const Contour&) = default;
  Contour& operator=(const Contour&) = default;
  // Moves hand the points over, so that assigning an empty contour frees them.
  Contour(Contour&&) noexcept = default;
  Contour& operator=(Contour&&) noexcept = default;
  virtual ~Contour() = default;

  void add(const Point& point) { points_.push_back(point); }
  void add(double x, double y) { points_.emplace_back(x, y); }
  // Linear scan from the front.
  bool contains(const Point& point) const;
  bool contains(double x, double y) const { return contains(Point(x, y)); }
  void clear() { points_.clear(); }
  // Sorts in raster order and drops repeated positions.
  void normalise();

  const std::vector<Point>& points() const { return points_; }
  std::vector<Point>::const_iterator begin() const { return points_.begin(); }
  std::vector<Point>::const_iterator end() const { return points_.end(); }
  std::size_t size() const { return points_.size(); }
  bool empty() const { return points_.empty(); }

 private:
  std::vector<Point> points_;
};

// "Contour:" on its own line, then the points, a new line whenever y changes.
std::ostream& operator<<(std::ostream& out, const Contour& contour);

// Writes points grouped into lines: a new line whenever y changes between
// neighbours in the list, each point followed by a blank, and a final line end
// (an empty list gives one empty line). Contours, regions and clusters share it.
void writePointRows(std::ostream& out, std::span<const Point> points);

}  // namespace quarvel
