#include "segmentation/fusion_pairs.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>

namespace quarvel {
namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

std::uint64_t pairKey(std::int32_t a, std::int32_t c) {
  const std::uint32_t low = static_cast<std::uint32_t>(std::min(a, c));
  const std::uint32_t high = static_cast<std::uint32_t>(std::max(a, c));
  return (static_cast<std::uint64_t>(low) << 32) | high;
}

EdgeEnd endOf(const FusionState& state, std::int32_t region) {
  const FusionRegion& r = state.regions[region];
  return {&r.descriptors, r.pixelCount, r.contour.size()};
}

// The region whose visit decides the pair's value: the later one that writes.
std::int32_t decidingRegion(const FusionPair& pair) { return pair.highWrites ? pair.high : pair.low; }

bool usable(float value) { return value != 0.0f && !std::isnan(value); }

}  // namespace

std::int32_t findPair(const FusionState& state, std::int32_t a, std::int32_t c) {
  const auto found = state.pairIndex.find(pairKey(a, c));
  return found == state.pairIndex.end() ? -1 : found->second;
}

std::int32_t createPair(FusionState& state, std::int32_t a, std::int32_t c) {
  const std::int32_t id = static_cast<std::int32_t>(state.pairs.size());
  FusionPair pair;
  pair.low = std::min(a, c);
  pair.high = std::max(a, c);
  state.pairs.push_back(pair);
  state.pairsOf[a].push_back(id);
  state.pairsOf[c].push_back(id);
  state.pairIndex.emplace(pairKey(a, c), id);
  return id;
}

void moveToRegion(FusionState& state, std::int32_t id, std::int32_t from, std::int32_t to) {
  FusionPair& pair = state.pairs[id];
  const std::int32_t c = otherRegion(pair, from);
  const bool cWrites = writesFrom(pair, c);
  const std::uint32_t cShared = sharedFrom(pair, c);
  const bool cListed = listedBy(pair, c);
  state.pairIndex.erase(pairKey(from, c));
  pair.low = std::min(to, c);
  pair.high = std::max(to, c);
  writesFrom(pair, c) = cWrites;
  sharedFrom(pair, c) = cShared;
  listedBy(pair, c) = cListed;
  writesFrom(pair, to) = false;
  sharedFrom(pair, to) = 0;
  listedBy(pair, to) = false;
  state.pairIndex.emplace(pairKey(to, c), id);
  state.pairsOf[to].push_back(id);
}

void retirePair(FusionState& state, std::int32_t id) {
  FusionPair& pair = state.pairs[id];
  pair.alive = false;
  state.pairIndex.erase(pairKey(pair.low, pair.high));
  dropPair(state.bounded, id);
  dropPair(state.unboundedQueue, id);
}

void fillPairSlots(FusionState& state, std::int32_t a) {
  std::vector<std::int32_t>& list = state.pairsOf[a];
  std::size_t kept = 0;
  for (std::int32_t id : list) {
    const FusionPair& pair = state.pairs[id];
    if (!pair.alive) continue;
    list[kept++] = id;
    state.pairWith[otherRegion(pair, a)] = id;
  }
  list.resize(kept);
}

void clearPairSlots(FusionState& state, std::int32_t a) {
  for (std::int32_t id : state.pairsOf[a]) state.pairWith[otherRegion(state.pairs[id], a)] = -1;
}

std::int32_t pairSlot(FusionState& state, std::int32_t a, std::int32_t other) {
  std::int32_t id = state.pairWith[other];
  if (id < 0) {
    id = createPair(state, a, other);
    state.pairWith[other] = id;
  }
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
        writesFrom(pair, a) = true;
        if (!state.onContour[pixel]) continue;
        if (state.countedBy[pixel] != stamp) {
          state.countedBy[pixel] = stamp;
          ++sharedFrom(pair, a);
        }
        if (!countIncoming) continue;
        bool seen = false;
        for (int k = 0; k < seenCount; ++k) seen = seen || seenHere[k] == c;
        if (!seen) {
          seenHere[seenCount++] = c;
          ++sharedFrom(pair, c);
        }
      }
    }
  }
}

float currentPairValue(const FusionState& state, std::int32_t id) {
  const FusionPair& pair = state.pairs[id];
  if (!pair.lowWrites && !pair.highWrites) return 0.0f;
  if (!state.rule.weighted) return 1.0f;
  const std::int32_t x = decidingRegion(pair);
  const std::int32_t y = otherRegion(pair, x);
  const std::uint32_t shared = x == pair.low ? pair.lowShared : pair.highShared;
  return edgeWeight(endOf(state, x), endOf(state, y), static_cast<double>(shared), state.rule.epsilon,
                    state.rule.nbPixMin);
}

void refreshPair(FusionState& state, std::int32_t id) {
  FusionPair& pair = state.pairs[id];
  if (!pair.lowWrites && !pair.highWrites) {
    retirePair(state, id);
    return;
  }
  const std::int32_t x = decidingRegion(pair);
  const std::size_t shorter =
      std::min(state.regions[pair.low].contour.size(), state.regions[pair.high].contour.size());
  pair.unbounded = state.lazyUnbounded && sharedFrom(pair, x) == 0 && shorter > 0;
  pair.parked = false;
  if (pair.unbounded) {
    dropPair(state.bounded, id);
    queuePair(state.unboundedQueue, {kInfinity, pair.low, pair.high, id});
    return;
  }
  dropPair(state.unboundedQueue, id);
  for (std::int32_t region : {pair.low, pair.high}) {
    if (!listedBy(pair, region)) {
      listedBy(pair, region) = true;
      state.boundedOf[region].push_back(id);
    }
  }
  const float value = currentPairValue(state, id);
  const bool unchanged = std::bit_cast<std::uint32_t>(value) == std::bit_cast<std::uint32_t>(pair.value);
  pair.value = value;
  if (!usable(value)) {
    dropPair(state.bounded, id);
    return;
  }
  const std::size_t index = static_cast<std::size_t>(id);
  const std::int32_t slot = index < state.bounded.slotOf.size() ? state.bounded.slotOf[index] : -1;
  if (unchanged && slot >= 0) {
    const FusionCandidate& queued = state.bounded.heap[static_cast<std::size_t>(slot)];
    if (queued.low == pair.low && queued.high == pair.high) return;
  }
  queuePair(state.bounded, {value, pair.low, pair.high, id});
}

void refreshBoundedPairs(FusionState& state, std::int32_t a) {
  std::vector<std::int32_t>& list = state.boundedOf[a];
  std::size_t kept = 0;
  for (std::int32_t id : list) {
    FusionPair& pair = state.pairs[id];
    if (!pair.alive || !involves(pair, a)) continue;
    if (pair.unbounded) {
      listedBy(pair, a) = false;
      continue;
    }
    list[kept++] = id;
  }
  list.resize(kept);
  for (std::size_t k = 0; k < kept; ++k) refreshPair(state, list[k]);
}

void markBoundedStale(FusionState& state, std::int32_t a) {
  if (!state.deferBounded) {
    refreshBoundedPairs(state, a);
    return;
  }
  if (state.stale[a]) return;
  state.stale[a] = 1;
  state.staleRegions.push_back(a);
}

void unparkPairs(FusionState& state, std::int32_t a) {
  for (std::int32_t id : state.parkedOf[a]) {
    FusionPair& pair = state.pairs[id];
    if (!pair.alive || !pair.parked || !involves(pair, a)) continue;
    pair.parked = false;
    queuePair(state.unboundedQueue, {kInfinity, pair.low, pair.high, id});
  }
  std::vector<std::int32_t>().swap(state.parkedOf[a]);
}

bool heaviestPair(FusionState& state, std::int32_t& low, std::int32_t& high) {
  // An unbounded pair is +inf or not-a-number; the latter waits, parked,
  // until one of its regions changes.
  const FusionCandidate* unbounded = heaviestCandidate(state.unboundedQueue);
  while (unbounded != nullptr && currentPairValue(state, unbounded->pair) != kInfinity) {
    const std::int32_t id = unbounded->pair;
    FusionPair& pair = state.pairs[id];
    pair.parked = true;
    dropPair(state.unboundedQueue, id);
    state.parkedOf[pair.low].push_back(id);
    state.parkedOf[pair.high].push_back(id);
    unbounded = heaviestCandidate(state.unboundedQueue);
  }
  if (unbounded != nullptr && state.deferBounded) {
    low = unbounded->low;
    high = unbounded->high;
    return true;
  }
  for (std::int32_t region : state.staleRegions) {
    if (!state.stale[region]) continue;
    state.stale[region] = 0;
    if (state.regions[region].alive) refreshBoundedPairs(state, region);
  }
  state.staleRegions.clear();
  const FusionCandidate* bounded = heaviestCandidate(state.bounded);
  const FusionCandidate* top = unbounded;
  if (top == nullptr || (bounded != nullptr && heavierCandidate(*bounded, *top))) top = bounded;
  if (top == nullptr) return false;
  low = top->low;
  high = top->high;
  return true;
}

}  // namespace quarvel
