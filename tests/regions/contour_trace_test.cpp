#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "regions/region.h"

namespace quarvel {
namespace {

// The pixels of a side x side square, without its centre when holed, or only
// its border.
enum class Square { Filled, Holed, Border };
std::vector<Point> square(int side, Square kind) {
  std::vector<Point> pixels;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const bool border = x == 0 || y == 0 || x == side - 1 || y == side - 1;
      const bool centre = x == side / 2 && y == side / 2;
      if (border || (kind == Square::Filled) || (kind == Square::Holed && !centre)) pixels.emplace_back(x, y);
    }
  }
  return pixels;
}

Region regionOf(const std::vector<Point>& pixels, const std::vector<Point>& contour = {}) {
  Region region(1);
  for (const Point& p : pixels) region.addPixel(p);
  for (const Point& p : contour) region.addContourPoint(p);
  return region;
}

struct TraceCase {
  const char* name;
  std::vector<Point> pixels;
  std::vector<Point> contour;
};

class ComputeContour : public testing::TestWithParam<TraceCase> {};

TEST_P(ComputeContour, StoresTheOuterBoundaryInRasterOrder) {
  Region region = regionOf(GetParam().pixels);
  region.computeContour();
  EXPECT_EQ(region.contour().points(), GetParam().contour);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ComputeContour,
    testing::Values(TraceCase{"OnePixel", {{3, 4}}, {{3, 4}}},
                    TraceCase{"Square", square(3, Square::Filled), square(3, Square::Border)},
                    TraceCase{"SquareWithHole", square(3, Square::Holed), square(3, Square::Border)},
                    TraceCase{"LargerSquareWithHole", square(5, Square::Holed), square(5, Square::Border)},
                    TraceCase{"Row", {{5, 3}, {2, 3}, {4, 3}, {3, 3}}, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},
                    TraceCase{
                        "UpsideDownT", {{1, 0}, {0, 1}, {1, 1}, {2, 1}}, {{1, 0}, {0, 1}, {1, 1}, {2, 1}}},
                    TraceCase{"Diagonal", {{0, 0}, {1, 1}}, {{0, 0}, {1, 1}}},
                    // Back at the start from (2,0), before (0,1) is ever reached.
                    TraceCase{"FirstReturnEndsTheTrace", {{1, 0}, {2, 0}, {0, 1}}, {{1, 0}, {2, 0}}}),
    [](const testing::TestParamInfo<TraceCase>& info) { return std::string(info.param.name); });

TEST(ComputeContour, KeepsEarlierPointsAndLeavesRegionsWithoutPixelsAlone) {
  Region region = regionOf({{0, 0}}, {{9, 9}, {0, 0}});
  region.computeContour();
  EXPECT_EQ(region.contour().points(), (std::vector<Point>{{0, 0}, {9, 9}}));
  Region empty = regionOf({}, {{4, 4}, {1, 1}});
  empty.computeContour();
  EXPECT_EQ(empty.contour().points(), (std::vector<Point>{{4, 4}, {1, 1}}));
}

TEST(Merge, TakesThePixelsAndRetracesFromScratch) {
  Region a = regionOf({{0, 0}, {2, 0}}, {{9, 9}});
  a.merge(regionOf({{1, 0}, {2, 0}}));
  EXPECT_EQ(a.pixels().points(), (std::vector<Point>{{0, 0}, {1, 0}, {2, 0}}));
  EXPECT_EQ(a.contour().points(), (std::vector<Point>{{0, 0}, {1, 0}, {2, 0}}));
  Region self = regionOf(square(3, Square::Filled), {{7, 7}});
  self.merge(self);
  EXPECT_EQ(self.pixelCount(), 9.0);
  EXPECT_EQ(self.contour().points(), square(3, Square::Border));
}

std::vector<Point> column(double x, int length) {
  std::vector<Point> points;
  for (int y = 0; y < length; ++y) points.emplace_back(x, y);
  return points;
}

struct BoundaryCase {
  const char* name;
  std::vector<Point> own;
  std::vector<Point> other;
  double ownTowardsOther;
  double otherTowardsOwn;
};

class CommonBoundary : public testing::TestWithParam<BoundaryCase> {};

TEST_P(CommonBoundary, CountsDistinctTouchingPointsOfTheOtherContour) {
  const BoundaryCase& c = GetParam();
  const Region own = regionOf({}, c.own), other = regionOf({}, c.other);
  const double larger = std::max(c.ownTowardsOther, c.otherTowardsOwn);
  EXPECT_EQ(own.commonBoundary(other, 0), c.ownTowardsOther);
  EXPECT_EQ(other.commonBoundary(own, 0), c.otherTowardsOwn);
  EXPECT_EQ(own.commonBoundary(other, 1), larger);
  EXPECT_EQ(other.commonBoundary(own, 1), larger);
  EXPECT_EQ(other.commonBoundary(own, 2), c.otherTowardsOwn);
}

INSTANTIATE_TEST_SUITE_P(
    Contours, CommonBoundary,
    testing::Values(BoundaryCase{"AdjacentColumnsOfOne", column(5, 1), column(6, 1), 1, 1},
                    BoundaryCase{"AdjacentColumnsOfSeven", column(5, 7), column(6, 7), 7, 7},
                    BoundaryCase{"TwoColumnsApart", column(5, 4), column(7, 4), 0, 0},
                    BoundaryCase{"Uneven", {{0, 0}}, {{1, 1}, {2, 2}, {1, 0}}, 2, 1},
                    BoundaryCase{"RepeatsCountOnce", {{0, 0}, {0, 0}}, {{1, 0}, {0, 0}, {1, 0}}, 2, 1},
                    BoundaryCase{"EmptyContour", {}, column(0, 3), 0, 0}),
    [](const testing::TestParamInfo<BoundaryCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quarvel
