#include "analysis_setup.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

namespace quarvel::testing {

void loadMap(const MapCase& map, Segmenter& segmenter) {
  segmenter.pixelTable().reset(map.width, map.height);
  for (int y = 0; y < map.height; ++y) {
    for (int x = 0; x < map.width; ++x) {
      PixelRecord record;
      record.setTone(map.tones[static_cast<std::size_t>(y) * map.width + x]);
      segmenter.pixelTable().insert(Point(x, y), record);
    }
  }
  for (const auto& [tone, values] : map.descriptors) {
    Cluster cluster(tone);
    cluster.setDescriptors(values);
    segmenter.insertCluster(tone, cluster);
  }
  segmenter.setEpsilon(map.epsilon);
  segmenter.setNbPixMin(map.nbPixMin);
}

literal::Analysis literalAnalysisOf(const MapCase& map) {
  literal::Analysis analysis;
  analysis.width = map.width;
  analysis.height = map.height;
  for (int y = 0; y < map.height; ++y) {
    for (int x = 0; x < map.width; ++x) {
      analysis.tone[{double(x), double(y)}] = map.tones[static_cast<std::size_t>(y) * map.width + x];
    }
  }
  analysis.clusters = map.descriptors;
  analysis.epsilon = map.epsilon;
  analysis.nbPixMin = map.nbPixMin;
  return analysis;
}

namespace {

bool samePoints(const std::vector<literal::Pt>& expected, const std::vector<Point>& actual) {
  if (expected.size() != actual.size()) return false;
  for (std::size_t k = 0; k < expected.size(); ++k) {
    if (expected[k].x != actual[k].x() || expected[k].y != actual[k].y()) return false;
  }
  return true;
}

bool sameBits(const std::vector<float>& expected, const std::vector<float>& actual) {
  if (expected.size() != actual.size()) return false;
  for (std::size_t k = 0; k < expected.size(); ++k) {
    if (std::bit_cast<std::uint32_t>(expected[k]) != std::bit_cast<std::uint32_t>(actual[k])) return false;
  }
  return true;
}

}  // namespace

void expectSameRegions(const literal::Analysis& expected, const Segmenter& actual) {
  EXPECT_FALSE(expected.traceRanAway);
  ASSERT_EQ(expected.regions.size(), actual.regionTable().size());
  auto it = actual.regionTable().begin();
  for (const auto& [key, region] : expected.regions) {
    const Region& got = (it++)->second;
    ASSERT_EQ(key, got.number()) << "region key";
    const std::vector<literal::Pt> pixels(region.pixels.begin(), region.pixels.end());
    ASSERT_TRUE(samePoints(pixels, got.pixels().points())) << "pixels of region " << key;
    ASSERT_TRUE(sameBits(region.descriptors, got.descriptors())) << "descriptors of region " << key;
    ASSERT_TRUE(samePoints(region.contour, got.contour().points())) << "contour of region " << key;
  }
}

void expectSamePixelNumbers(const literal::Analysis& expected, const Segmenter& actual) {
  for (const auto& [p, number] : expected.regionNumber) {
    const int x = static_cast<int>(p.x);
    const int y = static_cast<int>(p.y);
    ASSERT_TRUE(actual.pixelTable().hasRegionNumber(x, y));
    ASSERT_EQ(number, actual.pixelTable().regionNumberAt(x, y)) << "pixel (" << x << "," << y << ")";
  }
}

namespace {

// Bit for bit, except that the sparse graph keeps no zero weights, so a -0
// (a negative Epsilon times a distance of 0) reads back as 0.
bool sameWeight(float expected, float actual) {
  if (expected == 0.0f && actual == 0.0f) return true;
  return std::bit_cast<std::uint32_t>(expected) == std::bit_cast<std::uint32_t>(actual);
}

}  // namespace

void expectSameGraph(const literal::Analysis& expected, const Segmenter& actual) {
  const AdjacencyGraph& graph = actual.graph();
  ASSERT_EQ(expected.graphSize, graph.size());
  for (const auto& [position, w] : expected.graph) {
    ASSERT_TRUE(sameWeight(w, graph.weight(position.first, position.second)))
        << "weight " << position.first << "<->" << position.second << " expected " << w << " got "
        << graph.weight(position.first, position.second);
  }
  graph.forEachEdge([&expected](int i, int j, float w) {
    const auto found = expected.graph.find({i, j});
    const float want = found == expected.graph.end() ? 0.0f : found->second;
    EXPECT_TRUE(sameWeight(want, w)) << "edge " << i << "<->" << j << " expected " << want << " got " << w;
  });
}

}  // namespace quarvel::testing
