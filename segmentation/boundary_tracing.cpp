#include "segmentation/boundary_tracing.h"

namespace quarvel {

std::vector<std::uint8_t> sameNumberMasks(std::span<const std::int32_t> numbers, int width, int height) {
  const auto w = static_cast<std::size_t>(width);
  const auto h = static_cast<std::size_t>(height);
  std::vector<std::uint8_t> masks(numbers.size(), 0);
  if (w == 0 || h == 0) return masks;
  // The edges' pixels miss some neighbours; the others have all eight and
  // are compared without bounds.
  const GridNeighbours onGrid(GridPositions(width, height));
  const auto edgeMask = [&](std::size_t x, std::size_t y) {
    const std::size_t pixel = y * w + x;
    std::uint8_t mask = 0;
    for (int d = 0; d < 8; ++d) {
      std::size_t next = 0;
      if (onGrid(pixel, d, next) && numbers[next] == numbers[pixel])
        mask |= static_cast<std::uint8_t>(1u << d);
    }
    return mask;
  };
  for (std::size_t y = 0; y < h; ++y) {
    std::uint8_t* out = masks.data() + y * w;
    if (y == 0 || y + 1 == h) {
      for (std::size_t x = 0; x < w; ++x) out[x] = edgeMask(x, y);
      continue;
    }
    const std::int32_t* up = numbers.data() + (y - 1) * w;
    const std::int32_t* at = up + w;
    const std::int32_t* down = at + w;
    out[0] = edgeMask(0, y);
    for (std::size_t x = 1; x + 1 < w; ++x) {
      const std::int32_t own = at[x];
      out[x] = static_cast<std::uint8_t>((up[x - 1] == own) | (up[x] == own) << 1 | (up[x + 1] == own) << 2 |
                                         (at[x + 1] == own) << 3 | (down[x + 1] == own) << 4 |
                                         (down[x] == own) << 5 | (down[x - 1] == own) << 6 |
                                         (at[x - 1] == own) << 7);
    }
    out[w - 1] = edgeMask(w - 1, y);
  }
  return masks;
}

}  // namespace quarvel
