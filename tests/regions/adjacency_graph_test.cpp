#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "printed.h"
#include "regions/adjacency_graph.h"

namespace quarvel {
namespace {

using test::printed;
using Edge = std::pair<double, double>;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

struct Entry {
  int i;
  int j;
  float w;
};

AdjacencyGraph graphOf(int size, const std::vector<Entry>& entries) {
  AdjacencyGraph graph;
  graph.resize(size);
  for (const Entry& e : entries) graph.setWeight(e.i, e.j, e.w);
  return graph;
}

TEST(AdjacencyGraph, ReadsMinusOneOutsideAndKeepsItsSizeOnlyThroughClear) {
  AdjacencyGraph graph;
  EXPECT_EQ(graph.weight(0, 0), -1.0f);
  EXPECT_EQ(graph.heaviestEdge(), Edge(0, 0));
  EXPECT_EQ(printed(graph), "");
  graph = AdjacencyGraph(4);
  EXPECT_EQ(graph.weight(3, 3), 0.0f);
  for (const auto& [i, j] : {std::pair(4, 0), std::pair(0, 4), std::pair(-1, 2), std::pair(2, 2)}) {
    EXPECT_EQ(graph.weight(i, j), i == j ? 0.0f : -1.0f);
    EXPECT_FALSE(graph.setWeight(i, j, 1.0f));
  }
  EXPECT_TRUE(graph.setWeight(1, 3, 0.5f));
  EXPECT_EQ(graph.weight(3, 1), 0.5f);
  EXPECT_EQ(printed(graph), "1<->3 : 0.5\n");

  graph.clear();
  EXPECT_EQ(graph.size(), 4);
  EXPECT_EQ(graph.heaviestEdge(), Edge(0, 0));
  graph.setWeight(1, 3, 0.5f);
  graph.resize(4);
  EXPECT_EQ(graph.weight(1, 3), 0.0f);
  graph.resize(-3);
  EXPECT_EQ(graph.weight(0, 0), -1.0f);
}

TEST(AdjacencyGraph, EdgeListSkipsNaNAndKeepsRowMajorOrder) {
  const AdjacencyGraph graph = graphOf(
      5, {{3, 2, 0.25f}, {1, 2, 1.0f}, {0, 3, 2.0f}, {4, 1, kNaN}, {3, 4, kInfinity}, {0, 1, 5}, {1, 0, 0}});
  EXPECT_EQ(printed(graph), "0<->3 : 2\n1<->2 : 1\n2<->3 : 0.25\n3<->4 : inf\n");
  EXPECT_TRUE(std::isnan(graph.weight(1, 4)));
  EXPECT_EQ(graph.weight(4, 3), kInfinity);
  EXPECT_EQ(graph.weight(0, 1), 0.0f);
}

TEST(AdjacencyGraph, CopiesAreIndependent) {
  AdjacencyGraph original = graphOf(3, {{1, 2, 0.5f}});
  AdjacencyGraph copy = original;
  copy.setWeight(1, 2, 2.0f);
  const AdjacencyGraph& alias = original;
  original = alias;
  EXPECT_EQ(original.weight(2, 1), 0.5f);
  EXPECT_EQ(copy.weight(1, 2), 2.0f);
}

struct HeaviestCase {
  const char* name;
  std::vector<Entry> entries;
  Edge heaviest;
};

class HeaviestEdge : public testing::TestWithParam<HeaviestCase> {};

TEST_P(HeaviestEdge, LargestWeightFirstInRowMajorOrder) {
  const std::vector<Entry>& entries = GetParam().entries;
  const AdjacencyGraph graph = graphOf(6, entries);
  EXPECT_EQ(graph.heaviestEdge(), GetParam().heaviest);
  // Every pair reads its last write, whatever was erased around it.
  for (const Entry& e : entries) {
    float last = 0.0f;
    for (const Entry& f : entries) {
      if ((f.i == e.i && f.j == e.j) || (f.i == e.j && f.j == e.i)) last = f.w;
    }
    const float read = graph.weight(e.i, e.j);
    EXPECT_TRUE(read == last || (std::isnan(read) && std::isnan(last))) << e.i << "-" << e.j;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Weights, HeaviestEdge,
    testing::Values(
        HeaviestCase{"TieToSmallerColumn", {{1, 3, 0.5f}, {1, 2, 0.5f}}, {1, 2}},
        HeaviestCase{"Larger", {{1, 2, 0.5f}, {1, 3, 0.75f}}, {1, 3}},
        HeaviestCase{"TieToSmallerRow", {{2, 3, 0.5f}, {4, 1, 0.5f}}, {1, 4}},
        HeaviestCase{"NaNNeverChosen", {{1, 2, kNaN}}, {0, 0}},
        HeaviestCase{"NaNSkipped", {{1, 2, kNaN}, {2, 3, 0.1f}}, {2, 3}},
        HeaviestCase{"InfinityBeatsFinite", {{1, 2, 1e30f}, {3, 4, kInfinity}}, {3, 4}},
        HeaviestCase{"InfinityTie", {{2, 3, kInfinity}, {1, 3, kInfinity}}, {1, 3}},
        HeaviestCase{"LargerNegative", {{1, 2, -0.5f}, {2, 3, -0.25f}}, {2, 3}},
        HeaviestCase{"ErasedFromTheMiddle", {{1, 2, 0.5f}, {1, 3, 0.75f}, {2, 3, 0.6f}, {3, 1, 0}}, {2, 3}},
        HeaviestCase{"ErasedThenWrittenAgain",
                     {{1, 3, 0.75f}, {1, 2, 0.5f}, {2, 4, 0.1f}, {1, 3, 0}, {1, 5, 0}, {1, 3, 0.25f}},
                     {1, 2}}),
    [](const testing::TestParamInfo<HeaviestCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quarvel
