#include "regions/point_set.h"

#include <algorithm>
#include <cstddef>

namespace quarvel {
namespace {

// The number of points present in both sorted lists: a binary search in listA for
// every point of listB when listB is much the shorter, a joint walk otherwise.
std::size_t countShared(const std::vector<Point>& listA, const std::vector<Point>& listB) {
  std::size_t shared = 0;
  if (listB.size() * 16 < listA.size()) {
    for (const Point& point : listB) {
      if (std::binary_search(listA.begin(), listA.end(), point)) ++shared;
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

}  // namespace

bool PointSet::insert(const Point& point) {
  if (points_.empty() || points_.back() < point) {
    points_.push_back(point);
    return true;
  }
  const auto it = std::lower_bound(points_.begin(), points_.end(), point);
  if (it != points_.end() && !(point < *it)) return false;
  points_.insert(it, point);
  return true;
}

std::size_t PointSet::erase(const Point& point) {
  const auto it = std::lower_bound(points_.begin(), points_.end(), point);
  if (it == points_.end() || point < *it) return 0;
  points_.erase(it);
  return 1;
}

bool PointSet::contains(const Point& point) const {
  return std::binary_search(points_.begin(), points_.end(), point);
}

PointSet::const_iterator PointSet::find(const Point& point) const {
  const auto it = std::lower_bound(points_.begin(), points_.end(), point);
  if (it == points_.end() || point < *it) return points_.end();
  return it;
}

void PointSet::insertAll(const PointSet& other) {
  if (&other == this || other.empty()) return;
  if (points_.empty() || points_.back() < other.points_.front()) {
    points_.insert(points_.end(), other.points_.begin(), other.points_.end());
    return;
  }
  const std::size_t added = other.size() - countShared(points_, other.points_);
  if (added == 0) return;

  // Merge from the back into the grown vector, so that the points before the
  // first insertion stay where they are.
  const auto oldSize = static_cast<std::ptrdiff_t>(points_.size());
  points_.resize(points_.size() + added);
  auto write = points_.end();
  auto own = points_.begin() + oldSize;
  auto theirs = other.points_.end();
  while (theirs != other.points_.begin()) {
    const Point& candidate = *(theirs - 1);
    if (own != points_.begin() && !(*(own - 1) < candidate)) {
      if (!(candidate < *(own - 1))) --theirs;  // present in both: keep one
      *--write = *--own;
    } else {
      *--write = candidate;
      --theirs;
    }
  }
}

}  // namespace quarvel
