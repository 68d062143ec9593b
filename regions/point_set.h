#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <utility>
#include <vector>

#include "regions/point.h"

namespace quarvel {

// An ordered set of points under raster order, unique keys, held as a sorted
// vector: iteration is a plain walk, membership a binary search, and inserting
// in raster order (how every stage fills its sets) costs no more than a
// push_back. Inserting out of order shifts the tail.
//
// Pixel positions (whole coordinates that fit 32-bit ints, no negative zero)
// are stored packed, 8 bytes each, in a key whose unsigned order is raster
// order. A set that receives any other point keeps all its points as Point
// values from then on, so every point reads back exactly as it was given.
class PointSet {
 public:
  // A packed pixel position: the row in the high half, the column in the low
  // half, each with its sign bit flipped.
  using Key = std::uint64_t;

  // Walks the points in raster order, handing out each as a value.
  class const_iterator {
   public:
    using iterator_concept = std::random_access_iterator_tag;
    using iterator_category = std::input_iterator_tag;
    using value_type = Point;
    using difference_type = std::ptrdiff_t;
    using reference = Point;
    struct pointer {
      Point point;
      const Point* operator->() const { return &point; }
    };

    const_iterator() = default;
    Point operator*() const { return set_->pointAt(index_); }
    pointer operator->() const { return pointer{**this}; }
    Point operator[](difference_type n) const { return set_->pointAt(index_ + static_cast<std::size_t>(n)); }
    const_iterator& operator++() {
      ++index_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++index_;
      return before;
    }
    const_iterator& operator--() {
      --index_;
      return *this;
    }
    const_iterator operator--(int) {
      const_iterator before = *this;
      --index_;
      return before;
    }
    const_iterator& operator+=(difference_type n) {
      index_ += static_cast<std::size_t>(n);
      return *this;
    }
    const_iterator& operator-=(difference_type n) {
      index_ -= static_cast<std::size_t>(n);
      return *this;
    }
    friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
    friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
    friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
    friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
      return static_cast<difference_type>(a.index_) - static_cast<difference_type>(b.index_);
    }
    bool operator==(const const_iterator& other) const { return index_ == other.index_; }
    auto operator<=>(const const_iterator& other) const { return index_ <=> other.index_; }

   private:
    friend class PointSet;
    const_iterator(const PointSet* set, std::size_t index) : set_(set), index_(index) {}

    const PointSet* set_ = nullptr;
    std::size_t index_ = 0;
  };

  PointSet() = default;

  // Answers whether the point was new.
  bool insert(const Point& point);
  // Answers the number of points erased, 0 or 1.
  std::size_t erase(const Point& point);
  bool contains(const Point& point) const;
  const_iterator find(const Point& point) const;
  void clear();

  const_iterator begin() const { return const_iterator(this, 0); }
  const_iterator end() const { return const_iterator(this, size()); }
  std::size_t size() const { return wide_ ? points_.size() : keys_.size(); }
  bool empty() const { return size() == 0; }
  // A copy of the points in raster order.
  std::vector<Point> points() const { return {begin(), end()}; }
  // The packed positions in raster order, or null once the set holds its
  // points as Point values.
  const std::vector<Key>* packedKeys() const { return wide_ ? nullptr : &keys_; }

  // Replaces the content by points that are already in raster order with no
  // repeats; stages that build whole sets at once use it.
  void assignSorted(std::vector<Point> points);
  // The same with packed pixel positions in increasing order.
  void assignSorted(std::vector<Key> keys);
  // Inserts every point of another set (a linear merge).
  void insertAll(const PointSet& other);

  // Packing of pixel positions; false for a point that cannot be packed.
  static bool keyOf(const Point& point, Key& key);
  static Key keyOf(std::int32_t x, std::int32_t y) {
    return (static_cast<Key>(static_cast<std::uint32_t>(y) ^ 0x80000000u) << 32) |
           (static_cast<std::uint32_t>(x) ^ 0x80000000u);
  }
  static std::int32_t columnOfKey(Key key) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(key) ^ 0x80000000u);
  }
  static std::int32_t rowOfKey(Key key) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(key >> 32) ^ 0x80000000u);
  }
  static Point pointOfKey(Key key) {
    return Point(static_cast<double>(columnOfKey(key)), static_cast<double>(rowOfKey(key)));
  }

 private:
  Point pointAt(std::size_t index) const { return wide_ ? points_[index] : pointOfKey(keys_[index]); }
  // Moves every point into points_; from then on the set stays wide.
  void widen();

  bool wide_ = false;
  std::vector<Key> keys_;      // while not wide
  std::vector<Point> points_;  // once wide
};

}  // namespace quarvel
