#pragma once

#include <cstddef>
#include <ostream>

#include "regions/contour.h"
#include "regions/pixel_group.h"
#include "regions/point_set.h"

namespace quarvel {

// One connected piece of the segmented image: a numbered set of pixels with its
// descriptors and its contour.
class Region : public PixelGroup {
 public:
  Region() = default;
  explicit Region(double number) : PixelGroup(number) {}
  Region(const Region&) = default;
  Region& operator=(const Region&) = default;
  Region(Region&&) noexcept = default;
  Region& operator=(Region&&) noexcept = default;
  ~Region() override = default;

  // Silent insertion; a position already present changes nothing.
  void addPixel(const Point& point) { pixels_.insert(point); }
  void addPixel(double x, double y) { pixels_.insert(Point(x, y)); }
  // Insertion that reports its outcome on standard output.
  void insertPixelReported(const Point& point);
  void insertPixelReported(double x, double y) { insertPixelReported(Point(x, y)); }
  std::size_t removePixel(const Point& point) { return pixels_.erase(point); }
  void removePixel(double x, double y) { pixels_.erase(Point(x, y)); }
  void clearPixels() { pixels_.clear(); }
  bool containsPixel(const Point& point) const { return pixels_.contains(point); }
  bool containsPixel(double x, double y) const { return pixels_.contains(Point(x, y)); }
  PointSet::const_iterator findPixel(const Point& point) const { return pixels_.find(point); }
  PointSet::const_iterator findPixel(double x, double y) const { return pixels_.find(Point(x, y)); }
  PointSet::const_iterator pixelsBegin() const { return pixels_.begin(); }
  PointSet::const_iterator pixelsEnd() const { return pixels_.end(); }
  double pixelCount() const { return static_cast<double>(pixels_.size()); }
  const PointSet& pixels() const { return pixels_; }
  PointSet& pixels() { return pixels_; }

  Contour& contour() { return contour_; }
  const Contour& contour() const { return contour_; }
  void addContourPoint(const Point& point) { contour_.add(point); }
  void addContourPoint(double x, double y) { contour_.add(x, y); }
  bool contourContains(const Point& point) const { return contour_.contains(point); }
  bool contourContains(double x, double y) const { return contour_.contains(x, y); }

  // Traces the outer boundary from the first pixel in raster order, appends the
  // traced pixels to the contour and normalises it. A region without pixels
  // keeps its contour as it is.
  void computeContour();
  // The number of distinct points of other's contour within one step of this
  // region's contour; with symmetric == 1, the larger of the two one-way counts.
  double commonBoundary(const Region& other, int symmetric) const;
  // Takes every pixel of other, then clears and re-traces the contour. The
  // number and the descriptors stay.
  void merge(const Region& other);

 private:
  PointSet pixels_;
  Contour contour_;
};

std::ostream& operator<<(std::ostream& out, const Region& region);

}  // namespace quarvel
