#pragma once

#include <cstddef>

#include "regions/contour.h"

namespace quarvel {

// The number of distinct points of to that lie in the 3 x 3 block around at
// least one point of from (the point itself included).
std::size_t countTouchingPoints(const Contour& from, const Contour& to);

}  // namespace quarvel
