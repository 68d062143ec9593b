#pragma once

#include <cstdint>
#include <vector>

namespace quarvel {

// The 4-connected components of equal tone of a width x height grid.
struct ComponentLabels {
  // Raster order (index y * width + x); components numbered 1 .. count.
  std::vector<std::int32_t> labels;
  std::int32_t count = 0;
};

// Labels the components of pixels whose tones are exactly equal (as doubles),
// joined through left, right, up and down neighbours. Components are numbered
// in the order their first pixel is met when the grid is scanned column by
// column (x outer, y inner), so the component holding (0, 0) is number 1.
// tones is in raster order.
ComponentLabels labelEqualToneComponents(const double* tones, int width, int height);
ComponentLabels labelEqualToneComponents(const std::uint8_t* tones, int width, int height);

}  // namespace quarvel
