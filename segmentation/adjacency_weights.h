#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "segmentation/edge_weight.h"

namespace quarvel {

// One region as the graph construction sees it, indexed by region number.
struct RegionOutline {
  bool present = false;
  EdgeEnd end;
  // The contour as pixel indices (y * width + x); each is a pixel of this region.
  std::vector<std::uint32_t> contour;
};

struct WeightRule {
  bool weighted = true;  // false: every touching pair weighs 1.0
  float epsilon = 0.5f;
  int nbPixMin = 5;
};

struct EdgeWrite {
  std::int32_t from = 0;  // the region being visited
  std::int32_t to = 0;
  float weight = 0.0f;
};

// Visits the regions in ascending number. During the visit of a region A every
// region B that holds an 8-neighbour of one of A's contour pixels receives one
// write (A, B, weight(A, B)), with A.commonBoundary(B) counted as the number of
// distinct B-contour pixels within one step of A's contour. The writes come
// out in visiting order, so applying them in turn leaves, for a pair written
// during both visits, the value of the later one. labels holds the region
// number of every pixel in raster order, 0 or any number without a present
// region for none.
std::vector<EdgeWrite> visitContours(int width, int height, std::span<const std::int32_t> labels,
                                     const std::vector<RegionOutline>& regions, const WeightRule& rule);

}  // namespace quarvel
