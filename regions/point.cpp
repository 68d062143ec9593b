#include "regions/point.h"

namespace quarvel {

std::ostream& operator<<(std::ostream& out, const Point& point) {
  return out << '(' << point.x() << ',' << point.y() << ')';
}

}  // namespace quarvel
