#include "regions/common_boundary.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <span>
#include <vector>

namespace quarvel {
namespace {

bool isNumeric(const Point& point) { return !std::isnan(point.x()) && !std::isnan(point.y()); }

// The contour's points in raster order, each once, without positions that
// equal nothing (a not-a-number coordinate). A normalised contour is used in
// place; any other is sorted into scratch.
std::span<const Point> distinctOrdered(const Contour& contour, std::vector<Point>& scratch) {
  const std::vector<Point>& points = contour.points();
  const bool ordered = std::adjacent_find(points.begin(), points.end(), [](const Point& a, const Point& b) {
                         return !(a < b);
                       }) == points.end();
  if (ordered && std::all_of(points.begin(), points.end(), isNumeric)) return points;
  scratch.clear();
  std::copy_if(points.begin(), points.end(), std::back_inserter(scratch), isNumeric);
  std::sort(scratch.begin(), scratch.end());
  scratch.erase(std::unique(scratch.begin(), scratch.end()), scratch.end());
  return scratch;
}

}  // namespace

std::size_t countTouchingPoints(const Contour& from, const Contour& to) {
  std::vector<Point> scratch;
  const std::span<const Point> targets = distinctOrdered(to, scratch);
  if (targets.empty()) return 0;
  std::vector<bool> touched(targets.size(), false);
  std::size_t count = 0;
  const auto blockOf = [](const Point& p, auto& claim) {
    if (!isNumeric(p)) return;
    for (const double u : {p.x() - 1.0, p.x(), p.x() + 1.0}) {
      for (const double v : {p.y() - 1.0, p.y(), p.y() + 1.0}) claim(Point(u, v));
    }
  };
  visitCommonBoundary(from, blockOf, [&](const Point& probe) {
    const auto it = std::lower_bound(targets.begin(), targets.end(), probe);
    if (it == targets.end() || probe < *it) return;
    const auto index = static_cast<std::size_t>(it - targets.begin());
    if (!touched[index]) {
      touched[index] = true;
      ++count;
    }
  });
  return count;
}

}  // namespace quarvel
