#include "segmentation/fusion_loading.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "segmentation/pixel_ownership.h"
#include "segmentation/region_grid.h"
#include "segmentation/table_exchange.h"

namespace quarvel {

namespace {

// spent, when given, is the table itself: it is emptied once read, before
// the fusion's own tables are made. lender, when given, is the pixel table
// itself, which lends its numbers' room when it is a plain grid.
void load(const RegionTable& table, RegionTable* spent, const PixelTable& pixels, PixelTable* lender,
          const WeightRule& rule, std::vector<std::int32_t>& positionOf, RegionFusion& fusion,
          LentRegionWords* lent) {
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
  std::vector<std::vector<float>> descriptors;
  descriptors.reserve(table.size());
  std::vector<std::vector<std::uint32_t>> contours;
  contours.reserve(table.size());
  for (const auto& entry : table) {
    const Region& region = entry.second;
    if (entry.first >= 1.0 && entry.first <= highest && entry.first == std::floor(entry.first)) {
      positionOf[static_cast<std::size_t>(entry.first)] = static_cast<std::int32_t>(regions.size());
    }
    FusionRegion fused;
    descriptors.push_back(region.descriptors());
    fused.pixelCount = region.pixelCount();
    std::size_t first = 0;
    fused.firstPixel = !region.pixels().empty() && gridIndexOf(*region.pixelsBegin(), width, height, first)
                           ? static_cast<std::uint32_t>(first)
                           : kNoFirstPixel;
    contours.push_back(contourPixels(region.contour(), width, height));
    regions.push_back(std::move(fused));
  }
  // The regions go before the fusion's tables are made, so that those can
  // take their room.
  if (spent != nullptr) spent->clear();
  // A pixel's piece is the position of the region its number names, the
  // number truncated as the graph truncates it.
  const auto pieceOf = [&positionOf, highest](std::uint32_t number) {
    const std::int32_t position =
        number >= 1 && number <= static_cast<std::uint32_t>(highest) ? positionOf[number] : -1;
    return position < 0 ? PixelOwnership::kNoPiece : static_cast<std::uint32_t>(position);
  };
  std::vector<std::uint32_t> pieces;
  if (lender != nullptr && lender->isPlainGrid()) {
    pieces = lender->lendRegionWords();
    lent->lent = true;
    for (std::size_t cell = 0; cell < pieces.size(); ++cell) {
      const std::uint32_t number = pieces[cell];
      pieces[cell] = pieceOf(number);
      if (pieces[cell] == PixelOwnership::kNoPiece && number != 0) lent->kept.emplace_back(cell, number);
    }
  } else {
    const std::vector<std::int32_t> numbers = regionNumberGrid(pixels, highest);
    pieces.resize(numbers.size());
    for (std::size_t cell = 0; cell < pieces.size(); ++cell) {
      pieces[cell] = pieceOf(static_cast<std::uint32_t>(numbers[cell]));
    }
  }
  fusion.start(width, height, std::move(pieces), std::move(regions), descriptors, std::move(contours), rule);
}

}  // namespace

void loadFusion(const RegionTable& table, const PixelTable& pixels, const WeightRule& rule,
                std::vector<std::int32_t>& positionOf, RegionFusion& fusion) {
  load(table, nullptr, pixels, nullptr, rule, positionOf, fusion, nullptr);
}

void loadFusionReleasing(RegionTable& table, PixelTable& pixels, const WeightRule& rule,
                         std::vector<std::int32_t>& positionOf, RegionFusion& fusion, LentRegionWords& lent) {
  lent = LentRegionWords{};
  load(table, &table, pixels, &pixels, rule, positionOf, fusion, &lent);
}

}  // namespace quarvel
