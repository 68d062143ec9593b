#include "model/bitmap_pixels.h"

#include <array>
#include <bit>
#include <string>
#include <vector>

#include "model/number_text.h"

namespace quarvel {
namespace {

using Colour = std::array<std::uint8_t, 4>;  // red, green, blue, mean

Colour colourOf(unsigned red, unsigned green, unsigned blue) {
  return {static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green), static_cast<std::uint8_t>(blue),
          static_cast<std::uint8_t>((red + green + blue) / 3)};
}

void put(std::uint8_t* to, const Colour& colour) {
  to[0] = colour[0];
  to[1] = colour[1];
  to[2] = colour[2];
  to[3] = colour[3];
}

// A channel given by a mask: its bits taken down to bit 0, then scaled so that
// the mask's full value gives 255, rounded to the nearest.
class Channel {
 public:
  explicit Channel(std::uint32_t mask)
      : mask_(mask), shift_(mask == 0 ? 0 : std::countr_zero(mask)), full_(mask == 0 ? 0 : mask >> shift_) {}
  unsigned operator()(std::uint32_t value) const {
    if (full_ == 0) return 0;
    const std::uint64_t v = (value & mask_) >> shift_;
    return static_cast<unsigned>((v * 510 + full_) / (2 * full_));
  }

 private:
  std::uint32_t mask_;
  int shift_;
  std::uint64_t full_;
};

struct Palette {
  std::vector<Colour> colours;
};

Palette paletteOf(const FileView& file, const BitmapLayout& layout) {
  Palette palette;
  palette.colours.reserve(layout.paletteEntries);
  for (std::uint64_t k = 0; k < layout.paletteEntries; ++k) {
    const std::uint8_t* entry = file.bytes + layout.paletteOffset + k * layout.paletteEntryBytes;
    palette.colours.push_back(colourOf(entry[2], entry[1], entry[0]));
  }
  return palette;
}

bool refuse(ImageFailure& failure, ImageRefusal refusal, std::string detail) {
  failure.refusal = refusal;
  failure.detail = std::move(detail);
  return false;
}

bool beyondPalette(ImageFailure& failure, unsigned index, std::size_t paletteSize) {
  std::string detail = "un pixel designe la couleur ";
  appendUnsigned(detail, index);
  detail += " d une palette de ";
  appendUnsigned(detail, paletteSize);
  return refuse(failure, ImageRefusal::Damaged, detail + " couleurs");
}

// One stored row of an uncompressed file.
class RowDecoder {
 public:
  RowDecoder(const FileView& file, const BitmapLayout& layout)
      : layout_(layout),
        palette_(layout.bitsPerPixel <= 8 ? paletteOf(file, layout) : Palette{}),
        red_(layout.masks[0]),
        green_(layout.masks[1]),
        blue_(layout.masks[2]) {}

  bool decode(const std::uint8_t* from, std::uint8_t* to, ImageFailure& failure) const {
    const std::int64_t width = layout_.width;
    switch (layout_.bitsPerPixel) {
      case 24:
        for (std::int64_t j = 0; j < width; ++j, from += 3, to += 4)
          put(to, colourOf(from[2], from[1], from[0]));
        return true;
      case 32:
        for (std::int64_t j = 0; j < width; ++j, from += 4, to += 4) put(to, masked(littleEndian(from, 4)));
        return true;
      case 16:
        for (std::int64_t j = 0; j < width; ++j, from += 2, to += 4) put(to, masked(littleEndian(from, 2)));
        return true;
      default:
        return decodeIndexed(from, to, failure);
    }
  }

 private:
  Colour masked(std::uint32_t value) const { return colourOf(red_(value), green_(value), blue_(value)); }

  // 1, 2, 4 or 8 bits a pixel, the leftmost pixel in the highest bits.
  bool decodeIndexed(const std::uint8_t* from, std::uint8_t* to, ImageFailure& failure) const {
    const unsigned bits = layout_.bitsPerPixel;
    const unsigned perByte = 8 / bits;
    const unsigned lowMask = (1u << bits) - 1;
    for (std::int64_t j = 0; j < layout_.width; ++j, to += 4) {
      const unsigned shift = 8 - bits * (static_cast<unsigned>(j % perByte) + 1);
      const unsigned index = (from[j / perByte] >> shift) & lowMask;
      if (index >= palette_.colours.size()) return beyondPalette(failure, index, palette_.colours.size());
      put(to, palette_.colours[index]);
    }
    return true;
  }

  const BitmapLayout& layout_;
  Palette palette_;
  Channel red_;
  Channel green_;
  Channel blue_;
};

// Decodes every stored row of an uncompressed file, stored row i into
// targetOf(i).
template <typename TargetOf>
bool decodeRows(const FileView& file, const BitmapLayout& layout, TargetOf&& targetOf,
                ImageFailure& failure) {
  const RowDecoder decoder(file, layout);
  const std::int64_t stride = layout.stride();
  for (std::int64_t i = 0; i < layout.rows(); ++i) {
    const std::uint8_t* from = file.bytes + layout.dataOffset + static_cast<std::uint64_t>(i * stride);
    if (!decoder.decode(from, targetOf(i), failure)) return false;
  }
  return true;
}

bool decodeUncompressed(const FileView& file, const BitmapLayout& layout, bool storedOrder,
                        std::uint8_t* pixels, ImageFailure& failure) {
  const std::int64_t rows = layout.rows();
  const bool flip = !storedOrder && layout.height < 0;
  const std::size_t rowPixels = static_cast<std::size_t>(layout.width) * 4;
  return decodeRows(
      file, layout,
      [&](std::int64_t i) { return pixels + static_cast<std::size_t>(flip ? rows - 1 - i : i) * rowPixels; },
      failure);
}

// A run-length stream of 8 or 4 bits a pixel, bottom row first. Pixels that the
// stream skips keep palette entry 0.
class RunLengthDecoder {
 public:
  RunLengthDecoder(const FileView& file, const BitmapLayout& layout, std::uint8_t* pixels)
      : file_(file),
        layout_(layout),
        palette_(paletteOf(file, layout)),
        pixels_(pixels),
        fourBits_(layout.compression == kRunLength4) {}

  bool decode(ImageFailure& failure) {
    const std::size_t count = static_cast<std::size_t>(layout_.width * layout_.rows());
    for (std::size_t k = 0; k < count; ++k) put(pixels_ + 4 * k, palette_.colours[0]);
    std::uint64_t at = layout_.dataOffset;
    for (;;) {
      if (at + 2 > file_.size) return endMissing(failure);
      const unsigned first = file_.bytes[at], second = file_.bytes[at + 1];
      at += 2;
      if (first > 0) {
        if (!run(
                first,
                [&](unsigned k) {
                  return fourBits_ && k % 2 == 1 ? second & 15u : second >> (fourBits_ ? 4 : 0);
                },
                failure))
          return false;
        continue;
      }
      if (second == 0) {  // end of line
        x_ = 0;
        if (++y_ > layout_.rows()) return pastPicture(failure);
      } else if (second == 1) {  // end of bitmap
        return true;
      } else if (second == 2) {  // move right and up
        if (at + 2 > file_.size) return endMissing(failure);
        x_ += file_.bytes[at];
        y_ += file_.bytes[at + 1];
        at += 2;
        if (x_ > paddedWidth()) return pastRow(failure);
        if (y_ > layout_.rows()) return pastPicture(failure);
      } else {  // absolute: second indices, the stream padded to a whole 16-bit word
        const std::uint64_t bytes = fourBits_ ? (second + 1) / 2 : second;
        if (at + bytes > file_.size) return endMissing(failure);
        const std::uint8_t* indices = file_.bytes + at;
        if (!run(
                second,
                [&](unsigned k) {
                  return fourBits_ ? (indices[k / 2] >> (k % 2 == 0 ? 4 : 0)) & 15u : indices[k];
                },
                failure))
          return false;
        at += bytes + bytes % 2;
      }
    }
  }

 private:
  // ImageMagick encodes whole padded rows, so a run may reach into the row's
  // padding (the width of an uncompressed row); what lies there is dropped.
  template <typename IndexOf>
  bool run(unsigned length, IndexOf indexOf, ImageFailure& failure) {
    if (y_ >= layout_.rows()) return pastPicture(failure);
    if (x_ + length > paddedWidth()) return pastRow(failure);
    const std::size_t rowStart = static_cast<std::size_t>(y_ * layout_.width);
    for (unsigned k = 0; k < length; ++k) {
      const unsigned index = indexOf(k);
      if (index >= palette_.colours.size()) return beyondPalette(failure, index, palette_.colours.size());
      const std::int64_t x = x_ + k;
      if (x < layout_.width)
        put(pixels_ + (rowStart + static_cast<std::size_t>(x)) * 4, palette_.colours[index]);
    }
    x_ += length;
    return true;
  }

  std::int64_t paddedWidth() const { return layout_.stride() * 8 / layout_.bitsPerPixel; }

  static bool endMissing(ImageFailure& failure) {
    return refuse(failure, ImageRefusal::CutShort, "le flux RLE s arrete avant son code de fin");
  }
  static bool pastRow(ImageFailure& failure) {
    return refuse(failure, ImageRefusal::Damaged, "une sequence RLE depasse la fin de sa ligne");
  }
  static bool pastPicture(ImageFailure& failure) {
    return refuse(failure, ImageRefusal::Damaged, "une sequence RLE depasse le haut de l image");
  }

  const FileView& file_;
  const BitmapLayout& layout_;
  Palette palette_;
  std::uint8_t* pixels_;
  bool fourBits_;
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;
};

}  // namespace

bool decodePixels(const FileView& file, const BitmapLayout& layout, bool storedOrder, std::uint8_t* pixels,
                  ImageFailure& failure) {
  if (layout.runLength()) return RunLengthDecoder(file, layout, pixels).decode(failure);
  return decodeUncompressed(file, layout, storedOrder, pixels, failure);
}

bool pixelsCanBeRefused(const BitmapLayout& layout) { return layout.runLength() || layout.bitsPerPixel <= 8; }

bool checkPixels(const FileView& file, const BitmapLayout& layout, ImageFailure& failure) {
  const std::size_t rowBytes = static_cast<std::size_t>(layout.width) * 4;
  if (layout.runLength()) {
    std::vector<std::uint8_t> pixels(rowBytes * static_cast<std::size_t>(layout.rows()));
    return RunLengthDecoder(file, layout, pixels.data()).decode(failure);
  }
  std::vector<std::uint8_t> row(rowBytes);
  return decodeRows(
      file, layout, [&row](std::int64_t) { return row.data(); }, failure);
}

}  // namespace quarvel
