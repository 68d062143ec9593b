#include "segmentation/component_labelling.h"

#include <algorithm>
#include <cstddef>

#include "segmentation/union_find.h"

namespace quarvel {
namespace {

void unite(std::vector<std::int32_t>& parent, std::int32_t a, std::int32_t b) {
  a = findRoot(parent, a);
  b = findRoot(parent, b);
  if (a < b) {
    parent[b] = a;
  } else if (b < a) {
    parent[a] = b;
  }
}

template <typename Tone>
ComponentLabels labelComponentsOf(const Tone* tones, int width, int height) {
  ComponentLabels result;
  if (width <= 0 || height <= 0) return result;
  const std::size_t w = static_cast<std::size_t>(width);
  const std::size_t n = w * static_cast<std::size_t>(height);
  std::vector<std::int32_t>& labels = result.labels;
  labels.resize(n);

  // Provisional labels from a raster scan, joined by union-find.
  std::vector<std::int32_t> parent;
  for (std::size_t y = 0, i = 0; y < static_cast<std::size_t>(height); ++y) {
    for (std::size_t x = 0; x < w; ++x, ++i) {
      const Tone tone = tones[i];
      const bool sameLeft = x > 0 && tones[i - 1] == tone;
      const bool sameUp = y > 0 && tones[i - w] == tone;
      if (sameLeft) {
        labels[i] = labels[i - 1];
        if (sameUp) unite(parent, labels[i - 1], labels[i - w]);
      } else if (sameUp) {
        labels[i] = labels[i - w];
      } else {
        labels[i] = static_cast<std::int32_t>(parent.size());
        parent.push_back(labels[i]);
      }
    }
  }

  // Each component's first pixel in the column-by-column scan has the
  // smallest key x * height + y among its pixels.
  std::vector<std::size_t> firstKey(parent.size(), n);
  const std::size_t h = static_cast<std::size_t>(height);
  for (std::size_t y = 0, i = 0; y < h; ++y) {
    for (std::size_t x = 0; x < w; ++x, ++i) {
      const std::int32_t root = findRoot(parent, labels[i]);
      labels[i] = root;
      firstKey[root] = std::min(firstKey[root], x * h + y);
    }
  }
  std::vector<std::int32_t> roots;
  for (std::size_t label = 0; label < parent.size(); ++label) {
    if (parent[label] == static_cast<std::int32_t>(label)) roots.push_back(static_cast<std::int32_t>(label));
  }
  std::sort(roots.begin(), roots.end(),
            [&firstKey](std::int32_t a, std::int32_t b) { return firstKey[a] < firstKey[b]; });
  std::vector<std::int32_t>& number = parent;  // reused: root -> final number
  for (std::size_t k = 0; k < roots.size(); ++k) number[roots[k]] = static_cast<std::int32_t>(k + 1);
  for (std::int32_t& label : labels) label = number[label];
  result.count = static_cast<std::int32_t>(roots.size());
  return result;
}

}  // namespace

ComponentLabels labelEqualToneComponents(const double* tones, int width, int height) {
  return labelComponentsOf(tones, width, height);
}

ComponentLabels labelEqualToneComponents(const std::uint8_t* tones, int width, int height) {
  return labelComponentsOf(tones, width, height);
}

}  // namespace quarvel
