#include "model/number_text.h"

#include <cmath>
#include <cstdio>

namespace quarvel {
namespace {

// "00" "01" ... "99": two digits a step.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

}  // namespace

char* writeUnsigned(char* at, std::uint64_t value) {
  // The length is counted first so that the digits go straight to their
  // places: copying a short number out of a scratch buffer takes a library
  // call, and the summary of a large map writes a hundred million numbers.
  std::size_t length = 1;
  for (std::uint64_t bound = 10; length < 20 && value >= bound; bound *= 10) ++length;
  char* const end = at + length;
  char* first = end;
  while (value >= 100) {
    const unsigned pair = static_cast<unsigned>(value % 100) * 2;
    value /= 100;
    *--first = kDigitPairs[pair + 1];
    *--first = kDigitPairs[pair];
  }
  if (value >= 10) {
    const unsigned pair = static_cast<unsigned>(value) * 2;
    *--first = kDigitPairs[pair + 1];
    *--first = kDigitPairs[pair];
  } else {
    *--first = static_cast<char>('0' + value);
  }
  return end;
}

char* writeInteger(char* at, std::int64_t value) {
  if (value < 0) {
    *at++ = '-';
    return writeUnsigned(at, 0 - static_cast<std::uint64_t>(value));
  }
  return writeUnsigned(at, static_cast<std::uint64_t>(value));
}

// Whole numbers below a million have at most six digits, so "%.6g" writes them
// as plain integers; everything else goes through the C library's own "%.6g",
// which is what the stream itself calls.
char* writeNumber(char* at, double value) {
  if (std::fabs(value) < 1e6 && std::trunc(value) == value) {
    if (std::signbit(value)) *at++ = '-';
    return writeUnsigned(at, static_cast<std::uint64_t>(std::fabs(value)));
  }
  const int length = std::snprintf(at, kLongestNumberText, "%.6g", value);
  return at + length;
}

void appendNumber(std::string& text, double value) {
  char buffer[kLongestNumberText];
  text.append(buffer, writeNumber(buffer, value));
}

void appendInteger(std::string& text, std::int64_t value) {
  char buffer[kLongestNumberText];
  text.append(buffer, writeInteger(buffer, value));
}

void appendUnsigned(std::string& text, std::uint64_t value) {
  char buffer[kLongestNumberText];
  text.append(buffer, writeUnsigned(buffer, value));
}

}  // namespace quarvel
