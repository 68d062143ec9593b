#include "regions/region.h"

#include <iostream>

#include "regions/boundary_trace.h"
#include "regions/common_boundary.h"
#include "regions/group_printing.h"

namespace quarvel {

void Region::insertPixelReported(const Point& point) {
  writeInsertionReport(std::cout, pixels_.insert(point), point);
}

void Region::computeContour() { traceOuterBoundary(pixels_, contour_); }

double Region::commonBoundary(const Region& other, int symmetric) const {
  const auto towardsOther = static_cast<double>(countTouchingPoints(contour_, other.contour_));
  if (symmetric != 1) return towardsOther;
  const auto towardsThis = static_cast<double>(countTouchingPoints(other.contour_, contour_));
  return towardsThis > towardsOther ? towardsThis : towardsOther;
}

void Region::merge(const Region& other) {
  pixels_.insertAll(other.pixels_);
  contour_.clear();
  computeContour();
}

std::ostream& operator<<(std::ostream& out, const Region& region) {
  writeGroupHeading(out, region, region.pixels());
  for (const float descriptor : region.descriptors()) out << descriptor << ' ';
  out << std::endl;
  writePixelRows(out, region.pixels());
  return out << region.contour();
}

}  // namespace quarvel
