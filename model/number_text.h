#pragma once

#include <cstdint>
#include <string>

namespace quarvel {

// Appends a number exactly as an output stream in its default state writes it
// (six significant digits, no trailing zeros, exponent form from 1e6 on and
// below 1e-4, "inf" and "nan" as the C library spells them). A float is written
// through this function widened to double, as the stream does.
void appendNumber(std::string& text, double value);
// Appends an integer in plain decimal.
void appendInteger(std::string& text, std::int64_t value);
void appendUnsigned(std::string& text, std::uint64_t value);

}  // namespace quarvel
