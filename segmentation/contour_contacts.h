#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "regions/common_boundary.h"

namespace quarvel {

// Calls visit(n) for every in-grid pixel index n of the 3 x 3 block around
// centre, centre included, in raster order, on a width x height grid. A visit
// that answers a bool stops the walk by answering false, and the walk then
// answers false.
// Always inlined: it sits in the fusion's innermost loops.
template <typename Visit>
[[gnu::always_inline]] inline bool forEachInBlock(int width, int height, std::size_t centre, Visit&& visit) {
  const std::size_t w = static_cast<std::size_t>(width);
  const int cx = static_cast<int>(centre % w);
  const int cy = static_cast<int>(centre / w);
  for (int ny = cy - 1; ny <= cy + 1; ++ny) {
    if (ny < 0 || ny >= height) continue;
    for (int nx = cx - 1; nx <= cx + 1; ++nx) {
      if (nx < 0 || nx >= width) continue;
      const std::size_t n = static_cast<std::size_t>(ny) * w + static_cast<std::size_t>(nx);
      if constexpr (std::is_same_v<std::invoke_result_t<Visit&, std::size_t>, bool>) {
        if (!visit(n)) return false;
      } else {
        visit(n);
      }
    }
  }
  return true;
}

// The visit of region a's contour that the graph construction makes, on a
// width x height grid of pixel indices: for every contour pixel and every
// in-grid 8-neighbour held by another region c (regionAt, -1 for none),
// meet(c, shared) is called; shared is true when the neighbour is a contour
// pixel of c (isContourOf) that this visit has not counted yet, so the
// number of such calls is a.commonBoundary(c). countOnce(pixel) answers true
// the first time this visit asks about the pixel, false after.
template <typename RegionAt, typename IsContourOf, typename CountOnce, typename Meet>
void visitContourContacts(int width, int height, const std::vector<std::uint32_t>& contour, std::int32_t a,
                          RegionAt&& regionAt, IsContourOf&& isContourOf, CountOnce&& countOnce,
                          Meet&& meet) {
  const auto blockOf = [width, height](std::uint32_t centre, auto& claim) {
    forEachInBlock(width, height, centre, claim);
  };
  visitCommonBoundary(contour, blockOf, [&](std::size_t pixel) {
    const std::int32_t c = regionAt(pixel);
    if (c < 0 || c == a) return;
    meet(c, isContourOf(pixel, c) && countOnce(pixel));
  });
}

}  // namespace quarvel
