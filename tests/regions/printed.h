#pragma once

#include <sstream>
#include <string>

namespace quarvel::test {

// What the value's output operator writes on a fresh stream.
template <typename T>
std::string printed(const T& value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

}  // namespace quarvel::test
