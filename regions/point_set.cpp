#include "regions/point_set.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace quarvel {
namespace {

// The number of elements present in both sorted lists: a binary search in listA
// for every element of listB when listB is much the shorter, a joint walk
// otherwise.
template <typename T>
std::size_t countShared(const std::vector<T>& listA, const std::vector<T>& listB) {
  std::size_t shared = 0;
  if (listB.size() * 16 < listA.size()) {
    for (const T& item : listB) {
      if (std::binary_search(listA.begin(), listA.end(), item)) ++shared;
    }
    return shared;
  }
  auto a = listA.begin();
  auto b = listB.begin();
  while (a != listA.end() && b != listB.end()) {
    if (*a < *b) {
      ++a;
    } else if (*b < *a) {
      ++b;
    } else {
      ++shared;
      ++a;
      ++b;
    }
  }
  return shared;
}

template <typename T>
bool insertSorted(std::vector<T>& items, const T& item) {
  if (items.empty() || items.back() < item) {
    items.push_back(item);
    return true;
  }
  const auto it = std::lower_bound(items.begin(), items.end(), item);
  if (it != items.end() && !(item < *it)) return false;
  items.insert(it, item);
  return true;
}

template <typename T>
std::size_t eraseSorted(std::vector<T>& items, const T& item) {
  const auto it = std::lower_bound(items.begin(), items.end(), item);
  if (it == items.end() || item < *it) return 0;
  items.erase(it);
  return 1;
}

// Position of item in the sorted list, or its size when absent.
template <typename T>
std::size_t positionIn(const std::vector<T>& items, const T& item) {
  const auto it = std::lower_bound(items.begin(), items.end(), item);
  if (it == items.end() || item < *it) return items.size();
  return static_cast<std::size_t>(it - items.begin());
}

// Adds the items of a sorted list without repeats to another.
template <typename T>
void mergeSorted(std::vector<T>& items, const std::vector<T>& other) {
  if (other.empty()) return;
  if (items.empty() || items.back() < other.front()) {
    items.insert(items.end(), other.begin(), other.end());
    return;
  }
  const std::size_t added = other.size() - countShared(items, other);
  if (added == 0) return;

  // Merge from the back into the grown vector, so that the items before the
  // first insertion stay where they are.
  const auto oldSize = static_cast<std::ptrdiff_t>(items.size());
  items.resize(items.size() + added);
  auto write = items.end();
  auto own = items.begin() + oldSize;
  auto theirs = other.end();
  while (theirs != other.begin()) {
    const T& candidate = *(theirs - 1);
    if (own != items.begin() && !(*(own - 1) < candidate)) {
      if (!(candidate < *(own - 1))) --theirs;  // present in both: keep one
      *--write = *--own;
    } else {
      *--write = candidate;
      --theirs;
    }
  }
}

bool fitsInt32(double value) {
  return value >= -2147483648.0 && value <= 2147483647.0 && std::floor(value) == value;
}

}  // namespace

bool PointSet::keyOf(const Point& point, Key& key) {
  const double x = point.x();
  const double y = point.y();
  if (!fitsInt32(x) || !fitsInt32(y) || std::signbit(x) != (x < 0) || std::signbit(y) != (y < 0))
    return false;
  key = keyOf(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
  return true;
}

void PointSet::widen() {
  if (wide_) return;
  points_.reserve(keys_.size() + 1);
  for (const Key key : keys_) points_.push_back(pointOfKey(key));
  keys_.clear();
  keys_.shrink_to_fit();
  wide_ = true;
}

bool PointSet::insert(const Point& point) {
  Key key = 0;
  if (!wide_) {
    if (keyOf(point, key)) return insertSorted(keys_, key);
    widen();
  }
  return insertSorted(points_, point);
}

std::size_t PointSet::erase(const Point& point) {
  if (wide_) return eraseSorted(points_, point);
  Key key = 0;
  if (keyOf(point, key)) return eraseSorted(keys_, key);
  // A point equal to a packed one but not packable itself: only -0 coordinates.
  if (keyOf(Point(point.x() + 0.0, point.y() + 0.0), key)) return eraseSorted(keys_, key);
  return 0;
}

PointSet::const_iterator PointSet::find(const Point& point) const {
  if (wide_) return const_iterator(this, positionIn(points_, point));
  Key key = 0;
  if (keyOf(point, key) || keyOf(Point(point.x() + 0.0, point.y() + 0.0), key)) {
    return const_iterator(this, positionIn(keys_, key));
  }
  return end();
}

bool PointSet::contains(const Point& point) const { return find(point) != end(); }

void PointSet::clear() {
  keys_.clear();
  points_.clear();
}

void PointSet::assignSorted(std::vector<Point> points) {
  std::vector<Key> keys;
  keys.reserve(points.size());
  for (const Point& point : points) {
    Key key = 0;
    if (!keyOf(point, key)) {
      keys_.clear();
      keys_.shrink_to_fit();
      points_ = std::move(points);
      wide_ = true;
      return;
    }
    keys.push_back(key);
  }
  assignSorted(std::move(keys));
}

void PointSet::assignSorted(std::vector<Key> keys) {
  points_.clear();
  points_.shrink_to_fit();
  wide_ = false;
  keys_ = std::move(keys);
}

void PointSet::insertAll(const PointSet& other) {
  if (&other == this || other.empty()) return;
  if (!wide_ && !other.wide_) {
    mergeSorted(keys_, other.keys_);
    return;
  }
  widen();
  if (other.wide_) {
    mergeSorted(points_, other.points_);
  } else {
    mergeSorted(points_, other.points());
  }
}

}  // namespace quarvel
