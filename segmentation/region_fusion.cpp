#include "segmentation/region_fusion.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "segmentation/boundary_tracing.h"
#include "segmentation/edge_weight.h"
#include "segmentation/fusion_pairs.h"
#include "segmentation/union_find.h"

namespace quarvel {
namespace {

// What the contour of the merged region is, seen from its two parts.
enum class MergedContour {
  kTraced,  // traced again
  kKeptA,   // a's contour as it was
  kTakenB,  // b's contour as it was
};

// Moves b's pairs to a and answers the pairs of a that changed. A pair
// (b, c) becomes (a, c) when a had no pair with c, and otherwise dies after
// passing on c's side. c's contour has not changed and a now holds b's
// pixels, so c's visit writes (c, a) exactly when it wrote (c, a) or (c, b)
// before. a's side of every pair follows the merged contour: the old a side
// or b side when the contour is one of theirs, blank for a scan to fill when
// it is traced again.
std::vector<std::int32_t> movePairs(FusionState& state, std::int32_t a, std::int32_t b,
                                    MergedContour contour) {
  const std::int32_t joint = findPair(state, a, b);
  if (joint >= 0) retirePair(state, joint);
  if (contour != MergedContour::kKeptA) {
    for (std::int32_t id : state.pairsOf[a]) {
      FusionPair& pair = state.pairs[id];
      if (!pair.alive) continue;
      writesFrom(pair, a) = false;
      sharedFrom(pair, a) = 0;
      sharedFrom(pair, otherRegion(pair, a)) = 0;
    }
  }
  const bool takeB = contour == MergedContour::kTakenB;
  std::vector<std::int32_t> changed;
  for (std::int32_t id : state.pairsOf[b]) {
    FusionPair& moved = state.pairs[id];
    if (!moved.alive) continue;
    const std::int32_t c = otherRegion(moved, b);
    const bool bWrites = writesFrom(moved, b);
    const bool cWrites = writesFrom(moved, c);
    const std::uint32_t bShared = sharedFrom(moved, b);
    const std::uint32_t cShared = sharedFrom(moved, c);
    std::int32_t target = findPair(state, a, c);
    if (target >= 0) {
      retirePair(state, id);
    } else {
      moveToRegion(state, id, b, a);
      target = id;
      FusionPair& fresh = state.pairs[id];
      writesFrom(fresh, c) = false;
      sharedFrom(fresh, c) = 0;
    }
    FusionPair& kept = state.pairs[target];
    writesFrom(kept, c) = writesFrom(kept, c) || cWrites;
    if (takeB) {
      writesFrom(kept, a) = bWrites;
      sharedFrom(kept, a) = bShared;
      sharedFrom(kept, c) = cShared;
    }
    changed.push_back(target);
  }
  std::vector<std::int32_t>().swap(state.pairsOf[b]);
  std::vector<std::int32_t>().swap(state.boundedOf[b]);
  std::vector<std::int32_t>().swap(state.parkedOf[b]);
  return changed;
}

void traceContour(FusionState& state, std::int32_t a) {
  FusionRegion& region = state.regions[a];
  region.contour.clear();
  if (region.firstPixel == kNoFirstPixel) return;
  const std::size_t maxMoves = 8 * static_cast<std::size_t>(region.pixelCount) + 8;
  traceBoundary(
      state.width, state.height, region.firstPixel, maxMoves,
      [&state, a](std::size_t pixel) { return regionOfPixel(state, pixel) == a; },
      [&state, &region](std::size_t pixel) {
        if (state.onContour[pixel]) return;
        state.onContour[pixel] = 1;
        region.contour.push_back(static_cast<std::uint32_t>(pixel));
      });
}

}  // namespace

std::int32_t regionOfPixel(FusionState& state, std::size_t pixel) {
  const std::int32_t start = state.base[pixel];
  return start < 0 ? -1 : findRoot(state.absorbedInto, start);
}

void startFusion(FusionState& state, int width, int height, std::vector<std::int32_t> base,
                 std::vector<FusionRegion> regions, const WeightRule& rule) {
  state = FusionState();
  state.width = width;
  state.height = height;
  state.rule = rule;
  // With a size factor of at least 0 an unbounded pair is +inf or not-a-number.
  state.lazyUnbounded = rule.weighted && rule.epsilon >= 0.0f;
  state.base = std::move(base);
  state.regions = std::move(regions);
  bool modest = true;
  for (const FusionRegion& region : state.regions) {
    for (float value : region.descriptors) modest = modest && std::fabs(value) <= 1e15f;
  }
  state.deferBounded = state.lazyUnbounded && modest && rule.epsilon <= 1.0f;
  const std::size_t count = state.regions.size();
  state.aliveCount = static_cast<std::int32_t>(count);
  state.absorbedInto.resize(count);
  for (std::size_t r = 0; r < count; ++r) state.absorbedInto[r] = static_cast<std::int32_t>(r);
  state.onContour.assign(state.base.size(), 0);
  for (const FusionRegion& region : state.regions) {
    for (std::uint32_t pixel : region.contour) state.onContour[pixel] = 1;
  }
  state.countedBy.assign(state.base.size(), 0);
  state.pairWith.assign(count, -1);
  state.pairsOf.resize(count);
  state.boundedOf.resize(count);
  state.parkedOf.resize(count);
  state.stale.assign(count, 0);
  for (std::size_t r = 0; r < count; ++r) {
    const std::int32_t a = static_cast<std::int32_t>(r);
    fillPairSlots(state, a);
    scanContour(state, a, false);
    clearPairSlots(state, a);
  }
  state.bounded.slotOf.assign(state.pairs.size(), -1);
  state.unboundedQueue.slotOf.assign(state.pairs.size(), -1);
  for (std::size_t id = 0; id < state.pairs.size(); ++id) refreshPair(state, static_cast<std::int32_t>(id));
}

void mergeInto(FusionState& state, std::int32_t a, std::int32_t b) {
  FusionRegion& kept = state.regions[a];
  FusionRegion& absorbed = state.regions[b];

  // The merged region's trace starts where the part with the first pixel
  // starts its own. When that part's contour has no 8-neighbour in the other
  // part, none of its trace's steps looks at a pixel of the other part, so
  // the merged region's trace is that part's trace, step for step.
  const bool aLeads = kept.firstPixel <= absorbed.firstPixel;
  const std::int32_t joint = findPair(state, a, b);
  const bool leaderTouches = joint >= 0 && writesFrom(state.pairs[joint], aLeads ? a : b);
  MergedContour contour = MergedContour::kTraced;
  if (!leaderTouches && std::min(kept.firstPixel, absorbed.firstPixel) != kNoFirstPixel) {
    contour = aLeads ? MergedContour::kKeptA : MergedContour::kTakenB;
  }

  state.absorbedInto[b] = a;
  absorbed.alive = false;
  --state.aliveCount;
  kept.pixelCount += absorbed.pixelCount;
  kept.firstPixel = std::min(kept.firstPixel, absorbed.firstPixel);
  kept.descriptors = mergedDescriptors(kept.descriptors, absorbed.descriptors);
  std::vector<float>().swap(absorbed.descriptors);

  const std::vector<std::int32_t> changed = movePairs(state, a, b, contour);

  if (contour == MergedContour::kKeptA) {
    // a's own pairs kept their fields; only their values move with a's
    // descriptors and size.
    for (std::uint32_t pixel : absorbed.contour) state.onContour[pixel] = 0;
    std::vector<std::uint32_t>().swap(absorbed.contour);
    for (std::int32_t id : changed) refreshPair(state, id);
    markBoundedStale(state, a);
    unparkPairs(state, a);
    return;
  }
  if (contour == MergedContour::kTraced) {
    for (std::uint32_t pixel : kept.contour) state.onContour[pixel] = 0;
    for (std::uint32_t pixel : absorbed.contour) state.onContour[pixel] = 0;
    traceContour(state, a);
    fillPairSlots(state, a);
    scanContour(state, a, true);
    clearPairSlots(state, a);
  } else {
    for (std::uint32_t pixel : kept.contour) state.onContour[pixel] = 0;
    kept.contour.swap(absorbed.contour);
  }
  std::vector<std::uint32_t>().swap(absorbed.contour);
  std::vector<std::int32_t>().swap(state.parkedOf[a]);
  fillPairSlots(state, a);  // drops dead pairs from the list
  clearPairSlots(state, a);
  const std::vector<std::int32_t> all = state.pairsOf[a];
  for (std::int32_t id : all) refreshPair(state, id);
}

}  // namespace quarvel
