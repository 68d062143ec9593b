#include "segmentation/pixel_ownership.h"

#include <cassert>
#include <utility>

namespace quarvel {

void PixelOwnership::start(std::vector<std::int32_t> labels, std::size_t regionCount) {
  group_ = std::move(labels);
  next_.assign(group_.size(), kEnd);
  owner_.resize(regionCount);
  groupOf_.resize(regionCount);
  head_.assign(regionCount, kEnd);
  tail_.assign(regionCount, kEnd);
  size_.assign(regionCount, 0);
  for (std::size_t r = 0; r < regionCount; ++r) {
    owner_[r] = static_cast<std::int32_t>(r);
    groupOf_[r] = static_cast<std::int32_t>(r);
  }
  // Threaded backwards so that every list runs in raster order.
  for (std::size_t pixel = group_.size(); pixel-- > 0;) {
    const std::int32_t group = group_[pixel];
    if (group < 0) continue;
    const std::size_t g = static_cast<std::size_t>(group);
    next_[pixel] = head_[g];
    if (head_[g] == kEnd) tail_[g] = static_cast<std::uint32_t>(pixel);
    head_[g] = static_cast<std::uint32_t>(pixel);
    ++size_[g];
  }
}

void PixelOwnership::absorb(std::int32_t kept, std::int32_t absorbed) {
  std::size_t large = static_cast<std::size_t>(groupOf_[static_cast<std::size_t>(kept)]);
  std::size_t small = static_cast<std::size_t>(groupOf_[static_cast<std::size_t>(absorbed)]);
  assert(owner_[large] == kept && owner_[small] == absorbed);
  if (size_[large] < size_[small]) std::swap(large, small);
  for (std::uint32_t pixel = head_[small]; pixel != kEnd; pixel = next_[pixel]) {
    group_[pixel] = static_cast<std::int32_t>(large);
  }
  if (head_[small] != kEnd) {
    if (head_[large] == kEnd) {
      head_[large] = head_[small];
    } else {
      next_[tail_[large]] = head_[small];
    }
    tail_[large] = tail_[small];
  }
  size_[large] += size_[small];
  head_[small] = tail_[small] = kEnd;
  size_[small] = 0;
  owner_[large] = kept;
  groupOf_[static_cast<std::size_t>(kept)] = static_cast<std::int32_t>(large);
  groupOf_[static_cast<std::size_t>(absorbed)] = -1;
}

}  // namespace quarvel
