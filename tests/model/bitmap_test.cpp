#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/allocator_setup.h"
#include "model/bitmap.h"
#include "support/bitmap_variants.h"
#include "support/sanitizers.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace quarvel {
namespace {

using test::TempFolder;
using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

struct PaddingCase {
  int width;
  int padding;
};

class BitmapPadding : public testing::TestWithParam<PaddingCase> {};

TEST_P(BitmapPadding, RowsArePaddedByWidthModFourAndWrittenBackUnchanged) {
  const PaddingCase c = GetParam();
  TempFolder folder;
  test::ToneGrid tones(2, std::vector<int>(c.width));
  for (int x = 0; x < c.width; ++x) tones[0][x] = 10 + x, tones[1][x] = 100 + x;
  ASSERT_TRUE(test::writeClassImage(folder.file("in.bmp"), tones));

  BitmapImage image;
  ASSERT_TRUE(readBitmap(folder.file("in.bmp"), image));
  EXPECT_EQ(image.padding, c.padding);
  ASSERT_TRUE(writeBitmap(folder.file("out.bmp"), image));
  const Bytes written = test::readBytes(folder.file("out.bmp"));
  EXPECT_EQ(written.size(), 54u + 2u * (3u * c.width + c.padding));
  EXPECT_EQ(written, test::readBytes(folder.file("in.bmp")));
}

INSTANTIATE_TEST_SUITE_P(Widths, BitmapPadding,
                         testing::Values(PaddingCase{1, 1}, PaddingCase{2, 2}, PaddingCase{3, 3},
                                         PaddingCase{4, 0}, PaddingCase{5, 1}));

TEST(Bitmap, HeaderKeptAsReadPixelBytesReversedWithGreyMeanAndPaddingZeroed) {
  TempFolder folder;
  Bytes bytes = test::classImageBytes({{0, 0}});
  // Only the fields that make it a plain 24-bit file, and the size, are examined.
  for (std::size_t i : {2,  3,  4,  5,  6,  7,  8,  9,  34, 35, 36, 37, 38, 39,
                        40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53})
    bytes[i] = static_cast<std::uint8_t>(200 - i);
  const Bytes pixels = {30, 60, 90, 1, 2, 250, 7, 9};  // two pixels, then two padding bytes
  std::copy(pixels.begin(), pixels.end(), bytes.begin() + 54);
  ASSERT_TRUE(test::writeBytes(folder.file("in.bmp"), bytes));

  BitmapImage image;
  ASSERT_TRUE(readBitmap(folder.file("in.bmp"), image));
  EXPECT_EQ(Bytes(image.pixel(0, 0), image.pixel(0, 0) + 8), (Bytes{90, 60, 30, 60, 250, 2, 1, 84}));
  ASSERT_TRUE(writeBitmap(folder.file("out.bmp"), image));
  Bytes expected = bytes;
  expected[60] = expected[61] = 0;
  EXPECT_EQ(test::readBytes(folder.file("out.bmp")), expected);
}

TEST(Bitmap, NegativeHeightStoresTopRowFirstAndIsWrittenBackAsRead) {
  TempFolder folder;
  Bytes bytes = test::classImageBytes({{1, 2}, {3, 4}});  // stored: 3 4, then 1 2
  put32(bytes, 22, static_cast<std::uint32_t>(-2));
  ASSERT_TRUE(test::writeBytes(folder.file("in.bmp"), bytes));

  BitmapImage image;
  ASSERT_TRUE(readBitmap(folder.file("in.bmp"), image));
  EXPECT_EQ(image.height, -2);
  EXPECT_EQ(image.rowCount(), 2);
  EXPECT_EQ(image.pixel(image.storedRowOfPictureRow(0), 1)[2], 4);
  EXPECT_EQ(image.pixel(image.storedRowOfPictureRow(1), 0)[2], 1);
  ASSERT_TRUE(writeBitmap(folder.file("out.bmp"), image));
  EXPECT_EQ(test::readBytes(folder.file("out.bmp")), bytes);
}

struct DamagedCase {
  const char* what;
  int width;
  std::int32_t height;
  long sizeChange;  // bytes added to (or cut from) a complete file
  bool readable;
  ImageRefusal refusal;
};

class DamagedBitmap : public testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedBitmap, IsReadOnlyWhenItHoldsEveryDeclaredRow) {
  const DamagedCase c = GetParam();
  TempFolder folder;
  Bytes bytes = test::classImageBytes(test::ToneGrid(2, std::vector<int>(3, 5)));  // 3 x 2, padding 3
  bytes.resize(static_cast<std::size_t>(static_cast<long>(bytes.size()) + c.sizeChange));
  put32(bytes, 18, static_cast<std::uint32_t>(c.width));
  put32(bytes, 22, static_cast<std::uint32_t>(c.height));
  ASSERT_TRUE(test::writeBytes(folder.file("in.bmp"), bytes));
  BitmapImage image;
  ImageFailure failure;
  EXPECT_EQ(readBitmap(folder.file("in.bmp"), image, failure), c.readable) << c.what;
  EXPECT_EQ(failure.refusal, c.refusal) << c.what << ": " << failure.detail;
  // Reading the shape alone goes over the pixel bytes without holding them,
  // and must count them the same.
  BitmapImage shape;
  ImageFailure shapeFailure;
  EXPECT_EQ(readBitmapShape(folder.file("in.bmp"), shape, shapeFailure), c.readable) << c.what;
  EXPECT_EQ(shapeFailure.refusal, c.refusal) << c.what;
  EXPECT_EQ(shapeFailure.detail, failure.detail) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedBitmap,
    testing::Values(
        DamagedCase{"complete", 3, 2, 0, true, ImageRefusal::None},
        DamagedCase{"last row's padding missing", 3, 2, -3, true, ImageRefusal::None},
        DamagedCase{"one pixel byte short", 3, 2, -4, false, ImageRefusal::CutShort},
        DamagedCase{"header only", 1, 1, -24, false, ImageRefusal::CutShort},
        DamagedCase{"header cut", 3, 2, -25, false, ImageRefusal::CutShort},
        DamagedCase{"width 0", 0, 2, 0, false, ImageRefusal::ImpossibleSize},
        DamagedCase{"negative width", -3, 2, 0, false, ImageRefusal::ImpossibleSize},
        DamagedCase{"height 0", 3, 0, 0, false, ImageRefusal::ImpossibleSize},
        DamagedCase{"more than 2^31-1 pixels", 65536, 65536, 0, false, ImageRefusal::ImpossibleSize},
        DamagedCase{"huge size in a tiny file", 46340, -46340, 0, false, ImageRefusal::CutShort},
        DamagedCase{"most negative height", 3, INT32_MIN, 0, false, ImageRefusal::ImpossibleSize}));

// A channel of 8 bits stored in n bits and read back: v = round(c x (2^n - 1)
// / 255) is stored, round(v x 255 / (2^n - 1)) is read.
int throughBits(int channel, int bits) {
  if (bits >= 8) return channel;
  const double full = std::ldexp(1.0, bits) - 1.0;
  const double stored = std::round(channel * full / 255.0);
  return static_cast<int>(std::round(stored * 255.0 / full));
}

class BitmapVariantDecoding : public testing::TestWithParam<test::BitmapVariant> {};

// Every pixel holds the colour of its tone as the variant stores it, the rows
// are held bottom row first, and the image is written back as a plain 24-bit
// file with a consistent header that reads back the same.
TEST_P(BitmapVariantDecoding, HoldsThePictureAndIsWrittenBackAsAPlainFile) {
  const test::BitmapVariant& variant = GetParam();
  const test::ToneGrid& picture = variant.bitsPerPixel == 1 ? test::kTwoTonePicture : test::kFourTonePicture;
  const int width = static_cast<int>(picture[0].size());
  const int height = static_cast<int>(picture.size());
  TempFolder folder;
  ASSERT_TRUE(test::writeBytes(folder.file("in.bmp"), test::variantBytes(picture, variant)));

  BitmapImage image;
  ImageFailure failure;
  ASSERT_TRUE(readBitmap(folder.file("in.bmp"), image, failure)) << failure.detail;
  ASSERT_EQ(image.width, width);
  ASSERT_EQ(image.height, height);
  std::array<int, 3> bits = {8, 8, 8};
  if (variant.bitsPerPixel == 16 && variant.compression == 0) bits = {5, 5, 5};
  if (variant.compression == 3 || variant.compression == 6) {
    for (int k = 0; k < 3; ++k) bits[k] = std::popcount(variant.masks[k]);
  }
  for (int r = 0; r < height; ++r) {
    for (int c = 0; c < width; ++c) {
      const auto [red, green, blue] = test::colourOfTone(picture[r][c]);
      const int expectedRed = throughBits(red, bits[0]);
      const int expectedGreen = throughBits(green, bits[1]);
      const int expectedBlue = throughBits(blue, bits[2]);
      const std::uint8_t* held = image.pixel(height - 1 - r, c);
      ASSERT_EQ(Bytes(held, held + 4),
                (Bytes{std::uint8_t(expectedRed), std::uint8_t(expectedGreen), std::uint8_t(expectedBlue),
                       std::uint8_t((expectedRed + expectedGreen + expectedBlue) / 3)}))
          << "row " << r << ", column " << c;
      ASSERT_EQ(held[2], picture[r][c]);
    }
  }

  ASSERT_TRUE(writeBitmap(folder.file("out.bmp"), image));
  const Bytes written = test::readBytes(folder.file("out.bmp"));
  Bytes header = test::classImageBytes(picture);
  header.resize(54);
  if (variant.headerSize != 12) {
    put32(header, 38, static_cast<std::uint32_t>(variant.resolution));
    put32(header, 42, static_cast<std::uint32_t>(variant.resolution));
  }
  ASSERT_EQ(written.size(), test::classImageBytes(picture).size());
  EXPECT_EQ(Bytes(written.begin(), written.begin() + 54), header);
  BitmapImage again;
  ASSERT_TRUE(readBitmap(folder.file("out.bmp"), again));
  EXPECT_EQ(again.pixels, image.pixels);

  // The shape alone, and the same file written from rows handed over one at
  // a time.
  BitmapImage shape;
  ASSERT_TRUE(readBitmapShape(folder.file("in.bmp"), shape, failure)) << failure.detail;
  EXPECT_TRUE(shape.pixels.empty());
  std::ostringstream fromRows;
  int nextRow = 0;
  ASSERT_TRUE(writeBitmapRows(fromRows, shape, [&](int stored) {
    EXPECT_EQ(stored, nextRow++);
    return static_cast<const std::uint8_t*>(image.pixel(stored, 0));
  }));
  EXPECT_EQ(nextRow, height);
  const std::string rowBytes = fromRows.str();
  EXPECT_EQ(Bytes(rowBytes.begin(), rowBytes.end()), written);
}

INSTANTIATE_TEST_SUITE_P(Variants, BitmapVariantDecoding, testing::ValuesIn(test::everyVariant()),
                         [](const testing::TestParamInfo<test::BitmapVariant>& info) {
                           return std::string(info.param.name);
                         });

TEST(Bitmap, MissingFileAndUnwritablePathAnswerFalse) {
  TempFolder folder;
  BitmapImage image;
  ImageFailure failure;
  EXPECT_FALSE(readBitmap(folder.file("absent.bmp"), image, failure));
  EXPECT_EQ(failure.refusal, ImageRefusal::CannotOpen);
  EXPECT_EQ(failure.detail, "No such file or directory");
  EXPECT_FALSE(readBitmap(folder.path(), image, failure));
  EXPECT_EQ(failure.refusal, ImageRefusal::CannotOpen);
  EXPECT_EQ(failure.detail, "Is a directory");
  EXPECT_FALSE(writeBitmap(folder.file("no/such/folder.bmp"), image));
}

long long residentBytes() {
  std::ifstream statm("/proc/self/statm");
  long long size = 0;
  long long resident = 0;
  statm >> size >> resident;
  return resident * 4096;
}

// Once the fusion is done, the memory it freed goes back to the system before
// the report and the result bitmap are written, so that the files' cache can
// take those pages. Freed blocks below a block still in use would otherwise
// stay with the allocator.
TEST(Bitmap, MemoryFreedBeforeWritingGoesBackToTheSystem) {
  if (test::kAddressSanitizer) GTEST_SKIP() << "the address sanitizer brings its own allocator";
  if (residentBytes() == 0) GTEST_SKIP() << "no /proc/self/statm";
  constexpr std::size_t kBlock = 64 * 1024;
  constexpr std::size_t kBlocks = 1600;  // 100 MB
  std::vector<std::unique_ptr<char[]>> blocks;
  for (std::size_t k = 0; k < kBlocks; ++k) {
    blocks.emplace_back(new char[kBlock]);
    std::memset(blocks.back().get(), 1, kBlock);
  }
  const auto above = std::make_unique<char[]>(kBlock);
  blocks.clear();
  const long long held = residentBytes();
  releaseFreeMemory();
  EXPECT_GT(held - residentBytes(), 50ll << 20);
}

}  // namespace
}  // namespace quarvel
