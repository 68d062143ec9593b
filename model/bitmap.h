#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "model/load_failure.h"

namespace quarvel {

// A bitmap in memory: the fields of its header as read, then the pixel rows,
// 4 bytes a pixel: red, green, blue, then their integer mean. For a plain
// 24-bit file these are the file's third, second and first byte, and the rows
// are held in the order the file stores them; every other variant is decoded
// into the colours its pixels show, held bottom row first.
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
  std::int32_t height = 0;           // rows held; negative: top row held first
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

// Loads a bitmap: the 12-byte core header, the 40-byte header and its 52, 56,
// 108 and 124-byte extensions; 1, 2, 4 and 8 bits with a palette, 16 and 32
// bits (with or without masks), 24 bits; uncompressed, masked, or run-length
// (8 and 4 bits, bottom row first). False, with the reason in failure, when
// the file cannot be opened, is not such a bitmap, or is not complete (see the
// implementation for the exact rules). On false the image is left in an
// unspecified but valid state.
bool readBitmap(const std::string& fileName, BitmapImage& image, ImageFailure& failure);
bool readBitmap(const std::string& fileName, BitmapImage& image);
// Reads and checks the file as readBitmap does, with the same answer and the
// same refusals, but holds no pixels: image gets the header's fields and the
// shape (width, height, padding) readBitmap would give it. Uncompressed 16,
// 24 and 32-bit pixels, which nothing can refuse, are not held even as the
// file's bytes.
bool readBitmapShape(const std::string& fileName, BitmapImage& image, ImageFailure& failure);
// Writes the rows in their held order, padding bytes as zeros, under the
// header as held when it is that of a plain 24-bit file, else under a plain
// 24-bit header made consistent with the rows. False when the file cannot be
// written; the file is replaced only once it is complete.
bool writeBitmap(const std::string& fileName, const BitmapImage& image);
// The same bytes onto a stream; false when the image is inconsistent or the
// stream fails.
bool writeBitmap(std::ostream& out, const BitmapImage& image);
// What writeBitmap writes for an image of this shape and header whose held
// row i is rowOf(i), width pixels of 4 bytes (the fourth is not written);
// shape's pixels are not read. Rows are asked for in their held order.
bool writeBitmapRows(std::ostream& out, const BitmapImage& shape,
                     const std::function<const std::uint8_t*(int storedRow)>& rowOf);

}  // namespace quarvel
