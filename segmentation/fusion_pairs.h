#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "regions/pair_index.h"

namespace quarvel {

// What the graph construction sees of two touching regions low < high, from
// each side s (0: low, 1: high):
// - touches[s]: the (contour pixel of s, 8-neighbour in the other region)
//   incidences; the visit of s writes the pair exactly when it is non-zero;
// - shared[s]: s.commonBoundary(other), the number of distinct contour pixels
//   of the other region within one step of a contour pixel of s.
// The region with the higher number is visited later, so its write is the one
// that stays when both visits write the pair.
struct PairContacts {
  std::int32_t low = 0;
  std::int32_t high = 0;
  std::uint32_t touches[2] = {0, 0};
  std::uint32_t shared[2] = {0, 0};
  bool alive = true;

  int sideOf(std::int32_t region) const { return region == low ? 0 : 1; }
  std::int32_t other(std::int32_t region) const { return region == low ? high : low; }
  bool written() const { return touches[0] != 0 || touches[1] != 0; }
  // The region whose visit decides the pair's value: the later one that writes.
  int decidingSide() const { return touches[1] != 0 ? 1 : 0; }
};

// The pairs of touching live regions: which exist, and their contact counts.
// Pair ids are never reused, so other units may index their own data by them.
class FusionPairs {
 public:
  void start(std::size_t regionCount);

  // Creates the pair of two regions that have none yet, without indexing it.
  // Pairs are added so while loading, before any find or obtain, and then
  // indexed by indexAdded.
  std::int32_t addNew(std::int32_t a, std::int32_t c);
  // Indexes every pair added, all at once, which touches the index in order.
  void indexAdded();

  // The live pair of two regions, or -1.
  std::int32_t find(std::int32_t a, std::int32_t c) const;
  // The live pair of two regions, created without contacts when there is none.
  std::int32_t obtain(std::int32_t a, std::int32_t c);
  void retire(std::int32_t pair);

  const PairContacts& operator[](std::int32_t pair) const { return pairs_[static_cast<std::size_t>(pair)]; }
  PairContacts& contacts(std::int32_t pair) { return pairs_[static_cast<std::size_t>(pair)]; }
  std::size_t size() const { return pairs_.size(); }
  void prefetch(std::int32_t pair) const { __builtin_prefetch(&pairs_[static_cast<std::size_t>(pair)]); }

  // Region a takes region b's place in every pair of b: (b, c) becomes (a, c)
  // when a had no pair with c, and otherwise adds its counts into (a, c) and
  // retires. overlap[c] is the number of c's contour pixels near both a's and
  // b's contours, counted twice by the sum of a's and b's shared counts. The
  // pair (a, b) retires. Answers the pairs of a that changed in changed and
  // the retired ones in retired.
  void absorb(std::int32_t a, std::int32_t b, const std::vector<std::uint32_t>& overlap,
              std::vector<std::int32_t>& changed, std::vector<std::int32_t>& retired);

  // The pairs of a region; may list retired pairs and pairs it no longer has.
  const std::vector<std::int32_t>& pairsOf(std::int32_t region) const {
    return pairsOf_[static_cast<std::size_t>(region)];
  }
  // Drops retired pairs from the region's list once it has doubled since the
  // last time, so that the work is proportional to what was added.
  void compact(std::int32_t region);

 private:
  static std::uint64_t key(std::int32_t a, std::int32_t c);
  std::vector<PairContacts> pairs_;
  std::vector<std::vector<std::int32_t>> pairsOf_;
  std::size_t indexed_ = 0;                   // the pairs below this id are in the index
  std::vector<std::uint32_t> compactedSize_;  // per region: its list's size after the last compaction
  PairIndex index_;
};

}  // namespace quarvel
