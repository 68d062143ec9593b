#include "segmentation/fusion_loading.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "segmentation/region_grid.h"
#include "segmentation/table_exchange.h"

namespace quarvel {

namespace {

// spent, when given, is the table itself: each region's pixels and contour
// are released once read, before the fusion's own tables are made.
void load(const RegionTable& table, RegionTable* spent, const PixelTable& pixels, const WeightRule& rule,
          std::vector<std::int32_t>& positionOf, RegionFusion& fusion) {
  const int width = pixels.gridWidth();
  const int height = pixels.gridHeight();
  std::int32_t highest = 0;
  for (const auto& entry : table) {
    if (entry.first >= 1.0 && entry.first == std::floor(entry.first) && entry.first < 2147483647.0) {
      highest = static_cast<std::int32_t>(entry.first);
    }
  }
  positionOf.assign(static_cast<std::size_t>(highest) + 1, -1);
  std::vector<FusionRegion> regions;
  regions.reserve(table.size());
  std::vector<std::vector<std::uint32_t>> contours;
  contours.reserve(table.size());
  for (const auto& entry : table) {
    const Region& region = entry.second;
    if (entry.first >= 1.0 && entry.first <= highest && entry.first == std::floor(entry.first)) {
      positionOf[static_cast<std::size_t>(entry.first)] = static_cast<std::int32_t>(regions.size());
    }
    FusionRegion fused;
    fused.descriptors = region.descriptors();
    fused.pixelCount = region.pixelCount();
    std::size_t first = 0;
    fused.firstPixel = !region.pixels().empty() && gridIndexOf(*region.pixelsBegin(), width, height, first)
                           ? static_cast<std::uint32_t>(first)
                           : kNoFirstPixel;
    contours.push_back(contourPixels(region.contour(), width, height));
    regions.push_back(std::move(fused));
  }
  if (spent != nullptr) {
    for (auto& entry : *spent) {
      entry.second.pixels() = PointSet();
      entry.second.contour() = Contour();
    }
  }
  std::vector<std::int32_t> base = regionNumberGrid(pixels, highest);
  for (std::int32_t& label : base) label = label == 0 ? -1 : positionOf[label];
  fusion.start(width, height, std::move(base), std::move(regions), std::move(contours), rule);
}

}  // namespace

void loadFusion(const RegionTable& table, const PixelTable& pixels, const WeightRule& rule,
                std::vector<std::int32_t>& positionOf, RegionFusion& fusion) {
  load(table, nullptr, pixels, rule, positionOf, fusion);
}

void loadFusionReleasing(RegionTable& table, const PixelTable& pixels, const WeightRule& rule,
                         std::vector<std::int32_t>& positionOf, RegionFusion& fusion) {
  load(table, &table, pixels, rule, positionOf, fusion);
}

}  // namespace quarvel
