#include "segmentation/pair_valuation.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <limits>

namespace quarvel {
namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

bool usable(float value) { return value != 0.0f && !std::isnan(value); }

}  // namespace

void PairValuation::start(const WeightRule& rule, bool modestDescriptors, std::size_t regionCount,
                          const FusionPairs& pairs, const RegionEnds& ends) {
  rule_ = rule;
  lazyUnbounded_ = rule.weighted && rule.epsilon >= 0.0f;
  deferBounded_ = lazyUnbounded_ && modestDescriptors && rule.epsilon <= 1.0f;
  pairs_ = &pairs;
  ends_ = &ends;
  marks_.assign(pairs.size(), Mark());
  boundedOf_.assign(regionCount, {});
  parkedOf_.assign(regionCount, {});
  stale_.assign(regionCount, 0);
  staleRegions_.clear();
  buckets_ = PairQueue();
  unbounded_ = PairQueue();
  buckets_.slotOf.assign(regionCount, -1);
  dirty_.assign(regionCount, 0);
  unbounded_.slotOf.assign(pairs.size(), -1);
}

PairValuation::Mark& PairValuation::markOf(std::int32_t pair) {
  const std::size_t index = static_cast<std::size_t>(pair);
  if (marks_.size() <= index) marks_.resize(std::max(index + 1, 2 * marks_.size()));
  return marks_[index];
}

float PairValuation::currentValue(std::int32_t id) const {
  const PairContacts& pair = (*pairs_)[id];
  return valueOf(pair, ends_->endOf(pair.low), ends_->endOf(pair.high));
}

float PairValuation::valueOf(const PairContacts& pair, const EdgeEnd& low, const EdgeEnd& high) const {
  if (!pair.written()) return 0.0f;
  if (!rule_.weighted) return 1.0f;
  const int side = pair.decidingSide();
  const EdgeEnd& deciding = side == 0 ? low : high;
  const EdgeEnd& other = side == 0 ? high : low;
  return edgeWeight(deciding, other, static_cast<double>(pair.shared[side]), rule_.epsilon, rule_.nbPixMin);
}

void PairValuation::loosen(std::int32_t bucket, std::int32_t high) {
  const std::int32_t slot = buckets_.slotOf[static_cast<std::size_t>(bucket)];
  if (slot >= 0 && buckets_.heap[static_cast<std::size_t>(slot)].high == high) {
    dirty_[static_cast<std::size_t>(bucket)] = 1;
  }
}

void PairValuation::raise(std::int32_t bucket, const FusionCandidate& candidate) {
  const std::int32_t slot = buckets_.slotOf[static_cast<std::size_t>(bucket)];
  if (slot < 0 || heavierCandidate(candidate, buckets_.heap[static_cast<std::size_t>(slot)])) {
    queuePair(buckets_, {candidate.weight, candidate.low, candidate.high, bucket});
  }
}

void PairValuation::scanBucket(std::int32_t bucket) {
  dirty_[static_cast<std::size_t>(bucket)] = 0;
  FusionCandidate best;
  bool found = false;
  for (std::int32_t id : boundedOf_[static_cast<std::size_t>(bucket)]) {
    const PairContacts& pair = (*pairs_)[id];
    if (!pair.alive || pair.low != bucket) continue;
    const Mark& mark = marks_[static_cast<std::size_t>(id)];
    if (mark.unbounded || mark.bucket != bucket || mark.bucketHigh != pair.high || !usable(mark.value))
      continue;
    const FusionCandidate candidate{mark.value, pair.low, pair.high, bucket};
    if (!found || heavierCandidate(candidate, best)) best = candidate;
    found = true;
  }
  if (found) {
    queuePair(buckets_, best);
  } else {
    dropPair(buckets_, bucket);
  }
}

void PairValuation::drop(std::int32_t pair) {
  dropPair(unbounded_, pair);
  const std::size_t index = static_cast<std::size_t>(pair);
  if (index < marks_.size() && marks_[index].bucket >= 0) {
    loosen(marks_[index].bucket, marks_[index].bucketHigh);
    marks_[index].bucket = -1;
  }
}

void PairValuation::refresh(std::int32_t id) {
  const PairContacts& pair = (*pairs_)[id];
  assert(pair.alive && pair.written());
  Mark& mark = markOf(id);
  const EdgeEnd low = ends_->endOf(pair.low);
  const EdgeEnd high = ends_->endOf(pair.high);
  const std::size_t shorter = std::min(low.contourSize, high.contourSize);
  mark.unbounded = lazyUnbounded_ && pair.shared[pair.decidingSide()] == 0 && shorter > 0;
  mark.parked = false;
  if (mark.bucket >= 0 && (mark.unbounded || mark.bucket != pair.low || mark.bucketHigh != pair.high)) {
    // Left its bucket or moved to another high: the key it may have set no
    // longer holds.
    loosen(mark.bucket, mark.bucketHigh);
    mark.bucket = -1;
  }
  if (mark.unbounded) {
    queuePair(unbounded_, {kInfinity, pair.low, pair.high, id});
    return;
  }
  dropPair(unbounded_, id);
  for (const std::int32_t region : {pair.low, pair.high}) {
    if (listedBy(mark, region)) continue;
    // An entry of a region that no longer has the pair is free.
    std::int32_t& entry =
        mark.listedBy[mark.listedBy[0] == pair.low || mark.listedBy[0] == pair.high ? 1 : 0];
    entry = region;
    boundedOf_[static_cast<std::size_t>(region)].push_back(id);
  }
  const float value = valueOf(pair, low, high);
  assert(!deferBounded_ || std::isfinite(value) || std::isnan(value));
  const float before = mark.value;
  const bool counted = mark.bucket == pair.low;
  mark.value = value;
  mark.bucket = pair.low;
  mark.bucketHigh = pair.high;
  if (counted && usable(before) && (!usable(value) || value < before)) loosen(pair.low, pair.high);
  if (usable(value)) raise(pair.low, {value, pair.low, pair.high, id});
}

void PairValuation::refreshBounded(std::int32_t a) {
  std::vector<std::int32_t>& list = boundedOf_[static_cast<std::size_t>(a)];
  std::size_t kept = 0;
  for (std::int32_t id : list) {
    const PairContacts& pair = (*pairs_)[id];
    if (!pair.alive || (pair.low != a && pair.high != a)) continue;
    Mark& mark = markOf(id);
    if (mark.unbounded) {
      mark.listedBy[mark.listedBy[0] == a ? 0 : 1] = -1;
      continue;
    }
    list[kept++] = id;
  }
  list.resize(kept);
  for (std::size_t k = 0; k < kept; ++k) refresh(list[k]);
}

void PairValuation::unpark(std::int32_t a) {
  for (std::int32_t id : parkedOf_[static_cast<std::size_t>(a)]) {
    const PairContacts& pair = (*pairs_)[id];
    Mark& mark = markOf(id);
    if (!pair.alive || !mark.parked || (pair.low != a && pair.high != a)) continue;
    mark.parked = false;
    queuePair(unbounded_, {kInfinity, pair.low, pair.high, id});
  }
  std::vector<std::int32_t>().swap(parkedOf_[static_cast<std::size_t>(a)]);
}

void PairValuation::regionChanged(std::int32_t a) {
  unpark(a);
  if (!deferBounded_) {
    refreshBounded(a);
    return;
  }
  if (stale_[static_cast<std::size_t>(a)]) return;
  stale_[static_cast<std::size_t>(a)] = 1;
  staleRegions_.push_back(a);
}

void PairValuation::regionGone(std::int32_t a) {
  dropPair(buckets_, a);
  dirty_[static_cast<std::size_t>(a)] = 0;
  std::vector<std::int32_t>().swap(boundedOf_[static_cast<std::size_t>(a)]);
  std::vector<std::int32_t>().swap(parkedOf_[static_cast<std::size_t>(a)]);
  stale_[static_cast<std::size_t>(a)] = 0;
}

bool PairValuation::heaviestPair(std::int32_t& low, std::int32_t& high) {
  const FusionCandidate* unbounded = heaviestCandidate(unbounded_);
  while (unbounded != nullptr) {
    const float value = currentValue(unbounded->pair);
    assert(value == kInfinity || std::isnan(value));
    if (value == kInfinity) break;
    const std::int32_t id = unbounded->pair;
    const PairContacts& pair = (*pairs_)[id];
    markOf(id).parked = true;
    dropPair(unbounded_, id);
    parkedOf_[static_cast<std::size_t>(pair.low)].push_back(id);
    parkedOf_[static_cast<std::size_t>(pair.high)].push_back(id);
    unbounded = heaviestCandidate(unbounded_);
  }
  if (unbounded != nullptr && deferBounded_) {
    low = unbounded->low;
    high = unbounded->high;
    return true;
  }
  for (std::int32_t region : staleRegions_) {
    if (!stale_[static_cast<std::size_t>(region)]) continue;
    stale_[static_cast<std::size_t>(region)] = 0;
    refreshBounded(region);
  }
  staleRegions_.clear();
  const FusionCandidate* bounded = heaviestCandidate(buckets_);
  while (bounded != nullptr && dirty_[static_cast<std::size_t>(bounded->pair)]) {
    scanBucket(bounded->pair);
    bounded = heaviestCandidate(buckets_);
  }
  const FusionCandidate* top = unbounded;
  if (top == nullptr || (bounded != nullptr && heavierCandidate(*bounded, *top))) top = bounded;
  if (top == nullptr) return false;
  low = top->low;
  high = top->high;
  return true;
}

}  // namespace quarvel
