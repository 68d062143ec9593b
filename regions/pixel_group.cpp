#include "regions/pixel_group.h"

namespace quarvel {

PixelGroup::~PixelGroup() {}

std::ostream& operator<<(std::ostream& out, const PixelGroup& group) {
  return out << group.number() << std::endl;
}

}  // namespace quarvel
