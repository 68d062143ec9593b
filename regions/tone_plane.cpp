#include "regions/tone_plane.h"

namespace quarvel {

std::vector<PointSet::Key> TonePlane::pixelsOf(std::uint8_t tone, std::size_t count) const {
  std::vector<PointSet::Key> keys;
  keys.reserve(count);
  if (width_ <= 0) return keys;
  const std::size_t width = static_cast<std::size_t>(width_);
  const std::size_t rows = tones_.size() / width;
  for (std::size_t row = 0; row < rows; ++row) {
    const std::uint8_t* line = tones_.data() + row * width;
    for (std::size_t column = 0; column < width; ++column) {
      if (line[column] != tone) continue;
      keys.push_back(PointSet::keyOf(static_cast<std::int32_t>(column), static_cast<std::int32_t>(row)));
    }
  }
  return keys;
}

}  // namespace quarvel
