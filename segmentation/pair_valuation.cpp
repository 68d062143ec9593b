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

// std::nextafter(value, 0.0f) without the library call, which a hub's
// valuation makes once per group: the float next to value on the side of
// zero; zero for zero, and value itself when it is not a number.
float nextTowardZero(float value) {
  const float next = value == 0.0f       ? 0.0f
                     : std::isnan(value) ? value
                                         : std::bit_cast<float>(std::bit_cast<std::uint32_t>(value) - 1u);
  assert(std::isnan(value) ||
         std::bit_cast<std::uint32_t>(next) == std::bit_cast<std::uint32_t>(std::nextafter(value, 0.0f)));
  return next;
}

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
  hubs_.assign(regionCount, {});
  groups_.clear();
  freeGroups_.clear();
  groupOf_.clear();
  staleHubs_.clear();
  hubKeys_ = PairQueue();
  hubKeys_.slotOf.assign(regionCount, -1);
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
  if (index >= marks_.size()) return;
  Mark& mark = marks_[index];
  if (mark.bucket >= 0) {
    loosen(mark.bucket, mark.bucketHigh);
    mark.bucket = -1;
  }
  leaveHub(mark);
}

std::int32_t PairValuation::hubFor(const PairContacts& pair, const EdgeEnd& low, const EdgeEnd& high) const {
  if (!deferBounded_) return -1;
  const bool lowLeads = low.contourSize >= high.contourSize;
  const EdgeEnd& hub = lowLeads ? low : high;
  const EdgeEnd& neighbour = lowLeads ? high : low;
  // Equal lengths make the distance the same whichever side's visit decides.
  if (neighbour.kind < 0 || hub.pixelCount < rule_.nbPixMin ||
      hub.descriptors.size() != neighbour.descriptors.size()) {
    return -1;
  }
  return lowLeads ? pair.low : pair.high;
}

void PairValuation::markHubStale(std::int32_t hub) {
  Hub& entry = hubs_[static_cast<std::size_t>(hub)];
  if (entry.stale) return;
  entry.stale = true;
  staleHubs_.push_back(hub);
}

void PairValuation::placeEntry(HubGroup& group, std::size_t slot, const HubEntry& entry) {
  group.heap[slot] = entry;
  marks_[static_cast<std::size_t>(entry.pair)].slot = static_cast<std::int32_t>(slot);
  if (slot == 0) {
    GroupTop& top = hubs_[static_cast<std::size_t>(group.hub)].tops[static_cast<std::size_t>(group.position)];
    top.term = entry.term;
    top.empty = false;
  }
}

void PairValuation::siftEntry(HubGroup& group, std::size_t slot) {
  std::vector<HubEntry>& heap = group.heap;
  const HubEntry moving = heap[slot];
  while (slot > 0 && moving.before(heap[(slot - 1) / 2])) {
    placeEntry(group, slot, heap[(slot - 1) / 2]);
    slot = (slot - 1) / 2;
  }
  while (true) {
    std::size_t child = 2 * slot + 1;
    if (child >= heap.size()) break;
    if (child + 1 < heap.size() && heap[child + 1].before(heap[child])) ++child;
    if (!heap[child].before(moving)) break;
    placeEntry(group, slot, heap[child]);
    slot = child;
  }
  placeEntry(group, slot, moving);
}

void PairValuation::removeEntry(HubGroup& group, std::size_t slot) {
  marks_[static_cast<std::size_t>(group.heap[slot].pair)].slot = -1;
  const HubEntry last = group.heap.back();
  group.heap.pop_back();
  if (group.heap.empty()) {
    hubs_[static_cast<std::size_t>(group.hub)].tops[static_cast<std::size_t>(group.position)].empty = true;
  }
  if (slot == group.heap.size()) return;
  group.heap[slot] = last;
  siftEntry(group, slot);
}

void PairValuation::leaveHub(Mark& mark) {
  if (mark.hub < 0) return;
  HubGroup& group = groups_[static_cast<std::size_t>(mark.group)];
  const std::int32_t id = group.heap[static_cast<std::size_t>(mark.slot)].pair;
  removeEntry(group, static_cast<std::size_t>(mark.slot));
  if (hubs_[static_cast<std::size_t>(mark.hub)].heaviest == id) markHubStale(mark.hub);
  mark.hub = -1;
}

std::uint64_t PairValuation::groupKey(std::int32_t hub, std::int32_t kind, bool small) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(hub)) << 32) |
         (static_cast<std::uint64_t>(static_cast<std::uint32_t>(kind)) << 1) | (small ? 1u : 0u);
}

void PairValuation::releaseGroup(std::int32_t g) {
  HubGroup& group = groups_[static_cast<std::size_t>(g)];
  assert(group.heap.empty());
  groupOf_.erase(groupKey(group.hub, group.kind, group.small));
  Hub& hub = hubs_[static_cast<std::size_t>(group.hub)];
  std::vector<std::int32_t>& list = hub.groups;
  const std::int32_t moved = list.back();
  list[static_cast<std::size_t>(group.position)] = moved;
  hub.tops[static_cast<std::size_t>(group.position)] = hub.tops.back();
  groups_[static_cast<std::size_t>(moved)].position = group.position;
  list.pop_back();
  hub.tops.pop_back();
  group.hub = -1;
  // A pooled group keeps a small heap's room for its next use.
  if (group.heap.capacity() > kKeptHeapRoom) std::vector<HubEntry>().swap(group.heap);
  freeGroups_.push_back(g);
}

void PairValuation::joinHub(std::int32_t id, std::int32_t hubRegion, const EdgeEnd& neighbour, float term) {
  Mark& mark = markOf(id);
  const PairContacts& pair = (*pairs_)[id];
  const bool small = neighbour.pixelCount < rule_.nbPixMin;
  const HubEntry entry{term, pair.low, pair.high, id};
  if (mark.hub == hubRegion) {
    HubGroup& group = groups_[static_cast<std::size_t>(mark.group)];
    if (group.kind == neighbour.kind && group.small == small) {
      HubEntry& held = group.heap[static_cast<std::size_t>(mark.slot)];
      if (held.term == entry.term && held.low == entry.low && held.high == entry.high) return;
      held = entry;
      siftEntry(group, static_cast<std::size_t>(mark.slot));
      if (hubs_[static_cast<std::size_t>(hubRegion)].heaviest == id) {
        markHubStale(hubRegion);
      } else {
        offerToHub(hubRegion, entry, neighbour, small);
      }
      return;
    }
  }
  leaveHub(mark);
  const std::int32_t fresh =
      freeGroups_.empty() ? static_cast<std::int32_t>(groups_.size()) : freeGroups_.back();
  bool inserted = false;
  const std::int32_t g = groupOf_.findOrInsert(groupKey(hubRegion, neighbour.kind, small), fresh, inserted);
  if (inserted) {
    if (freeGroups_.empty()) {
      groups_.emplace_back();
    } else {
      freeGroups_.pop_back();
    }
    Hub& hub = hubs_[static_cast<std::size_t>(hubRegion)];
    HubGroup& group = groups_[static_cast<std::size_t>(g)];
    group.hub = hubRegion;
    group.kind = neighbour.kind;
    group.small = small;
    group.position = static_cast<std::int32_t>(hub.groups.size());
    hub.groups.push_back(g);
    hub.tops.push_back({0.0f, neighbour.kind, small, true});
  }
  HubGroup& group = groups_[static_cast<std::size_t>(g)];
  group.heap.push_back(entry);
  mark.hub = hubRegion;
  mark.group = g;
  siftEntry(group, group.heap.size() - 1);
  offerToHub(hubRegion, entry, neighbour, small);
}

void PairValuation::offerToHub(std::int32_t hubRegion, const HubEntry& entry, const EdgeEnd& neighbour,
                               bool small) {
  Hub& hub = hubs_[static_cast<std::size_t>(hubRegion)];
  if (hub.stale) return;
  const EdgeEnd hubEnd = ends_->endOf(hubRegion);
  const float weight = combinedWeight(descriptorDistance(hubEnd.descriptors, neighbour.descriptors),
                                      entry.term, sizeFactor(small));
  const FusionCandidate candidate{weight, entry.low, entry.high, hubRegion};
  if (!usable(weight) || (hub.heaviest >= 0 && !heavierCandidate(candidate, hub.key))) return;
  hub.heaviest = entry.pair;
  hub.key = candidate;
  queuePair(hubKeys_, candidate);
}

bool PairValuation::heaviestOfGroup(std::int32_t hub, const EdgeEnd& hubEnd, HubGroup& group,
                                    FusionCandidate& best, std::int32_t& bestPair) {
  std::vector<HubEntry>& heap = group.heap;
  const auto neighbourOf = [hub](const HubEntry& entry) { return entry.low == hub ? entry.high : entry.low; };
  // An entry holds while its neighbour's contour is no longer than the hub's;
  // one that does not is worth at most its stored term.
  const auto holdsWith = [&](const EdgeEnd& neighbour) {
    return neighbour.contourSize <= hubEnd.contourSize;
  };
  const auto holds = [&](const HubEntry& entry) { return holdsWith(ends_->endOf(neighbourOf(entry))); };
  const auto evict = [&](std::int32_t id) {
    removeEntry(group, static_cast<std::size_t>(marks_[static_cast<std::size_t>(id)].slot));
    marks_[static_cast<std::size_t>(id)].hub = -1;
    evicted_.push_back(id);
  };
  while (true) {
    // The top's neighbour is read once for both the check and the distance.
    EdgeEnd topEnd;
    while (!heap.empty() && !holdsWith(topEnd = ends_->endOf(neighbourOf(heap.front())))) {
      evict(heap.front().pair);
    }
    if (heap.empty()) return false;
    assert(topEnd.kind == group.kind);
    const HubEntry top = heap.front();
    const float distance = descriptorDistance(hubEnd.descriptors, topEnd.descriptors);
    const float factor = sizeFactor(group.small);
    const float weight = combinedWeight(distance, top.term, factor);
    if (!usable(weight)) return false;
    best = {weight, top.low, top.high, hub};
    std::int32_t pair = top.pair;
    // Lower terms can round to the same weight only if the next term down
    // does; those entries hang below the top on paths of such entries.
    if (combinedWeight(distance, nextTowardZero(top.term), factor) == weight) {
      misplaced_.clear();
      tiePath_.assign(1, 0);
      while (!tiePath_.empty()) {
        const std::size_t slot = tiePath_.back();
        tiePath_.pop_back();
        const HubEntry& entry = heap[slot];
        if (combinedWeight(distance, entry.term, factor) != weight) continue;
        if (!holds(entry)) {
          misplaced_.push_back(entry.pair);
        } else if (heavierCandidate({weight, entry.low, entry.high, hub}, best)) {
          best = {weight, entry.low, entry.high, hub};
          pair = entry.pair;
        }
        for (std::size_t child = 2 * slot + 1; child <= 2 * slot + 2 && child < heap.size(); ++child) {
          tiePath_.push_back(child);
        }
      }
      if (!misplaced_.empty()) {
        for (std::int32_t id : misplaced_) evict(id);
        continue;
      }
    }
    assert(std::bit_cast<std::uint32_t>(currentValue(pair)) == std::bit_cast<std::uint32_t>(weight));
    bestPair = pair;
    return true;
  }
}

void PairValuation::valueHub(std::int32_t hubRegion) {
  Hub& hub = hubs_[static_cast<std::size_t>(hubRegion)];
  hub.stale = false;
  evicted_.clear();
  hub.heaviest = -1;
  const std::size_t count = hub.groups.size();
  if (count > 0) {
    const EdgeEnd hubEnd = ends_->endOf(hubRegion);
    const auto groupAt = [&](std::size_t k) -> HubGroup& {
      return groups_[static_cast<std::size_t>(hub.groups[k])];
    };
    bounds_.resize(count);
    std::size_t first = count;
    for (std::size_t k = 0; k < count; ++k) {
      const GroupTop& top = hub.tops[k];
      bounds_[k] = top.empty ? 0.0f
                             : combinedWeight(
                                   descriptorDistance(hubEnd.descriptors, ends_->descriptorsOfKind(top.kind)),
                                   top.term, sizeFactor(top.small));
      if (usable(bounds_[k]) && (first == count || bounds_[k] > bounds_[first])) first = k;
    }
    const auto value = [&](std::size_t k) {
      FusionCandidate candidate;
      std::int32_t pair = -1;
      if (heaviestOfGroup(hubRegion, hubEnd, groupAt(k), candidate, pair) &&
          (hub.heaviest < 0 || heavierCandidate(candidate, hub.key))) {
        hub.key = candidate;
        hub.heaviest = pair;
      }
    };
    // The group that may weigh most first: the others are mostly out of
    // reach of what it gives.
    if (first < count) value(first);
    for (std::size_t k = 0; k < count; ++k) {
      if (k == first || !usable(bounds_[k]) || (hub.heaviest >= 0 && bounds_[k] < hub.key.weight)) continue;
      value(k);
    }
#ifndef NDEBUG
    // No group left out holds a heavier pair, and every top is mirrored.
    for (std::size_t k = 0; k < count; ++k) {
      const HubGroup& group = groupAt(k);
      const GroupTop& top = hub.tops[k];
      assert(top.kind == group.kind && top.small == group.small && top.empty == group.heap.empty());
      assert(top.empty || top.term == group.heap.front().term);
      for (const HubEntry& entry : group.heap) {
        const EdgeEnd neighbour = ends_->endOf(entry.low == hubRegion ? entry.high : entry.low);
        if (neighbour.contourSize > hubEnd.contourSize) continue;
        const float weight = combinedWeight(descriptorDistance(hubEnd.descriptors, neighbour.descriptors),
                                            entry.term, sizeFactor(group.small));
        assert(!usable(weight) || hub.heaviest >= 0);
        assert(!usable(weight) || !heavierCandidate({weight, entry.low, entry.high, hubRegion}, hub.key));
      }
    }
#endif
    // Backwards, so that releasing an emptied group moves only groups seen.
    for (std::size_t k = count; k-- > 0;) {
      if (hub.tops[k].empty) releaseGroup(hub.groups[k]);
    }
  }
  if (hub.heaviest >= 0) {
    queuePair(hubKeys_, hub.key);
  } else {
    dropPair(hubKeys_, hubRegion);
  }
  for (std::int32_t id : evicted_) refresh(id);
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
  const std::int32_t hub = mark.unbounded ? -1 : hubFor(pair, low, high);
  if (mark.bucket >= 0 &&
      (mark.unbounded || hub >= 0 || mark.bucket != pair.low || mark.bucketHigh != pair.high)) {
    // Left its bucket or moved to another high: the key it may have set no
    // longer holds.
    loosen(mark.bucket, mark.bucketHigh);
    mark.bucket = -1;
  }
  if (mark.unbounded) {
    leaveHub(mark);
    queuePair(unbounded_, {kInfinity, pair.low, pair.high, id});
    return;
  }
  dropPair(unbounded_, id);
  if (hub >= 0) {
    // Listed by the neighbour alone: a change of the hub values its groups.
    const std::int32_t neighbour = pair.other(hub);
    const EdgeEnd& neighbourEnd = neighbour == pair.low ? low : high;
    listIn(mark, id, pair, neighbour);
    joinHub(id, hub, neighbourEnd,
            contourTerm(static_cast<double>(shorter), static_cast<double>(pair.shared[pair.decidingSide()])));
    return;
  }
  leaveHub(mark);
  for (const std::int32_t region : {pair.low, pair.high}) listIn(mark, id, pair, region);
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

void PairValuation::listIn(Mark& mark, std::int32_t id, const PairContacts& pair, std::int32_t region) {
  if (listedBy(mark, region)) return;
  // An entry of a region that no longer has the pair is free.
  mark.listedBy[mark.listedBy[0] == pair.low || mark.listedBy[0] == pair.high ? 1 : 0] = region;
  boundedOf_[static_cast<std::size_t>(region)].push_back(id);
}

void PairValuation::refreshBounded(std::int32_t a) {
  std::vector<std::int32_t>& list = boundedOf_[static_cast<std::size_t>(a)];
  std::size_t kept = 0;
  for (std::int32_t id : list) {
    const PairContacts& pair = (*pairs_)[id];
    if (!pair.alive || (pair.low != a && pair.high != a)) continue;
    Mark& mark = markOf(id);
    if (mark.unbounded || mark.hub == a) {
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
  if (!hubs_[static_cast<std::size_t>(a)].groups.empty()) markHubStale(a);
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
  // The pairs of a dissolved hub are all valued again as pairs of a's heir.
  Hub& hub = hubs_[static_cast<std::size_t>(a)];
  while (!hub.groups.empty()) {
    const std::int32_t g = hub.groups.back();
    HubGroup& group = groups_[static_cast<std::size_t>(g)];
    for (const HubEntry& entry : group.heap) marks_[static_cast<std::size_t>(entry.pair)].hub = -1;
    group.heap.clear();
    releaseGroup(g);
  }
  hub = Hub();
  dropPair(hubKeys_, a);
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
  for (std::size_t k = 0; k < staleHubs_.size(); ++k) {
    const std::int32_t hub = staleHubs_[k];
    if (hubs_[static_cast<std::size_t>(hub)].stale) valueHub(hub);
  }
  staleHubs_.clear();
  const FusionCandidate* bounded = heaviestCandidate(buckets_);
  while (bounded != nullptr && dirty_[static_cast<std::size_t>(bounded->pair)]) {
    scanBucket(bounded->pair);
    bounded = heaviestCandidate(buckets_);
  }
  const FusionCandidate* hubTop = heaviestCandidate(hubKeys_);
  if (bounded == nullptr || (hubTop != nullptr && heavierCandidate(*hubTop, *bounded))) bounded = hubTop;
  const FusionCandidate* top = unbounded;
  if (top == nullptr || (bounded != nullptr && heavierCandidate(*bounded, *top))) top = bounded;
  if (top == nullptr) return false;
  assert(top == unbounded || std::bit_cast<std::uint32_t>(currentValue(pairs_->find(top->low, top->high))) ==
                                 std::bit_cast<std::uint32_t>(top->weight));
  low = top->low;
  high = top->high;
  return true;
}

}  // namespace quarvel
