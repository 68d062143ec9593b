#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/segmenter.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace quarvel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Rgb = std::array<int, 3>;
using Grid = std::vector<std::vector<int>>;

// Entries drawn from the generator started at 1, three draws an entry, each
// draw d giving (int)(d / 32767.0 * 255.0): the draws 41, 18467, 6334 make
// entry 0, then 26500, 19169, 15724 entry 1, and so on.
const Rgb kDrawn[] = {{0, 143, 49},   {206, 149, 122}, {89, 228, 209}, {190, 44, 219},
                      {181, 130, 77}, {3, 23, 92},     {37, 42, 252},  {113, 30, 1},
                      {2, 96, 135},   {145, 153, 154}, {42, 169, 114}, {89, 14, 154}};

// Loads the grid of tones as the image and gives every pixel the region number
// of the same place in regions.
void loadLabelled(Segmenter& segmenter, const Grid& tones, const Grid& regions) {
  ASSERT_TRUE(test::writeClassImage("in.bmp", tones));
  ASSERT_TRUE(segmenter.openImage(std::string("in.bmp")));
  for (std::size_t y = 0; y < regions.size(); ++y) {
    for (std::size_t x = 0; x < regions[y].size(); ++x) {
      segmenter.pixelTable().setRegionNumber(Point(static_cast<double>(x), static_cast<double>(y)),
                                             regions[y][x]);
    }
  }
}

struct PaintCase {
  const char* label;
  Grid regions;  // picture rows from the top; the image's tones are the same numbers
  int call;      // which picture of the run is checked
  Grid entries;  // the index into kDrawn that paints each pixel
};

class ResultBitmapTest : public testing::TestWithParam<PaintCase> {};

TEST_P(ResultBitmapTest, KeepsTheHeaderAndPaintsEachRegionWithItsEntry) {
  const PaintCase& c = GetParam();
  test::TempFolder folder;
  test::WorkingFolder inside(folder.path());
  Segmenter segmenter;
  loadLabelled(segmenter, c.regions, c.regions);
  for (int call = 1; call <= c.call; ++call) EXPECT_TRUE(segmenter.writeResultBitmap("out.bmp", ""));

  // The input's header, then the rows bottom row first, each pixel the blue,
  // green and red of its entry, each row padded with zeros.
  const Bytes input = test::readBytes("in.bmp");
  Bytes expected(input.begin(), input.begin() + 54);
  for (auto row = c.entries.rbegin(); row != c.entries.rend(); ++row) {
    for (int k : *row)
      expected.insert(expected.end(),
                      {std::uint8_t(kDrawn[k][2]), std::uint8_t(kDrawn[k][1]), std::uint8_t(kDrawn[k][0])});
    expected.insert(expected.end(), row->size() % 4, 0);
  }
  EXPECT_EQ(test::readBytes("out.bmp"), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, ResultBitmapTest,
    testing::Values(
        // Six pixels, six entries a picture; width 3 pads each row with 3 bytes.
        PaintCase{"first_picture", {{1, 1, 2}, {3, 3, 2}}, 1, {{1, 1, 2}, {3, 3, 2}}},
        // The second picture of a run continues the draws: its entries are kDrawn[6..11].
        PaintCase{"second_picture", {{1, 1, 2}, {3, 3, 2}}, 2, {{7, 7, 8}, {9, 9, 8}}},
        // The same when the first picture reads only two of its six entries.
        PaintCase{"second_picture_after_one_region", {{1, 1, 1}, {1, 1, 1}}, 2, {{7, 7, 7}, {7, 7, 7}}},
        // Every pixel a region: region 4 equals the palette size and takes entry 0.
        PaintCase{"region_per_pixel", {{1, 2}, {3, 4}}, 1, {{1, 2}, {3, 0}}},
        PaintCase{"no_padding", {{1, 1, 2, 2}}, 1, {{1, 1, 2, 2}}}),
    [](const testing::TestParamInfo<PaintCase>& info) { return std::string(info.param.label); });

TEST(ResultBitmapRunsTest, TwoRunsWriteTheSameBytes) {
  test::TempFolder folder;
  test::WorkingFolder inside(folder.path());
  std::vector<Bytes> runs;
  for (int run = 0; run < 2; ++run) {
    Segmenter segmenter;
    loadLabelled(segmenter, {{1, 2, 2, 7, 7}, {4, 4, 4, 4, 9}}, {{1, 2, 2, 3, 3}, {5, 5, 5, 5, 4}});
    segmenter.writeResultBitmap("origine.bmp", "");
    runs.push_back(test::readBytes("origine.bmp"));
  }
  ASSERT_EQ(runs[0].size(), 54u + 2u * 16u);
  EXPECT_EQ(runs[0], runs[1]);
}

class ChangedImageTest : public testing::TestWithParam<Grid> {};

// An empty grid stands for a removed image. The picture cannot be made, and
// the writer says so.
TEST_P(ChangedImageTest, WritesNothingWhenTheImageNoLongerMatches) {
  test::TempFolder folder;
  test::WorkingFolder inside(folder.path());
  Segmenter segmenter;
  loadLabelled(segmenter, {{1, 2}, {3, 4}}, {{1, 2}, {3, 4}});
  if (GetParam().empty()) {
    std::filesystem::remove("in.bmp");
  } else {
    ASSERT_TRUE(test::writeClassImage("in.bmp", GetParam()));
  }
  OutputNotes notes;
  EXPECT_FALSE(segmenter.writeResultBitmap("origine.bmp", "", notes));
  EXPECT_FALSE(std::filesystem::exists("origine.bmp"));
  ASSERT_EQ(notes.all().size(), 1u);
  EXPECT_EQ(notes.all()[0].kind, OutputNote::Kind::SourceUnreadable);
  EXPECT_EQ(notes.all()[0].path, "origine.bmp");
  EXPECT_EQ(notes.all()[0].source, "in.bmp");
  // A removed image is told with the system's reason; a changed one without.
  EXPECT_EQ(notes.all()[0].error, GetParam().empty() ? ENOENT : 0);
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(".")) left.push_back(entry.path().filename());
  EXPECT_EQ(left, GetParam().empty() ? std::vector<std::string>{} : std::vector<std::string>{"in.bmp"});
}

INSTANTIATE_TEST_SUITE_P(Changes, ChangedImageTest,
                         testing::Values(Grid{}, Grid{{1, 2, 3}, {3, 4, 5}}, Grid{{1, 2}, {3, 4}, {5, 6}}));

}  // namespace
}  // namespace quarvel
