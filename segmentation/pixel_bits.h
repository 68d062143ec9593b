#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarvel {

// A mark a pixel, one bit each: the marks of a 4096 x 4096 map take 2 MB and
// stay in the cache, where a byte a pixel would not.
class PixelBits {
 public:
  explicit PixelBits(std::size_t count = 0) : words_((count + 63) / 64, 0) {}

  bool test(std::size_t pixel) const { return (words_[pixel / 64] & bitOf(pixel)) != 0; }
  void set(std::size_t pixel) { words_[pixel / 64] |= bitOf(pixel); }
  void clear(std::size_t pixel) { words_[pixel / 64] &= ~bitOf(pixel); }
  // Sets the mark; true when it was not set before.
  bool claim(std::size_t pixel) {
    std::uint64_t& word = words_[pixel / 64];
    const std::uint64_t bit = bitOf(pixel);
    if ((word & bit) != 0) return false;
    word |= bit;
    return true;
  }

 private:
  static std::uint64_t bitOf(std::size_t pixel) { return std::uint64_t{1} << (pixel % 64); }
  std::vector<std::uint64_t> words_;
};

}  // namespace quarvel
