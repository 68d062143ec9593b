#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "analysis_setup.h"

namespace quarvel::testing {
namespace {

struct ContourCase {
  const char* name;
  int width;
  int height;
  std::vector<double> tones;  // raster order
  double region;
  std::vector<std::pair<double, double>> contour;  // expected, raster order
};

class TracedContour : public ::testing::TestWithParam<ContourCase> {};

TEST_P(TracedContour, HoldsTheOuterBoundaryOnce) {
  const ContourCase& c = GetParam();
  MapCase map;
  map.width = c.width;
  map.height = c.height;
  map.tones = c.tones;
  Segmenter segmenter;
  loadMap(map, segmenter);
  segmenter.labelComponents();
  segmenter.detectContours();
  std::vector<std::pair<double, double>> got;
  const auto region = segmenter.findRegion(c.region);
  ASSERT_NE(region, segmenter.regionTable().end());
  for (const Point& p : region->second.contour()) got.emplace_back(p.x(), p.y());
  EXPECT_EQ(c.contour, got);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TracedContour,
    ::testing::Values(ContourCase{"SinglePixel", 1, 1, {3}, 1.0, {{0, 0}}},
                      // A 3 x 3 square inside a frame: its centre is not on the contour.
                      ContourCase{"Square",
                                  5,
                                  5,
                                  {0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 1, 1, 1, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0},
                                  2.0,
                                  {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {3, 2}, {1, 3}, {2, 3}, {3, 3}}},
                      ContourCase{"Line", 4, 1, {2, 2, 2, 2}, 1.0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
                      // The pixels around the hole are not on the contour.
                      ContourCase{"SquareWithHole",
                                  5,
                                  5,
                                  {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
                                  1.0,
                                  {{0, 0},
                                   {1, 0},
                                   {2, 0},
                                   {3, 0},
                                   {4, 0},
                                   {0, 1},
                                   {4, 1},
                                   {0, 2},
                                   {4, 2},
                                   {0, 3},
                                   {4, 3},
                                   {0, 4},
                                   {1, 4},
                                   {2, 4},
                                   {3, 4},
                                   {4, 4}}},
                      // (1,0) over (0,1), (1,1), (2,1): labelled region 2.
                      ContourCase{
                          "UpsideDownT", 3, 2, {2, 1, 2, 1, 1, 1}, 2.0, {{1, 0}, {0, 1}, {1, 1}, {2, 1}}}),
    [](const ::testing::TestParamInfo<ContourCase>& info) { return info.param.name; });

}  // namespace
}  // namespace quarvel::testing
