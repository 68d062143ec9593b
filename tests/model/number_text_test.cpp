#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "model/number_text.h"

namespace quarvel {
namespace {

std::string streamed(double value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

std::string formatted(double value) {
  std::string text = "x";
  appendNumber(text, value);
  return text.substr(1);
}

class NumberText : public testing::TestWithParam<double> {};

TEST_P(NumberText, MatchesTheDefaultStreamFormat) { EXPECT_EQ(formatted(GetParam()), streamed(GetParam())); }

constexpr double kInfinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Values, NumberText,
                         testing::Values(0.0, -0.0, 1.0, -1.0, 7.0, 255.0, 999999.0, -999999.0, 1e6, -1e6,
                                         1000001.0, 999999.5, 999999.4, 123456.7, 0.5, 0.25, 0.1, 1.0 / 3.0,
                                         1e-4, 1e-5, 0.000123456789, 2.5, 1e15, 1e300, 4e9,
                                         std::numeric_limits<double>::denorm_min(), kInfinity, -kInfinity,
                                         std::numeric_limits<double>::quiet_NaN(),
                                         -std::numeric_limits<double>::quiet_NaN(), static_cast<double>(0.1f),
                                         static_cast<double>(1.0f / 3.0f), static_cast<double>(16777217.0f)));

TEST(NumberText, MatchesTheStreamOnRandomDoublesFloatsAndWholeNumbers) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> exponent(-12.0, 12.0);
  std::uniform_int_distribution<std::int64_t> whole(-3000000, 3000000);
  for (int i = 0; i < 20000; ++i) {
    const double value = std::pow(10.0, exponent(random)) * (i % 2 ? 1.0 : -1.0);
    ASSERT_EQ(formatted(value), streamed(value));
    const double single = static_cast<float>(value);
    ASSERT_EQ(formatted(single), streamed(single));
    const double integral = static_cast<double>(whole(random));
    ASSERT_EQ(formatted(integral), streamed(integral));
  }
}

class IntegerText : public testing::TestWithParam<std::int64_t> {};

TEST_P(IntegerText, MatchesTheStream) {
  std::ostringstream out;
  out << GetParam();
  std::string text;
  appendInteger(text, GetParam());
  EXPECT_EQ(text, out.str());
  // A negative row also stands for the unsigned number of the same bits:
  // -1 is the longest, twenty digits.
  std::ostringstream unsignedOut;
  unsignedOut << static_cast<std::uint64_t>(GetParam());
  std::string unsignedText;
  appendUnsigned(unsignedText, static_cast<std::uint64_t>(GetParam()));
  EXPECT_EQ(unsignedText, unsignedOut.str());
}

INSTANTIATE_TEST_SUITE_P(Values, IntegerText,
                         testing::Values(0, 1, 9, 10, 11, 99, 100, 101, 999, 1000, 4096, 65535, 1000000,
                                         4294967295, 9999999999, 999999999999999999, 1000000000000000000, -1,
                                         -10, -99, -100, -8446744073709551616, -8446744073709551617,
                                         std::numeric_limits<std::int64_t>::max(),
                                         std::numeric_limits<std::int64_t>::min()));

}  // namespace
}  // namespace quarvel
