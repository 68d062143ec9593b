#include "regions/boundary_trace.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "regions/boundary_walk.h"
#include "regions/pixel_grid.h"

namespace quarvel {
namespace {

// The ring position of offset (dx, dy), each in -1..1; -1 for the centre.
int ringPosition(int dx, int dy) {
  static constexpr std::array<int, 9> kByOffset = {0, 1, 2, 7, -1, 3, 6, 5, 4};
  return kByOffset[static_cast<std::size_t>((dy + 1) * 3 + (dx + 1))];
}

// Every position has all eight neighbours; those off the image are simply not
// members.
bool neighbour(const Point& centre, int position, Point& next) {
  const auto p = static_cast<std::size_t>(position);
  next = Point(centre.x() + kRingDx[p], centre.y() + kRingDy[p]);
  return true;
}

// The first position of the 3 x 3 block around start, columns outer and rows
// inner, that holds no pixel; -1 when every one does.
int initialBacktrack(const PointSet& pixels, const Point& start) {
  for (int dx = -1; dx <= 1; ++dx) {
    for (int dy = -1; dy <= 1; ++dy) {
      if (!pixels.contains(Point(start.x() + dx, start.y() + dy))) return ringPosition(dx, dy);
    }
  }
  return -1;
}

// Membership in the traced set and the record of the pixels met. While the
// trace is short, probes are binary searches and met pixels a plain list; once
// the boundary proves long compared with the set, both move to bit grids over
// the set's box, and the met pixels come out in order by one walk of the set
// instead of a sort.
class TraceState {
 public:
  explicit TraceState(const PointSet& pixels) : pixels_(pixels) {}

  bool isMember(const Point& point) const { return grid_ ? grid_->contains(point) : pixels_.contains(point); }

  void meet(const Point& pixel) {
    if (metGrid_) {
      metGrid_->insert(pixel);
      return;
    }
    met_.push_back(pixel);
    if (!gridTried_ && met_.size() >= 1024 && met_.size() * 64 >= pixels_.size()) switchToGrids();
  }

  // The pixels met, in raster order, each once.
  std::vector<Point> metInOrder() {
    if (!metGrid_) {
      std::sort(met_.begin(), met_.end());
      met_.erase(std::unique(met_.begin(), met_.end()), met_.end());
      return std::move(met_);
    }
    std::vector<Point> ordered;
    for (const Point& pixel : pixels_) {
      if (metGrid_->contains(pixel)) ordered.push_back(pixel);
    }
    return ordered;
  }

 private:
  void switchToGrids() {
    gridTried_ = true;
    grid_ = PixelGrid::of(pixels_, 64 * pixels_.size() + 65536);
    if (!grid_) return;
    metGrid_ = grid_->blankCopy();
    for (const Point& pixel : met_) metGrid_->insert(pixel);
    met_ = std::vector<Point>();
  }

  const PointSet& pixels_;
  std::optional<PixelGrid> grid_;
  std::optional<PixelGrid> metGrid_;
  std::vector<Point> met_;
  bool gridTried_ = false;
};

}  // namespace

void traceOuterBoundary(const PointSet& pixels, Contour& contour) {
  if (pixels.empty()) return;
  const Point start = *pixels.begin();
  TraceState state(pixels);
  const int backtrack = initialBacktrack(pixels, start);
  if (backtrack < 0) {
    state.meet(start);
  } else {
    walkBoundary(
        start, backtrack, 8 * pixels.size(), neighbour,
        [&state](const Point& point) { return state.isMember(point); },
        [&state](const Point& point, int) { state.meet(point); });
  }

  const bool hadPoints = !contour.empty();
  for (const Point& pixel : state.metInOrder()) contour.add(pixel);
  if (hadPoints) contour.normalise();
}

}  // namespace quarvel
