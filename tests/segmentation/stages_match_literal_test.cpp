#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>

#include "analysis_setup.h"

namespace quarvel::testing {
namespace {

struct Family {
  const char* name;
  MapCase (*make)(std::uint64_t seed);
  int count;
};

const Family kFamilies[] = {
    {"random", randomMap, 200},   {"smoothed", smoothedMap, 150}, {"nested", nestedMap, 100},
    {"outline", outlineMap, 100}, {"photo", photoLikeMap, 12},
};

struct CaseId {
  int family;
  int seed;
};

std::vector<CaseId> allCases() {
  std::vector<CaseId> cases;
  for (int f = 0; f < static_cast<int>(std::size(kFamilies)); ++f) {
    for (int s = 0; s < kFamilies[f].count; ++s) cases.push_back({f, s});
  }
  return cases;
}

class StagesMatchLiteral : public ::testing::TestWithParam<CaseId> {};

// Every stage, run on the same map, leaves the same tables as the plain
// step-by-step analysis: regions, pixels, descriptors, contours, every
// pixel's number and every weight bit for bit.
TEST_P(StagesMatchLiteral, AfterEveryStage) {
  const MapCase map = kFamilies[GetParam().family].make(static_cast<std::uint64_t>(GetParam().seed));
  literal::Analysis expected = literalAnalysisOf(map);
  Segmenter actual;
  loadMap(map, actual);

  literal::labelComponents(expected);
  ASSERT_TRUE(actual.labelComponents());
  ASSERT_EQ(expected.regionCount, actual.regionCount());
  ASSERT_NO_FATAL_FAILURE(expectSameRegions(expected, actual));
  ASSERT_NO_FATAL_FAILURE(expectSamePixelNumbers(expected, actual));
  ASSERT_NO_FATAL_FAILURE(expectSameGraph(expected, actual));

  // At most 150 merges: the literal side rebuilds the whole graph after each.
  const int wanted =
      std::max({1, static_cast<int>(map.nbRegFinShare * expected.regionCount), expected.regionCount - 150});
  expected.nbRegFin = wanted;
  actual.setNbRegFin(wanted);

  literal::detectContours(expected);
  actual.detectContours();
  ASSERT_NO_FATAL_FAILURE(expectSameRegions(expected, actual));

  const int weighted = map.unweightedFirstGraph ? 0 : 1;
  literal::buildAdjacencyGraph(expected, weighted);
  ASSERT_TRUE(actual.buildAdjacencyGraph(weighted));
  ASSERT_NO_FATAL_FAILURE(expectSameGraph(expected, actual));

  literal::mergeRegions(expected);
  ASSERT_TRUE(actual.mergeRegions());
  ASSERT_NO_FATAL_FAILURE(expectSameRegions(expected, actual));
  ASSERT_NO_FATAL_FAILURE(expectSamePixelNumbers(expected, actual));
  ASSERT_NO_FATAL_FAILURE(expectSameGraph(expected, actual));
  EXPECT_EQ(expected.regionCount, actual.regionCount());
}

INSTANTIATE_TEST_SUITE_P(GeneratedMaps, StagesMatchLiteral, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<CaseId>& info) {
                           return std::string(kFamilies[info.param.family].name) + "_" +
                                  std::to_string(info.param.seed);
                         });

}  // namespace
}  // namespace quarvel::testing
