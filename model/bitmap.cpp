#include "model/bitmap.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <system_error>

#include "model/bitmap_layout.h"
#include "model/bitmap_pixels.h"
#include "model/number_text.h"
#include "report/output_file.h"

namespace quarvel {
namespace {

constexpr std::size_t kHeaderBytes = 54;

void writeLittleEndian(std::uint8_t* at, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The first bytes of a file, read on demand: a device that never ends, or a
// huge file behind a small header, is never read further than its headers
// declare.
class FilePrefix {
 public:
  explicit FilePrefix(const std::string& fileName) : in_(fileName, std::ios::binary) {
    std::error_code error;
    if (std::filesystem::is_regular_file(fileName, error)) {
      const std::uintmax_t size = std::filesystem::file_size(fileName, error);
      if (!error) knownSize_ = size;
    }
  }
  bool opened() const { return static_cast<bool>(in_); }
  // Reads on until the first n bytes are held or the file ends; true when they are held.
  bool reach(std::uint64_t n) {
    if (bytes_.size() >= n) return true;
    if (ended_) return false;
    if (knownSize_ > 0) bytes_.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(n, knownSize_)));
    constexpr std::uint64_t kChunk = 1 << 20;
    while (bytes_.size() < n) {
      const std::size_t before = bytes_.size();
      const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, n - before));
      bytes_.resize(before + step);
      in_.read(reinterpret_cast<char*>(bytes_.data() + before), static_cast<std::streamsize>(step));
      bytes_.resize(before + static_cast<std::size_t>(in_.gcount()));
      if (static_cast<std::size_t>(in_.gcount()) < step) {
        ended_ = true;
        return false;
      }
    }
    return true;
  }
  // Reads on, keeping nothing past what is held, until n bytes have gone by
  // or the file ends; true when they have.
  bool passTo(std::uint64_t n) {
    if (size() >= n) return true;
    if (ended_) return false;
    std::vector<char> chunk(static_cast<std::size_t>(std::min<std::uint64_t>(n - size(), 1 << 20)));
    while (size() < n) {
      const auto step = static_cast<std::streamsize>(std::min<std::uint64_t>(chunk.size(), n - size()));
      in_.read(chunk.data(), step);
      passed_ += static_cast<std::uint64_t>(in_.gcount());
      if (in_.gcount() < step) {
        ended_ = true;
        return false;
      }
    }
    return true;
  }
  // The bytes held: the file's first ones, none that passTo went over.
  FileView view() const { return {bytes_.data(), bytes_.size()}; }
  std::uint64_t size() const { return bytes_.size() + passed_; }

 private:
  std::ifstream in_;
  std::vector<std::uint8_t> bytes_;
  std::uint64_t passed_ = 0;
  std::uint64_t knownSize_ = 0;
  bool ended_ = false;
};

// The fields of the header as the file holds them; a 12-byte core header has
// only its size, width, height, planes and depth, and the rest stays 0.
void parseHeader(const std::uint8_t* h, const BitmapLayout& layout, BitmapImage& image) {
  image.signature = static_cast<std::uint16_t>(littleEndian(h + 0, 2));
  image.fileSize = static_cast<std::int32_t>(littleEndian(h + 2, 4));
  image.reserved1 = static_cast<std::uint16_t>(littleEndian(h + 6, 2));
  image.reserved2 = static_cast<std::uint16_t>(littleEndian(h + 8, 2));
  image.dataOffset = littleEndian(h + 10, 4);
  image.infoHeaderSize = littleEndian(h + 14, 4);
  if (layout.infoHeaderSize < 40) {
    image.headerWidth = static_cast<std::int32_t>(layout.width);
    image.headerHeight = static_cast<std::int32_t>(layout.height);
    image.planes = static_cast<std::uint16_t>(layout.planes);
    image.bitsPerPixel = static_cast<std::uint16_t>(layout.bitsPerPixel);
    return;
  }
  image.headerWidth = static_cast<std::int32_t>(littleEndian(h + 18, 4));
  image.headerHeight = static_cast<std::int32_t>(littleEndian(h + 22, 4));
  image.planes = static_cast<std::uint16_t>(littleEndian(h + 26, 2));
  image.bitsPerPixel = static_cast<std::uint16_t>(littleEndian(h + 28, 2));
  image.compression = littleEndian(h + 30, 4);
  image.imageDataSize = littleEndian(h + 34, 4);
  image.horizontalResolution = static_cast<std::int32_t>(littleEndian(h + 38, 4));
  image.verticalResolution = static_cast<std::int32_t>(littleEndian(h + 42, 4));
  image.coloursUsed = littleEndian(h + 46, 4);
  image.importantColours = littleEndian(h + 50, 4);
}

void formatHeader(const BitmapImage& image, std::uint8_t* h) {
  writeLittleEndian(h + 0, image.signature, 2);
  writeLittleEndian(h + 2, static_cast<std::uint32_t>(image.fileSize), 4);
  writeLittleEndian(h + 6, image.reserved1, 2);
  writeLittleEndian(h + 8, image.reserved2, 2);
  writeLittleEndian(h + 10, image.dataOffset, 4);
  writeLittleEndian(h + 14, image.infoHeaderSize, 4);
  writeLittleEndian(h + 18, static_cast<std::uint32_t>(image.headerWidth), 4);
  writeLittleEndian(h + 22, static_cast<std::uint32_t>(image.headerHeight), 4);
  writeLittleEndian(h + 26, image.planes, 2);
  writeLittleEndian(h + 28, image.bitsPerPixel, 2);
  writeLittleEndian(h + 30, image.compression, 4);
  writeLittleEndian(h + 34, image.imageDataSize, 4);
  writeLittleEndian(h + 38, static_cast<std::uint32_t>(image.horizontalResolution), 4);
  writeLittleEndian(h + 42, static_cast<std::uint32_t>(image.verticalResolution), 4);
  writeLittleEndian(h + 46, image.coloursUsed, 4);
  writeLittleEndian(h + 50, image.importantColours, 4);
}

bool refuse(ImageFailure& failure, ImageRefusal refusal, std::string detail) {
  failure.refusal = refusal;
  failure.detail = std::move(detail);
  return false;
}

std::string byteCount(std::uint64_t count) {
  std::string text;
  appendUnsigned(text, count);
  return text;
}

// The bytes that a run-length stream may take at most: two a pixel, an
// end-of-line code a row and the end-of-bitmap code, twice over. Only a device
// that never ends is cut by this.
std::uint64_t mostRunLengthBytes(const BitmapLayout& layout) {
  return 2 * static_cast<std::uint64_t>(layout.rows() * (2 * layout.width + 2) + 2);
}

// Reads the headers, checks what they declare against the bytes the file
// holds, and only then obtains pixel memory. An uncompressed file must hold
// every row it declares; only the padding of the last stored row may be cut
// off. A plain 24-bit file keeps its rows in the file's order (top row first
// for a negative height); every other variant is held bottom row first.
// Without keepPixels the pixels are checked as they would be decoded, and
// neither they nor, where none of them can be refused, the file's bytes are
// held.
bool readBitmapFile(const std::string& fileName, BitmapImage& image, ImageFailure& failure, bool keepPixels) {
  std::error_code error;
  if (std::filesystem::is_directory(fileName, error)) {
    return refuse(failure, ImageRefusal::CannotOpen,
                  std::make_error_code(std::errc::is_a_directory).message());
  }
  errno = 0;
  FilePrefix file(fileName);
  if (!file.opened()) return refuse(failure, ImageRefusal::CannotOpen, lastSystemReason());

  file.reach(kMostHeaderBytes);
  BitmapLayout layout;
  if (!describeLayout(file.view().bytes, file.size(), layout, failure)) return false;
  // Kept for a refusal when memory runs out.
  failure.detail = byteCount(static_cast<std::uint64_t>(layout.width)) + " x " +
                   byteCount(static_cast<std::uint64_t>(layout.rows())) + " pixels";
  if (layout.bitsPerPixel <= 8 && !file.reach(layout.paletteEnd())) {
    return refuse(failure, ImageRefusal::CutShort,
                  "la palette depasse la fin du fichier (" + byteCount(file.size()) + " octets)");
  }
  if (!file.reach(layout.dataOffset)) {
    return refuse(failure, ImageRefusal::CutShort,
                  "ses pixels commenceraient a l octet " + byteCount(layout.dataOffset) +
                      ", le fichier n en a que " + byteCount(file.size()));
  }
  if (layout.runLength()) {
    file.reach(layout.dataOffset + mostRunLengthBytes(layout));
  } else {
    const std::uint64_t needed =
        layout.dataOffset +
        static_cast<std::uint64_t>((layout.rows() - 1) * layout.stride() + layout.rowBytes());
    const bool held = keepPixels || pixelsCanBeRefused(layout) ? file.reach(needed) : file.passTo(needed);
    if (!held) {
      return refuse(
          failure, ImageRefusal::CutShort,
          "le fichier a " + byteCount(file.size()) + " octets, ses lignes en demandent " + byteCount(needed));
    }
  }

  const bool plain = isPlainLayout(layout);
  BitmapImage read;
  parseHeader(file.view().bytes, layout, read);
  read.width = static_cast<std::int32_t>(layout.width);
  read.height = static_cast<std::int32_t>(plain ? layout.height : layout.rows());
  read.padding = static_cast<std::int32_t>(layout.width % 4);
  if (!keepPixels) {
    if (pixelsCanBeRefused(layout) && !checkPixels(file.view(), layout, failure)) return false;
    image = std::move(read);
    failure = ImageFailure{};
    return true;
  }
  read.pixels.resize(static_cast<std::size_t>(layout.width * layout.rows() * 4));
  if (!decodePixels(file.view(), layout, plain, read.pixels.data(), failure)) return false;
  image = std::move(read);
  failure = ImageFailure{};
  return true;
}

// The header of a plain bottom-up 24-bit file for the rows as held, keeping
// only the resolution of the header as read.
void formatPlainHeader(const BitmapImage& image, std::uint8_t* h) {
  const std::uint64_t rows = static_cast<std::uint64_t>(image.rowCount());
  const std::uint64_t pixelBytes = rows * (3 * static_cast<std::uint64_t>(image.width) + image.padding);
  BitmapImage plain;
  plain.signature = 'B' | 'M' << 8;
  plain.fileSize = static_cast<std::int32_t>(kHeaderBytes + pixelBytes);
  plain.dataOffset = kHeaderBytes;
  plain.infoHeaderSize = 40;
  plain.headerWidth = image.width;
  plain.headerHeight = image.height;
  plain.planes = 1;
  plain.bitsPerPixel = 24;
  plain.imageDataSize = static_cast<std::uint32_t>(pixelBytes);
  plain.horizontalResolution = image.horizontalResolution;
  plain.verticalResolution = image.verticalResolution;
  formatHeader(plain, h);
}

bool holdsPlainHeader(const BitmapImage& image) {
  return image.signature == ('B' | 'M' << 8) && image.infoHeaderSize == 40 && image.planes == 1 &&
         image.bitsPerPixel == 24 && image.compression == kUncompressed && image.dataOffset == kHeaderBytes;
}

// Rows held, counted wide: the most negative height has no int opposite.
std::int64_t heldRows(const BitmapImage& image) {
  return image.height < 0 ? -static_cast<std::int64_t>(image.height) : image.height;
}

// The header, then the rows in their held order, rowOf(i) giving held row i
// as width pixels of 4 bytes.
template <typename RowOf>
bool writeRowsTo(std::ostream& out, const BitmapImage& image, RowOf&& rowOf) {
  const std::int64_t width = image.width;
  const std::int64_t rows = heldRows(image);
  if (width < 0 || image.padding < 0 || image.padding > 3) return false;

  std::uint8_t header[kHeaderBytes];
  if (holdsPlainHeader(image)) {
    formatHeader(image, header);
  } else {
    formatPlainHeader(image, header);
  }
  out.write(reinterpret_cast<const char*>(header), kHeaderBytes);

  std::vector<std::uint8_t> row(static_cast<std::size_t>(3 * width + image.padding), 0);
  for (std::int64_t i = 0; i < rows; ++i) {
    const std::uint8_t* from = rowOf(static_cast<int>(i));
    std::uint8_t* to = row.data();
    for (std::int64_t j = 0; j < width; ++j, from += 4, to += 3) {
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
    }
    out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size()));
  }
  return static_cast<bool>(out);
}

bool writeBitmapTo(std::ostream& out, const BitmapImage& image) {
  const std::int64_t pixels = static_cast<std::int64_t>(image.width) * heldRows(image);
  if (static_cast<std::int64_t>(image.pixels.size()) < pixels * 4) return false;
  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
  return writeRowsTo(out, image, [&image, rowBytes](int i) {
    return image.pixels.data() + static_cast<std::size_t>(i) * rowBytes;
  });
}

template <typename Read>
bool readCatchingExhaustion(Read&& read, ImageFailure& failure) {
  failure = ImageFailure{};
  try {
    return read();
  } catch (const std::bad_alloc&) {
    failure.refusal = ImageRefusal::TooLargeForMemory;
    return false;
  }
}

}  // namespace

// Running out of memory for a huge image is a refusal like any other.
bool readBitmap(const std::string& fileName, BitmapImage& image, ImageFailure& failure) {
  return readCatchingExhaustion([&] { return readBitmapFile(fileName, image, failure, true); }, failure);
}

bool readBitmapShape(const std::string& fileName, BitmapImage& image, ImageFailure& failure) {
  return readCatchingExhaustion([&] { return readBitmapFile(fileName, image, failure, false); }, failure);
}

bool writeBitmap(std::ostream& out, const BitmapImage& image) { return writeBitmapTo(out, image); }

bool writeBitmapRows(std::ostream& out, const BitmapImage& shape,
                     const std::function<const std::uint8_t*(int storedRow)>& rowOf) {
  return writeRowsTo(out, shape, rowOf);
}

bool readBitmap(const std::string& fileName, BitmapImage& image) {
  ImageFailure failure;
  return readBitmap(fileName, image, failure);
}

bool writeBitmap(const std::string& fileName, const BitmapImage& image) {
  try {
    OutputFile file(fileName);
    return writeBitmapTo(file.stream(), image) && file.commit() == 0;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace quarvel
