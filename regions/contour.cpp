#include "regions/contour.h"

#include <algorithm>

namespace quarvel {

bool Contour::contains(const Point& point) const {
  return std::find(points_.begin(), points_.end(), point) != points_.end();
}

void Contour::normalise() {
  std::sort(points_.begin(), points_.end());
  points_.erase(std::unique(points_.begin(), points_.end()), points_.end());
}

void writePointRows(std::ostream& out, std::span<const Point> points) {
  if (!points.empty()) {
    double row = points.front().y();
    for (const Point& point : points) {
      if (point.y() != row) {
        out << std::endl;
        row = point.y();
      }
      out << point << ' ';
    }
  }
  out << std::endl;
}

std::ostream& operator<<(std::ostream& out, const Contour& contour) {
  out << "Contour:" << std::endl;
  writePointRows(out, contour.points());
  return out;
}

}  // namespace quarvel
