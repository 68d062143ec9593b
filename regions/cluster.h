#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>

#include "regions/pixel_group.h"
#include "regions/point_set.h"
#include "regions/tone_plane.h"

namespace quarvel {

// All pixels of the image that carry one image value; the value is the number.
//
// The image loader's clusters hold at first only the tone plane of the image
// and their count of pixels: the run itself reads nothing of a cluster but its
// number and descriptors, and a set of every pixel would cost eight bytes a
// pixel for the whole run. The set is drawn from the plane the first time
// anything reads or changes it, a const cluster included, so a cluster must
// not be read from two threads at once before it is drawn. Copies share the
// plane and draw their own sets.
class Cluster : public PixelGroup {
 public:
  Cluster() = default;
  explicit Cluster(double number) : PixelGroup(number) {}
  // The pixels of this tone in the plane, count of them.
  Cluster(double number, std::shared_ptr<const TonePlane> plane, std::uint8_t tone, std::size_t count)
      : PixelGroup(number), plane_(std::move(plane)), tone_(tone), count_(count) {}
  Cluster(const Cluster&) = default;
  Cluster& operator=(const Cluster&) = default;
  Cluster(Cluster&&) noexcept = default;
  Cluster& operator=(Cluster&&) noexcept = default;
  ~Cluster() override = default;

  void addPixel(const Point& point) { pixels().insert(point); }
  void addPixel(double x, double y) { pixels().insert(Point(x, y)); }
  // Insertion that reports its outcome on standard output.
  void insertPixelReported(const Point& point);
  std::size_t removePixel(const Point& point) { return pixels().erase(point); }
  void removePixel(double x, double y) { pixels().erase(Point(x, y)); }
  bool containsPixel(const Point& point) const { return pixels().contains(point); }
  bool containsPixel(double x, double y) const { return pixels().contains(Point(x, y)); }
  PointSet::const_iterator findPixel(const Point& point) const { return pixels().find(point); }
  PointSet::const_iterator findPixel(double x, double y) const { return pixels().find(Point(x, y)); }
  PointSet::const_iterator pixelsBegin() const { return pixels().begin(); }
  PointSet::const_iterator pixelsEnd() const { return pixels().end(); }
  std::size_t pixelCount() const { return plane_ ? count_ : pixels_.size(); }
  const PointSet& pixels() const {
    if (plane_) draw();
    return pixels_;
  }
  PointSet& pixels() {
    if (plane_) draw();
    return pixels_;
  }

 private:
  // Fills the set from the plane and lets the plane go.
  void draw() const;

  mutable PointSet pixels_;
  mutable std::shared_ptr<const TonePlane> plane_;  // while the set is not drawn
  std::uint8_t tone_ = 0;
  std::size_t count_ = 0;
};

std::ostream& operator<<(std::ostream& out, const Cluster& cluster);

}  // namespace quarvel
