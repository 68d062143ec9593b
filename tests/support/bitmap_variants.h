#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace quarvel::test {

// How a picture is stored in a bitmap file.
struct BitmapVariant {
  const char* name;
  std::uint32_t headerSize = 40;  // 12, 40, 52, 56, 108 or 124
  int bitsPerPixel = 24;
  std::uint32_t compression = 0;  // 0, 1 (RLE8), 2 (RLE4), 3 or 6 (masks)
  bool topDown = false;
  std::array<std::uint32_t, 3> masks{};  // red, green, blue, for 16 and 32 bits; zeros: none written
  std::uint32_t coloursUsed = 0;         // written in the header; 0: the palette has 2^bits entries
  std::uint32_t gap = 0;                 // bytes left between the palette and the pixels
  std::int32_t resolution = 2835;        // both resolution fields (not in a 12-byte header)
};

// A class map with four tones, an odd width, a region inside another (the 8
// inside the ring of 33) and runs of every kind for the run-length variants.
// Its tones keep their value through a 5-bit channel.
extern const ToneGrid kFourTonePicture;
// The same kind of map with two tones, for the 1-bit variants.
extern const ToneGrid kTwoTonePicture;

// The variants the tests store their pictures in: every header, depth,
// compression and row order that readBitmap reads. The 1-bit ones need
// kTwoTonePicture.
const std::vector<BitmapVariant>& everyVariant();

// The colour that a variant stores for a pixel of the tone: blue is the tone,
// red and green differ from it, so that a decoder that mixes the channels up
// changes the picture's tones.
std::array<std::uint8_t, 3> colourOfTone(int tone);  // red, green, blue

// The bytes of a bitmap file of the variant that shows the picture: pixel
// (r, c) has colourOfTone(tones[r][c]), rounded to what a channel of fewer than
// 8 bits holds. A palette lists the picture's distinct tones from the largest
// down (so that an index is never its tone); 1, 2 and 4-bit variants need a
// picture with few enough tones. Run-length streams use every code: runs,
// absolute runs, moves over runs of palette entry 0, ends of lines over the
// rest of a row in entry 0, and an early end of bitmap.
std::vector<std::uint8_t> variantBytes(const ToneGrid& tones, const BitmapVariant& variant);

}  // namespace quarvel::test
