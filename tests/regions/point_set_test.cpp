#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "regions/point_set.h"

namespace quarvel {
namespace {

// Random operations over a small square, so that repeats and misses are
// frequent, must answer as std::set under the same order does. Even seeds
// insert mostly in raster order, which takes the append path.
class PointSetAgainstStdSet : public testing::TestWithParam<unsigned> {};

Point randomPoint(std::mt19937& random) {
  std::uniform_int_distribution<int> coordinate(-2, 6);
  return Point(coordinate(random), coordinate(random));
}

std::vector<Point> contentOf(const std::set<Point>& set) { return {set.begin(), set.end()}; }

TEST_P(PointSetAgainstStdSet, AnswersAndContentAgree) {
  std::mt19937 random(GetParam());
  PointSet set;
  std::set<Point> reference;
  Point next(0, -2);
  for (int step = 0; step < 2000; ++step) {
    Point p = randomPoint(random);
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
}

INSTANTIATE_TEST_SUITE_P(Seeds, PointSetAgainstStdSet, testing::Range(1u, 9u));

}  // namespace
}  // namespace quarvel
