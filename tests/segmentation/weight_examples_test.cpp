#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <span>
#include <vector>

#include "analysis_setup.h"
#include "segmentation/descriptor_kinds.h"
#include "segmentation/edge_weight.h"
#include "segmentation/pair_valuation.h"

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
  const float w =
      edgeWeight({c.a, c.pixelsA, c.contourA}, {c.b, c.pixelsB, c.contourB}, c.shared, c.epsilon, c.nbPixMin);
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
  // Applied to the tables once the contours are traced.
  std::function<void(Segmenter&)> alter = nullptr;
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
  if (c.alter) c.alter(segmenter);
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
        GraphCase{"SmallRegion", 2, 1, {1, 2}, {{1, {0}}, {2, {2}}}, 2, {0.25f}},
        // As DiagonalsTouch with region 3 taken out of the table: its pixels
        // still carry its number but belong to no region, so no pair with 3
        // is written and the others keep their weights.
        GraphCase{"NumberWithoutARegion",
                  2,
                  2,
                  {1, 2, 2, 3},
                  {{1, {0}}, {2, {3}}, {3, {4}}},
                  0,
                  {0.75f, 0.0f, 1.0f, 0.0f, 0.25f, 0.0f},
                  [](Segmenter& s) { s.regionTable().erase(3.0); }},
        // Region 1 is a 3 x 3 square, region 2 the column beside it. Region
        // 2's contour is given the square's centre, a pixel numbered 1 that is
        // not on region 1's contour. Region 2's visit, the later one, meets
        // the centre as region 1's and does not count it: shared 8, contours
        // 8 and 4, distance 8, so 8 x 4 / (4 x 8) = 1. Counted, it would give
        // 8 x 4 / (4 x 9).
        GraphCase{"ContourPixelOfAnotherRegion",
                  4,
                  3,
                  {1, 1, 1, 2, 1, 1, 1, 2, 1, 1, 1, 2},
                  {{1, {0}}, {2, {8}}},
                  0,
                  {1.0f},
                  [](Segmenter& s) { s.findRegion(2.0)->second.contour().add(Point(1, 1)); }}),
    [](const ::testing::TestParamInfo<GraphCase>& info) { return info.param.name; });

// A star of pairs valued through PairValuation against the plain rule: every
// query must answer the pair the literal heaviestEdge would pick among the
// current values.
struct StarRegions : RegionEnds {
  std::vector<std::vector<float>> descriptors;
  std::vector<double> pixels;
  std::vector<std::size_t> contours;
  std::vector<std::int32_t> kinds;
  std::vector<std::vector<float>> kindLists;  // by kind
  EdgeEnd endOf(std::int32_t r) const override {
    const std::size_t i = static_cast<std::size_t>(r);
    return {descriptors[i], pixels[i], contours[i], kinds[i]};
  }
  std::span<const float> descriptorsOfKind(std::int32_t kind) const override {
    return kindLists[static_cast<std::size_t>(kind)];
  }
};

struct StarCase {
  const char* name;
  std::uint32_t seed;
  int neighbours;
  float epsilon;
  std::uint32_t sharedFrom;  // shared counts are drawn from [sharedFrom, sharedFrom + sharedSpread]
  std::uint32_t sharedSpread;
  std::size_t contour;   // of every neighbour; 0: drawn from [1, 30000]
  bool tiesAcrossTerms;  // some query meets a top weight reached by two different contour terms
};

class StarValuation : public ::testing::TestWithParam<StarCase> {};

TEST_P(StarValuation, AnswersTheHeaviestPairAfterEveryChange) {
  const StarCase& c = GetParam();
  std::mt19937 random(c.seed);
  const auto draw = [&random](std::uint32_t from, std::uint32_t to) {
    return std::uniform_int_distribution<std::uint32_t>(from, to)(random);
  };
  // Region 0 and 1 are large merged regions; the others keep one of three
  // class descriptor lists, or (one in eight) a merged list of their own. The
  // merged lists lie close together, so the heaviest pairs are mostly class
  // pairs.
  const std::int32_t count = c.neighbours + 2;
  const std::vector<std::vector<float>> classes = {{10.0f, 0.5f}, {13.0f, 4.5f}, {7.25f, 1.0f}};
  StarRegions ends;
  ends.kindLists = classes;
  FusionPairs pairs;
  pairs.start(static_cast<std::size_t>(count));
  for (std::int32_t r = 0; r < count; ++r) {
    const bool merged = r < 2 || draw(0, 7) == 0;
    const std::int32_t kind = merged ? -1 : static_cast<std::int32_t>(draw(0, 2));
    ends.kinds.push_back(kind);
    ends.descriptors.push_back(merged
                                   ? std::vector<float>{static_cast<float>(draw(2048, 2304)) / 256.0f, 2.0f}
                                   : classes[static_cast<std::size_t>(kind)]);
    ends.pixels.push_back(r < 2 ? 1e6 : static_cast<double>(draw(1, 9)));
    ends.contours.push_back(r < 2 ? 50000 : c.contour > 0 ? c.contour : draw(1, 30000));
    for (std::int32_t hub = 0; hub < std::min<std::int32_t>(r, 2); ++hub) {
      PairContacts& pair = pairs.contacts(pairs.obtain(hub, r));
      pair.touches[0] = pair.touches[1] = 1;
      pair.shared[0] = draw(c.sharedFrom, c.sharedFrom + c.sharedSpread);
      pair.shared[1] = draw(c.sharedFrom, c.sharedFrom + c.sharedSpread);
    }
  }
  PairValuation valuation;
  valuation.start({true, c.epsilon, 5}, true, static_cast<std::size_t>(count), pairs, ends);
  for (std::size_t id = 0; id < pairs.size(); ++id) valuation.refresh(static_cast<std::int32_t>(id));

  bool tiesMet = false;
  for (int step = 0; step < 60; ++step) {
    // The literal choice: largest usable value, then smallest low and high.
    float best = 0.0f;
    std::int32_t bestLow = -1;
    std::int32_t bestHigh = -1;
    std::map<std::pair<std::int32_t, float>, std::uint32_t> termsAtBest;  // (hub, weight) -> a term's bits
    for (std::size_t id = 0; id < pairs.size(); ++id) {
      const PairContacts& pair = pairs[static_cast<std::int32_t>(id)];
      if (!pair.alive) continue;
      const float value = valuation.currentValue(static_cast<std::int32_t>(id));
      if (value == 0.0f || std::isnan(value)) continue;
      if (bestLow < 0 || value > best ||
          (value == best && (pair.low < bestLow || (pair.low == bestLow && pair.high < bestHigh)))) {
        best = value;
        bestLow = pair.low;
        bestHigh = pair.high;
      }
    }
    for (std::size_t id = 0; id < pairs.size(); ++id) {
      const PairContacts& pair = pairs[static_cast<std::int32_t>(id)];
      if (!pair.alive || valuation.currentValue(static_cast<std::int32_t>(id)) != best) continue;
      const std::size_t n = std::min(ends.contours[static_cast<std::size_t>(pair.low)],
                                     ends.contours[static_cast<std::size_t>(pair.high)]);
      const std::uint32_t term = std::bit_cast<std::uint32_t>(
          contourTerm(static_cast<double>(n), static_cast<double>(pair.shared[pair.decidingSide()])));
      const auto [entry, added] = termsAtBest.try_emplace({pair.low, best}, term);
      tiesMet = tiesMet || (!added && entry->second != term);
    }
    std::int32_t low = -1;
    std::int32_t high = -1;
    ASSERT_EQ(bestLow >= 0, valuation.heaviestPair(low, high)) << "step " << step;
    ASSERT_EQ(bestLow, low) << "step " << step;
    ASSERT_EQ(bestHigh, high) << "step " << step;

    // A hub changes: new descriptors, more pixels, a contour that may fall
    // below some neighbours'; and a few pairs change their shared counts or go.
    const std::int32_t hub = static_cast<std::int32_t>(draw(0, 1));
    ends.descriptors[static_cast<std::size_t>(hub)][0] = static_cast<float>(draw(2048, 2304)) / 256.0f;
    ends.pixels[static_cast<std::size_t>(hub)] += 1.0;
    ends.contours[static_cast<std::size_t>(hub)] = step % 3 == 2 ? draw(1, 30000) : 50000;
    valuation.regionChanged(hub);
    for (int k = 0; k < 3; ++k) {
      const std::int32_t id =
          static_cast<std::int32_t>(draw(0, static_cast<std::uint32_t>(pairs.size() - 1)));
      if (!pairs[id].alive) continue;
      if (k == 0) {
        pairs.retire(id);
        valuation.drop(id);
        continue;
      }
      pairs.contacts(id).shared[1] = draw(c.sharedFrom, c.sharedFrom + c.sharedSpread);
      valuation.refresh(id);
    }
  }
  EXPECT_EQ(c.tiesAcrossTerms, tiesMet);
}

// Shared counts of tens of millions next to each other give contour terms a
// float apart, which the products can round to one weight; small counts never
// do.
INSTANTIATE_TEST_SUITE_P(Examples, StarValuation,
                         ::testing::Values(StarCase{"FewShared", 1, 40, 0.5f, 1, 1, 0, false},
                                           StarCase{"ManyNeighbours", 2, 400, 0.5f, 3, 3, 0, false},
                                           StarCase{"ZeroEpsilon", 3, 200, 0.0f, 2, 2, 0, false},
                                           StarCase{"CloseTerms", 4, 600, 0.3f, 20000000, 40, 30000, true},
                                           StarCase{"CloseTermsOddEpsilon", 5, 600, 0.7f, 40000000, 40, 30000,
                                                    true}),
                         [](const ::testing::TestParamInfo<StarCase>& info) { return info.param.name; });

// Hub groups rely on one kind meaning one list of bits: lists that compare
// equal as numbers but differ in bits (0 and -0, NaN payloads) are of other
// kinds, and kinds met before the table grew are found again after.
TEST(DescriptorKinds, OneKindPerListOfBits) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float otherNan = std::bit_cast<float>(std::bit_cast<std::uint32_t>(nan) | 1u);
  const struct {
    std::vector<float> list;
    std::int32_t kind;
  } rows[] = {
      {{1.0f, 2.0f, 3.0f}, 0},
      {{1.0f, 2.0f, 3.0f}, 0},
      {{1.0f, 2.0f}, 1},
      {{0.0f}, 2},
      {{-0.0f}, 3},
      {{nan}, 4},
      {{otherNan}, 5},
      {{nan}, 4},
      {{}, 6},
      {{}, 6},
      {{2.0f, 1.0f, 3.0f}, 7},
      {{1.0f, 2.0f, 3.0f}, 0},
  };
  DescriptorKinds kinds;
  for (const auto& row : rows) EXPECT_EQ(kinds.kindOf(row.list), row.kind);
  for (int k = 0; k < 1000; ++k)
    EXPECT_EQ(kinds.kindOf(std::vector<float>{static_cast<float>(k), 0.5f}), 8 + k);
  for (const auto& row : rows) EXPECT_EQ(kinds.kindOf(row.list), row.kind);
  EXPECT_EQ(kinds.kindOf(std::vector<float>{999.0f, 0.5f}), 1007);
  // The fusion reads every region's descriptors back through its kind.
  const auto bitsOf = [](std::span<const float> list) {
    std::vector<std::uint32_t> bits;
    for (float value : list) bits.push_back(std::bit_cast<std::uint32_t>(value));
    return bits;
  };
  for (const auto& row : rows) EXPECT_EQ(bitsOf(kinds.descriptorsOf(row.kind)), bitsOf(row.list));
}

}  // namespace
}  // namespace quarvel::testing
