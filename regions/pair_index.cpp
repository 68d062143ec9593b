#include "regions/pair_index.h"

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
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.id < 0) continue;
    std::size_t i = home(slot.key);
    while (slots_[i].id >= 0) i = (i + 1) & mask;
    slots_[i] = slot;
    ++used_;
  }
}

}  // namespace quarvel
