#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "regions/pair_index.h"
#include "segmentation/adjacency_weights.h"
#include "segmentation/edge_weight.h"
#include "segmentation/fusion_pairs.h"
#include "segmentation/pair_queue.h"

namespace quarvel {

// What the valuation reads of the regions: descriptors, size and contour
// length, by region index.
class RegionEnds {
 public:
  virtual ~RegionEnds() = default;
  virtual EdgeEnd endOf(std::int32_t region) const = 0;
  // The descriptors every region of a kind >= 0 carries.
  virtual std::span<const float> descriptorsOfKind(std::int32_t kind) const = 0;
};

// The weights of the pairs and the order in which the fusion takes them.
//
// A pair is unbounded when the commonBoundary of its deciding side is 0: its
// weight is then +inf or not-a-number whatever the descriptors and sizes are
// (see edgeWeight), so it is queued by (low, high) alone and valued only when
// it reaches the top; a not-a-number one is parked until one of its regions
// changes. Bounded pairs are finite under the same rule, so while any
// unbounded pair is +inf none of them can be chosen, and a region whose
// descriptors or size changed only marks its bounded pairs stale; they are
// valued again before the bounded queue is next read.
//
// Bounded pairs are kept in one bucket per region, the pair's low region. A
// queue orders the buckets by a key that is never below the heaviest pair of
// the bucket: a pair that rises raises the key, one that falls or leaves only
// marks the bucket dirty, and a dirty bucket is scanned for its true heaviest
// pair when it reaches the top. Valuing all the pairs of a large region again
// so costs a few queue moves instead of one per pair.
//
// A large region is a hub for its bounded pairs with neighbours of a kind
// (see EdgeEnd) whose contour is no longer than its own: with the hub at
// least nbPixMin pixels, such a pair weighs combinedWeight(distance between
// the hub and the kind, the pair's own contour term, the neighbour's size
// factor), so within one group of kind and size factor the order of the
// pairs is the order of their contour terms, whatever the hub's descriptors,
// size and contour length become. A change of the hub then costs one
// valuation per group instead of one per pair. An entry whose neighbour
// outgrew the hub's contour is worth at most its stored term and is sent to
// the buckets when it reaches the top of its group.
class PairValuation {
 public:
  void start(const WeightRule& rule, bool modestDescriptors, std::size_t regionCount,
             const FusionPairs& pairs, const RegionEnds& ends);

  // The value the graph construction would give the pair now.
  float currentValue(std::int32_t pair) const;

  // Sorts a written pair into bounded or unbounded after its counts or its
  // contour lengths changed, values it and queues it.
  void refresh(std::int32_t pair);
  // Takes a retired pair out of every queue.
  void drop(std::int32_t pair);
  // After region a's descriptors or size changed.
  void regionChanged(std::int32_t a);
  // After region a was absorbed: its lists go.
  void regionGone(std::int32_t a);

  // The pair the heaviest edge joins: largest value, +inf above every finite
  // one, never 0 or not-a-number, ties to the smallest low then smallest
  // high. False when no such pair remains.
  bool heaviestPair(std::int32_t& low, std::int32_t& high);

 private:
  // A hub's pair as ordered in its group: highest contour term first, then
  // smallest (low, high), the order of equal weights.
  struct HubEntry {
    float term = 0.0f;
    std::int32_t low = 0;
    std::int32_t high = 0;
    std::int32_t pair = 0;
    bool before(const HubEntry& other) const {
      if (term != other.term) return term > other.term;
      if (low != other.low) return low < other.low;
      return high < other.high;
    }
  };
  static constexpr std::size_t kKeptHeapRoom = 16;
  struct HubGroup {
    std::int32_t hub = -1;
    std::int32_t kind = -1;
    bool small = false;          // the neighbours have fewer than nbPixMin pixels
    std::int32_t position = 0;   // in its hub's list of groups
    std::vector<HubEntry> heap;  // a binary heap, the first entry on top
  };
  // What a valuation reads of a group first, kept beside the hub's list of
  // groups so that it is read in one sweep: the group's kind and size factor,
  // and its top term, mirrored whenever the top changes.
  struct GroupTop {
    float term = 0.0f;
    std::int32_t kind = -1;
    bool small = false;
    bool empty = true;
  };
  // While a hub is not stale its key in hubKeys_ is its heaviest pair, so
  // a pair that joins needs one valuation and one that leaves none unless it
  // was that pair.
  struct Hub {
    std::vector<std::int32_t> groups;  // indices into the pool of groups
    std::vector<GroupTop> tops;        // by position, as groups
    bool stale = false;
    std::int32_t heaviest = -1;  // the pair of its key, -1: none
    FusionCandidate key;
  };

  struct Mark {
    float value = 0.0f;  // kept for bounded pairs only
    bool unbounded = false;
    bool parked = false;
    std::int32_t listedBy[2] = {-1, -1};  // regions whose bounded list holds the pair
    std::int32_t bucket = -1;             // the bucket it was last counted in, as (bucket, bucketHigh)
    std::int32_t bucketHigh = -1;
    std::int32_t hub = -1;  // the hub whose group holds the pair, at slot of its heap
    std::int32_t group = -1;
    std::int32_t slot = -1;
  };
  Mark& markOf(std::int32_t pair);
  float valueOf(const PairContacts& pair, const EdgeEnd& low, const EdgeEnd& high) const;
  void refreshBounded(std::int32_t a);
  void unpark(std::int32_t a);
  // The pair left its bucket or fell within it.
  void loosen(std::int32_t bucket, std::int32_t high);
  void raise(std::int32_t bucket, const FusionCandidate& candidate);
  void scanBucket(std::int32_t bucket);
  // The region that may hold the bounded pair as a hub, or -1.
  std::int32_t hubFor(const PairContacts& pair, const EdgeEnd& low, const EdgeEnd& high) const;
  void joinHub(std::int32_t id, std::int32_t hub, const EdgeEnd& neighbour, float term);
  void leaveHub(Mark& mark);
  void markHubStale(std::int32_t hub);
  // A pair that joined a hub or rose in it: its key follows when it beats it.
  void offerToHub(std::int32_t hub, const HubEntry& entry, const EdgeEnd& neighbour, bool small);
  void placeEntry(HubGroup& group, std::size_t slot, const HubEntry& entry);
  void siftEntry(HubGroup& group, std::size_t slot);
  void removeEntry(HubGroup& group, std::size_t slot);
  static std::uint64_t groupKey(std::int32_t hub, std::int32_t kind, bool small);
  // Returns an empty group to the pool.
  void releaseGroup(std::int32_t group);
  // Values the hub's groups and queues its heaviest pair. A group's top
  // entry, were its neighbour to hold, weighs as much as any entry of the
  // group can (terms fall down the heap, and an entry that does not hold is
  // worth at most its term); that weight needs only the group's kind, not
  // the neighbour, so the groups are valued in full only while it can reach
  // the heaviest pair found.
  void valueHub(std::int32_t hub);
  // The heaviest usable pair of a group; entries found out of place are
  // taken out and appended to evicted_.
  bool heaviestOfGroup(std::int32_t hub, const EdgeEnd& hubEnd, HubGroup& group, FusionCandidate& best,
                       std::int32_t& bestPair);
  // Puts the pair on the region's list of bounded pairs unless it is there.
  void listIn(Mark& mark, std::int32_t id, const PairContacts& pair, std::int32_t region);
  // The size factor of a hub's pairs with neighbours small or not.
  float sizeFactor(bool small) const { return small ? rule_.epsilon : 1.0f; }
  static bool listedBy(const Mark& mark, std::int32_t region) {
    return mark.listedBy[0] == region || mark.listedBy[1] == region;
  }

  WeightRule rule_;
  bool lazyUnbounded_ = true;
  bool deferBounded_ = true;
  const FusionPairs* pairs_ = nullptr;
  const RegionEnds* ends_ = nullptr;
  std::vector<Mark> marks_;                           // per pair
  std::vector<std::vector<std::int32_t>> boundedOf_;  // per region, may list stale entries
  std::vector<std::vector<std::int32_t>> parkedOf_;   // per region, may list stale entries
  std::vector<std::uint8_t> stale_;                   // per region
  std::vector<std::int32_t> staleRegions_;
  PairQueue buckets_;                // per region: the key of its bucket of bounded pairs
  std::vector<std::uint8_t> dirty_;  // per region: its key may be above its heaviest pair
  PairQueue unbounded_;              // unbounded pairs not parked, all taken as +inf
  std::vector<Hub> hubs_;            // per region
  std::vector<HubGroup> groups_;     // pool, indexed from the hubs and the marks
  std::vector<std::int32_t> freeGroups_;
  PairIndex groupOf_;  // (hub, kind, small) -> pool index
  std::vector<std::int32_t> staleHubs_;
  PairQueue hubKeys_;  // per region: the heaviest pair of its hub
  // Scratch of a hub valuation.
  std::vector<float> bounds_;  // per group of the hub, by position
  std::vector<std::int32_t> evicted_;
  std::vector<std::int32_t> misplaced_;
  std::vector<std::size_t> tiePath_;
};

}  // namespace quarvel
