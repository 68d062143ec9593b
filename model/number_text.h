#pragma once

#include <cstdint>
#include <string>

namespace quarvel {

// The longest text the writers below produce for one number.
inline constexpr int kLongestNumberText = 32;

// Writes a number exactly as an output stream in its default state writes it
// (six significant digits, no trailing zeros, exponent form from 1e6 on and
// below 1e-4, "inf" and "nan" as the C library spells them) at `at`, and
// answers the position after it. A float is written through this function
// widened to double, as the stream does.
char* writeNumber(char* at, double value);
// Writes an integer in plain decimal; the same answer.
char* writeInteger(char* at, std::int64_t value);
char* writeUnsigned(char* at, std::uint64_t value);

// The same, appended to a string.
void appendNumber(std::string& text, double value);
void appendInteger(std::string& text, std::int64_t value);
void appendUnsigned(std::string& text, std::uint64_t value);

}  // namespace quarvel
