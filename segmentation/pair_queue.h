#pragma once

#include <cstdint>
#include <vector>

namespace quarvel {

// A candidate edge as queued: its weight and the two region indices it had
// when it was queued.
struct FusionCandidate {
  float weight = 0.0f;
  std::int32_t low = 0;
  std::int32_t high = 0;
  std::int32_t pair = 0;
};

// Heaviest first; equal weights by smaller low, then smaller high.
inline bool heavierCandidate(const FusionCandidate& a, const FusionCandidate& b) {
  if (a.weight != b.weight) return a.weight > b.weight;
  if (a.low != b.low) return a.low < b.low;
  return a.high < b.high;
}

// A binary heap of candidates with at most one entry per pair, changed in
// place when a pair's value changes.
struct PairQueue {
  std::vector<FusionCandidate> heap;
  std::vector<std::int32_t> slotOf;  // per pair: its heap position, -1 when not queued
};

// Queues the pair or moves its entry to fit the new weight and indices.
void queuePair(PairQueue& queue, const FusionCandidate& candidate);
// Takes the pair out of the queue; nothing when it is not queued.
void dropPair(PairQueue& queue, std::int32_t pair);
// The heaviest entry, or null when the queue is empty.
inline const FusionCandidate* heaviestCandidate(const PairQueue& queue) {
  return queue.heap.empty() ? nullptr : &queue.heap.front();
}

}  // namespace quarvel
