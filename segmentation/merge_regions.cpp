#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/segmenter.h"
#include "segmentation/fusion_loading.h"
#include "segmentation/region_fusion.h"
#include "segmentation/table_exchange.h"

namespace quarvel {
namespace {

// The first merge follows the graph as the caller left it; the state's own
// values equal it whenever it was built with weights from the same tables.
bool firstPair(const AdjacencyGraph& graph, const std::vector<std::int32_t>& positionOf, std::int32_t& low,
               std::int32_t& high) {
  const auto [i, j] = graph.heaviestEdge();
  const auto position = [&positionOf](double number) {
    return number >= 1.0 && number < static_cast<double>(positionOf.size())
               ? positionOf[static_cast<std::size_t>(number)]
               : -1;
  };
  low = position(i);
  high = position(j);
  return low >= 0 && high >= 0 && low != high;
}

}  // namespace

bool Segmenter::mergeRegions() {
  const int width = pixelTable_.gridWidth();
  const WeightRule rule{true, epsilon_, nbPixMin_};
  std::vector<std::int32_t> positionOf;
  FusionState state;
  loadFusion(regionTable_, pixelTable_, rule, positionOf, state);

  // Merging stops early when no edge with a usable weight is left.
  bool first = true;
  while (state.aliveCount > nbRegFin_) {
    std::int32_t low = 0;
    std::int32_t high = 0;
    const bool found = first ? firstPair(graph_, positionOf, low, high) : heaviestPair(state, low, high);
    first = false;
    if (!found) break;
    mergeInto(state, low, high);
  }

  // Survivors keep their order and are numbered 1 .. count.
  std::vector<std::int32_t> newNumber(state.regions.size(), 0);
  std::int32_t count = 0;
  std::vector<std::size_t> sizes(1, 0);
  for (std::size_t r = 0; r < state.regions.size(); ++r) {
    if (!state.regions[r].alive) continue;
    newNumber[r] = ++count;
    sizes.push_back(static_cast<std::size_t>(state.regions[r].pixelCount));
  }
  std::vector<std::int32_t> labels(state.base.size(), 0);
  for (std::size_t pixel = 0; pixel < labels.size(); ++pixel) {
    const std::int32_t region = regionOfPixel(state, pixel);
    if (region >= 0) labels[pixel] = newNumber[region];
  }
  // Regions left without pixels (never the case after labelling) keep nothing.
  regionTable_.clear();
  std::vector<std::vector<PointSet::Key>> points = pixelKeysByLabel(labels, width, count, sizes);
  for (std::size_t r = 0; r < state.regions.size(); ++r) {
    FusionRegion& fused = state.regions[r];
    if (!fused.alive) continue;
    const double number = static_cast<double>(newNumber[r]);
    Region& region = regionTable_.emplace_hint(regionTable_.end(), number, Region(number))->second;
    region.pixels().assignSorted(std::move(points[newNumber[r]]));
    region.setDescriptors(fused.descriptors);
    appendSortedContour(region.contour(), fused.contour, width);
  }
  const std::size_t w = static_cast<std::size_t>(width);
  for (std::size_t pixel = 0; pixel < labels.size(); ++pixel) {
    if (labels[pixel] == 0) continue;
    pixelTable_.setRegionNumberAt(static_cast<int>(pixel % w), static_cast<int>(pixel / w),
                                  static_cast<double>(labels[pixel]));
  }
  graph_.resize(count + 1);
  buildAdjacencyGraph(1);
  return true;
}

}  // namespace quarvel
