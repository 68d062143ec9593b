#include "regions/pair_index.h"

#include <array>
#include <cassert>
#include <utility>

namespace quarvel {

void PairIndex::clear() {
  slots_.clear();
  used_ = 0;
  shift_ = 64;
}

void PairIndex::reserve(std::size_t count) {
  // Straight to the size that doubling would reach, so that a large index is
  // filled once rather than through every size below it.
  std::size_t size = slots_.empty() ? 16 : slots_.size();
  while (2 * count > size) size *= 2;
  if (size > slots_.size()) rehash(size);
}

std::int32_t PairIndex::find(std::uint64_t key) const {
  if (slots_.empty()) return -1;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = home(key);; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.id < 0) return -1;
    if (slot.key == key) return slot.id;
  }
}

std::int32_t PairIndex::findOrInsert(std::uint64_t key, std::int32_t id, bool& inserted) {
  if (2 * (used_ + 1) > slots_.size()) grow();
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = home(key);
  for (; slots_[i].id >= 0; i = (i + 1) & mask) {
    if (slots_[i].key == key) {
      inserted = false;
      return slots_[i].id;
    }
  }
  slots_[i] = {key, id};
  ++used_;
  inserted = true;
  return id;
}

void PairIndex::insertAbsent(std::span<const std::uint64_t> keys, std::int32_t firstId) {
  reserve(used_ + keys.size());
  // Taken in the order of their homes' leading bits, the entries fill the
  // table one stretch at a time: a large table is written nearly in order
  // instead of one cache miss per entry.
  constexpr int kBucketBits = 10;
  const auto bucketOf = [](std::uint64_t key) {
    return static_cast<std::size_t>(hash(key) >> (64 - kBucketBits));
  };
  std::array<std::size_t, (std::size_t{1} << kBucketBits) + 1> begin{};
  for (std::uint64_t key : keys) ++begin[bucketOf(key) + 1];
  for (std::size_t b = 1; b < begin.size(); ++b) begin[b] += begin[b - 1];
  std::vector<Slot> ordered(keys.size());
  for (std::size_t k = 0; k < keys.size(); ++k) {
    ordered[begin[bucketOf(keys[k])]++] = {keys[k], firstId + static_cast<std::int32_t>(k)};
  }
  for (const Slot& entry : ordered) place(entry);
}

void PairIndex::update(std::uint64_t key, std::int32_t id) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = home(key);
  while (slots_[i].key != key || slots_[i].id < 0) i = (i + 1) & mask;
  slots_[i].id = id;
}

void PairIndex::erase(std::uint64_t key) {
  if (slots_.empty()) return;
  const std::size_t mask = slots_.size() - 1;
  std::size_t hole = home(key);
  while (true) {
    if (slots_[hole].id < 0) return;
    if (slots_[hole].key == key) break;
    hole = (hole + 1) & mask;
  }
  slots_[hole].id = -1;
  --used_;
  // Every later entry of the run whose home is not between the hole and its
  // own slot would no longer be found past the hole: it moves into it.
  for (std::size_t j = (hole + 1) & mask; slots_[j].id >= 0; j = (j + 1) & mask) {
    const std::size_t k = home(slots_[j].key);
    const bool stays = hole < j ? (hole < k && k <= j) : (hole < k || k <= j);
    if (stays) continue;
    slots_[hole] = slots_[j];
    slots_[j].id = -1;
    hole = j;
  }
}

void PairIndex::grow() { rehash(slots_.empty() ? 16 : 2 * slots_.size()); }

void PairIndex::rehash(std::size_t size) {
  std::vector<Slot> old(size);
  old.swap(slots_);
  shift_ = 64;
  for (std::size_t n = slots_.size(); n > 1; n >>= 1) --shift_;
  used_ = 0;
  for (const Slot& slot : old) {
    if (slot.id >= 0) place(slot);
  }
}

void PairIndex::place(const Slot& entry) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = home(entry.key);
  for (; slots_[i].id >= 0; i = (i + 1) & mask) assert(slots_[i].key != entry.key);
  slots_[i] = entry;
  ++used_;
}

}  // namespace quarvel
