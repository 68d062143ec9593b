#include "model/number_text.h"

#include <cmath>
#include <cstdio>

namespace quarvel {

void appendUnsigned(std::string& text, std::uint64_t value) {
  char digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) text.push_back(digits[--count]);
}

void appendInteger(std::string& text, std::int64_t value) {
  if (value < 0) {
    text.push_back('-');
    appendUnsigned(text, 0 - static_cast<std::uint64_t>(value));
    return;
  }
  appendUnsigned(text, static_cast<std::uint64_t>(value));
}

// Whole numbers below a million have at most six digits, so "%.6g" writes them
// as plain integers; everything else goes through the C library's own "%.6g",
// which is what the stream itself calls.
void appendNumber(std::string& text, double value) {
  if (std::fabs(value) < 1e6 && std::trunc(value) == value) {
    if (std::signbit(value)) text.push_back('-');
    appendUnsigned(text, static_cast<std::uint64_t>(std::fabs(value)));
    return;
  }
  char buffer[32];
  const int length = std::snprintf(buffer, sizeof buffer, "%.6g", value);
  text.append(buffer, static_cast<std::size_t>(length));
}

}  // namespace quarvel
