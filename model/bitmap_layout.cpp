#include "model/bitmap_layout.h"

#include <string>

#include "model/number_text.h"

namespace quarvel {
namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;

bool knownInfoHeaderSize(std::uint32_t size) {
  return size == kCoreHeaderSize || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool readDepth(std::uint32_t bits) {
  return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The compressions read, each with the depths it goes with.
bool knownCompression(std::uint32_t compression) {
  return compression == kUncompressed || compression == kRunLength8 || compression == kRunLength4 ||
         compression == kBitFields || compression == kAlphaBitFields;
}

bool compressionFitsDepth(std::uint32_t compression, std::uint32_t bits) {
  switch (compression) {
    case kRunLength8:
      return bits == 8;
    case kRunLength4:
      return bits == 4;
    case kBitFields:
    case kAlphaBitFields:
      return bits == 16 || bits == 32;
    default:
      return true;
  }
}

std::string compressionName(std::uint32_t compression, std::uint32_t bits) {
  switch (compression) {
    case kRunLength8:
      return "RLE8";
    case kRunLength4:
      return "RLE4";
    case kBitFields:
      return "masques de couleurs (code 3)";
    case 4:  // JPEG in a Windows header, RLE24 in an OS/2 one: a 24-bit file could be either
      return bits == 24 ? "RLE24 ou JPEG (code 4)" : "JPEG (code 4)";
    case 5:
      return "PNG (code 5)";
    case kAlphaBitFields:
      return "masques de couleurs avec alpha (code 6)";
    default: {
      std::string name = "code ";
      appendUnsigned(name, compression);
      return name;
    }
  }
}

bool refuse(ImageFailure& failure, ImageRefusal refusal, std::string detail) {
  failure.refusal = refusal;
  failure.detail = std::move(detail);
  return false;
}

std::string sizeText(std::int64_t width, std::int64_t height) {
  std::string text;
  appendInteger(text, width);
  text += " x ";
  appendInteger(text, height);
  return text;
}

// The channels of 16 and 32-bit pixels without masks: 5-5-5, and blue, green,
// red and an ignored byte.
std::array<std::uint32_t, 3> defaultMasks(std::uint32_t bits) {
  if (bits == 16) return {0x7C00, 0x03E0, 0x001F};
  if (bits == 32) return {0xFF0000, 0xFF00, 0xFF};
  return {};
}

// The fields that follow the header size, as the two header families store
// them; the masks are those of the header or those that follow it.
void readFields(const std::uint8_t* start, BitmapLayout& layout) {
  const std::uint8_t* info = start + kFileHeaderBytes;
  layout.dataOffset = littleEndian(start + 10, 4);
  if (layout.infoHeaderSize == kCoreHeaderSize) {
    layout.width = littleEndian(info + 4, 2);
    layout.height = littleEndian(info + 6, 2);
    layout.planes = littleEndian(info + 8, 2);
    layout.bitsPerPixel = littleEndian(info + 10, 2);
    layout.compression = kUncompressed;
    layout.paletteEntryBytes = 3;
    layout.paletteOffset = kFileHeaderBytes + kCoreHeaderSize;
    layout.paletteEntries = layout.bitsPerPixel <= 8 ? std::uint64_t{1} << layout.bitsPerPixel : 0;
    layout.masks = defaultMasks(layout.bitsPerPixel);
    return;
  }
  layout.width = static_cast<std::int32_t>(littleEndian(info + 4, 4));
  layout.height = static_cast<std::int32_t>(littleEndian(info + 8, 4));
  layout.planes = littleEndian(info + 12, 2);
  layout.bitsPerPixel = littleEndian(info + 14, 2);
  layout.compression = littleEndian(info + 16, 4);
  const std::uint32_t coloursUsed = littleEndian(info + 32, 4);
  layout.paletteEntryBytes = 4;
  layout.paletteOffset = kFileHeaderBytes + layout.infoHeaderSize;
  if (layout.infoHeaderSize == 40 && layout.compression == kBitFields) layout.paletteOffset += 12;
  if (layout.infoHeaderSize == 40 && layout.compression == kAlphaBitFields) layout.paletteOffset += 16;
  if (layout.bitsPerPixel <= 8 && layout.bitsPerPixel > 0) {
    layout.paletteEntries = coloursUsed != 0 ? coloursUsed : std::uint64_t{1} << layout.bitsPerPixel;
  }
  if (layout.compression == kBitFields || layout.compression == kAlphaBitFields) {
    // Right after a 40-byte header, or inside a larger one: the same offsets.
    for (int channel = 0; channel < 3; ++channel)
      layout.masks[channel] = littleEndian(info + 40 + 4 * channel, 4);
  } else {
    layout.masks = defaultMasks(layout.bitsPerPixel);
  }
}

}  // namespace

std::uint32_t littleEndian(const std::uint8_t* at, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

bool describeLayout(const std::uint8_t* start, std::size_t held, BitmapLayout& layout,
                    ImageFailure& failure) {
  if (held < 2 || start[0] != 'B' || start[1] != 'M') {
    return refuse(failure, ImageRefusal::NotABitmap, "elle ne commence pas par BM");
  }
  std::string heldText;
  appendUnsigned(heldText, held);
  if (held < kFileHeaderBytes + 4) {
    return refuse(failure, ImageRefusal::CutShort,
                  "le fichier s arrete dans ses en-tetes (" + heldText + " octets)");
  }
  layout = BitmapLayout{};
  layout.infoHeaderSize = littleEndian(start + kFileHeaderBytes, 4);
  if (!knownInfoHeaderSize(layout.infoHeaderSize)) {
    std::string detail = "en-tete d information de ";
    appendUnsigned(detail, layout.infoHeaderSize);
    return refuse(failure, ImageRefusal::NotABitmap, detail + " octets, taille inconnue");
  }
  if (held < kFileHeaderBytes + layout.infoHeaderSize) {
    return refuse(failure, ImageRefusal::CutShort,
                  "le fichier s arrete dans ses en-tetes (" + heldText + " octets)");
  }
  if (layout.infoHeaderSize == 40) {
    const std::uint32_t compression = littleEndian(start + kFileHeaderBytes + 16, 4);
    const std::size_t maskBytes = compression == kBitFields ? 12 : compression == kAlphaBitFields ? 16 : 0;
    if (held < kFileHeaderBytes + 40 + maskBytes) {
      return refuse(failure, ImageRefusal::CutShort, "le fichier s arrete dans ses masques de couleurs");
    }
  }
  readFields(start, layout);

  if (layout.planes != 1) {
    std::string detail;
    appendUnsigned(detail, layout.planes);
    return refuse(failure, ImageRefusal::NotABitmap, detail + " plans au lieu de 1");
  }
  if (!knownCompression(layout.compression)) {
    return refuse(failure, ImageRefusal::UnsupportedCompression,
                  compressionName(layout.compression, layout.bitsPerPixel));
  }
  std::string depth;
  appendUnsigned(depth, layout.bitsPerPixel);
  depth += " bits par pixel";
  if (!readDepth(layout.bitsPerPixel)) return refuse(failure, ImageRefusal::UnsupportedDepth, depth);
  if (!compressionFitsDepth(layout.compression, layout.bitsPerPixel)) {
    return refuse(failure, ImageRefusal::UnsupportedCompression,
                  compressionName(layout.compression, layout.bitsPerPixel) + " avec " + depth);
  }

  if (layout.width <= 0 || layout.height == 0) {
    return refuse(failure, ImageRefusal::ImpossibleSize, sizeText(layout.width, layout.height));
  }
  if (layout.width * layout.rows() > kMostPixels) {
    std::string limit = ", plus de ";
    appendInteger(limit, kMostPixels);
    return refuse(failure, ImageRefusal::ImpossibleSize,
                  sizeText(layout.width, layout.height) + limit + " pixels");
  }
  if (layout.runLength() && layout.height < 0) {
    return refuse(failure, ImageRefusal::UnsupportedCompression,
                  compressionName(layout.compression, layout.bitsPerPixel) +
                      " avec la ligne du haut en premier (hauteur negative)");
  }
  const std::uint64_t possibleColours = std::uint64_t{1}
                                        << (layout.bitsPerPixel <= 8 ? layout.bitsPerPixel : 0);
  if (layout.bitsPerPixel <= 8 && layout.paletteEntries > possibleColours) {
    std::string detail = "la palette annonce ";
    appendUnsigned(detail, layout.paletteEntries);
    detail += " couleurs, plus que les ";
    appendUnsigned(detail, possibleColours);
    return refuse(failure, ImageRefusal::Damaged, detail + " possibles avec " + depth);
  }
  return true;
}

bool isPlainLayout(const BitmapLayout& layout) {
  return layout.infoHeaderSize == 40 && layout.planes == 1 && layout.bitsPerPixel == 24 &&
         layout.compression == kUncompressed && layout.dataOffset == 54;
}

}  // namespace quarvel
