#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "regions/point_set.h"

namespace quarvel {

// The tones of an image grid, one byte a pixel in raster order: what the
// clusters the image loader makes draw their pixels from when first asked.
class TonePlane {
 public:
  TonePlane(std::vector<std::uint8_t> tones, int width) : tones_(std::move(tones)), width_(width) {}

  // The packed positions of the pixels of this tone, in raster order; count,
  // how many there are, sets the room aside.
  std::vector<PointSet::Key> pixelsOf(std::uint8_t tone, std::size_t count) const;

 private:
  std::vector<std::uint8_t> tones_;
  int width_ = 0;
};

}  // namespace quarvel
