#include "segmentation/pair_queue.h"

#include <cstddef>
#include <utility>

namespace quarvel {
namespace {

void place(PairQueue& queue, std::size_t position, const FusionCandidate& candidate) {
  queue.heap[position] = candidate;
  queue.slotOf[static_cast<std::size_t>(candidate.pair)] = static_cast<std::int32_t>(position);
}

void siftUp(PairQueue& queue, std::size_t position) {
  const FusionCandidate moving = queue.heap[position];
  while (position > 0) {
    const std::size_t parent = (position - 1) / 2;
    if (!heavierCandidate(moving, queue.heap[parent])) break;
    place(queue, position, queue.heap[parent]);
    position = parent;
  }
  place(queue, position, moving);
}

void siftDown(PairQueue& queue, std::size_t position) {
  const FusionCandidate moving = queue.heap[position];
  const std::size_t size = queue.heap.size();
  while (true) {
    std::size_t child = 2 * position + 1;
    if (child >= size) break;
    if (child + 1 < size && heavierCandidate(queue.heap[child + 1], queue.heap[child])) ++child;
    if (!heavierCandidate(queue.heap[child], moving)) break;
    place(queue, position, queue.heap[child]);
    position = child;
  }
  place(queue, position, moving);
}

}  // namespace

void queuePair(PairQueue& queue, const FusionCandidate& candidate) {
  const std::size_t pair = static_cast<std::size_t>(candidate.pair);
  if (queue.slotOf.size() <= pair) queue.slotOf.resize(pair + 1, -1);
  const std::int32_t slot = queue.slotOf[pair];
  if (slot < 0) {
    queue.heap.push_back(candidate);
    queue.slotOf[pair] = static_cast<std::int32_t>(queue.heap.size() - 1);
    siftUp(queue, queue.heap.size() - 1);
    return;
  }
  const std::size_t position = static_cast<std::size_t>(slot);
  const bool rises = heavierCandidate(candidate, queue.heap[position]);
  queue.heap[position] = candidate;
  if (rises) {
    siftUp(queue, position);
  } else {
    siftDown(queue, position);
  }
}

void dropPair(PairQueue& queue, std::int32_t pair) {
  const std::size_t index = static_cast<std::size_t>(pair);
  if (index >= queue.slotOf.size() || queue.slotOf[index] < 0) return;
  const std::size_t position = static_cast<std::size_t>(queue.slotOf[index]);
  queue.slotOf[index] = -1;
  const FusionCandidate last = queue.heap.back();
  queue.heap.pop_back();
  if (position == queue.heap.size()) return;
  const bool rises = heavierCandidate(last, queue.heap[position]);
  place(queue, position, last);
  if (rises) {
    siftUp(queue, position);
  } else {
    siftDown(queue, position);
  }
}

}  // namespace quarvel
