#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "analysis_setup.h"
#include "segmentation/grid_positions.h"
#include "segmentation/trace_lists.h"

namespace quarvel::testing {
namespace {

struct ContourCase {
  const char* name;
  int width;
  int height;
  std::vector<double> tones;  // raster order
  double region;
  std::vector<std::pair<double, double>> contour;  // expected, raster order
  // Run between labelling and contour detection.
  std::function<void(Segmenter&)> alter = nullptr;
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
  if (c.alter) c.alter(segmenter);
  segmenter.detectContours();
  std::vector<std::pair<double, double>> got;
  const auto region = segmenter.findRegion(c.region);
  ASSERT_NE(region, segmenter.regionTable().end());
  for (const Point& p : region->second.contour()) got.emplace_back(p.x(), p.y());
  EXPECT_EQ(c.contour, got);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TracedContour,
    ::testing::Values(
        ContourCase{"SinglePixel", 1, 1, {3}, 1.0, {{0, 0}}},
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
        ContourCase{"UpsideDownT", 3, 2, {2, 1, 2, 1, 1, 1}, 2.0, {{1, 0}, {0, 1}, {1, 1}, {2, 1}}},
        // The last pixel still carries region 1's number but has
        // left its pixel set: the contour is the set's, three
        // pixels, not the four the numbers show.
        ContourCase{"PixelLeftItsRegion",
                    4,
                    1,
                    {2, 2, 2, 2},
                    1.0,
                    {{0, 0}, {1, 0}, {2, 0}},
                    [](Segmenter& s) { s.findRegion(1.0)->second.pixels().erase(Point(3, 0)); }},
        // The middle pixel still carries region 2's number but has moved to
        // region 1's pixel set: region 2 is its last pixel alone.
        ContourCase{"PixelMovedToAnotherRegion",
                    3,
                    1,
                    {1, 2, 2},
                    2.0,
                    {{2, 0}},
                    [](Segmenter& s) {
                      s.findRegion(2.0)->second.pixels().erase(Point(1, 0));
                      s.findRegion(1.0)->second.pixels().insert(Point(1, 0));
                    }},
        // Region 2 is first in the table once region 1 is gone,
        // while its pixels still carry the number 2.
        ContourCase{"EarlierRegionTakenOut",
                    3,
                    1,
                    {1, 2, 2},
                    2.0,
                    {{1, 0}, {2, 0}},
                    [](Segmenter& s) { s.regionTable().erase(1.0); }},
        // Region 2 is given a pixel one column past the right edge, which as
        // an index would be the next row's first cell, left without a region:
        // every region is traced on its own pixel set.
        ContourCase{"PixelPastTheRightEdge",
                    2,
                    2,
                    {1, 2, 1, 1},
                    2.0,
                    {{1, 0}, {2, 0}},
                    [](Segmenter& s) {
                      s.findRegion(1.0)->second.pixels().erase(Point(0, 1));
                      s.findRegion(2.0)->second.pixels().insert(Point(2, 0));
                    }}),
    [](const ::testing::TestParamInfo<ContourCase>& info) { return info.param.name; });

// A kept trace put together again from runs of its own steps and new steps,
// as the fusion does when it turns a long trace to start elsewhere. Pieces:
// {from, to} is the run of the trace's steps from .. to (indices into the
// eight steps of the trace), {-1, step} a new step.
struct ReassembleCase {
  const char* name;
  std::vector<std::pair<int, int>> pieces;
  bool accepted;
  std::vector<int> steps;  // the trace afterwards, as steps
};

class TraceReassembly : public ::testing::TestWithParam<ReassembleCase> {};

TEST_P(TraceReassembly, KeepsRunsInTheirOrderAndFreesTheRest) {
  const ReassembleCase& c = GetParam();
  TraceLists traces;
  traces.start(64, 0);
  std::vector<std::uint32_t> original;
  for (std::uint32_t k = 0; k < 8; ++k) original.push_back((k + 1) << 3);
  const std::int32_t first = traces.make(original);
  std::vector<std::int32_t> node;
  for (std::int32_t n = first; n != TraceLists::kNoNode; n = traces.next(n)) node.push_back(n);
  std::vector<TraceLists::Piece> pieces;
  for (const auto& [from, to] : c.pieces) {
    if (from < 0) {
      pieces.push_back({TraceLists::kNoNode, TraceLists::kNoNode, static_cast<std::uint32_t>(to)});
    } else {
      pieces.push_back({node[static_cast<std::size_t>(from)], node[static_cast<std::size_t>(to)], 0});
    }
  }
  std::vector<int> removed;
  std::vector<int> added;
  const std::int32_t head = traces.reassemble(
      first, pieces, [&removed](std::uint32_t step) { removed.push_back(static_cast<int>(step)); },
      [&added](std::uint32_t step) { added.push_back(static_cast<int>(step)); });
  ASSERT_EQ(c.accepted, head != TraceLists::kNoNode);
  const std::int32_t start = c.accepted ? head : first;
  std::vector<int> steps;
  for (std::int32_t n = start; n != TraceLists::kNoNode; n = traces.next(n)) {
    steps.push_back(static_cast<int>(traces.step(n)));
    const std::int32_t following = traces.next(n);
    if (following != TraceLists::kNoNode) {
      EXPECT_LT(traces.position(start, n), traces.position(start, following))
          << "after step " << steps.back();
    }
  }
  EXPECT_EQ(c.steps, steps);
  EXPECT_EQ(traces.last(start), traces.find(static_cast<std::size_t>(steps.back()) >> 3,
                                            static_cast<std::uint32_t>(steps.back())));
  // Every step the trace no longer holds was freed, every new one added, and
  // each pixel's chain holds the trace's steps there.
  std::vector<int> kept(steps);
  std::vector<int> before;
  for (std::uint32_t step : original) before.push_back(static_cast<int>(step));
  for (int step : removed) EXPECT_EQ(std::count(kept.begin(), kept.end(), step), 0) << step;
  EXPECT_EQ(before.size() - removed.size() + added.size(), steps.size());
  for (int step : steps) {
    EXPECT_NE(traces.find(static_cast<std::size_t>(step) >> 3, static_cast<std::uint32_t>(step)),
              TraceLists::kNoNode)
        << step;
  }
  for (int step : removed) {
    EXPECT_EQ(traces.firstAt(static_cast<std::size_t>(step) >> 3), TraceLists::kNoNode) << step;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TraceReassembly,
    ::testing::Values(
        // Turned to start at a new step, with two runs around the end and two
        // steps of the old trace left out.
        ReassembleCase{"TurnedWithNewSteps",
                       {{-1, 400}, {5, 7}, {-1, 408}, {0, 2}, {-1, 416}},
                       true,
                       {400, 48, 56, 64, 408, 8, 16, 24, 416}},
        // The old trace as it was, only turned: nothing freed.
        ReassembleCase{"TurnedWhole", {{3, 7}, {0, 2}}, true, {32, 40, 48, 56, 64, 8, 16, 24}},
        // No run kept: every old step is freed.
        ReassembleCase{"AllNew", {{-1, 400}, {-1, 408}}, true, {400, 408}},
        // One step kept between new ones: the gap runs all the way round.
        ReassembleCase{"OneStepKept", {{-1, 400}, {4, 4}, {-1, 408}}, true, {400, 40, 408}},
        // Runs that do not follow one another around the trace: refused, and
        // the trace is left as it was.
        ReassembleCase{"RunsOutOfOrder", {{0, 1}, {4, 5}, {2, 3}}, false, {8, 16, 24, 32, 40, 48, 56, 64}},
        ReassembleCase{
            "RunsOverlapping", {{-1, 400}, {0, 3}, {2, 5}}, false, {8, 16, 24, 32, 40, 48, 56, 64}}),
    [](const ::testing::TestParamInfo<ReassembleCase>& info) { return info.param.name; });

// The tracer and the fusion split pixel indices by multiplying with the
// width's reciprocal; every split must be the division's, up to the last index
// of the largest grids it is used on, and beyond them where it divides.
struct GridSplitCase {
  const char* name;
  int width;
  std::uint64_t pixels;  // width x height
};

class GridSplit : public ::testing::TestWithParam<GridSplitCase> {};

TEST_P(GridSplit, IsTheDivisionByTheWidth) {
  const GridSplitCase& c = GetParam();
  const auto w = static_cast<std::uint64_t>(c.width);
  const GridPositions grid(c.width, static_cast<int>(c.pixels / w));
  std::vector<std::uint64_t> indices;
  const std::uint64_t last = (c.pixels / w) * w - 1;
  for (std::uint64_t k = 0; k < 4; ++k) {
    for (const std::uint64_t row : {k, (c.pixels / w) / 2 + k, c.pixels / w - 1 - k}) {
      for (const std::uint64_t column : {std::uint64_t{0}, std::uint64_t{1}, w / 2, w - 2, w - 1}) {
        if (column < w) indices.push_back(row * w + column);
      }
    }
  }
  // Spread over the whole range, including indices with many low bits set.
  for (std::uint64_t i = last; i > 0; i = i / 3 * 2) indices.push_back(i);
  indices.push_back(last);
  for (const std::uint64_t index : indices) {
    if (index > last) continue;
    const std::size_t row = grid.row(index);
    EXPECT_EQ(row, index / w) << index;
    EXPECT_EQ(grid.column(index, row), index % w) << index;
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, GridSplit,
                         ::testing::Values(GridSplitCase{"OnePixelWide", 1, 1000},
                                           GridSplitCase{"TwoWide", 2, 1u << 31},
                                           GridSplitCase{"ThreeWide", 3, 4294967295u},
                                           GridSplitCase{"Seven", 7, 4294967291u},
                                           GridSplitCase{"Photo", 4096, std::uint64_t{1} << 32},
                                           GridSplitCase{"PowerOfTwoMinusOne", 65535, 65535ull * 65537},
                                           GridSplitCase{"OddLarge", 99991, 99991ull * 42953},
                                           GridSplitCase{"AboveTheMultiplication", 70000, 70000ull * 70000},
                                           GridSplitCase{"WidestRow", 2147483647, 2147483647ull * 2}),
                         [](const ::testing::TestParamInfo<GridSplitCase>& info) { return info.param.name; });

}  // namespace
}  // namespace quarvel::testing
