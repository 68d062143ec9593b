#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quarvel {

// Kinds of descriptor lists: lists with the same bits are of the same kind,
// numbered from 0 in the order they are first met. Merged descriptors repeat
// often (the mean of the same two classes is the same bits), so the fusion
// looks every merged list up. The values of all kinds sit in one array, found
// through an open-addressing table of the hashes of their bits; a region's
// descriptors are read there through its kind, a few cache lines for the
// whole map instead of a list of its own.
class DescriptorKinds {
 public:
  void clear();
  std::int32_t kindOf(std::span<const float> descriptors);
  std::span<const float> descriptorsOf(std::int32_t kind) const {
    const std::size_t first = start_[static_cast<std::size_t>(kind)];
    return {values_.data() + first, start_[static_cast<std::size_t>(kind) + 1] - first};
  }

 private:
  struct Slot {
    std::uint64_t hash = 0;
    std::int32_t kind = -1;  // -1: empty
  };
  bool holds(std::int32_t kind, std::span<const float> descriptors) const;
  std::size_t home(std::uint64_t hash) const {
    return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ull) >> shift_);
  }
  void grow();

  std::vector<float> values_;            // every kind's values, kind after kind
  std::vector<std::uint32_t> start_{0};  // per kind, and one past the last
  std::vector<Slot> slots_;
  int shift_ = 64;
};

}  // namespace quarvel
