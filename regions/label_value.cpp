#include "regions/label_value.h"

namespace quarvel {

std::ostream& operator<<(std::ostream& out, const LabelValue& value) { return out << value.value(); }

// A failed extraction leaves the held value as it was.
std::istream& operator>>(std::istream& in, LabelValue& value) {
  double read = 0.0;
  if (in >> read) value.setValue(read);
  return in;
}

}  // namespace quarvel
