#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/segmenter.h"
#include "segmentation/adjacency_weights.h"
#include "segmentation/region_grid.h"
#include "segmentation/table_exchange.h"

namespace quarvel {

// Contour points are taken to be pixels of their own region, which holds for
// every contour that the tracing produced.
bool Segmenter::buildAdjacencyGraph(int weighted) {
  const int width = pixelTable_.gridWidth();
  const int height = pixelTable_.gridHeight();

  // Only whole region numbers from 1 up to the graph's last index can be
  // written; outlines are indexed by number.
  std::int32_t highest = 0;
  for (const auto& entry : regionTable_) {
    const double number = entry.first;
    if (number >= 1.0 && number < graph_.size() && number == std::floor(number)) {
      highest = static_cast<std::int32_t>(number);
    }
  }
  std::vector<RegionOutline> outlines(static_cast<std::size_t>(highest) + 1);
  for (const auto& entry : regionTable_) {
    const double number = entry.first;
    if (!(number >= 1.0 && number <= highest && number == std::floor(number))) continue;
    const Region& region = entry.second;
    RegionOutline& outline = outlines[static_cast<std::size_t>(number)];
    outline.present = true;
    outline.end = {region.descriptors(), region.pixelCount(), region.contour().size()};
    outline.contour = contourPixels(region.contour(), width, height);
  }

  // On a plain grid the packed numbers serve as the labels as they stand: the
  // visit takes any number without a present region, negative ones included,
  // for none.
  std::vector<std::int32_t> readLabels;
  std::span<const std::int32_t> labels;
  if (pixelTable_.isPlainGrid()) {
    const std::vector<std::uint32_t>& words = pixelTable_.gridRegionWords();
    labels = {reinterpret_cast<const std::int32_t*>(words.data()), words.size()};
  } else {
    readLabels = regionNumberGrid(pixelTable_, highest);
    labels = readLabels;
  }
  const WeightRule rule{weighted != 0, epsilon_, nbPixMin_};
  const std::vector<EdgeWrite> writes = visitContours(width, height, labels, outlines, rule);
  // Most touching pairs are written from both sides.
  graph_.reserve(writes.size() / 2 + 1);
  // The writes land all over a large graph's index: each slot is asked for
  // some writes ahead.
  constexpr std::size_t kAhead = 16;
  for (std::size_t k = 0; k < writes.size(); ++k) {
    if (k + kAhead < writes.size()) graph_.prefetch(writes[k + kAhead].from, writes[k + kAhead].to);
    graph_.setWeight(writes[k].from, writes[k].to, writes[k].weight);
  }
  return true;
}

}  // namespace quarvel
