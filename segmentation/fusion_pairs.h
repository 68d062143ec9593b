#pragma once

#include <cstdint>
#include <vector>

#include "segmentation/region_fusion.h"

namespace quarvel {

// Pair bookkeeping of the fusion.

// The fields of a pair seen from one of its two regions: whether its visit
// writes the pair, its commonBoundary towards the other, and whether the
// pair is on its list of bounded pairs.
inline bool& writesFrom(FusionPair& pair, std::int32_t region) {
  return pair.low == region ? pair.lowWrites : pair.highWrites;
}
inline std::uint32_t& sharedFrom(FusionPair& pair, std::int32_t region) {
  return pair.low == region ? pair.lowShared : pair.highShared;
}
inline bool& listedBy(FusionPair& pair, std::int32_t region) {
  return pair.low == region ? pair.listedByLow : pair.listedByHigh;
}
inline std::int32_t otherRegion(const FusionPair& pair, std::int32_t region) {
  return pair.low == region ? pair.high : pair.low;
}
inline bool involves(const FusionPair& pair, std::int32_t region) {
  return pair.low == region || pair.high == region;
}

// The live pair of two regions, or -1.
std::int32_t findPair(const FusionState& state, std::int32_t a, std::int32_t c);
// A new pair of a and c, with nothing written yet.
std::int32_t createPair(FusionState& state, std::int32_t a, std::int32_t c);
// Gives a pair of from and c to region to instead, with a blank side for to.
void moveToRegion(FusionState& state, std::int32_t pair, std::int32_t from, std::int32_t to);
// Ends a pair and takes it out of every queue.
void retirePair(FusionState& state, std::int32_t pair);

// Fills state.pairWith for region a's live pairs (dropping dead ones from its
// list); clearPairSlots undoes it. pairSlot answers from it, creating the
// pair when there is none.
void fillPairSlots(FusionState& state, std::int32_t a);
void clearPairSlots(FusionState& state, std::int32_t a);
std::int32_t pairSlot(FusionState& state, std::int32_t a, std::int32_t other);

// Walks a's contour and records, for every region c met: that a's visit writes
// (a, c), and a.commonBoundary(c); with countIncoming also c.commonBoundary(a),
// which is the number of a's contour pixels with a c-contour pixel within one
// step. Needs fillPairSlots(a).
void scanContour(FusionState& state, std::int32_t a, bool countIncoming);

// Sorts a pair into bounded or unbounded after its fields changed, values it
// and queues it; a pair that no visit writes any more dies.
void refreshPair(FusionState& state, std::int32_t pair);
// Values a's bounded pairs again after a's descriptors or size changed.
void refreshBoundedPairs(FusionState& state, std::int32_t a);
// Marks a's bounded pairs for valuing before the bounded queue is next read,
// or values them now when that cannot wait.
void markBoundedStale(FusionState& state, std::int32_t a);
// Queues a's parked pairs again after a's descriptors or size changed.
void unparkPairs(FusionState& state, std::int32_t a);

}  // namespace quarvel
