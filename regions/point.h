#pragma once

#include <ostream>

namespace quarvel {

// The position of one pixel: x is the column from the left, y the row from the
// top. Coordinates are whole numbers held as doubles; probe positions one step
// outside the image (-1, the width, the height) are valid points too.
class Point {
 public:
  Point() = default;
  Point(double x, double y) : x_(x), y_(y) {}
  Point(const Point&) = default;
  Point& operator=(const Point&) = default;
  virtual ~Point() = default;

  double x() const { return x_; }
  double y() const { return y_; }
  void setX(double x) { x_ = x; }
  void setY(double y) { y_ = y; }
  void set(double x, double y) {
    x_ = x;
    y_ = y;
  }

  bool operator==(const Point& other) const { return x_ == other.x_ && y_ == other.y_; }
  bool operator!=(const Point& other) const { return !(*this == other); }

 private:
  double x_ = 0.0;
  double y_ = 0.0;
};

// Raster order: by row, then by column.
inline bool operator<(const Point& a, const Point& b) {
  return a.y() < b.y() || (a.y() == b.y() && a.x() < b.x());
}

// Writes "(x,y)" with both numbers in the stream's current floating format.
std::ostream& operator<<(std::ostream& out, const Point& point);

}  // namespace quarvel
