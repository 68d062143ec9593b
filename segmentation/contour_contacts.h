#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "regions/common_boundary.h"
#include "segmentation/grid_positions.h"

namespace quarvel {

// Calls visit(n) for every in-grid pixel index n of the 3 x 3 block around
// centre, centre included, in raster order, on a width x height grid. A visit
// that answers a bool stops the walk by answering false, and the walk then
// answers false.
// Always inlined: it sits in the fusion's innermost loops.
template <typename Visit>
[[gnu::always_inline]] inline bool forEachInBlock(const GridPositions& grid, std::size_t centre,
                                                  Visit&& visit) {
  const auto call = [&visit](std::size_t n) {
    if constexpr (std::is_same_v<std::invoke_result_t<Visit&, std::size_t>, bool>) {
      return visit(n);
    } else {
      visit(n);
      return true;
    }
  };
  const std::size_t w = grid.width();
  const std::size_t h = grid.height();
  const std::size_t cy = grid.row(centre);
  const std::size_t cx = grid.column(centre, cy);
  // Away from the grid's edges (most pixels) every neighbour is there.
  if (cx - 1 < w - 2 && cy - 1 < h - 2) {
    for (std::size_t n = centre - w - 1; n <= centre + w - 1; n += w) {
      if (!call(n) || !call(n + 1) || !call(n + 2)) return false;
    }
    return true;
  }
  for (std::size_t ny = cy - 1; ny != cy + 2; ++ny) {
    if (ny >= h) continue;
    for (std::size_t nx = cx - 1; nx != cx + 2; ++nx) {
      if (nx >= w) continue;
      if (!call(ny * w + nx)) return false;
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
  const GridPositions grid(width, height);
  const auto blockOf = [&grid](std::uint32_t centre, auto& claim) { forEachInBlock(grid, centre, claim); };
  visitCommonBoundary(contour, blockOf, [&](std::size_t pixel) {
    const std::int32_t c = regionAt(pixel);
    if (c < 0 || c == a) return;
    meet(c, isContourOf(pixel, c) && countOnce(pixel));
  });
}

}  // namespace quarvel
