#include "segmentation/trace_lists.h"

#include <algorithm>
#include <limits>
#include <new>

namespace quarvel {

void TraceLists::start(std::size_t pixelCount, std::size_t nodeCount) {
  nodes_.clear();
  // The room is only set aside (pages are taken as nodes are made), and it is
  // a hint: when the system will not promise it, the pool grows as it goes.
  try {
    nodes_.reserve(nodeCount);
  } catch (const std::bad_alloc&) {
  }
  chains_.assign(pixelCount, kNoNode);
  free_ = kNoNode;
}

std::int32_t TraceLists::allocate(std::uint32_t step) {
  std::int32_t node = free_;
  if (node != kNoNode) {
    free_ = at(node).next;
  } else {
    node = static_cast<std::int32_t>(nodes_.size());
    nodes_.emplace_back();
  }
  Node& fresh = at(node);
  fresh.step = step;
  const std::size_t pixel = step >> 3;
  fresh.samePixel = chains_[pixel];
  chains_[pixel] = node;
  return node;
}

void TraceLists::release(std::int32_t node) {
  at(node).next = free_;
  free_ = node;
}

void TraceLists::unchain(std::int32_t node) {
  std::int32_t* link = &chains_[at(node).step >> 3];
  while (*link != node) link = &at(*link).samePixel;
  *link = at(node).samePixel;
}

std::int32_t TraceLists::find(std::size_t pixel, std::uint32_t step) const {
  std::int32_t node = chains_[pixel];
  while (node != kNoNode && at(node).step != step) node = at(node).samePixel;
  return node;
}

std::int32_t TraceLists::make(const std::vector<std::uint32_t>& steps) {
  if (steps.empty()) return kNoNode;
  const std::uint64_t spacing = spacingFor(steps.size());
  const std::int32_t first = allocate(steps.front());
  at(first).order = 0;
  std::int32_t previous = first;
  for (std::size_t k = 1; k < steps.size(); ++k) {
    const std::int32_t node = allocate(steps[k]);
    at(node).order = at(previous).order + spacing;
    at(node).prev = previous;
    at(previous).next = node;
    previous = node;
  }
  at(previous).next = kNoNode;
  at(first).prev = previous;
  return first;
}

void TraceLists::insert(std::int32_t first, std::int32_t after, std::int32_t before,
                        std::span<const std::uint32_t> steps) {
  if (steps.empty()) return;
  const std::uint64_t slots = steps.size() + 1;
  const std::uint64_t low = at(after).order;
  // After the last node the gap runs round to the first node's label, all
  // the way round when that node is the only one.
  std::uint64_t span = at(before == kNoNode ? first : before).order - low;
  if (span == 0) span = std::numeric_limits<std::uint64_t>::max();
  const std::uint64_t gap = span / slots;
  std::int32_t previous = after;
  std::uint64_t order = low;
  for (std::uint32_t step : steps) {
    const std::int32_t node = allocate(step);
    order += gap;
    at(node).order = order;
    at(node).prev = previous;
    at(previous).next = node;
    previous = node;
  }
  join(first, previous, before);
  if (gap == 0) relabel(first);
}

std::uint64_t TraceLists::spacingFor(std::size_t count) {
  return std::min(kSpacing, std::numeric_limits<std::uint64_t>::max() / (std::uint64_t{count} + 1));
}

void TraceLists::relabel(std::int32_t first) {
  std::size_t count = 0;
  for (std::int32_t node = first; node != kNoNode; node = at(node).next) ++count;
  const std::uint64_t spacing = spacingFor(count);
  std::uint64_t order = 0;
  for (std::int32_t node = first; node != kNoNode; node = at(node).next) {
    at(node).order = order;
    order += spacing;
  }
}

}  // namespace quarvel
