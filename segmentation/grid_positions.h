#pragma once

#include <cstddef>
#include <cstdint>

namespace quarvel {

// The column and row of a pixel index y * width + x on a width x height grid.
// The tracer and the fusion split an index for every pixel they look around,
// so the division by the width is a multiplication by its reciprocal instead:
// with M = floor((2^64 - 1) / width) + 1, the row is the high 64 bits of
// M * index, exactly, for every index and width below 2^32 (Lemire, Kaser and
// Kurz, "Faster remainder by direct computation"). A grid of more than 2^32
// pixels, or one pixel wide, divides.
class GridPositions {
 public:
  GridPositions(int width, int height)
      : width_(static_cast<std::size_t>(width)),
        height_(static_cast<std::size_t>(height)),
        reciprocal_(width > 1 && width_ * height_ <= (std::size_t{1} << 32) ? UINT64_MAX / width_ + 1 : 0) {}

  std::size_t width() const { return width_; }
  std::size_t height() const { return height_; }

  std::size_t row(std::size_t index) const {
    if (reciprocal_ == 0) return index / width_;
    __extension__ using Wide = unsigned __int128;
    return static_cast<std::size_t>((static_cast<Wide>(reciprocal_) * index) >> 64);
  }
  std::size_t column(std::size_t index, std::size_t row) const { return index - row * width_; }

 private:
  std::size_t width_;
  std::size_t height_;
  std::uint64_t reciprocal_;  // 0: divide
};

}  // namespace quarvel
