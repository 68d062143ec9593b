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
// Along a trace the nodes carry order labels that grow modulo 2^64 from the
// first node's, which tell which of two steps comes first in constant time
// (position); a trace may so start at any of its labels, and a trace turned
// to start elsewhere keeps them. New steps take labels in the gap between
// their neighbours (after the last node, the gap up to the first node's), and
// the whole trace is labelled again when the gap is too small. Every pixel
// also heads the chain of the nodes at it; the pixels of a trace belong to its
// region, so a pixel's chain holds the steps of one trace only.
class TraceLists {
 public:
  static constexpr std::int32_t kNoNode = -1;

  // Room for about nodeCount nodes is set aside, so that the pool seldom
  // moves.
  void start(std::size_t pixelCount, std::size_t nodeCount);

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

  // A piece of a trace being put together: the run of existing nodes from
  // .. to, or a new step when from is kNoNode.
  struct Piece {
    std::int32_t from = kNoNode;
    std::int32_t to = kNoNode;
    std::uint32_t step = 0;
  };
  // Makes the trace that starts at first hold the pieces in order: its runs
  // keep their nodes, links and labels; its nodes outside them are freed,
  // walking only those. The runs must follow one another in the trace's own
  // order, read around from any of them (the new trace is the old one turned
  // and changed); otherwise nothing changes and kNoNode is returned. Returns
  // the new first node; removed(step) for each node freed, added(step) for
  // each new one.
  template <typename Removed, typename Added>
  std::int32_t reassemble(std::int32_t first, std::span<const Piece> pieces, Removed&& removed,
                          Added&& added);

  std::uint32_t step(std::int32_t node) const { return at(node).step; }
  // How far along the trace that starts at first the node lies: grows along
  // the trace.
  std::uint64_t position(std::int32_t first, std::int32_t node) const {
    return at(node).order - at(first).order;
  }
  std::int32_t next(std::int32_t node) const { return at(node).next; }
  // The last node of the trace with this first node.
  std::int32_t last(std::int32_t first) const { return at(first).prev; }
  // The first node of the chain at pixel, then the next one at the same pixel.
  std::int32_t firstAt(std::size_t pixel) const { return chains_[pixel]; }
  std::int32_t nextAt(std::int32_t node) const { return at(node).samePixel; }
  // Starts loading the first node of the chain at pixel, so that the nodes of
  // many pixels, far apart in the pool, arrive together.
  void prefetchAt(std::size_t pixel) const {
    const std::int32_t node = chains_[pixel];
    if (node != kNoNode) __builtin_prefetch(&nodes_[static_cast<std::size_t>(node)]);
  }
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
  // As wide as the trace's length allows: labels grow round the whole circle,
  // so the widest gaps put off the next relabelling longest.
  static constexpr std::uint64_t kSpacing = std::numeric_limits<std::uint64_t>::max();
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
  // Frees the nodes from node up to stop (not included; kNoNode: the end),
  // following next; removed(step) for each.
  template <typename Removed>
  void drop(std::int32_t node, std::int32_t stop, Removed&& removed);
  // Links the steps in after node after, before node before (kNoNode: the
  // end), with labels in the gap when it has room.
  void insert(std::int32_t first, std::int32_t after, std::int32_t before,
              std::span<const std::uint32_t> steps);
  // The labels' spacing along a trace of count nodes laid out afresh.
  static std::uint64_t spacingFor(std::size_t count);
  void relabel(std::int32_t first);

  std::vector<Node> nodes_;
  std::vector<std::int32_t> chains_;  // per pixel
  std::vector<std::size_t> runs_;     // scratch of reassemble
  std::vector<std::int32_t> fresh_;   // scratch of reassemble
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
void TraceLists::drop(std::int32_t node, std::int32_t stop, Removed&& removed) {
  while (node != stop) {
    const std::int32_t following = at(node).next;
    unchain(node);
    removed(at(node).step);
    release(node);
    node = following;
  }
}

template <typename Removed>
void TraceLists::replace(std::int32_t first, std::int32_t from, std::int32_t to,
                         const std::vector<std::uint32_t>& steps, Removed&& removed) {
  drop(at(from).next, to, removed);
  join(first, from, to);
  insert(first, from, to, steps);
}

template <typename Removed, typename Added>
std::int32_t TraceLists::reassemble(std::int32_t first, std::span<const Piece> pieces, Removed&& removed,
                                    Added&& added) {
  assert(!pieces.empty());
  // The runs in the order of the pieces; read around, their positions may
  // fall back once only, where the trace's end is passed.
  runs_.clear();
  for (const Piece& piece : pieces) {
    if (piece.from == kNoNode) continue;
    assert(position(first, piece.from) <= position(first, piece.to));
    runs_.push_back(&piece - pieces.data());
  }
  const std::size_t runCount = runs_.size();
  std::size_t fallsBack = 0;
  std::size_t overTheEnd = 0;  // the run after which they fall back
  for (std::size_t i = 0; i < runCount; ++i) {
    const Piece& run = pieces[runs_[i]];
    const Piece& following = pieces[runs_[(i + 1) % runCount]];
    if (position(first, following.from) > position(first, run.to)) continue;
    ++fallsBack;
    overTheEnd = i;
  }
  if (runCount > 0 && fallsBack != 1) return kNoNode;

  // The nodes between one run and the next are the ones left out; the gap
  // after overTheEnd runs over the end and on from the first node.
  if (runCount == 0) {
    erase(first, removed);
  } else {
    for (std::size_t i = 0; i < runCount; ++i) {
      const Piece& run = pieces[runs_[i]];
      const Piece& following = pieces[runs_[(i + 1) % runCount]];
      if (i != overTheEnd) {
        drop(at(run.to).next, following.from, removed);
      } else {
        drop(at(run.to).next, kNoNode, removed);
        drop(first, following.from, removed);
      }
    }
  }

  std::int32_t head = kNoNode;
  std::int32_t previous = kNoNode;
  const auto link = [&](std::int32_t from, std::int32_t to) {
    if (previous == kNoNode) {
      head = from;
    } else {
      at(previous).next = from;
      at(from).prev = previous;
    }
    previous = to;
  };
  fresh_.assign(pieces.size(), kNoNode);
  for (std::size_t index = 0; index < pieces.size(); ++index) {
    const Piece& piece = pieces[index];
    if (piece.from != kNoNode) {
      link(piece.from, piece.to);
      continue;
    }
    fresh_[index] = allocate(piece.step);
    added(piece.step);
    link(fresh_[index], fresh_[index]);
  }
  at(previous).next = kNoNode;
  at(head).prev = previous;

  // New steps take labels spread evenly over the gap between the runs around
  // them; those after the last run and before the first share one gap.
  bool crowded = runCount == 0;
  for (std::size_t i = 0; i < runCount && !crowded; ++i) {
    const std::size_t from = runs_[i];
    const std::size_t to = runs_[(i + 1) % runCount];
    const std::size_t count = (to + pieces.size() - from - 1) % pieces.size();
    if (count == 0) continue;
    const std::uint64_t low = at(pieces[from].to).order;
    std::uint64_t span = at(pieces[to].from).order - low;
    // Zero only when the gap runs from a lone run's node round to itself.
    if (span == 0) span = std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t gap = span / (count + 1);
    crowded = gap == 0;
    std::uint64_t order = low;
    for (std::size_t k = (from + 1) % pieces.size(); k != to; k = (k + 1) % pieces.size()) {
      order += gap;
      at(fresh_[k]).order = order;
    }
  }
  if (crowded) relabel(head);
  return head;
}

}  // namespace quarvel
