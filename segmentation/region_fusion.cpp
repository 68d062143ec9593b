#include "segmentation/region_fusion.h"

#include <algorithm>
#include <utility>

#include "segmentation/boundary_tracing.h"
#include "segmentation/edge_weight.h"
#include "segmentation/fusion_pairs.h"

namespace quarvel {
namespace {

std::int32_t findLiveRegion(std::vector<std::int32_t>& absorbedInto, std::int32_t region) {
  std::int32_t root = region;
  while (absorbedInto[root] != root) root = absorbedInto[root];
  while (absorbedInto[region] != root) {
    const std::int32_t next = absorbedInto[region];
    absorbedInto[region] = root;
    region = next;
  }
  return root;
}

// Moves b's pairs to a: a pair (b, c) becomes (a, c) when a had no pair with
// c, and otherwise dies after passing on c's write. c's contour has not
// changed and a now holds b's pixels, so c's visit writes (c, a) exactly when
// it wrote (c, a) or (c, b) before. What a's visit writes is left to the scan
// of a's new contour.
void movePairs(FusionState& state, std::int32_t a, std::int32_t b) {
  fillPairSlots(state, a);
  for (std::int32_t id : state.pairsOf[a]) {
    FusionPair& pair = state.pairs[id];
    if (pair.low == b || pair.high == b) {
      pair.alive = false;
      state.pairWith[b] = -1;
    }
  }
  for (std::int32_t id : state.pairsOf[b]) {
    FusionPair& moved = state.pairs[id];
    if (!moved.alive) continue;
    const std::int32_t c = moved.low == b ? moved.high : moved.low;
    const bool cWrites = moved.low == c ? moved.lowWrites : moved.highWrites;
    const std::int32_t existing = state.pairWith[c];
    if (existing >= 0) {
      FusionPair& kept = state.pairs[existing];
      (kept.low == c ? kept.lowWrites : kept.highWrites) |= cWrites;
      moved.alive = false;
      continue;
    }
    moved.low = std::min(a, c);
    moved.high = std::max(a, c);
    moved.lowWrites = moved.low == c && cWrites;
    moved.highWrites = moved.high == c && cWrites;
    state.pairsOf[a].push_back(id);
    state.pairWith[c] = id;
  }
  std::vector<std::int32_t>().swap(state.pairsOf[b]);
  fillPairSlots(state, a);  // drops the dead pairs
  for (std::int32_t id : state.pairsOf[a]) {
    FusionPair& pair = state.pairs[id];
    (pair.low == a ? pair.lowWrites : pair.highWrites) = false;
    pair.lowShared = 0;
    pair.highShared = 0;
  }
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
  return start < 0 ? -1 : findLiveRegion(state.absorbedInto, start);
}

void startFusion(FusionState& state, int width, int height, std::vector<std::int32_t> base,
                 std::vector<FusionRegion> regions, const WeightRule& rule) {
  state = FusionState();
  state.width = width;
  state.height = height;
  state.rule = rule;
  state.base = std::move(base);
  state.regions = std::move(regions);
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
  for (std::size_t r = 0; r < count; ++r) {
    const std::int32_t a = static_cast<std::int32_t>(r);
    fillPairSlots(state, a);
    scanContour(state, a, false);
    clearPairSlots(state, a);
  }
  for (std::size_t id = 0; id < state.pairs.size(); ++id) refreshPair(state, static_cast<std::int32_t>(id));
}

bool heaviestPair(FusionState& state, std::int32_t& low, std::int32_t& high) {
  while (!state.candidates.empty()) {
    const FusionCandidate top = state.candidates.top();
    const FusionPair& pair = state.pairs[top.pair];
    if (pair.alive && pair.version == top.version) {
      low = top.low;
      high = top.high;
      return true;
    }
    state.candidates.pop();
  }
  return false;
}

void mergeInto(FusionState& state, std::int32_t a, std::int32_t b) {
  FusionRegion& kept = state.regions[a];
  FusionRegion& absorbed = state.regions[b];
  state.absorbedInto[b] = a;
  absorbed.alive = false;
  --state.aliveCount;
  kept.pixelCount += absorbed.pixelCount;
  kept.firstPixel = std::min(kept.firstPixel, absorbed.firstPixel);
  kept.descriptors = mergedDescriptors(kept.descriptors, absorbed.descriptors);
  std::vector<float>().swap(absorbed.descriptors);

  movePairs(state, a, b);

  for (std::uint32_t pixel : kept.contour) state.onContour[pixel] = 0;
  for (std::uint32_t pixel : absorbed.contour) state.onContour[pixel] = 0;
  std::vector<std::uint32_t>().swap(absorbed.contour);
  traceContour(state, a);
  scanContour(state, a, true);

  for (std::int32_t id : state.pairsOf[a]) refreshPair(state, id);
  clearPairSlots(state, a);
}

}  // namespace quarvel
