#pragma once

#include <cstddef>
#include <vector>

namespace quarvel {

// What the weight of an edge needs to know of one of its two regions.
struct EdgeEnd {
  const std::vector<float>* descriptors = nullptr;
  double pixelCount = 0.0;
  std::size_t contourSize = 0;
};

// Euclidean distance between two descriptor lists over the positions both
// have; the running sum is kept as a float, each term formed in double.
float descriptorDistance(const std::vector<float>& a, const std::vector<float>& b);

// The weight that the visit of region a writes for the pair (a, b), where
// shared is a.commonBoundary(b): distance x contour term x size factor, the
// contour term being min(contour sizes) / (4 x shared), positive infinity when
// shared is 0, and the size factor epsilon when either region has fewer than
// nbPixMin pixels.
//
// The fusion's lazy valuation relies on two properties, asserted here:
// - unbounded: with shared 0, both contours non-empty and epsilon >= 0, the
//   weight is +inf or not-a-number (0 x inf) whatever the descriptors and
//   sizes are, so such a pair is valued only when it reaches the top;
// - bounded: with shared >= 1, every descriptor within 1e15 in size and
//   0 <= epsilon <= 1, the weight is finite or not-a-number, so it can never
//   beat a +inf pair and is valued only once no +inf pair is left.
float edgeWeight(const EdgeEnd& a, const EdgeEnd& b, double shared, float epsilon, int nbPixMin);

// The descriptors of a merged region: a's length, the mean of the two values
// where b has one, a's own value where it has none.
std::vector<float> mergedDescriptors(const std::vector<float>& a, const std::vector<float>& b);

}  // namespace quarvel
