#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "regions/point_set.h"

namespace quarvel {
namespace {

// Random operations over a small square, so that repeats and misses are
// frequent, must answer as std::set under the same order does. Even seeds
// insert mostly in raster order, which takes the append path. Seeds from 9 on
// also draw points that are not pixel positions (fractions, -0, values beyond
// 32 bits), which must read back exactly as given, sign of zero included.
class PointSetAgainstStdSet : public testing::TestWithParam<unsigned> {};

double unusualCoordinate(std::mt19937& random) {
  static const double values[] = {-0.0, 0.5, -1.5, 4294967296.0, -2147483649.0, 2147483647.0, -2147483648.0};
  return values[random() % 7];
}

Point randomPoint(std::mt19937& random, bool unusual) {
  std::uniform_int_distribution<int> coordinate(-2, 6);
  Point p(coordinate(random), coordinate(random));
  if (unusual && random() % 8 == 0) p.setX(unusualCoordinate(random));
  if (unusual && random() % 8 == 0) p.setY(unusualCoordinate(random));
  return p;
}

std::vector<Point> contentOf(const std::set<Point>& set) { return {set.begin(), set.end()}; }

std::string printed(const std::vector<Point>& points) {
  std::ostringstream text;
  for (const Point& p : points) text << p;
  return text.str();
}

TEST_P(PointSetAgainstStdSet, AnswersAndContentAgree) {
  std::mt19937 random(GetParam());
  PointSet set;
  std::set<Point> reference;
  Point next(0, -2);
  for (int step = 0; step < 2000; ++step) {
    Point p = randomPoint(random, GetParam() >= 9);
    if (GetParam() % 2 == 0 && step % 4 != 3) {
      next = next.x() < 6 ? Point(next.x() + 1, next.y()) : Point(-2, next.y() + 1);
      p = next;
    }
    const Point absent(99, 99);
    switch (random() % 4) {
      case 0:
        ASSERT_EQ(set.erase(p), reference.erase(p)) << step;
        break;
      case 1:
        ASSERT_EQ(set.contains(p), reference.count(p) == 1) << step;
        ASSERT_EQ(set.find(p) == set.end() ? absent : *set.find(p), reference.count(p) == 1 ? p : absent);
        break;
      default:
        ASSERT_EQ(set.insert(p), reference.insert(p).second) << step;
    }
  }
  EXPECT_EQ(set.points(), contentOf(reference));
  EXPECT_EQ(printed(set.points()), printed(contentOf(reference)));
  PointSet merged;
  merged.insert(Point(3, 3));
  merged.insertAll(set);
  std::set<Point> mergedReference = reference;
  mergedReference.insert(Point(3, 3));
  EXPECT_EQ(printed(merged.points()), printed(contentOf(mergedReference)));
}

INSTANTIATE_TEST_SUITE_P(Seeds, PointSetAgainstStdSet, testing::Range(1u, 13u));

}  // namespace
}  // namespace quarvel
