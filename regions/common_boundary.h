#pragma once

#include <cstddef>

#include "regions/contour.h"

namespace quarvel {

// The common boundary of a contour towards another: the points of the other
// contour that lie in the 3 x 3 block around at least one point of this one
// (the point itself included), each counted once. Region::commonBoundary, the
// graph construction and the fusion all count it through this visit: for
// every point of from, in order, blockOf(point, claim) hands every position
// of the point's block to claim, which counts the position when it is a point
// of the other contour not yet counted during this visit. A grid leaves out
// the positions off the grid, which hold no point.
template <typename Points, typename BlockOf, typename Claim>
void visitCommonBoundary(const Points& from, BlockOf&& blockOf, Claim&& claim) {
  for (const auto& point : from) blockOf(point, claim);
}

// The number of distinct points of to that lie in the 3 x 3 block around at
// least one point of from (the point itself included).
std::size_t countTouchingPoints(const Contour& from, const Contour& to);

}  // namespace quarvel
