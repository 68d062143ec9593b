#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quarvel {

// Pair ids by a 64-bit key: open addressing with linear probing, at most half
// full; an erase shifts the entries after it back, so no tombstones pile up
// however many pairs come and go.
class PairIndex {
 public:
  void clear();
  // Room for count keys without growing.
  void reserve(std::size_t count);
  // The id under key, or -1.
  std::int32_t find(std::uint64_t key) const;
  // The id under key; stores id there first when the key is absent.
  std::int32_t findOrInsert(std::uint64_t key, std::int32_t id, bool& inserted);
  // Stores keys[k] with id firstId + k, for keys that are all absent and
  // distinct.
  void insertAbsent(std::span<const std::uint64_t> keys, std::int32_t firstId);
  void erase(std::uint64_t key);
  // Starts loading the slots where key is looked for.
  void prefetch(std::uint64_t key) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[home(key)]);
  }
  // Stores id under a key that is present.
  void update(std::uint64_t key, std::int32_t id);

 private:
  struct Slot {
    std::uint64_t key = 0;
    std::int32_t id = -1;  // -1: empty
  };
  static std::uint64_t hash(std::uint64_t key) { return key * 0x9E3779B97F4A7C15ull; }
  std::size_t home(std::uint64_t key) const { return static_cast<std::size_t>(hash(key) >> shift_); }
  void grow();
  // Moves every entry into a table of size slots, a power of two.
  void rehash(std::size_t size);
  // Stores an entry whose key is absent in the first free slot from its home;
  // the table has room for it.
  void place(const Slot& entry);

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
  int shift_ = 64;
};

}  // namespace quarvel
