#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "model/load_failure.h"

namespace quarvel {

// Compression codes of the information header.
enum BitmapCompression : std::uint32_t {
  kUncompressed = 0,
  kRunLength8 = 1,
  kRunLength4 = 2,
  kBitFields = 3,
  kAlphaBitFields = 6,
};

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::int64_t kMostPixels = 2147483647;

// What the headers of a bitmap file declare, and where its parts lie. The
// offsets are counted from the start of the file.
struct BitmapLayout {
  std::uint32_t infoHeaderSize = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: the top row is stored first
  std::uint32_t planes = 0;
  std::uint32_t bitsPerPixel = 0;
  std::uint32_t compression = kUncompressed;
  std::array<std::uint32_t, 3> masks{};  // red, green, blue; for 16 and 32 bits
  std::uint64_t paletteOffset = 0;
  std::uint64_t paletteEntries = 0;  // for 1 to 8 bits
  std::uint32_t paletteEntryBytes = 4;
  std::uint64_t dataOffset = 0;

  std::int64_t rows() const { return height < 0 ? -height : height; }
  bool runLength() const { return compression == kRunLength8 || compression == kRunLength4; }
  std::uint64_t paletteEnd() const { return paletteOffset + paletteEntries * paletteEntryBytes; }
  // Bytes of one stored row of an uncompressed file, padding included.
  std::int64_t stride() const { return (width * bitsPerPixel + 31) / 32 * 4; }
  // Bytes of a stored row without its padding.
  std::int64_t rowBytes() const { return (width * bitsPerPixel + 7) / 8; }
};

std::uint32_t littleEndian(const std::uint8_t* at, int width);

// The most bytes that the file header, the largest information header and the
// masks after it take.
constexpr std::size_t kMostHeaderBytes = kFileHeaderBytes + 124 + 16;

// Reads and checks what the headers declare, from the first held bytes of the
// file (all of them when the file is shorter than kMostHeaderBytes). Refused:
// no "BM", an unknown header size, headers or masks cut short, planes other
// than 1, a depth or compression not read, an impossible size, a top-down
// run-length file, a palette longer than the depth allows.
bool describeLayout(const std::uint8_t* start, std::size_t held, BitmapLayout& layout, ImageFailure& failure);

// True for the plain 24-bit file: "BM", a 40-byte header, 1 plane, 24 bits,
// no compression, pixels at offset 54.
bool isPlainLayout(const BitmapLayout& layout);

}  // namespace quarvel
