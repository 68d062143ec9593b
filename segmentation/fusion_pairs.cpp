#include "segmentation/fusion_pairs.h"

#include <cmath>
#include <cstddef>

namespace quarvel {
namespace {

EdgeEnd endOf(const FusionState& state, std::int32_t region) {
  const FusionRegion& r = state.regions[region];
  return {&r.descriptors, r.pixelCount, r.contour.size()};
}

}  // namespace

void fillPairSlots(FusionState& state, std::int32_t a) {
  std::vector<std::int32_t>& list = state.pairsOf[a];
  std::size_t kept = 0;
  for (std::int32_t id : list) {
    const FusionPair& pair = state.pairs[id];
    if (!pair.alive) continue;
    list[kept++] = id;
    state.pairWith[pair.low == a ? pair.high : pair.low] = id;
  }
  list.resize(kept);
}

void clearPairSlots(FusionState& state, std::int32_t a) {
  for (std::int32_t id : state.pairsOf[a]) {
    const FusionPair& pair = state.pairs[id];
    state.pairWith[pair.low == a ? pair.high : pair.low] = -1;
  }
}

std::int32_t pairSlot(FusionState& state, std::int32_t a, std::int32_t other) {
  std::int32_t id = state.pairWith[other];
  if (id >= 0) return id;
  id = static_cast<std::int32_t>(state.pairs.size());
  FusionPair pair;
  pair.low = a < other ? a : other;
  pair.high = a < other ? other : a;
  state.pairs.push_back(pair);
  state.pairsOf[a].push_back(id);
  state.pairsOf[other].push_back(id);
  state.pairWith[other] = id;
  return id;
}

void scanContour(FusionState& state, std::int32_t a, bool countIncoming) {
  const int width = state.width;
  const int height = state.height;
  const std::size_t w = static_cast<std::size_t>(width);
  const std::uint32_t stamp = ++state.scanStamp;
  for (std::uint32_t centre : state.regions[a].contour) {
    const int cx = static_cast<int>(centre % w);
    const int cy = static_cast<int>(centre / w);
    // Regions already counted towards c.commonBoundary(a) at this pixel.
    std::int32_t seenHere[8];
    int seenCount = 0;
    for (int ny = cy - 1; ny <= cy + 1; ++ny) {
      if (ny < 0 || ny >= height) continue;
      for (int nx = cx - 1; nx <= cx + 1; ++nx) {
        if (nx < 0 || nx >= width) continue;
        const std::size_t pixel = static_cast<std::size_t>(ny) * w + static_cast<std::size_t>(nx);
        const std::int32_t c = regionOfPixel(state, pixel);
        if (c < 0 || c == a) continue;
        FusionPair& pair = state.pairs[pairSlot(state, a, c)];
        const bool aIsLow = pair.low == a;
        (aIsLow ? pair.lowWrites : pair.highWrites) = true;
        if (!state.onContour[pixel]) continue;
        if (state.countedBy[pixel] != stamp) {
          state.countedBy[pixel] = stamp;
          ++(aIsLow ? pair.lowShared : pair.highShared);
        }
        if (!countIncoming) continue;
        bool seen = false;
        for (int k = 0; k < seenCount; ++k) seen = seen || seenHere[k] == c;
        if (!seen) {
          seenHere[seenCount++] = c;
          ++(aIsLow ? pair.highShared : pair.lowShared);
        }
      }
    }
  }
}

void refreshPair(FusionState& state, std::int32_t id) {
  FusionPair& pair = state.pairs[id];
  if (!pair.highWrites && !pair.lowWrites) {
    pair.alive = false;
    return;
  }
  const EdgeEnd low = endOf(state, pair.low);
  const EdgeEnd high = endOf(state, pair.high);
  const WeightRule& rule = state.rule;
  float value = 1.0f;
  if (rule.weighted) {
    value = pair.highWrites ? edgeWeight(high, low, pair.highShared, rule.epsilon, rule.nbPixMin)
                            : edgeWeight(low, high, pair.lowShared, rule.epsilon, rule.nbPixMin);
  }
  pair.value = value;
  ++pair.version;
  if (value != 0.0f && !std::isnan(value)) {
    state.candidates.push({value, pair.low, pair.high, id, pair.version});
  }
}

}  // namespace quarvel
