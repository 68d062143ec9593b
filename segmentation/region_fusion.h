#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "segmentation/adjacency_weights.h"
#include "segmentation/pair_queue.h"

namespace quarvel {

// firstPixel of a region without pixels.
inline constexpr std::uint32_t kNoFirstPixel = 0xffffffffu;

// One region during the fusion. Regions are indexed 0 .. N-1 in the order of
// their numbers, so comparing indices compares numbers.
struct FusionRegion {
  std::vector<float> descriptors;
  double pixelCount = 0.0;
  std::uint32_t firstPixel = 0;  // smallest pixel index, i.e. first in raster order
  // Distinct contour pixels, in no particular order.
  std::vector<std::uint32_t> contour;
  bool alive = true;
};

// The edge between two live regions low < high. The region with the higher
// number is visited later when the graph is built, so its write is the one
// that stays when both visits write the pair.
struct FusionPair {
  std::int32_t low = 0;
  std::int32_t high = 0;
  bool lowWrites = false;        // a contour pixel of low has an 8-neighbour in high
  bool highWrites = false;       // and the other way round
  std::uint32_t lowShared = 0;   // low.commonBoundary(high)
  std::uint32_t highShared = 0;  // high.commonBoundary(low)
  bool alive = true;
  float value = 0.0f;  // kept for bounded pairs only
  // Unbounded: the commonBoundary that decides the value is 0, so the value
  // is +inf or not-a-number whatever the descriptors and sizes are.
  bool unbounded = false;
  bool parked = false;       // unbounded and found not-a-number; waits for a merge of its regions
  bool listedByLow = false;  // in low's list of bounded pairs
  bool listedByHigh = false;
};

// Everything the fusion works on. Pixels keep the region index they had at
// the start (base); a union-find over region indices tells which live region
// has absorbed it since.
struct FusionState {
  int width = 0;
  int height = 0;
  WeightRule rule;
  // Unbounded pairs are valued only when they reach the top of their queue;
  // this needs a size factor that cannot be negative.
  bool lazyUnbounded = true;
  // Bounded pairs are then also finite (no descriptor beyond 1e15 in size, a
  // size factor of at most 1). While an unbounded pair is +inf no bounded
  // value can be chosen, so regions whose descriptors or size changed are
  // only marked stale, and their bounded pairs are valued again before the
  // bounded queue is read.
  bool deferBounded = true;
  std::vector<std::int32_t> staleRegions;
  std::vector<std::uint8_t> stale;         // per region
  std::vector<std::int32_t> base;          // per pixel, -1 for none
  std::vector<std::int32_t> absorbedInto;  // union-find parent per region index
  std::vector<FusionRegion> regions;
  std::int32_t aliveCount = 0;
  std::vector<std::uint8_t> onContour;  // per pixel

  std::vector<FusionPair> pairs;
  std::vector<std::vector<std::int32_t>> pairsOf;    // per region, may list dead pairs
  std::vector<std::vector<std::int32_t>> boundedOf;  // per region, its bounded pairs, may list stale ones
  std::vector<std::vector<std::int32_t>> parkedOf;   // per region, may list stale ones
  std::unordered_map<std::uint64_t, std::int32_t> pairIndex;  // (low, high) -> live pair
  // Bounded pairs whose value is neither 0 nor not-a-number, by value.
  PairQueue bounded;
  // Unbounded pairs not parked, by (low, high) alone: every weight is +inf.
  PairQueue unboundedQueue;

  // Scratch: per region the pair it shares with the region being worked on
  // (-1: none), per pixel the last scan that counted it.
  std::vector<std::int32_t> pairWith;
  std::vector<std::uint32_t> countedBy;
  std::uint32_t scanStamp = 0;
};

// Builds the state from the regions (contours as traced) and their pixels, and
// the pair values that the graph construction would write.
void startFusion(FusionState& state, int width, int height, std::vector<std::int32_t> base,
                 std::vector<FusionRegion> regions, const WeightRule& rule);

// The live region that holds a pixel now; -1 for a pixel of no region.
std::int32_t regionOfPixel(FusionState& state, std::size_t pixel);

// The pair the heaviest edge joins: largest value, +inf above every finite
// one, never 0 or not-a-number, ties to the smallest low then smallest high.
// False when no such pair remains.
bool heaviestPair(FusionState& state, std::int32_t& low, std::int32_t& high);

// The value the graph construction would give the pair now.
float currentPairValue(const FusionState& state, std::int32_t pair);

// Merges region b into region a: a takes b's pixels, its contour becomes the
// trace of the merged region, its descriptors the merged ones; b's pairs move
// to a and every pair of a gets the value the graph construction would give
// it (unbounded and stale ones when they are next looked at).
void mergeInto(FusionState& state, std::int32_t a, std::int32_t b);

}  // namespace quarvel
