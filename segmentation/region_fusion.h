#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "segmentation/adjacency_weights.h"
#include "segmentation/contour_geometry.h"
#include "segmentation/descriptor_kinds.h"
#include "segmentation/fusion_pairs.h"
#include "segmentation/pair_valuation.h"
#include "segmentation/pixel_ownership.h"

namespace quarvel {

// firstPixel of a region without pixels.
inline constexpr std::uint32_t kNoFirstPixel = 0xffffffffu;

// One region during the fusion. Regions are indexed 0 .. N-1 in the order of
// their numbers, so comparing indices compares numbers.
struct FusionRegion {
  double pixelCount = 0.0;
  std::uint32_t firstPixel = 0;  // smallest pixel index, i.e. first in raster order
  bool alive = true;
  // The kind of the region's descriptors, which are read through it; set by
  // start and by every merge.
  std::int32_t kind = -1;
};

// The fusion of a labelled map, one merge at a time, with the results the
// literal loop (take the heaviest edge, merge, rebuild the graph) would give.
// Its parts: who holds each pixel (PixelOwnership), which regions touch and
// how (FusionPairs), the contours those counts come from (ContourGeometry),
// and the weights and the order of the merges (PairValuation).
class RegionFusion : private RegionEnds {
 public:
  RegionFusion() = default;
  RegionFusion(const RegionFusion&) = delete;
  RegionFusion& operator=(const RegionFusion&) = delete;

  // pieces: the region index of every pixel (PixelOwnership::kNoPiece:
  // none); descriptors[r] and contours[r]: region r's descriptors, and its
  // contour pixels as traced from its first pixel.
  void start(int width, int height, std::vector<std::uint32_t> pieces, std::vector<FusionRegion> regions,
             const std::vector<std::vector<float>>& descriptors,
             std::vector<std::vector<std::uint32_t>> contours, const WeightRule& rule);

  std::int32_t aliveCount() const { return aliveCount_; }
  std::size_t regionCount() const { return regions_.size(); }
  const FusionRegion& region(std::int32_t r) const { return regions_[static_cast<std::size_t>(r)]; }
  std::span<const float> descriptors(std::int32_t r) const { return kinds_.descriptorsOf(region(r).kind); }
  // The live region that holds a pixel now; -1 for a pixel of no region.
  std::int32_t regionAt(std::size_t pixel) const { return owners_.regionAt(pixel); }
  // A live region's contour pixels, in no particular order.
  std::vector<std::uint32_t> contour(std::int32_t r) const { return geometry_.contour(r); }
  std::size_t contourSize(std::int32_t r) const { return geometry_.contourSize(r); }
  bool onContour(std::size_t pixel) const { return geometry_.onContour(pixel); }
  // Ends the fusion's use of its per-pixel table of owners, which it hands
  // over with every pixel's entry turned into numberOf[its live region] (0
  // for none); only the regions and the pairs stay readable.
  std::vector<std::uint32_t> takePixelNumbers(const std::vector<std::int32_t>& numberOf) {
    return owners_.takeNumbers(numberOf);
  }

  // The pair the heaviest edge joins; false when none with a usable weight is
  // left.
  bool heaviestPair(std::int32_t& low, std::int32_t& high) { return valuation_.heaviestPair(low, high); }

  // Calls visit(low, high, value) for every pair of touching live regions,
  // with the value the graph construction would give it now.
  template <typename Visit>
  void forEachPair(Visit&& visit) const {
    for (std::size_t id = 0; id < pairs_.size(); ++id) {
      const PairContacts& pair = pairs_[static_cast<std::int32_t>(id)];
      if (pair.alive) visit(pair.low, pair.high, valuation_.currentValue(static_cast<std::int32_t>(id)));
    }
  }

  // Region b joins region a: a takes b's pixels, its contour becomes the
  // trace of the merged region and its descriptors the merged ones.
  void mergeInto(std::int32_t a, std::int32_t b);

 private:
  EdgeEnd endOf(std::int32_t r) const override;
  std::span<const float> descriptorsOfKind(std::int32_t kind) const override {
    return kinds_.descriptorsOf(kind);
  }
  void settle(std::vector<std::int32_t>& changed);

  int width_ = 0;
  int height_ = 0;
  std::vector<FusionRegion> regions_;
  std::int32_t aliveCount_ = 0;
  DescriptorKinds kinds_;
  PixelOwnership owners_;
  FusionPairs pairs_;
  ContourGeometry geometry_;
  PairValuation valuation_;
  // Scratch of a merge.
  std::vector<std::uint32_t> overlap_;  // per region
  std::vector<std::int32_t> overlapped_;
  std::vector<std::int32_t> changed_;
  std::vector<std::int32_t> retired_;
  std::vector<float> merged_;  // the descriptors of the merged region
};

}  // namespace quarvel
