#include <gtest/gtest.h>

#include <cmath>
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

// Grid cells keep small whole tones and region numbers packed; every other
// value must still read back exactly, through every reader, and a cell that
// takes a plain value again must lose the odd one.
TEST_F(MixedPixelTable, OddValuesOnTheGridReadBackExactly) {
  const Point cell(2, 1);
  for (const double value : {-0.0, 0.5, 255.0, 256.0, -3.0, 1e10, 4294967295.0, 4294967296.0, 7.0}) {
    table.setTone(cell, value);
    table.setRegionNumber(cell, value + 1.0 == 1.0 ? value : value + 0.25);
    const double number = value + 1.0 == 1.0 ? value : value + 0.25;
    const PixelRecord record = table.at(cell);
    ASSERT_NE(record.tone(), nullptr);
    EXPECT_EQ(record.tone()->value(), value);
    EXPECT_EQ(std::signbit(record.tone()->value()), std::signbit(value)) << value;
    EXPECT_EQ(table.toneAt(2, 1), value);
    EXPECT_EQ(record.regionNumber()->value(), number);
    EXPECT_EQ(std::signbit(table.regionNumberAt(2, 1)), std::signbit(number)) << number;
    const PixelTable::EntryView view = table.find(cell).view();
    EXPECT_EQ(view.tone, value);
    EXPECT_EQ(view.regionNumber, number);
    EXPECT_EQ(table.tonesAreBytes(), value == 255.0 || value == 7.0) << value;
  }
  table.setRegionNumber(cell, 9.0);
  EXPECT_EQ(table.regionNumberAt(2, 1), 9.0);
  EXPECT_EQ(table.gridTones(), (std::vector<double>{0, 0, 2, 10, 11, 7}));
}

}  // namespace
}  // namespace quarvel
