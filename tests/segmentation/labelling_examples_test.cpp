#include <gtest/gtest.h>

#include <vector>

#include "analysis_setup.h"

namespace quarvel::testing {
namespace {

struct NumberingCase {
  const char* name;
  int width;
  int height;
  std::vector<double> tones;    // raster order
  std::vector<double> numbers;  // expected region number of each pixel, raster order
};

class Numbering : public ::testing::TestWithParam<NumberingCase> {};

// Regions are the 4-connected pieces of one tone, numbered by first appearance
// in the column-by-column scan.
TEST_P(Numbering, FollowsTheColumnScan) {
  const NumberingCase& c = GetParam();
  MapCase map;
  map.width = c.width;
  map.height = c.height;
  map.tones = c.tones;
  Segmenter segmenter;
  loadMap(map, segmenter);
  ASSERT_TRUE(segmenter.labelComponents());

  double highest = 0.0;
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) {
      const double want = c.numbers[static_cast<std::size_t>(y) * c.width + x];
      highest = std::max(highest, want);
      EXPECT_EQ(want, segmenter.pixelTable().regionNumberAt(x, y)) << "(" << x << "," << y << ")";
      const auto region = segmenter.findRegion(want);
      ASSERT_NE(region, segmenter.regionTable().end());
      EXPECT_TRUE(region->second.containsPixel(x, y));
    }
  }
  EXPECT_EQ(static_cast<int>(highest), segmenter.regionCount());
  EXPECT_EQ(segmenter.regionTable().size(), static_cast<std::size_t>(highest));
  EXPECT_EQ(static_cast<int>(highest) + 1, segmenter.graph().size());
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Numbering,
    ::testing::Values(
        // Left column 7 over 9, right column 9 over 7.
        NumberingCase{"TwoByTwo", 2, 2, {7, 9, 9, 7}, {1, 3, 2, 4}},
        NumberingCase{"Uniform", 3, 2, {4, 4, 4, 4, 4, 4}, {1, 1, 1, 1, 1, 1}},
        NumberingCase{"Checkerboard", 3, 3, {1, 2, 1, 2, 1, 2, 1, 2, 1}, {1, 4, 7, 2, 5, 8, 3, 6, 9}},
        // The arms of the U get two labels that meet at its bottom right.
        NumberingCase{"UShape", 3, 3, {1, 2, 1, 1, 2, 1, 1, 1, 1}, {1, 2, 1, 1, 2, 1, 1, 1, 1}},
        NumberingCase{"OneColumn", 1, 4, {5, 5, 6, 5}, {1, 1, 2, 3}},
        NumberingCase{"OneRow", 4, 1, {5, 6, 6, 5}, {1, 2, 2, 3}},
        // A tone that comes back after a gap starts a new region.
        NumberingCase{"SplitTone", 3, 1, {8, 9, 8}, {1, 2, 3}}),
    [](const ::testing::TestParamInfo<NumberingCase>& info) { return info.param.name; });

// Each region takes the descriptors of its tone's cluster; a tone without
// values gives an empty list.
TEST(LabellingDescriptors, ComeFromTheRegionsCluster) {
  MapCase map;
  map.width = 2;
  map.height = 2;
  map.tones = {7, 9, 9, 7};
  map.descriptors = {{7.0, {0.25f, 3.0f}}, {9.0, {}}};
  Segmenter segmenter;
  loadMap(map, segmenter);
  segmenter.labelComponents();
  const std::vector<float> seven{0.25f, 3.0f};
  EXPECT_EQ(seven, segmenter.regionAt(1.0).descriptors());
  EXPECT_TRUE(segmenter.regionAt(2.0).descriptors().empty());
  EXPECT_TRUE(segmenter.regionAt(3.0).descriptors().empty());
  EXPECT_EQ(seven, segmenter.regionAt(4.0).descriptors());
  EXPECT_EQ(1.0, segmenter.regionAt(1.0).pixelCount());
}

}  // namespace
}  // namespace quarvel::testing

namespace quarvel::testing {
namespace {

struct UnifyCase {
  std::vector<double> table;
  double count;
  double a;
  double b;
  std::vector<double> expected;
};

class UnifyLabels : public ::testing::TestWithParam<UnifyCase> {};

// Entries 1 .. count-1 equal to the larger label take the smaller; entry 0
// and entries from count on stay.
TEST_P(UnifyLabels, ReplacesTheLargerLabel) {
  UnifyCase c = GetParam();
  Segmenter segmenter;
  segmenter.unifyLabels(c.table.data(), c.count, c.a, c.b);
  EXPECT_EQ(c.expected, c.table);
}

INSTANTIATE_TEST_SUITE_P(Examples, UnifyLabels,
                         ::testing::Values(UnifyCase{{3, 1, 3, 2, 3}, 5, 3, 1, {3, 1, 1, 2, 1}},
                                           UnifyCase{{3, 1, 3, 2, 3}, 5, 1, 3, {3, 1, 1, 2, 1}},
                                           UnifyCase{{0, 1, 2, 2, 2}, 4, 2, 1, {0, 1, 1, 1, 2}},
                                           UnifyCase{{0, 1, 2, 3}, 4, 3, 3, {0, 1, 2, 3}}));

}  // namespace
}  // namespace quarvel::testing
