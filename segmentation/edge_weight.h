#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quarvel {

// What the weight of an edge needs to know of one of its two regions.
struct EdgeEnd {
  std::span<const float> descriptors;
  double pixelCount = 0.0;
  std::size_t contourSize = 0;
  // Regions of one kind >= 0 carry equal descriptor lists (those that kept
  // their class's descriptors share one); -1: not known.
  std::int32_t kind = -1;
};

// Euclidean distance between two descriptor lists over the positions both
// have; the running sum is kept as a float, each term formed in double.
float descriptorDistance(std::span<const float> a, std::span<const float> b);

// The contour term min(contour sizes) / (4 x shared), rounded to a float.
inline float contourTerm(double shorter, double shared) {
  return static_cast<float>(shorter / (4.0 * shared));
}

// distance x contour term x size factor, each product rounded to a float. For
// a fixed distance >= 0 and factor >= 0 it never falls as the contour term
// rises, which lets the fusion order many pairs by their contour term alone.
inline float combinedWeight(float distance, float contourTerm, float sizeFactor) {
  const float partial = distance * contourTerm;
  return partial * sizeFactor;
}

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
// a becomes mergedDescriptors(a, b) in place.
void mergeDescriptorsInto(std::vector<float>& a, std::span<const float> b);

}  // namespace quarvel
