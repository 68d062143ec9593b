#include <cstddef>
#include <utility>
#include <vector>

#include "model/segmenter.h"
#include "segmentation/component_labelling.h"
#include "segmentation/table_exchange.h"

namespace quarvel {

bool Segmenter::labelComponents() {
  const int width = pixelTable_.gridWidth();
  const int height = pixelTable_.gridHeight();
  const ComponentLabels components =
      pixelTable_.tonesAreBytes()
          ? labelEqualToneComponents(pixelTable_.gridToneBytes().data(), width, height)
          : labelEqualToneComponents(pixelTable_.gridTones().data(), width, height);
  const std::int32_t count = components.count;

  std::vector<std::size_t> sizes(static_cast<std::size_t>(count) + 1, 0);
  for (std::int32_t label : components.labels) ++sizes[label];
  std::vector<std::vector<PointSet::Key>> points = pixelKeysByLabel(components.labels, width, count, sizes);

  regionTable_.clear();
  for (std::int32_t k = 1; k <= count; ++k) {
    const double number = static_cast<double>(k);
    Region& region = regionTable_.emplace_hint(regionTable_.end(), number, Region(number))->second;
    const Point first = PointSet::pointOfKey(points[k].front());
    region.pixels().assignSorted(std::move(points[k]));
    const auto cluster =
        clusterTable_.find(pixelTable_.toneAt(static_cast<int>(first.x()), static_cast<int>(first.y())));
    if (cluster != clusterTable_.end()) region.setDescriptors(cluster->second.descriptors());
  }

  pixelTable_.setGridRegionNumbers(components.labels);
  graph_.resize(count + 1);
  regionCount_ = count;
  return true;
}

void Segmenter::unifyLabels(double* table, double count, double a, double b) const {
  const int high = static_cast<int>(a > b ? a : b);
  const int low = static_cast<int>(a < b ? a : b);
  for (int i = 1; i < count; ++i) {
    if (table[i] == high) table[i] = low;
  }
}

}  // namespace quarvel
