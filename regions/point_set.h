#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "regions/point.h"

namespace quarvel {

// An ordered set of points under raster order, unique keys, held as a sorted
// vector: iteration is a plain walk, membership a binary search, and inserting
// in raster order (how every stage fills its sets) costs no more than a
// push_back. Inserting out of order shifts the tail.
class PointSet {
 public:
  using const_iterator = std::vector<Point>::const_iterator;

  PointSet() = default;

  // Answers whether the point was new.
  bool insert(const Point& point);
  // Answers the number of points erased, 0 or 1.
  std::size_t erase(const Point& point);
  bool contains(const Point& point) const;
  const_iterator find(const Point& point) const;
  void clear() { points_.clear(); }

  const_iterator begin() const { return points_.begin(); }
  const_iterator end() const { return points_.end(); }
  std::size_t size() const { return points_.size(); }
  bool empty() const { return points_.empty(); }
  const std::vector<Point>& points() const { return points_; }

  // Replaces the content by points that are already in raster order with no
  // repeats; stages that build whole sets at once use it.
  void assignSorted(std::vector<Point> points) { points_ = std::move(points); }
  // Inserts every point of another set (a linear merge).
  void insertAll(const PointSet& other);

 private:
  std::vector<Point> points_;
};

}  // namespace quarvel
