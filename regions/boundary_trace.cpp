#include "regions/boundary_trace.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "regions/pixel_grid.h"

namespace quarvel {
namespace {

// The eight neighbour offsets in clockwise order (y grows downward), from up-left.
constexpr std::array<int, 8> kRingDx = {-1, 0, 1, 1, 1, 0, -1, -1};
constexpr std::array<int, 8> kRingDy = {-1, -1, -1, 0, 1, 1, 1, 0};

// The ring position of offset (dx, dy), each in -1..1; -1 for the centre.
int ringPosition(int dx, int dy) {
  static constexpr std::array<int, 9> kByOffset = {0, 1, 2, 7, -1, 3, 6, 5, 4};
  return kByOffset[static_cast<std::size_t>((dy + 1) * 3 + (dx + 1))];
}

Point neighbour(const Point& centre, int position) {
  const auto p = static_cast<std::size_t>(position);
  return Point(centre.x() + kRingDx[p], centre.y() + kRingDy[p]);
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
  state.meet(start);

  int backtrack = initialBacktrack(pixels, start);
  Point current = start;
  // A trace state is a pixel and a backtrack position, so at most 8 per pixel
  // exist: a walk that has not come back to the start within that many steps
  // is caught in a cycle without it and would never end.
  const std::size_t stepLimit = 8 * pixels.size();
  for (std::size_t step = 0; backtrack >= 0 && step < stepLimit; ++step) {
    int found = -1;
    Point next;
    for (int k = 1; k < 8; ++k) {
      const int position = (backtrack + k) % 8;
      next = neighbour(current, position);
      if (state.isMember(next)) {
        found = position;
        break;
      }
    }
    if (found < 0) break;

    // The ring entry just before the new pixel, seen from the new pixel.
    const auto before = static_cast<std::size_t>((found + 7) % 8);
    const auto at = static_cast<std::size_t>(found);
    backtrack = ringPosition(kRingDx[before] - kRingDx[at], kRingDy[before] - kRingDy[at]);
    current = next;
    state.meet(current);
    if (current == start) break;
  }

  const bool hadPoints = !contour.empty();
  for (const Point& pixel : state.metInOrder()) contour.add(pixel);
  if (hadPoints) contour.normalise();
}

}  // namespace quarvel
