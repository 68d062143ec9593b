#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printed.h"
#include "regions/contour.h"

namespace quarvel {
namespace {

using test::printed;

TEST(PointOrder, RowDecidesBeforeColumn) {
  EXPECT_TRUE(Point(5, 0) < Point(0, 1));
  EXPECT_FALSE(Point(0, 1) < Point(5, 0));
  EXPECT_TRUE(Point(0, 1) < Point(5, 1));
  EXPECT_FALSE(Point(5, 1) < Point(0, 1));
  EXPECT_FALSE(Point(2, 2) < Point(2, 2));
  EXPECT_TRUE(Point(-1, 3) < Point(0, 3));
}

TEST(PointText, UsesTheStreamDefaultNumberFormat) {
  EXPECT_EQ(printed(Point(12, 7)), "(12,7)");
  EXPECT_EQ(printed(Point(2.5, -1)), "(2.5,-1)");
  EXPECT_EQ(printed(Point(1234567, 0)), "(1.23457e+06,0)");
}

Contour contourOf(const std::vector<Point>& points) {
  Contour contour;
  for (const Point& p : points) contour.add(p);
  return contour;
}

TEST(ContourText, StartsALineWheneverTheRowChanges) {
  EXPECT_EQ(printed(Contour()), "Contour:\n\n");
  EXPECT_EQ(printed(contourOf({{3, 1}, {4, 1}, {2, 2}})), "Contour:\n(3,1) (4,1) \n(2,2) \n");
  EXPECT_EQ(printed(contourOf({{1, 1}, {1, 2}, {2, 1}})), "Contour:\n(1,1) \n(1,2) \n(2,1) \n");
}

TEST(Contour, NormaliseSortsAndDropsRepeatsThatContainsAndAddKeep) {
  EXPECT_FALSE(Contour().contains(2, 1));
  Contour contour = contourOf({{2, 1}, {1, 1}, {2, 1}, {0, 3}});
  EXPECT_EQ(contour.size(), 4u);
  EXPECT_TRUE(contour.contains(Point(0, 3)));
  EXPECT_FALSE(contour.contains(3, 0));
  contour.normalise();
  EXPECT_EQ(contour.points(), (std::vector<Point>{{1, 1}, {2, 1}, {0, 3}}));
  // The fusion frees a region's contour by assigning an empty one.
  contour = Contour();
  EXPECT_EQ(contour.points().capacity(), 0u);
}

}  // namespace
}  // namespace quarvel
