#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "analysis_setup.h"
#include "segmentation/edge_weight.h"

namespace quarvel::testing {
namespace {

struct WeightCase {
  const char* name;
  std::vector<float> a;
  std::vector<float> b;
  double pixelsA;
  double pixelsB;
  std::size_t contourA;
  std::size_t contourB;
  double shared;
  float epsilon;
  int nbPixMin;
  float expected;  // NaN: expect not-a-number
};

class EdgeWeightRule : public ::testing::TestWithParam<WeightCase> {};

TEST_P(EdgeWeightRule, IsDistanceTimesContourTermTimesSizeFactor) {
  const WeightCase& c = GetParam();
  const float w = edgeWeight({&c.a, c.pixelsA, c.contourA}, {&c.b, c.pixelsB, c.contourB}, c.shared,
                             c.epsilon, c.nbPixMin);
  if (std::isnan(c.expected)) {
    EXPECT_TRUE(std::isnan(w)) << w;
  } else {
    EXPECT_FLOAT_EQ(c.expected, w);
  }
}

const float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();

// (0,0) against (3,4) is a distance of 5; two 8-point contours give a contour
// term of 8 / (4 x shared).
INSTANTIATE_TEST_SUITE_P(
    Examples, EdgeWeightRule,
    ::testing::Values(WeightCase{"ThreeShared", {0, 0}, {3, 4}, 9, 9, 8, 8, 3, 0.5f, 5, 10.0f / 3.0f},
                      WeightCase{"FourShared", {0, 0}, {3, 4}, 9, 9, 8, 8, 4, 0.5f, 5, 2.5f},
                      WeightCase{"ShorterContourCounts", {0, 0}, {3, 4}, 9, 9, 8, 2, 1, 0.5f, 5, 2.5f},
                      WeightCase{"SmallFirstRegion", {0, 0}, {3, 4}, 4, 9, 8, 8, 4, 0.5f, 5, 1.25f},
                      WeightCase{"SmallSecondRegion", {0, 0}, {3, 4}, 9, 4, 8, 8, 4, 0.25f, 5, 0.625f},
                      WeightCase{"NoMinimumSize", {0, 0}, {3, 4}, 1, 1, 8, 8, 4, 0.0f, 0, 2.5f},
                      WeightCase{"NothingShared", {0, 0}, {3, 4}, 9, 9, 8, 8, 0, 0.5f, 5, kInf},
                      WeightCase{"EqualDescriptors", {2, 2}, {2, 2}, 9, 9, 8, 8, 4, 0.5f, 5, 0.0f},
                      WeightCase{"EqualAndNothingShared", {2, 2}, {2, 2}, 9, 9, 8, 8, 0, 0.5f, 5, kNaN},
                      WeightCase{"ZeroEpsilonNothingShared", {0, 0}, {3, 4}, 1, 9, 8, 8, 0, 0.0f, 5, kNaN},
                      // Only the positions both lists have count.
                      WeightCase{"LongerFirstList", {0, 0, 100}, {3, 4}, 9, 9, 8, 8, 4, 0.5f, 5, 2.5f},
                      WeightCase{"LongerSecondList", {0, 0}, {3, 4, 100}, 9, 9, 8, 8, 4, 0.5f, 5, 2.5f},
                      WeightCase{"EmptyList", {}, {3, 4}, 9, 9, 8, 8, 4, 0.5f, 5, 0.0f}),
    [](const ::testing::TestParamInfo<WeightCase>& info) { return info.param.name; });

struct GraphCase {
  const char* name;
  int width;
  int height;
  std::vector<double> tones;
  std::map<double, std::vector<float>> descriptors;
  int nbPixMin;
  std::vector<float> weights;  // expected (i, j), i < j, row-major from (1, 2)
};

class BuiltGraph : public ::testing::TestWithParam<GraphCase> {};

TEST_P(BuiltGraph, HoldsTheWeightOfEveryTouchingPair) {
  const GraphCase& c = GetParam();
  MapCase map;
  map.width = c.width;
  map.height = c.height;
  map.tones = c.tones;
  map.descriptors = c.descriptors;
  map.nbPixMin = c.nbPixMin;
  Segmenter segmenter;
  loadMap(map, segmenter);
  segmenter.labelComponents();
  segmenter.detectContours();
  ASSERT_TRUE(segmenter.buildAdjacencyGraph(1));
  std::size_t k = 0;
  for (int i = 1; i < segmenter.graph().size(); ++i) {
    for (int j = i + 1; j < segmenter.graph().size(); ++j) {
      ASSERT_LT(k, c.weights.size());
      EXPECT_EQ(c.weights[k], segmenter.graph().weight(i, j)) << i << "<->" << j;
      EXPECT_EQ(c.weights[k++], segmenter.graph().weight(j, i)) << j << "<->" << i;
    }
  }
  EXPECT_EQ(c.weights.size(), k);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, BuiltGraph,
    ::testing::Values(
        // Ring (region 1, 8 contour points) around a centre pixel (region 2).
        // Region 1's visit writes 8 x 1 / (4 x 1) = 2; region 2's visit comes
        // later and writes 8 x 1 / (4 x 8) = 0.25, which stays.
        GraphCase{"LaterVisitStays", 3, 3, {1, 1, 1, 1, 2, 1, 1, 1, 1}, {{1, {0}}, {2, {8}}}, 1, {0.25f}},
        // Single pixels 1 (0,0), 2 (0,1), 3 (1,0), 4 (1,1): every pair touches,
        // diagonals included; each weight is the distance x 1 / (4 x 1).
        GraphCase{"DiagonalsTouch",
                  2,
                  2,
                  {1, 2, 2, 3},
                  {{1, {0}}, {2, {3}}, {3, {4}}},
                  0,
                  {0.75f, 0.75f, 1.0f, 0.0f, 0.25f, 0.25f}},
        // Region 1 has 1 pixel, fewer than NbPixMin 2, so epsilon 0.5 halves
        // the 2 x 1 / (4 x 1) of its edge.
        GraphCase{"SmallRegion", 2, 1, {1, 2}, {{1, {0}}, {2, {2}}}, 2, {0.25f}}),
    [](const ::testing::TestParamInfo<GraphCase>& info) { return info.param.name; });

}  // namespace
}  // namespace quarvel::testing
