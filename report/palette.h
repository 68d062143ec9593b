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

 private:
  std::uint32_t state_ = 1;
};

}  // namespace quarvel
