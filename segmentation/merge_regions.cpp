#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "model/allocator_setup.h"
#include "model/segmenter.h"
#include "segmentation/fusion_loading.h"
#include "segmentation/region_fusion.h"
#include "segmentation/table_exchange.h"

namespace quarvel {
namespace {

// The first merge follows the graph as the caller left it (its heaviest edge,
// by number); the state's own values equal it whenever it was built with
// weights from the same tables.
bool firstPair(const std::pair<double, double>& heaviest, const std::vector<std::int32_t>& positionOf,
               std::int32_t& low, std::int32_t& high) {
  const auto position = [&positionOf](double number) {
    return number >= 1.0 && number < static_cast<double>(positionOf.size())
               ? positionOf[static_cast<std::size_t>(number)]
               : -1;
  };
  low = position(heaviest.first);
  high = position(heaviest.second);
  return low >= 0 && high >= 0 && low != high;
}

}  // namespace

bool Segmenter::mergeRegions() {
  const int width = pixelTable_.gridWidth();
  const WeightRule rule{true, epsilon_, nbPixMin_};
  std::vector<std::int32_t> positionOf;
  auto fusion = std::make_unique<RegionFusion>();
  // The graph and the tables are filled again from the fusion at the end and
  // are not read before, so they make room for it as it starts.
  const std::pair<double, double> heaviest = graph_.heaviestEdge();
  graph_.resize(0);
  LentRegionWords lent;
  // The fusion takes what it needs of the regions and empties the table,
  // which is filled again at the end, where regions left without pixels
  // (never the case after labelling) do not come back.
  loadFusionReleasing(regionTable_, pixelTable_, rule, positionOf, *fusion, lent);
  std::int32_t low = 0;
  std::int32_t high = 0;
  bool found = firstPair(heaviest, positionOf, low, high);

  // Merging stops early when no edge with a usable weight is left.
  while (found && fusion->aliveCount() > nbRegFin_) {
    fusion->mergeInto(low, high);
    found = fusion->aliveCount() > nbRegFin_ && fusion->heaviestPair(low, high);
  }

  // Survivors keep their order and are numbered 1 .. count. What the tables
  // need is taken out of the fusion, which goes before they are filled.
  const std::size_t regionCount = fusion->regionCount();
  std::vector<std::int32_t> newNumber(regionCount, 0);
  std::int32_t count = 0;
  std::vector<std::size_t> sizes(1, 0);
  std::vector<std::vector<float>> descriptors(1);
  std::vector<std::vector<Point>> contours(1);
  for (std::size_t r = 0; r < regionCount; ++r) {
    const FusionRegion& fused = fusion->region(static_cast<std::int32_t>(r));
    if (!fused.alive) continue;
    newNumber[r] = ++count;
    sizes.push_back(static_cast<std::size_t>(fused.pixelCount));
    const std::span<const float> merged = fusion->descriptors(static_cast<std::int32_t>(r));
    descriptors.emplace_back(merged.begin(), merged.end());
    contours.emplace_back().reserve(fusion->contourSize(static_cast<std::int32_t>(r)));
  }
  const std::size_t pixelCount =
      static_cast<std::size_t>(pixelTable_.gridWidth()) * static_cast<std::size_t>(pixelTable_.gridHeight());
  for (std::size_t pixel = 0; pixel < pixelCount; ++pixel) {
    if (!fusion->onContour(pixel)) continue;
    const std::int32_t region = fusion->regionAt(pixel);
    if (region < 0) continue;
    const std::int32_t label = newNumber[static_cast<std::size_t>(region)];
    contours[static_cast<std::size_t>(label)].push_back(pointOfIndex(pixel, width));
  }
  // The fusion's pair values are what the graph construction would write on
  // the merged map, so the graph is taken from them rather than built again.
  graph_.resize(count + 1);
  fusion->forEachPair([this, &newNumber](std::int32_t low, std::int32_t high, float value) {
    graph_.setWeight(newNumber[static_cast<std::size_t>(low)], newNumber[static_cast<std::size_t>(high)],
                     value);
  });
  // The owners' table becomes the numbers in place rather than beside a copy.
  std::vector<std::uint32_t> numbers = fusion->takePixelNumbers(newNumber);
  fusion.reset();
  // What the fusion freed goes back to the system before the outputs are
  // written (see releaseFreeMemory).
  releaseFreeMemory();

  // Every number is at most count, below 2^31.
  const std::span<const std::int32_t> labels(reinterpret_cast<const std::int32_t*>(numbers.data()),
                                             numbers.size());
  std::vector<std::vector<PointSet::Key>> points = pixelKeysByLabel(labels, width, count, sizes);
  for (std::int32_t label = 1; label <= count; ++label) {
    const double number = static_cast<double>(label);
    Region& region = regionTable_.emplace_hint(regionTable_.end(), number, Region(number))->second;
    region.pixels().assignSorted(std::move(points[static_cast<std::size_t>(label)]));
    region.setDescriptors(descriptors[static_cast<std::size_t>(label)]);
    for (const Point& point : contours[static_cast<std::size_t>(label)]) region.contour().add(point);
    std::vector<Point>().swap(contours[static_cast<std::size_t>(label)]);
  }
  // A pixel of no region keeps its number.
  if (lent.lent) {
    for (const auto& [cell, number] : lent.kept) numbers[cell] = number;
    pixelTable_.returnRegionWords(std::move(numbers));
    return true;
  }
  const std::size_t w = static_cast<std::size_t>(width);
  for (std::size_t pixel = 0; pixel < numbers.size(); ++pixel) {
    if (numbers[pixel] == 0) continue;
    pixelTable_.setRegionNumberAt(static_cast<int>(pixel % w), static_cast<int>(pixel / w),
                                  static_cast<double>(numbers[pixel]));
  }
  return true;
}

}  // namespace quarvel
