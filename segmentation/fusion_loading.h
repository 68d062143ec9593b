#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "model/segmenter.h"
#include "segmentation/region_fusion.h"

namespace quarvel {

// Starts a fusion on the tables: regions indexed by their position in the
// table, each pixel by the position of the region its number names (-1: none),
// contours as stored. The stored contours must be the traces of their regions,
// as contour detection leaves them: a merge may keep one of them as the
// merged region's trace. positionOf maps a whole region number to its
// position.
void loadFusion(const RegionTable& table, const PixelTable& pixels, const WeightRule& rule,
                std::vector<std::int32_t>& positionOf, RegionFusion& fusion);
// What the fusion took of the pixel table, to be given back when it ends.
struct LentRegionWords {
  bool lent = false;
  // The cells that belong to no region, with the numbers they keep.
  std::vector<std::pair<std::size_t, std::uint32_t>> kept;
};

// The same, for a caller that fills the tables again from the fusion: the
// region table is emptied as soon as it is read, so that the fusion's tables
// can take its place, and a plain grid lends the fusion its region numbers'
// room (see PixelTable::lendRegionWords).
void loadFusionReleasing(RegionTable& table, PixelTable& pixels, const WeightRule& rule,
                         std::vector<std::int32_t>& positionOf, RegionFusion& fusion, LentRegionWords& lent);

}  // namespace quarvel
