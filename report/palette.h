#pragma once

#include <cstdint>
#include <vector>

namespace quarvel {

// One colour of a result bitmap; region k is painted with entry k.
struct Palette {
  int red = 0;
  int green = 0;
  int blue = 0;
};

// The colour generator: a linear congruential generator started at 1 and never
// reseeded, so every run paints the same regions in the same colours. One
// instance lives as long as the Segmenter that draws from it.
class ColourDraws {
 public:
  // An integer from 0 to 32767.
  int next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 32767u);
  }
  // Moves on as count calls of next() would, in a number of steps that grows
  // with the logarithm of count: the composed affine maps of the generator
  // are squared bit by bit.
  void skip(std::uint64_t count) {
    std::uint32_t multiplier = 214013u;
    std::uint32_t increment = 2531011u;
    std::uint32_t totalMultiplier = 1u;
    std::uint32_t totalIncrement = 0u;
    for (; count > 0; count >>= 1) {
      if (count & 1u) {
        totalMultiplier *= multiplier;
        totalIncrement = totalIncrement * multiplier + increment;
      }
      increment *= multiplier + 1u;
      multiplier *= multiplier;
    }
    state_ = state_ * totalMultiplier + totalIncrement;
  }

 private:
  std::uint32_t state_ = 1;
};

}  // namespace quarvel
