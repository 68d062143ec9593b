#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "model/segmenter.h"
#include "support/bitmap_variants.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace quarvel {
namespace {

using test::TempFolder;
using test::ToneGrid;

std::vector<Point> clusterPixels(const Segmenter& segmenter, double key) {
  const Cluster cluster = segmenter.clusterAt(key);
  return {cluster.pixelsBegin(), cluster.pixelsEnd()};
}

TEST(ImageLoading, TwoByTwoImageGivesFourPixelsAndOneClusterPerTone) {
  TempFolder folder;
  ASSERT_TRUE(test::writeClassImage(folder.file("a.bmp"), {{10, 20}, {10, 10}}));
  Segmenter segmenter;
  ASSERT_TRUE(segmenter.openImage(folder.file("a.bmp")));

  EXPECT_EQ(segmenter.width(), 2);
  EXPECT_EQ(segmenter.height(), 2);
  EXPECT_EQ(segmenter.fileSize(), 70.0);
  EXPECT_EQ(segmenter.pixelCount(), 4.0);
  EXPECT_EQ(segmenter.pixelTable().size(), 4u);
  ASSERT_EQ(segmenter.clusterTable().size(), 2u);
  EXPECT_EQ(clusterPixels(segmenter, 10.0), (std::vector<Point>{{0, 0}, {0, 1}, {1, 1}}));
  EXPECT_EQ(clusterPixels(segmenter, 20.0), (std::vector<Point>{{1, 0}}));
  EXPECT_EQ(segmenter.clusterAt(20.0).number(), 20.0);
  const PixelRecord record = segmenter.pixelRecordAt(1.0, 0.0);
  ASSERT_NE(record.tone(), nullptr);
  EXPECT_EQ(record.tone()->value(), 20.0);
  EXPECT_EQ(record.regionNumber(), nullptr);
}

TEST(ImageLoading, OnlyTheFirstStoredByteOfAPixelDecidesItsTone) {
  TempFolder folder;
  std::vector<std::uint8_t> bytes = test::classImageBytes({{4, 4}});
  bytes[55] = 1, bytes[56] = 2;  // first pixel: 4, 1, 2; second pixel: 4, 4, 4
  ASSERT_TRUE(test::writeBytes(folder.file("c.bmp"), bytes));
  Segmenter segmenter;
  ASSERT_TRUE(segmenter.openImage(folder.file("c.bmp")));
  ASSERT_EQ(segmenter.clusterTable().size(), 1u);
  EXPECT_EQ(segmenter.clusterAt(4.0).pixelCount(), 2u);
}

TEST(ImageLoading, NameFollowsTheLastAttemptAndAReloadReplacesEveryTable) {
  TempFolder folder;
  ASSERT_TRUE(test::writeClassImage(folder.file("big.bmp"), {{1, 2, 3}, {4, 5, 6}}));
  ASSERT_TRUE(test::writeClassImage(folder.file("small.bmp"), {{9}}));
  Segmenter segmenter;
  EXPECT_EQ(segmenter.name(), nullptr);
  ASSERT_TRUE(segmenter.openImage(folder.file("big.bmp")));
  segmenter.insertRegion(1.0, Region(1.0));

  EXPECT_FALSE(segmenter.openImage(folder.file("absent.bmp")));
  EXPECT_EQ(std::string(segmenter.name()), folder.file("absent.bmp"));
  EXPECT_EQ(segmenter.pixelCount(), 6.0);

  std::istringstream typed("  " + folder.file("small.bmp") + " rest");
  ASSERT_TRUE(segmenter.openImage(typed));
  EXPECT_EQ(std::string(segmenter.name()), folder.file("small.bmp"));
  EXPECT_EQ(segmenter.pixelCount(), 1.0);
  EXPECT_EQ(segmenter.pixelTable().size(), 1u);
  EXPECT_EQ(segmenter.clusterTable().size(), 1u);
  EXPECT_TRUE(segmenter.regionTable().empty());
}

// Any variant: the size is the picture's, the file size the header's field as
// read (here made different from the file's length), the tones the blues of
// the colours shown.
TEST(ImageLoading, AVariantGivesThePictureAndTheFileSizeFieldAsRead) {
  TempFolder folder;
  std::vector<std::uint8_t> bytes = test::variantBytes(
      test::kFourTonePicture,
      {.name = "v5", .headerSize = 124, .bitsPerPixel = 8, .topDown = true, .coloursUsed = 4});
  bytes[2] = 0x39, bytes[3] = 0x30, bytes[4] = 0, bytes[5] = 0;  // 12345
  ASSERT_TRUE(test::writeBytes(folder.file("v.bmp"), bytes));
  Segmenter segmenter;
  ImageFailure failure;
  ASSERT_TRUE(segmenter.openImage(folder.file("v.bmp"), failure)) << failure.detail;
  EXPECT_EQ(segmenter.width(), 7);
  EXPECT_EQ(segmenter.height(), 6);
  EXPECT_EQ(segmenter.fileSize(), 12345.0);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 7; ++x)
      EXPECT_EQ(segmenter.pixelRecordAt(x, y).tone()->value(), test::kFourTonePicture[y][x]);
  }
  EXPECT_EQ(segmenter.clusterTable().size(), 4u);
}

// The loader one pixel at a time, straight from its definition: stored rows in
// file order, addPixel for each, then the pixel added to its tone's cluster.
void loadPixelByPixel(const ToneGrid& tones, Segmenter& segmenter) {
  const int height = static_cast<int>(tones.size());
  PixelRecord record;
  for (int i = 0; i < height; ++i) {
    for (std::size_t j = 0; j < tones[0].size(); ++j) {
      const double x = static_cast<double>(j);
      const double y = (height - 1.0) - i;
      const double v = tones[static_cast<std::size_t>(y)][j];
      record.setTone(v);
      segmenter.addPixel(x, y, record);
      if (segmenter.findCluster(v) == segmenter.clusterTable().end()) {
        Cluster cluster(v);
        cluster.addPixel(x, y);
        segmenter.insertCluster(v, cluster);
      } else {
        segmenter.findCluster(v)->second.addPixel(x, y);
      }
    }
  }
}

TEST(ImageLoading, GivesTheSameTablesAsAddingOnePixelAtATime) {
  std::mt19937 random(7);
  ToneGrid tones(9, std::vector<int>(13));
  for (auto& row : tones) {
    for (int& tone : row) tone = static_cast<int>(random() % 4) * 60;
  }
  TempFolder folder;
  ASSERT_TRUE(test::writeClassImage(folder.file("r.bmp"), tones));
  Segmenter loaded;
  ASSERT_TRUE(loaded.openImage(folder.file("r.bmp")));
  Segmenter literal;
  loadPixelByPixel(tones, literal);

  EXPECT_EQ(loaded.pixelCount(), literal.pixelCount());
  ASSERT_EQ(loaded.pixelTable().size(), literal.pixelTable().size());
  for (auto a = loaded.pixelTable().begin(), b = literal.pixelTable().begin(); a != loaded.pixelTable().end();
       ++a, ++b) {
    ASSERT_EQ(a.point(), b.point());
    EXPECT_EQ((*a).record.tone()->value(), (*b).record.tone()->value());
  }
  ASSERT_EQ(loaded.clusterTable().size(), literal.clusterTable().size());
  for (const auto& [key, cluster] : literal.clusterTable())
    EXPECT_EQ(clusterPixels(loaded, key), cluster.pixels().points());

  // The loaded clusters draw their pixels when first asked: counted before,
  // and a copy changed first leaves the stored one as loaded.
  for (const auto& [key, cluster] : literal.clusterTable()) {
    Cluster& stored = loaded.findCluster(key)->second;
    EXPECT_EQ(stored.pixelCount(), cluster.pixelCount());
    Cluster copy = stored;
    copy.addPixel(13.0, 0.0);
    EXPECT_EQ(copy.removePixel(*cluster.pixelsBegin()), 1u);
    EXPECT_EQ(stored.pixels().points(), cluster.pixels().points());
    EXPECT_EQ(copy.pixelCount(), cluster.pixelCount());
    EXPECT_TRUE(copy.containsPixel(13.0, 0.0));
  }
}

}  // namespace
}  // namespace quarvel
