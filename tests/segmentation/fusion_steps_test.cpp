#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <map>
#include <string>

#include "analysis_setup.h"
#include "segmentation/fusion_loading.h"

namespace quarvel::testing {
namespace {

// After labelling, numbers are 1 .. N and fusion positions 0 .. N-1.
void expectSameValues(const literal::Analysis& expected, const RegionFusion& fusion, int width) {
  std::map<std::pair<int, int>, float> live;
  fusion.forEachPair([&live](std::int32_t low, std::int32_t high, float value) {
    live[{low + 1, high + 1}] = value;
  });
  ASSERT_EQ(expected.graph.size(), live.size());
  for (const auto& [position, w] : expected.graph) {
    const auto found = live.find(position);
    ASSERT_NE(found, live.end()) << position.first << "<->" << position.second;
    ASSERT_EQ(std::bit_cast<std::uint32_t>(w), std::bit_cast<std::uint32_t>(found->second))
        << position.first << "<->" << position.second << " expected " << w << " got " << found->second;
  }
  for (const auto& [key, region] : expected.regions) {
    const std::int32_t r = static_cast<std::int32_t>(key) - 1;
    ASSERT_TRUE(fusion.region(r).alive);
    std::vector<std::uint32_t> contour(fusion.contour(r));
    std::sort(contour.begin(), contour.end());
    std::vector<std::uint32_t> want;
    for (const literal::Pt& p : region.contour) want.push_back(static_cast<std::uint32_t>(p.y * width + p.x));
    ASSERT_EQ(want, contour) << "contour of region " << key;
  }
}

class FusionStepsMatchLiteral : public ::testing::TestWithParam<int> {};

// The fusion's own pair values and contours equal the literal graph rebuilt
// after every merge, and it picks the same pair each time.
TEST_P(FusionStepsMatchLiteral, AfterEveryMerge) {
  const int seed = GetParam();
  // Seeds from 200 on: traces that merges change in awkward places; from 300
  // on: photograph-like maps fused down to one region.
  MapCase map = seed >= 300     ? photoLikeMap(1000 + seed)
                : seed >= 200   ? outlineMap(1000 + seed)
                : seed % 2 == 0 ? smoothedMap(1000 + seed)
                                : nestedMap(1000 + seed);
  if (seed >= 120 && seed < 200) {
    // Two descriptor values only: many edges join equal descriptors and weigh
    // 0 or not-a-number until a merge changes one side's mean.
    for (auto& [tone, values] : map.descriptors) values = {static_cast<float>(static_cast<int>(tone) % 2)};
  }
  literal::Analysis expected = literalAnalysisOf(map);
  Segmenter actual;
  loadMap(map, actual);
  literal::labelComponents(expected);
  literal::detectContours(expected);
  literal::buildAdjacencyGraph(expected, 1);
  actual.labelComponents();
  actual.detectContours();

  RegionFusion fusion;
  std::vector<std::int32_t> positionOf;
  loadFusion(actual.regionTable(), actual.pixelTable(), {true, map.epsilon, map.nbPixMin}, positionOf,
             fusion);
  ASSERT_NO_FATAL_FAILURE(expectSameValues(expected, fusion, map.width));
  while (expected.regions.size() > 1) {
    const auto [i, j] = literal::heaviestEdge(expected);
    std::int32_t low = -1;
    std::int32_t high = -1;
    const bool found = fusion.heaviestPair(low, high);
    if (i == 0 && j == 0) {
      EXPECT_FALSE(found);
      break;
    }
    ASSERT_TRUE(found);
    ASSERT_EQ(i - 1, low);
    ASSERT_EQ(j - 1, high);
    literal::mergePair(expected, i, j);
    fusion.mergeInto(low, high);
    ASSERT_NO_FATAL_FAILURE(expectSameValues(expected, fusion, map.width));
    ASSERT_EQ(static_cast<std::int32_t>(expected.regions.size()), fusion.aliveCount());
  }
}

INSTANTIATE_TEST_SUITE_P(GeneratedMaps, FusionStepsMatchLiteral, ::testing::Range(0, 316));

}  // namespace
}  // namespace quarvel::testing
