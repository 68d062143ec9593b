#include "regions/cluster.h"

#include <iostream>

#include "regions/contour.h"
#include "regions/group_printing.h"

namespace quarvel {

void Cluster::insertPixelReported(const Point& point) {
  writeInsertionReport(std::cout, pixels().insert(point), point);
}

void Cluster::draw() const {
  pixels_.assignSorted(plane_->pixelsOf(tone_, count_));
  plane_.reset();
}

std::ostream& operator<<(std::ostream& out, const Cluster& cluster) {
  writeGroupHeading(out, cluster, cluster.pixels());
  for (const float descriptor : cluster.descriptors()) out << descriptor << " - ";
  out << std::endl;
  writePixelRows(out, cluster.pixels());
  return out;
}

}  // namespace quarvel
