#include "segmentation/edge_weight.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace quarvel {
namespace {

[[maybe_unused]] bool modestDescriptors(std::span<const float> values) {
  return std::all_of(values.begin(), values.end(), [](float value) { return std::fabs(value) <= 1e15f; });
}

}  // namespace

float descriptorDistance(std::span<const float> a, std::span<const float> b) {
  const std::size_t n = std::min(a.size(), b.size());
  float sum = 0.0f;
  for (std::size_t k = 0; k < n; ++k) {
    const double difference = static_cast<double>(a[k]) - static_cast<double>(b[k]);
    sum = static_cast<float>(static_cast<double>(sum) + difference * difference);
  }
  return static_cast<float>(std::sqrt(static_cast<double>(sum)));
}

float edgeWeight(const EdgeEnd& a, const EdgeEnd& b, double shared, float epsilon, int nbPixMin) {
  const float distance = descriptorDistance(a.descriptors, b.descriptors);
  const double shorter = static_cast<double>(std::min(a.contourSize, b.contourSize));
  const float sizeFactor = (a.pixelCount < nbPixMin || b.pixelCount < nbPixMin) ? epsilon : 1.0f;
  const float weight = combinedWeight(distance, contourTerm(shorter, shared), sizeFactor);
  assert(!(shared == 0.0 && shorter > 0.0 && epsilon >= 0.0f) || std::isinf(weight) || std::isnan(weight));
  assert(!(shared >= 1.0 && epsilon >= 0.0f && epsilon <= 1.0f && modestDescriptors(a.descriptors) &&
           modestDescriptors(b.descriptors)) ||
         !std::isinf(weight));
  return weight;
}

void mergeDescriptorsInto(std::vector<float>& a, std::span<const float> b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t k = 0; k < n; ++k) {
    const float sum = a[k] + b[k];
    a[k] = static_cast<float>(sum / 2.0);
  }
}

std::vector<float> mergedDescriptors(const std::vector<float>& a, const std::vector<float>& b) {
  std::vector<float> merged(a);
  mergeDescriptorsInto(merged, b);
  return merged;
}

}  // namespace quarvel
