#include "segmentation/descriptor_kinds.h"

#include <bit>

namespace quarvel {
namespace {

std::uint64_t hashOf(std::span<const float> descriptors) {
  std::uint64_t hash = descriptors.size();
  for (float value : descriptors) hash = (hash ^ std::bit_cast<std::uint32_t>(value)) * 0x100000001b3ull;
  return hash ^ (hash >> 29);
}

}  // namespace

void DescriptorKinds::clear() {
  values_.clear();
  start_.assign(1, 0);
  slots_.clear();
  shift_ = 64;
}

bool DescriptorKinds::holds(std::int32_t kind, std::span<const float> descriptors) const {
  const std::size_t first = start_[static_cast<std::size_t>(kind)];
  if (start_[static_cast<std::size_t>(kind) + 1] - first != descriptors.size()) return false;
  for (std::size_t k = 0; k < descriptors.size(); ++k) {
    if (std::bit_cast<std::uint32_t>(values_[first + k]) != std::bit_cast<std::uint32_t>(descriptors[k])) {
      return false;
    }
  }
  return true;
}

std::int32_t DescriptorKinds::kindOf(std::span<const float> descriptors) {
  const auto count = static_cast<std::int32_t>(start_.size() - 1);
  if (2 * (static_cast<std::size_t>(count) + 1) > slots_.size()) grow();
  const std::uint64_t hash = hashOf(descriptors);
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = home(hash);
  for (; slots_[i].kind >= 0; i = (i + 1) & mask) {
    if (slots_[i].hash == hash && holds(slots_[i].kind, descriptors)) return slots_[i].kind;
  }
  slots_[i] = {hash, count};
  values_.insert(values_.end(), descriptors.begin(), descriptors.end());
  start_.push_back(static_cast<std::uint32_t>(values_.size()));
  return count;
}

void DescriptorKinds::grow() {
  std::vector<Slot> old(slots_.empty() ? 16 : 2 * slots_.size());
  old.swap(slots_);
  shift_ = 64;
  for (std::size_t size = slots_.size(); size > 1; size >>= 1) --shift_;
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.kind < 0) continue;
    std::size_t i = home(slot.hash);
    while (slots_[i].kind >= 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

}  // namespace quarvel
