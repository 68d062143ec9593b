#pragma once

#include <cstddef>
#include <cstdint>

#include "model/bitmap_layout.h"
#include "model/load_failure.h"

namespace quarvel {

// The bytes of a bitmap file held in memory: the whole file, or at least every
// byte that its layout declares.
struct FileView {
  const std::uint8_t* bytes = nullptr;
  std::size_t size = 0;
};

// Decodes the pixel data that a checked layout describes into pixels, which
// holds width x rows pixels of 4 bytes: red, green, blue, then their integer
// mean. Rows go bottom row first, or in the file's own order when storedOrder
// is set. An uncompressed file must hold every row up to the last one's
// padding (the caller checks it); refused: a colour beyond the palette, a
// run-length stream that goes past a row or the picture or ends before its
// end-of-bitmap code.
bool decodePixels(const FileView& file, const BitmapLayout& layout, bool storedOrder, std::uint8_t* pixels,
                  ImageFailure& failure);

// Whether decodePixels can refuse some pixel data of this layout: true for
// palette colours and run-length streams, false for 16, 24 and 32 bits
// uncompressed.
bool pixelsCanBeRefused(const BitmapLayout& layout);
// What decodePixels would answer, holding at most one decoded row (all of
// them for a run-length stream).
bool checkPixels(const FileView& file, const BitmapLayout& layout, ImageFailure& failure);

}  // namespace quarvel
