#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace quarvel {

// Traces as linked lists of steps (pixel << 3 | backtrack) in one pool of
// nodes, so that a run of steps can be replaced without touching the rest.
//
// Along a trace the nodes carry increasing order labels, which tell which of
// two steps comes first in constant time; new steps take labels in the gap
// between their neighbours, and the whole trace is labelled again when the
// gap is too small. Every pixel also heads the chain of the nodes at it;
// the pixels of a trace belong to its region, so a pixel's chain holds the
// steps of one trace only.
class TraceLists {
 public:
  static constexpr std::int32_t kNoNode = -1;

  void start(std::size_t pixelCount);

  // A new trace with these steps; its first node, kNoNode for no steps.
  std::int32_t make(const std::vector<std::uint32_t>& steps);
  // Frees every node of the trace whose first node is given; removed(step)
  // for each of its steps.
  template <typename Removed>
  void erase(std::int32_t first, Removed&& removed);
  // Replaces the nodes strictly between from and to (to kNoNode: up to the
  // end of the trace) by the given steps; removed(step) for each step taken
  // out. first is the trace's first node, which from may be but to may not.
  template <typename Removed>
  void replace(std::int32_t first, std::int32_t from, std::int32_t to,
               const std::vector<std::uint32_t>& steps, Removed&& removed);

  // Makes the trace that starts at first hold the sequence: an entry >= 0 is
  // one of its nodes, kept with its step and its place in the chain at its
  // pixel; an entry < 0 is a new step, -1 - entry. Its nodes left out are
  // freed. removed(step) for each node freed, added(step) for each new one;
  // returns the new first node. No node may come twice.
  template <typename Removed, typename Added>
  std::int32_t rebuild(std::int32_t first, const std::vector<std::int64_t>& sequence, Removed&& removed,
                       Added&& added);

  std::uint32_t step(std::int32_t node) const { return at(node).step; }
  std::uint64_t order(std::int32_t node) const { return at(node).order; }
  std::int32_t next(std::int32_t node) const { return at(node).next; }
  // The last node of the trace with this first node.
  std::int32_t last(std::int32_t first) const { return at(first).prev; }
  // The first node of the chain at pixel, then the next one at the same pixel.
  std::int32_t firstAt(std::size_t pixel) const { return chains_[pixel]; }
  std::int32_t nextAt(std::int32_t node) const { return at(node).samePixel; }
  // The node at pixel holding this step, kNoNode when there is none.
  std::int32_t find(std::size_t pixel, std::uint32_t step) const;

 private:
  struct Node {
    std::uint64_t order;
    std::uint32_t step;
    std::int32_t prev;       // the first node's prev is the trace's last node
    std::int32_t next;       // kNoNode after the last node
    std::int32_t samePixel;  // the next node of the chain at the step's pixel
  };
#ifdef NDEBUG
  static constexpr std::uint64_t kSpacing = std::uint64_t{1} << 32;
#else
  // Narrow gaps in debug builds, so that the tests often lay labels out again.
  static constexpr std::uint64_t kSpacing = 4;
#endif

  Node& at(std::int32_t node) { return nodes_[static_cast<std::size_t>(node)]; }
  const Node& at(std::int32_t node) const { return nodes_[static_cast<std::size_t>(node)]; }
  std::int32_t allocate(std::uint32_t step);
  void release(std::int32_t node);
  // Makes right follow left in the trace that starts at first; the first
  // node's prev names the last.
  void join(std::int32_t first, std::int32_t left, std::int32_t right) {
    at(left).next = right;
    at(right == kNoNode ? first : right).prev = left;
  }
  void unchain(std::int32_t node);
  // Links the steps in after node after, before node before (kNoNode: the
  // end), with labels in the gap when it has room.
  void insert(std::int32_t first, std::int32_t after, std::int32_t before,
              std::span<const std::uint32_t> steps);
  void relabel(std::int32_t first);

  static constexpr std::uint64_t kKept = std::numeric_limits<std::uint64_t>::max();

  std::vector<Node> nodes_;
  std::vector<std::int32_t> chains_;  // per pixel
  std::int32_t free_ = kNoNode;       // free nodes, linked by next
};

template <typename Removed>
void TraceLists::erase(std::int32_t first, Removed&& removed) {
  std::int32_t node = first;
  while (node != kNoNode) {
    const std::int32_t following = at(node).next;
    // The whole chain at the pixel is this trace's.
    chains_[at(node).step >> 3] = kNoNode;
    removed(at(node).step);
    release(node);
    node = following;
  }
}

template <typename Removed>
void TraceLists::replace(std::int32_t first, std::int32_t from, std::int32_t to,
                         const std::vector<std::uint32_t>& steps, Removed&& removed) {
  std::int32_t node = at(from).next;
  while (node != to) {
    const std::int32_t following = at(node).next;
    unchain(node);
    removed(at(node).step);
    release(node);
    node = following;
  }
  join(first, from, to);
  insert(first, from, to, steps);
}

template <typename Removed, typename Added>
std::int32_t TraceLists::rebuild(std::int32_t first, const std::vector<std::int64_t>& sequence,
                                 Removed&& removed, Added&& added) {
  if (sequence.empty()) {
    erase(first, removed);
    return kNoNode;
  }
  for (const std::int64_t entry : sequence) {
    if (entry >= 0) at(static_cast<std::int32_t>(entry)).order = kKept;
  }
  for (std::int32_t node = first; node != kNoNode;) {
    const std::int32_t following = at(node).next;
    if (at(node).order != kKept) {
      unchain(node);
      removed(at(node).step);
      release(node);
    }
    node = following;
  }
  const std::uint64_t spacing =
      std::min(kSpacing, std::numeric_limits<std::uint64_t>::max() / (sequence.size() + 1));
  std::uint64_t order = 0;
  std::int32_t head = kNoNode;
  std::int32_t previous = kNoNode;
  for (const std::int64_t entry : sequence) {
    std::int32_t node = static_cast<std::int32_t>(entry);
    if (entry < 0) {
      const auto step = static_cast<std::uint32_t>(-1 - entry);
      node = allocate(step);
      added(step);
    }
    assert(entry < 0 || at(node).order == kKept);
    Node& linked = at(node);
    linked.order = order;
    order += spacing;
    linked.prev = previous;
    if (previous == kNoNode) {
      head = node;
    } else {
      at(previous).next = node;
    }
    previous = node;
  }
  at(previous).next = kNoNode;
  at(head).prev = previous;
  return head;
}

}  // namespace quarvel
