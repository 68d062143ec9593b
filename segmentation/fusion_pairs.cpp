#include "segmentation/fusion_pairs.h"

#include <algorithm>
#include <cassert>

namespace quarvel {

std::uint64_t FusionPairs::key(std::int32_t a, std::int32_t c) {
  const std::uint32_t low = static_cast<std::uint32_t>(std::min(a, c));
  const std::uint32_t high = static_cast<std::uint32_t>(std::max(a, c));
  return (static_cast<std::uint64_t>(low) << 32) | high;
}

void FusionPairs::start(std::size_t regionCount) {
  pairs_.clear();
  index_.clear();
  // Touching regions of a map form a nearly planar graph: about three pairs
  // a region.
  pairs_.reserve(3 * regionCount);
  index_.reserve(3 * regionCount);
  pairsOf_.assign(regionCount, {});
  compactedSize_.assign(regionCount, 0);
  indexed_ = 0;
}

std::int32_t FusionPairs::addNew(std::int32_t a, std::int32_t c) {
  assert(a != c);
  const auto id = static_cast<std::int32_t>(pairs_.size());
  PairContacts pair;
  pair.low = std::min(a, c);
  pair.high = std::max(a, c);
  pairs_.push_back(pair);
  pairsOf_[static_cast<std::size_t>(a)].push_back(id);
  pairsOf_[static_cast<std::size_t>(c)].push_back(id);
  return id;
}

void FusionPairs::indexAdded() {
  std::vector<std::uint64_t> keys;
  keys.reserve(pairs_.size() - indexed_);
  for (std::size_t id = indexed_; id < pairs_.size(); ++id)
    keys.push_back(key(pairs_[id].low, pairs_[id].high));
  index_.insertAbsent(keys, static_cast<std::int32_t>(indexed_));
  indexed_ = pairs_.size();
}

std::int32_t FusionPairs::find(std::int32_t a, std::int32_t c) const {
  assert(indexed_ == pairs_.size());
  return index_.find(key(a, c));
}

std::int32_t FusionPairs::obtain(std::int32_t a, std::int32_t c) {
  assert(a != c);
  assert(indexed_ == pairs_.size());
  bool inserted = false;
  const std::int32_t id = index_.findOrInsert(key(a, c), static_cast<std::int32_t>(pairs_.size()), inserted);
  if (!inserted) return id;
  addNew(a, c);
  ++indexed_;
  return id;
}

void FusionPairs::retire(std::int32_t id) {
  PairContacts& pair = pairs_[static_cast<std::size_t>(id)];
  if (!pair.alive) return;
  pair.alive = false;
  index_.erase(key(pair.low, pair.high));
}

void FusionPairs::compact(std::int32_t region) {
  std::vector<std::int32_t>& list = pairsOf_[static_cast<std::size_t>(region)];
  std::uint32_t& compacted = compactedSize_[static_cast<std::size_t>(region)];
  if (list.size() < 2 * static_cast<std::size_t>(compacted) + 16) return;
  std::size_t kept = 0;
  for (std::int32_t id : list) {
    const PairContacts& pair = pairs_[static_cast<std::size_t>(id)];
    if (pair.alive && (pair.low == region || pair.high == region)) list[kept++] = id;
  }
  list.resize(kept);
  compacted = static_cast<std::uint32_t>(kept);
}

void FusionPairs::absorb(std::int32_t a, std::int32_t b, const std::vector<std::uint32_t>& overlap,
                         std::vector<std::int32_t>& changed, std::vector<std::int32_t>& retired) {
  const std::int32_t joint = find(a, b);
  if (joint >= 0) {
    retire(joint);
    retired.push_back(joint);
  }
  std::vector<std::int32_t> moving;
  moving.swap(pairsOf_[static_cast<std::size_t>(b)]);
  // The pairs, their slots in the index and their counts lie far apart: each
  // pair is asked for some pairs ahead of its turn, its slots once it has come.
  constexpr std::size_t kAhead = 16;
  const std::size_t count = moving.size();
  for (std::size_t k = 0; k < std::min(count, kAhead); ++k) prefetch(moving[k]);
  for (std::size_t k = 0; k < count; ++k) {
    if (k + kAhead < count) prefetch(moving[k + kAhead]);
    if (k + kAhead / 2 < count) {
      const PairContacts& ahead = pairs_[static_cast<std::size_t>(moving[k + kAhead / 2])];
      if (ahead.alive && (ahead.low == b || ahead.high == b)) {
        const std::int32_t c = ahead.other(b);
        index_.prefetch(key(a, c));
        index_.prefetch(key(b, c));
        __builtin_prefetch(&overlap[static_cast<std::size_t>(c)]);
      }
    }
    const std::int32_t id = moving[k];
    PairContacts& pair = pairs_[static_cast<std::size_t>(id)];
    if (!pair.alive || (pair.low != b && pair.high != b)) continue;
    const std::int32_t c = pair.other(b);
    const int bSide = pair.sideOf(b);
    const std::uint32_t bTouches = pair.touches[bSide];
    const std::uint32_t cTouches = pair.touches[1 - bSide];
    const std::uint32_t bShared = pair.shared[bSide];
    const std::uint32_t cShared = pair.shared[1 - bSide];
    std::int32_t target = find(a, c);
    if (target >= 0) {
      retire(id);
      retired.push_back(id);
    } else {
      index_.erase(key(b, c));
      target = id;
      pair = PairContacts();
      pair.low = std::min(a, c);
      pair.high = std::max(a, c);
      bool inserted = false;
      index_.findOrInsert(key(a, c), id, inserted);
      assert(inserted);
      pairsOf_[static_cast<std::size_t>(a)].push_back(id);
    }
    PairContacts& kept = pairs_[static_cast<std::size_t>(target)];
    const int aSide = kept.sideOf(a);
    assert(overlap[static_cast<std::size_t>(c)] <= kept.shared[aSide] + bShared);
    kept.touches[aSide] += bTouches;
    kept.touches[1 - aSide] += cTouches;
    kept.shared[aSide] += bShared - overlap[static_cast<std::size_t>(c)];
    kept.shared[1 - aSide] += cShared;
    changed.push_back(target);
  }
}

}  // namespace quarvel
