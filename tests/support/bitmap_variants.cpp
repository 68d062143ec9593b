#include "support/bitmap_variants.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <set>

namespace quarvel::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

void append(Bytes& bytes, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A channel value of 8 bits stored in a mask: scaled to the mask's full value
// and rounded to the nearest.
std::uint32_t intoMask(std::uint32_t channel, std::uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const std::uint64_t full = mask >> shift;
  return static_cast<std::uint32_t>((channel * full * 2 + 255) / 510) << shift;
}

std::array<std::uint32_t, 3> masksOf(const BitmapVariant& variant) {
  if (variant.compression == 3 || variant.compression == 6) return variant.masks;
  if (variant.bitsPerPixel == 16) return {0x7C00, 0x03E0, 0x001F};
  return {0xFF0000, 0xFF00, 0xFF};
}

// Palette indices of the picture, bottom row first.
using IndexRows = std::vector<std::vector<int>>;

void encodeRow(const std::vector<int>& row, bool fourBits, Bytes& out) {
  const int width = static_cast<int>(row.size());
  const auto pair = [&](int index) {
    return static_cast<std::uint8_t>(fourBits ? index << 4 | index : index);
  };
  int x = 0;
  while (x < width) {
    if (std::all_of(row.begin() + x, row.end(), [](int index) { return index == 0; })) return;
    int same = 1;
    while (x + same < width && row[x + same] == row[x] && same < 255) ++same;
    if (row[x] == 0 && same >= 2) {  // move right over entry 0
      out.insert(out.end(), {0, 2, static_cast<std::uint8_t>(same), 0});
      x += same;
      continue;
    }
    if (same >= 2) {
      out.insert(out.end(), {static_cast<std::uint8_t>(same), pair(row[x])});
      x += same;
      continue;
    }
    int singles = 0;
    while (x + singles < width && row[x + singles] != 0 && singles < 255 &&
           (x + singles + 1 == width || row[x + singles] != row[x + singles + 1]))
      ++singles;
    if (singles < 3) {
      out.insert(out.end(), {1, pair(row[x])});
      ++x;
      continue;
    }
    out.insert(out.end(), {0, static_cast<std::uint8_t>(singles)});
    Bytes packed;
    for (int k = 0; k < singles; ++k) {
      if (!fourBits) {
        packed.push_back(static_cast<std::uint8_t>(row[x + k]));
      } else if (k % 2 == 0) {
        packed.push_back(static_cast<std::uint8_t>(row[x + k] << 4));
      } else {
        packed.back() = static_cast<std::uint8_t>(packed.back() | row[x + k]);
      }
    }
    if (packed.size() % 2 == 1) packed.push_back(0);
    out.insert(out.end(), packed.begin(), packed.end());
    x += singles;
  }
}

Bytes runLengthData(const IndexRows& rows, bool fourBits) {
  Bytes out;
  const auto zeroFrom = [&](std::size_t first) {
    for (std::size_t r = first; r < rows.size(); ++r) {
      if (std::any_of(rows[r].begin(), rows[r].end(), [](int index) { return index != 0; })) return false;
    }
    return true;
  };
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (zeroFrom(r)) break;
    encodeRow(rows[r], fourBits, out);
    if (r + 1 < rows.size() && !zeroFrom(r + 1)) out.insert(out.end(), {0, 0});
  }
  out.insert(out.end(), {0, 1});
  return out;
}

Bytes uncompressedData(const ToneGrid& tones, const IndexRows& indices, const BitmapVariant& variant) {
  const std::size_t width = tones[0].size();
  const std::size_t stride = (width * variant.bitsPerPixel + 31) / 32 * 4;
  const std::array<std::uint32_t, 3> masks = masksOf(variant);
  Bytes out;
  for (std::size_t i = 0; i < tones.size(); ++i) {
    const std::size_t r = variant.topDown ? i : tones.size() - 1 - i;
    Bytes row(stride, 0);
    for (std::size_t c = 0; c < width; ++c) {
      const auto [red, green, blue] = colourOfTone(tones[r][c]);
      switch (variant.bitsPerPixel) {
        case 24:
          row[3 * c] = blue, row[3 * c + 1] = green, row[3 * c + 2] = red;
          break;
        case 16:
        case 32: {
          const std::uint32_t value =
              intoMask(red, masks[0]) | intoMask(green, masks[1]) | intoMask(blue, masks[2]);
          for (int b = 0; b < variant.bitsPerPixel / 8; ++b)
            row[c * variant.bitsPerPixel / 8 + b] = static_cast<std::uint8_t>(value >> (8 * b));
          break;
        }
        default: {
          const std::size_t bit = c * variant.bitsPerPixel;
          const int index = indices[tones.size() - 1 - r][c];
          row[bit / 8] =
              static_cast<std::uint8_t>(row[bit / 8] | index << (8 - variant.bitsPerPixel - bit % 8));
        }
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

const ToneGrid kFourTonePicture = {{132, 132, 132, 132, 132, 132, 132},  //
                                   {132, 33, 33, 33, 132, 74, 132},      //
                                   {132, 33, 8, 33, 132, 74, 74},        //
                                   {132, 33, 33, 33, 132, 8, 132},       //
                                   {74, 132, 132, 74, 74, 8, 132},       //
                                   {8, 33, 74, 132, 132, 132, 132}};
const ToneGrid kTwoTonePicture = {{132, 132, 132, 132, 132, 132, 132, 132, 132},  //
                                  {132, 33, 33, 33, 132, 132, 33, 132, 132},      //
                                  {132, 33, 132, 33, 132, 33, 33, 33, 132},       //
                                  {132, 33, 33, 33, 132, 132, 33, 132, 33},       //
                                  {33, 33, 132, 132, 132, 132, 132, 132, 33}};

const std::vector<BitmapVariant>& everyVariant() {
  static const std::vector<BitmapVariant> variants = {
      {.name = "core_24", .headerSize = 12},
      {.name = "core_8", .headerSize = 12, .bitsPerPixel = 8},
      {.name = "core_4", .headerSize = 12, .bitsPerPixel = 4},
      {.name = "core_1", .headerSize = 12, .bitsPerPixel = 1},
      {.name = "core_16", .headerSize = 12, .bitsPerPixel = 16},
      {.name = "core_32", .headerSize = 12, .bitsPerPixel = 32},
      {.name = "info_1", .bitsPerPixel = 1},
      {.name = "info_1_two_colours", .bitsPerPixel = 1, .coloursUsed = 2},
      {.name = "info_2", .bitsPerPixel = 2},
      {.name = "info_4_four_colours", .bitsPerPixel = 4, .coloursUsed = 4},
      {.name = "info_8", .bitsPerPixel = 8},
      {.name = "info_8_top_down", .bitsPerPixel = 8, .topDown = true, .coloursUsed = 5},
      {.name = "info_16", .bitsPerPixel = 16},
      {.name = "info_16_masks_565", .bitsPerPixel = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}},
      {.name = "info_24_gap", .gap = 10},
      {.name = "info_24_gap_top_down", .topDown = true, .gap = 2},
      {.name = "info_32", .bitsPerPixel = 32},
      {.name = "info_32_masks_10",
       .bitsPerPixel = 32,
       .compression = 3,
       .masks = {0x3FF00000, 0xFFC00, 0x3FF}},
      {.name = "info_32_alpha_masks",
       .bitsPerPixel = 32,
       .compression = 6,
       .masks = {0xFF00, 0xFF0000, 0xFF000000}},
      {.name = "info_rle8", .bitsPerPixel = 8, .compression = 1},
      {.name = "info_rle8_few_colours", .bitsPerPixel = 8, .compression = 1, .coloursUsed = 4},
      {.name = "info_rle4", .bitsPerPixel = 4, .compression = 2},
      {.name = "v52_16_masks_555",
       .headerSize = 52,
       .bitsPerPixel = 16,
       .compression = 3,
       .masks = {0x7C00, 0x03E0, 0x001F}},
      {.name = "v56_32_masks",
       .headerSize = 56,
       .bitsPerPixel = 32,
       .compression = 3,
       .masks = {0xFF, 0xFF00, 0xFF0000}},
      {.name = "v108_24", .headerSize = 108},
      {.name = "v108_rle8", .headerSize = 108, .bitsPerPixel = 8, .compression = 1},
      {.name = "v124_24", .headerSize = 124},
      {.name = "v124_24_top_down", .headerSize = 124, .topDown = true},
      {.name = "v124_32_masks_top_down",
       .headerSize = 124,
       .bitsPerPixel = 32,
       .compression = 3,
       .topDown = true,
       .masks = {0xFF0000, 0xFF00, 0xFF}},
      {.name = "v124_8", .headerSize = 124, .bitsPerPixel = 8, .coloursUsed = 4},
  };
  return variants;
}

std::array<std::uint8_t, 3> colourOfTone(int tone) {
  return {static_cast<std::uint8_t>(255 - tone), static_cast<std::uint8_t>(tone * 3),
          static_cast<std::uint8_t>(tone)};
}

std::vector<std::uint8_t> variantBytes(const ToneGrid& tones, const BitmapVariant& variant) {
  const std::int32_t width = static_cast<std::int32_t>(tones[0].size());
  const std::int32_t height = static_cast<std::int32_t>(tones.size());
  const bool indexed = variant.bitsPerPixel <= 8;

  std::set<int, std::greater<int>> distinct;
  for (const auto& row : tones) distinct.insert(row.begin(), row.end());
  const std::vector<int> palette(distinct.begin(), distinct.end());
  IndexRows indices;
  for (auto row = tones.rbegin(); row != tones.rend(); ++row) {
    std::vector<int> line;
    for (int tone : *row)
      line.push_back(static_cast<int>(std::find(palette.begin(), palette.end(), tone) - palette.begin()));
    indices.push_back(line);
  }

  Bytes pixels = variant.compression == 1 || variant.compression == 2
                     ? runLengthData(indices, variant.compression == 2)
                     : uncompressedData(tones, indices, variant);

  Bytes info;
  append(info, variant.headerSize, 4);
  if (variant.headerSize == 12) {
    append(info, static_cast<std::uint32_t>(width), 2);
    append(info, static_cast<std::uint32_t>(height), 2);
    append(info, 1, 2);
    append(info, static_cast<std::uint32_t>(variant.bitsPerPixel), 2);
  } else {
    append(info, static_cast<std::uint32_t>(width), 4);
    append(info, static_cast<std::uint32_t>(variant.topDown ? -height : height), 4);
    append(info, 1, 2);
    append(info, static_cast<std::uint32_t>(variant.bitsPerPixel), 2);
    append(info, variant.compression, 4);
    append(info, static_cast<std::uint32_t>(pixels.size()), 4);
    append(info, static_cast<std::uint32_t>(variant.resolution), 4);
    append(info, static_cast<std::uint32_t>(variant.resolution), 4);
    append(info, variant.coloursUsed, 4);
    append(info, 0, 4);
    const bool masked = variant.compression == 3 || variant.compression == 6;
    const std::size_t maskCount = variant.headerSize > 40 ? 4
                                  : masked                ? (variant.compression == 6 ? 4 : 3)
                                                          : 0;
    for (std::size_t k = 0; k < maskCount; ++k) append(info, k < 3 && masked ? variant.masks[k] : 0, 4);
    info.resize(std::max<std::size_t>(info.size(), variant.headerSize), 0);
  }

  Bytes colours;
  if (indexed) {
    const std::size_t entries =
        variant.coloursUsed != 0 ? variant.coloursUsed : std::size_t{1} << variant.bitsPerPixel;
    for (std::size_t k = 0; k < entries; ++k) {
      const auto [red, green, blue] =
          k < palette.size() ? colourOfTone(palette[k]) : std::array<std::uint8_t, 3>{};
      colours.insert(colours.end(), {blue, green, red});
      if (variant.headerSize != 12) colours.push_back(0);
    }
  }

  const std::uint32_t dataOffset =
      static_cast<std::uint32_t>(14 + info.size() + colours.size() + variant.gap);
  Bytes file;
  file.push_back('B');
  file.push_back('M');
  append(file, static_cast<std::uint32_t>(dataOffset + pixels.size()), 4);
  append(file, 0, 4);
  append(file, dataOffset, 4);
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), colours.begin(), colours.end());
  file.insert(file.end(), variant.gap, 0xEE);
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

}  // namespace quarvel::test
