#pragma once

#include "regions/contour.h"
#include "regions/point_set.h"

namespace quarvel {

// Follows the outer boundary of pixels clockwise with the 8-neighbour ring,
// starting at the first pixel in raster order with the up-left position as the
// backtrack, until the first return to the start; appends every pixel met to
// contour and then normalises it. Points already in contour stay. An empty set
// leaves contour untouched.
void traceOuterBoundary(const PointSet& pixels, Contour& contour);

}  // namespace quarvel
