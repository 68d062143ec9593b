#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "model/bitmap.h"
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
  for (std::size_t i = 0; i < 54; ++i) bytes[i] = static_cast<std::uint8_t>(200 - i);  // no field examined
  put32(bytes, 18, 2);
  put32(bytes, 22, 1);
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
  EXPECT_EQ(readBitmap(folder.file("in.bmp"), image), c.readable) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedBitmap,
                         testing::Values(DamagedCase{"complete", 3, 2, 0, true},
                                         DamagedCase{"last row's padding missing", 3, 2, -3, true},
                                         DamagedCase{"one pixel byte short", 3, 2, -4, false},
                                         DamagedCase{"header only", 1, 1, -24, false},
                                         DamagedCase{"header cut", 3, 2, -25, false},
                                         DamagedCase{"width 0", 0, 2, 0, false},
                                         DamagedCase{"negative width", -3, 2, 0, false},
                                         DamagedCase{"height 0", 3, 0, 0, false},
                                         DamagedCase{"more than 2^31-1 pixels", 65536, 65536, 0, false},
                                         DamagedCase{"huge size in a tiny file", 46340, -46340, 0, false},
                                         DamagedCase{"most negative height", 3, INT32_MIN, 0, false}));

TEST(Bitmap, MissingFileAndUnwritablePathAnswerFalse) {
  TempFolder folder;
  BitmapImage image;
  EXPECT_FALSE(readBitmap(folder.file("absent.bmp"), image));
  EXPECT_FALSE(readBitmap(folder.path(), image));
  EXPECT_FALSE(writeBitmap(folder.file("no/such/folder.bmp"), image));
}

}  // namespace
}  // namespace quarvel
