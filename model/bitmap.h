#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace quarvel {

// A bitmap in memory: the 54-byte header as read, then the pixel rows in the
// order the file stores them, 4 bytes a pixel: the file's third, second and
// first byte (red, green, blue in the usual order), then their integer mean.
struct BitmapImage {
  std::uint16_t signature = 0;
  std::int32_t fileSize = 0;
  std::uint16_t reserved1 = 0;
  std::uint16_t reserved2 = 0;
  std::uint32_t dataOffset = 0;
  std::uint32_t infoHeaderSize = 0;
  std::int32_t headerWidth = 0;
  std::int32_t headerHeight = 0;
  std::uint16_t planes = 0;
  std::uint16_t bitsPerPixel = 0;
  std::uint32_t compression = 0;
  std::uint32_t imageDataSize = 0;
  std::int32_t horizontalResolution = 0;
  std::int32_t verticalResolution = 0;
  std::uint32_t coloursUsed = 0;
  std::uint32_t importantColours = 0;

  std::int32_t width = 0;            // copy of the header's width
  std::int32_t padding = 0;          // width mod 4: bytes after each stored row
  std::int32_t height = 0;           // copy of the header's height; negative: top row stored first
  std::vector<std::uint8_t> pixels;  // rowCount() rows of width * 4 bytes

  // Number of stored rows: |height|.
  int rowCount() const { return height < 0 ? -height : height; }
  // True when the first stored row is the top row of the picture.
  bool topDown() const { return height < 0; }
  // The stored row that holds picture row r (r counted from the top).
  int storedRowOfPictureRow(int r) const { return topDown() ? r : rowCount() - 1 - r; }
  std::uint8_t* pixel(int storedRow, int column) {
    return pixels.data() +
           (static_cast<std::size_t>(storedRow) * static_cast<std::size_t>(width) + column) * 4;
  }
  const std::uint8_t* pixel(int storedRow, int column) const {
    return pixels.data() +
           (static_cast<std::size_t>(storedRow) * static_cast<std::size_t>(width) + column) * 4;
  }
};

// Loads a 24-bit bitmap; false when the file cannot be opened or is not a
// complete bitmap (see the implementation for the exact rules). On false the
// image is left in an unspecified but valid state.
bool readBitmap(const std::string& fileName, BitmapImage& image);
// Writes the header as held and the rows in their stored order, padding bytes
// as zeros; false when the file cannot be written. The file is replaced only
// once it is complete.
bool writeBitmap(const std::string& fileName, const BitmapImage& image);
// The same bytes onto a stream; false when the image is inconsistent or the
// stream fails.
bool writeBitmap(std::ostream& out, const BitmapImage& image);

}  // namespace quarvel
