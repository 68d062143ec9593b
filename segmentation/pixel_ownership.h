#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarvel {

// Which live region holds each pixel during the fusion. Pixels are kept in
// groups, one per live region, each a list threaded through the pixels; when
// a region absorbs another, the pixels of the smaller group take the label of
// the larger one, so a pixel is relabelled at most log2(pixels) times and
// answering for a pixel is two loads.
class PixelOwnership {
 public:
  // labels: the region index of every pixel in raster order, -1 for none;
  // regions are indexed 0 .. regionCount - 1.
  void start(std::vector<std::int32_t> labels, std::size_t regionCount);

  std::int32_t regionAt(std::size_t pixel) const {
    const std::int32_t group = group_[pixel];
    return group < 0 ? -1 : owner_[static_cast<std::size_t>(group)];
  }
  std::size_t pixelCount() const { return group_.size(); }

  // The number of pixels a live region holds.
  std::size_t sizeOf(std::int32_t region) const {
    return size_[static_cast<std::size_t>(groupOf_[static_cast<std::size_t>(region)])];
  }
  // Calls visit(pixel) for the region's pixels in turn while it answers true.
  template <typename Visit>
  void forEachPixel(std::int32_t region, Visit&& visit) const {
    const std::size_t group = static_cast<std::size_t>(groupOf_[static_cast<std::size_t>(region)]);
    for (std::uint32_t pixel = head_[group]; pixel != kEnd && visit(pixel); pixel = next_[pixel]) {
    }
  }

  // kept takes every pixel of absorbed.
  void absorb(std::int32_t kept, std::int32_t absorbed);

 private:
  static constexpr std::uint32_t kEnd = 0xffffffffu;
  std::vector<std::int32_t> group_;    // per pixel
  std::vector<std::uint32_t> next_;    // per pixel: the next pixel of its group
  std::vector<std::int32_t> owner_;    // per group: the live region holding it
  std::vector<std::int32_t> groupOf_;  // per region
  std::vector<std::uint32_t> head_;    // per group
  std::vector<std::uint32_t> tail_;
  std::vector<std::uint32_t> size_;
};

}  // namespace quarvel
