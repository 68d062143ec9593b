#pragma once

#include <cstddef>
#include <ostream>

#include "regions/pixel_group.h"
#include "regions/point_set.h"

namespace quarvel {

// All pixels of the image that carry one image value; the value is the number.
class Cluster : public PixelGroup {
 public:
  Cluster() = default;
  explicit Cluster(double number) : PixelGroup(number) {}
  Cluster(const Cluster&) = default;
  Cluster& operator=(const Cluster&) = default;
  Cluster(Cluster&&) noexcept = default;
  Cluster& operator=(Cluster&&) noexcept = default;
  ~Cluster() override = default;

  void addPixel(const Point& point) { pixels_.insert(point); }
  void addPixel(double x, double y) { pixels_.insert(Point(x, y)); }
  // Insertion that reports its outcome on standard output.
  void insertPixelReported(const Point& point);
  std::size_t removePixel(const Point& point) { return pixels_.erase(point); }
  void removePixel(double x, double y) { pixels_.erase(Point(x, y)); }
  bool containsPixel(const Point& point) const { return pixels_.contains(point); }
  bool containsPixel(double x, double y) const { return pixels_.contains(Point(x, y)); }
  PointSet::const_iterator findPixel(const Point& point) const { return pixels_.find(point); }
  PointSet::const_iterator findPixel(double x, double y) const { return pixels_.find(Point(x, y)); }
  PointSet::const_iterator pixelsBegin() const { return pixels_.begin(); }
  PointSet::const_iterator pixelsEnd() const { return pixels_.end(); }
  std::size_t pixelCount() const { return pixels_.size(); }
  const PointSet& pixels() const { return pixels_; }
  PointSet& pixels() { return pixels_; }

 private:
  PointSet pixels_;
};

std::ostream& operator<<(std::ostream& out, const Cluster& cluster);

}  // namespace quarvel
