#include <gtest/gtest.h>

#include <string>

#include "analysis_setup.h"

namespace quarvel::testing {
namespace {

struct SampleRun {
  float epsilon;
  int nbPixMin;
  int nbRegFin;
};

class SampleMatchesLiteral : public ::testing::TestWithParam<SampleRun> {};

// The bundled sample is a class map of a real photograph: its regions have
// the ragged shapes, holes and long shared borders of real data, which the
// generated maps only imitate.
TEST_P(SampleMatchesLiteral, WholeAnalysis) {
  Segmenter loaded;
  ASSERT_TRUE(loaded.openImage(std::string(QUARVEL_SAMPLES_DIR) + "/coffee.bmp"));
  ASSERT_TRUE(loaded.openDescriptors(std::string(QUARVEL_SAMPLES_DIR) + "/coffee.txt"));

  MapCase map;
  map.width = loaded.width();
  map.height = loaded.height();
  for (const PixelTable::Entry& entry : loaded.pixelTable())
    map.tones.push_back(entry.record.tone()->value());
  for (const auto& [tone, cluster] : loaded.clusterTable()) map.descriptors[tone] = cluster.descriptors();
  map.epsilon = GetParam().epsilon;
  map.nbPixMin = GetParam().nbPixMin;

  literal::Analysis expected = literalAnalysisOf(map);
  Segmenter actual;
  loadMap(map, actual);

  literal::labelComponents(expected);
  actual.labelComponents();
  expected.nbRegFin = GetParam().nbRegFin;
  actual.setNbRegFin(GetParam().nbRegFin);
  literal::detectContours(expected);
  actual.detectContours();
  literal::buildAdjacencyGraph(expected, 1);
  actual.buildAdjacencyGraph(1);
  ASSERT_NO_FATAL_FAILURE(expectSameGraph(expected, actual));

  literal::mergeRegions(expected);
  actual.mergeRegions();
  ASSERT_NO_FATAL_FAILURE(expectSameRegions(expected, actual));
  ASSERT_NO_FATAL_FAILURE(expectSamePixelNumbers(expected, actual));
  ASSERT_NO_FATAL_FAILURE(expectSameGraph(expected, actual));
}

INSTANTIATE_TEST_SUITE_P(Parameters, SampleMatchesLiteral,
                         ::testing::Values(SampleRun{0.5f, 5, 40}, SampleRun{0.5f, 5, 1},
                                           SampleRun{0.0f, 20, 10}, SampleRun{1.0f, 0, 3},
                                           SampleRun{0.25f, 100, 20}));

}  // namespace
}  // namespace quarvel::testing
