#include "regions/group_printing.h"

namespace quarvel {

void writeGroupHeading(std::ostream& out, const PixelGroup& group, const PointSet& pixels) {
  out << "Region No: " << group.number() << std::endl;
  out << pixels.size() << " pixels." << std::endl;
  out << group.descriptors().size() << " descripteurs:" << std::endl;
}

void writeInsertionReport(std::ostream& out, bool inserted, const Point& point) {
  if (inserted) {
    out << "insetion de:" << point << std::endl;
  } else {
    out << "erreur d'insertion" << std::endl;
  }
}

void writePixelRows(std::ostream& out, const PointSet& pixels) {
  if (!pixels.empty()) {
    double row = pixels.begin()->y();
    for (const Point point : pixels) {
      if (point.y() != row) {
        out << std::endl;
        row = point.y();
      }
      out << point << ' ';
    }
  }
  out << std::endl;
}

}  // namespace quarvel
