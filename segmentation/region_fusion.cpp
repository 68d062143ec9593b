#include "segmentation/region_fusion.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

namespace quarvel {

EdgeEnd RegionFusion::endOf(std::int32_t r) const {
  const FusionRegion& region = regions_[static_cast<std::size_t>(r)];
  return {kinds_.descriptorsOf(region.kind), region.pixelCount, geometry_.contourSize(r), region.kind};
}

void RegionFusion::start(int width, int height, std::vector<std::uint32_t> pieces,
                         std::vector<FusionRegion> regions,
                         const std::vector<std::vector<float>>& descriptors,
                         std::vector<std::vector<std::uint32_t>> contours, const WeightRule& rule) {
  width_ = width;
  height_ = height;
  regions_ = std::move(regions);
  const std::size_t count = regions_.size();
  aliveCount_ = static_cast<std::int32_t>(count);
  owners_.start(std::move(pieces), width, count);
  pairs_.start(count);
  geometry_.start(width, height, std::move(contours), owners_, pairs_);
  bool modest = true;
  kinds_.clear();
  for (std::size_t r = 0; r < count; ++r) {
    for (float value : descriptors[r]) modest = modest && std::fabs(value) <= 1e15f;
    regions_[r].kind = kinds_.kindOf(descriptors[r]);
  }
  valuation_.start(rule, modest, count, pairs_, *this);
  overlap_.assign(count, 0);
  for (std::size_t id = 0; id < pairs_.size(); ++id) valuation_.refresh(static_cast<std::int32_t>(id));
}

void RegionFusion::settle(std::vector<std::int32_t>& changed) {
  std::sort(changed.begin(), changed.end());
  changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
  for (std::int32_t id : changed) {
    if (!pairs_[id].alive) continue;
    if (pairs_[id].written()) {
      valuation_.refresh(id);
    } else {
      pairs_.retire(id);
      valuation_.drop(id);
    }
  }
}

void RegionFusion::mergeInto(std::int32_t a, std::int32_t b) {
  FusionRegion& kept = regions_[static_cast<std::size_t>(a)];
  FusionRegion& absorbed = regions_[static_cast<std::size_t>(b)];
  assert(a != b && kept.alive && absorbed.alive);

  // The merged region's trace starts where the part with the first pixel
  // starts its own. When that part's contour has no 8-neighbour in the other
  // part, none of its trace's steps looks at a pixel of the other part, so
  // the merged region's trace is that part's trace, step for step.
  const bool aLeads = kept.firstPixel <= absorbed.firstPixel;
  const std::int32_t lead = aLeads ? a : b;
  const std::int32_t joint = pairs_.find(a, b);
  const bool leadTouches = joint >= 0 && pairs_[joint].touches[pairs_[joint].sideOf(lead)] != 0;
  const std::uint32_t firstPixel = std::min(kept.firstPixel, absorbed.firstPixel);
  const bool traceAgain = leadTouches && firstPixel != kNoFirstPixel;

  changed_.clear();
  retired_.clear();
  overlapped_.clear();
  const FusionRegion& leader = regions_[static_cast<std::size_t>(lead)];
  geometry_.prepare(a, b, lead, traceAgain, leader.firstPixel, owners_, pairs_, changed_);
  geometry_.countOverlap(a, b, owners_, overlap_, overlapped_);
  pairs_.absorb(a, b, overlap_, changed_, retired_);
  for (std::int32_t c : overlapped_) overlap_[static_cast<std::size_t>(c)] = 0;
  for (std::int32_t id : retired_) valuation_.drop(id);
  owners_.absorb(a, b);

  absorbed.alive = false;
  --aliveCount_;
  kept.pixelCount += absorbed.pixelCount;
  const std::size_t maxMoves = 8 * static_cast<std::size_t>(kept.pixelCount) + 8;
  kept.firstPixel = firstPixel;
  const std::span<const float> keptDescriptors = kinds_.descriptorsOf(kept.kind);
  merged_.assign(keptDescriptors.begin(), keptDescriptors.end());
  mergeDescriptorsInto(merged_, kinds_.descriptorsOf(absorbed.kind));
  kept.kind = kinds_.kindOf(merged_);

  geometry_.reshape(a, b, lead, traceAgain, firstPixel, maxMoves, owners_, pairs_, changed_);
  valuation_.regionGone(b);
  settle(changed_);
  pairs_.compact(a);
  valuation_.regionChanged(a);
}

}  // namespace quarvel
