#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "analysis_setup.h"
#include "segmentation/edge_weight.h"

namespace quarvel::testing {
namespace {

struct FusionCase {
  const char* name;
  std::vector<double> row;  // tones of a one-row image; each tone has one descriptor
  std::map<double, std::vector<float>> descriptors;
  int nbRegFin;
  std::vector<double> numbers;             // expected region number of each pixel
  std::vector<std::vector<float>> merged;  // expected descriptors of regions 1, 2, ...
  std::vector<float> weights;              // expected (i, j), i < j, row-major from (1, 2)
  // A region taken out of the table before the fusion (0: none): its pixels
  // belong to no region and keep its number.
  double withoutRegion = 0.0;
};

class Fusion : public ::testing::TestWithParam<FusionCase> {};

// Single pixels in a row: a contour term of 1 / (4 x 1) for two single
// pixels, NbPixMin 0 so no size factor.
TEST_P(Fusion, MergesHeaviestFirstAndRenumbers) {
  const FusionCase& c = GetParam();
  MapCase map;
  map.width = static_cast<int>(c.row.size());
  map.height = 1;
  map.tones = c.row;
  map.descriptors = c.descriptors;
  map.nbPixMin = 0;
  Segmenter segmenter;
  loadMap(map, segmenter);
  segmenter.labelComponents();
  const int found = segmenter.regionCount();
  segmenter.setNbRegFin(c.nbRegFin);
  segmenter.detectContours();
  segmenter.buildAdjacencyGraph(1);
  if (c.withoutRegion != 0.0) segmenter.regionTable().erase(c.withoutRegion);
  ASSERT_TRUE(segmenter.mergeRegions());

  EXPECT_EQ(found, segmenter.regionCount());
  ASSERT_EQ(c.merged.size(), segmenter.regionTable().size());
  for (std::size_t k = 0; k < c.merged.size(); ++k) {
    const auto region = segmenter.findRegion(static_cast<double>(k + 1));
    ASSERT_NE(region, segmenter.regionTable().end());
    EXPECT_EQ(c.merged[k], region->second.descriptors()) << "region " << k + 1;
    // In a row every pixel is on the contour.
    EXPECT_EQ(region->second.pixelCount(), static_cast<double>(region->second.contour().size()));
  }
  for (int x = 0; x < map.width; ++x) {
    EXPECT_EQ(c.numbers[x], segmenter.pixelTable().regionNumberAt(x, 0)) << "pixel " << x;
    if (c.numbers[x] == c.withoutRegion) continue;
    const auto region = segmenter.findRegion(c.numbers[x]);
    ASSERT_NE(region, segmenter.regionTable().end());
    EXPECT_TRUE(region->second.containsPixel(x, 0));
  }
  ASSERT_EQ(static_cast<int>(c.merged.size()) + 1, segmenter.graph().size());
  std::size_t k = 0;
  for (int i = 1; i < segmenter.graph().size(); ++i) {
    for (int j = i + 1; j < segmenter.graph().size(); ++j) {
      ASSERT_LT(k, c.weights.size());
      EXPECT_EQ(c.weights[k++], segmenter.graph().weight(i, j)) << i << "<->" << j;
    }
  }
  EXPECT_EQ(c.weights.size(), k);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Fusion,
    ::testing::Values(
        // (1,2) and (2,3) both weigh 4 x 0.25 = 1: the first in row order goes:
        // (0) and (4) give (2); then (2) and (8) give (5), not a pixel-weighted mean.
        FusionCase{"UnweightedMean", {1, 2, 3}, {{1, {0}}, {2, {4}}, {3, {8}}}, 1, {1, 1, 1}, {{5}}, {}},
        // 2.5 between 1 and 2 beats 0.5 between 2 and 3; the merged region keeps
        // number 1 and (5) against (12) over a 2-point contour weighs 7 x 0.25.
        FusionCase{
            "HeaviestFirst", {1, 2, 3}, {{1, {0}}, {2, {10}}, {3, {12}}}, 2, {1, 1, 2}, {{5}, {12}}, {1.75f}},
        // 10 for (1,2) and (3,4), 0.25 for (2,3) and (4,5): regions 2 and 4 go,
        // 1, 3, 5 become 1, 2, 3. Final: (20)-(61) over 2-point contours
        // 41 x 2 / 4 = 20.5, (61)-(82) 21 x 0.25.
        FusionCase{"Renumbering",
                   {1, 2, 3, 4, 5},
                   {{1, {0}}, {2, {40}}, {3, {41}}, {4, {81}}, {5, {82}}},
                   3,
                   {1, 1, 2, 2, 3},
                   {{20}, {61}, {82}},
                   {20.5f, 0.0f, 5.25f}},
        FusionCase{"NothingToMerge", {1, 2}, {{1, {0}}, {2, {2}}}, 2, {1, 2}, {{0}, {2}}, {0.5f}},
        // After (0)+(4) = (2) the only edge left joins equal descriptors: weight
        // 0, so the fusion stops with two regions instead of one.
        FusionCase{
            "NoUsableEdge", {1, 2, 3}, {{1, {0}}, {2, {4}}, {3, {2}}}, 1, {1, 1, 2}, {{2}, {2}}, {0.0f}},
        // Lists of different lengths: the merged list keeps the first region's
        // length, its own value where the other has none.
        FusionCase{"LongerFirstList", {1, 2}, {{1, {2, 6}}, {2, {4}}}, 1, {1, 1}, {{3, 6}}, {}},
        FusionCase{"ShorterFirstList", {1, 2}, {{1, {4}}, {2, {2, 6}}}, 1, {1, 1}, {{3}}, {}},
        // Region 4 leaves the table after the graph: (1,2) at 2.5 still goes
        // first, pixel 3 stays numbered 4, and (5)-(11) over contours of 2
        // and 1 pixels weighs 6 x 1 / 4.
        FusionCase{"PixelsOfNoRegionKeepTheirNumbers",
                   {1, 2, 3, 4},
                   {{1, {0}}, {2, {10}}, {3, {11}}, {4, {12}}},
                   2,
                   {1, 1, 2, 4},
                   {{5}, {11}},
                   {1.5f},
                   4.0}),
    [](const ::testing::TestParamInfo<FusionCase>& info) { return info.param.name; });

struct MeanCase {
  std::vector<float> a;
  std::vector<float> b;
  std::vector<float> expected;
};

class MergedDescriptors : public ::testing::TestWithParam<MeanCase> {};

TEST_P(MergedDescriptors, AreTheMeanOverTheFirstListsLength) {
  EXPECT_EQ(GetParam().expected, mergedDescriptors(GetParam().a, GetParam().b));
}

INSTANTIATE_TEST_SUITE_P(Examples, MergedDescriptors,
                         ::testing::Values(MeanCase{{0}, {4}, {2}}, MeanCase{{2}, {8}, {5}},
                                           MeanCase{{1, 2, 3}, {3}, {2, 2, 3}}, MeanCase{{1}, {3, 9}, {2}},
                                           MeanCase{{}, {3}, {}}));

}  // namespace
}  // namespace quarvel::testing
