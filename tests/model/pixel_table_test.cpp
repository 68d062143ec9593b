#include <gtest/gtest.h>

#include <vector>

#include "model/pixel_table.h"

namespace quarvel {
namespace {

PixelRecord toned(double tone) {
  PixelRecord record;
  record.setTone(tone);
  return record;
}

std::vector<Point> walk(PixelTable::const_iterator from, PixelTable::const_iterator to) {
  std::vector<Point> points;
  for (; from != to; ++from) points.push_back(from.point());
  return points;
}

// A 3 x 2 grid with (1,0) left out, and points off the grid on every side.
class MixedPixelTable : public testing::Test {
 protected:
  void SetUp() override {
    table.reset(3, 2);
    for (Point p : {Point(2, 1), Point(0, 2), Point(0, 0), Point(1, 1.5), Point(-1, 0), Point(3, 0),
                    Point(0.5, 1), Point(2, 0), Point(1, -1), Point(0, 1), Point(1, 1)}) {
      ASSERT_TRUE(table.insert(p, toned(p.x() + 10 * p.y())));
    }
  }
  PixelTable table;
};

TEST_F(MixedPixelTable, WalksInRasterOrderWhereverThePointsLive) {
  EXPECT_EQ(table.size(), 11u);
  EXPECT_EQ(
      walk(table.begin(), table.end()),
      (std::vector<Point>{
          {1, -1}, {-1, 0}, {0, 0}, {2, 0}, {3, 0}, {0, 1}, {0.5, 1}, {1, 1}, {2, 1}, {1, 1.5}, {0, 2}}));
}

TEST_F(MixedPixelTable, FindStartsTheWalkAtThePointAndMissesAbsentOnes) {
  EXPECT_EQ(walk(table.find(Point(0.5, 1)), table.end()),
            (std::vector<Point>{{0.5, 1}, {1, 1}, {2, 1}, {1, 1.5}, {0, 2}}));
  EXPECT_EQ(walk(table.find(Point(3, 0)), table.end()).size(), 7u);
  EXPECT_EQ(walk(table.find(Point(2, 1)), table.end()).size(), 3u);
  EXPECT_TRUE(table.find(Point(1, 0)) == table.end());
  EXPECT_TRUE(table.find(Point(4, 0)) == table.end());
  EXPECT_EQ(table.at(Point(1, 0)).tone(), nullptr);
  EXPECT_EQ(table.at(Point(0.5, 1)).tone()->value(), 10.5);
  EXPECT_EQ(table.at(Point(2, 1)).tone()->value(), 12.0);
}

TEST_F(MixedPixelTable, InsertKeepsThePresentEntry) {
  for (Point p : {Point(1, 1), Point(3, 0)}) {
    EXPECT_FALSE(table.insert(p, toned(99)));
    EXPECT_EQ(table.at(p).tone()->value(), p.x() + 10 * p.y());
  }
  EXPECT_EQ(table.size(), 11u);
}

TEST_F(MixedPixelTable, RegionNumberIsSetInPlaceOnlyOnPresentPoints) {
  for (Point p : {Point(0, 1), Point(-1, 0), Point(1, 0), Point(7, 7)}) table.setRegionNumber(p, 4.0);
  for (Point p : {Point(0, 1), Point(-1, 0)}) {
    const PixelRecord record = table.at(p);
    ASSERT_NE(record.regionNumber(), nullptr);
    EXPECT_EQ(record.regionNumber()->value(), 4.0);
    EXPECT_EQ(record.tone()->value(), p.x() + 10 * p.y());
  }
  EXPECT_FALSE(table.contains(Point(1, 0)));
  EXPECT_FALSE(table.contains(Point(7, 7)));
  EXPECT_EQ(table.size(), 11u);
  const PixelTable::EntryView view = table.find(Point(0, 1)).view();
  EXPECT_TRUE(view.hasTone && view.hasRegionNumber);
  EXPECT_EQ(view.regionNumber, 4.0);
}

}  // namespace
}  // namespace quarvel
