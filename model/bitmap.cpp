#include "model/bitmap.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <new>
#include <system_error>

#include "report/output_file.h"

namespace quarvel {
namespace {

constexpr std::size_t kHeaderBytes = 54;
constexpr std::int64_t kMostPixels = 2147483647;

std::uint32_t readLittleEndian(const std::uint8_t* at, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

void writeLittleEndian(std::uint8_t* at, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The size of file that the header declares: the header and every pixel row,
// padding included; the header alone when it declares no usable size.
std::uint64_t declaredFileBytes(const std::uint8_t* header) {
  const std::int64_t width = static_cast<std::int32_t>(readLittleEndian(header + 18, 4));
  const std::int64_t height = static_cast<std::int32_t>(readLittleEndian(header + 22, 4));
  const std::int64_t rows = height < 0 ? -height : height;
  if (width <= 0 || rows == 0 || width * rows > kMostPixels) return kHeaderBytes;
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(kHeaderBytes) + rows * (3 * width + width % 4));
}

// The bytes of the file up to the size its header declares, never more: a
// device that never ends, or a huge file behind a small header, is not read
// whole. False when the file cannot be opened.
bool readDeclaredBytes(const std::string& fileName, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return false;
  bytes.resize(kHeaderBytes);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(kHeaderBytes));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (bytes.size() < kHeaderBytes) return true;
  std::uint64_t wanted = declaredFileBytes(bytes.data());
  std::error_code error;
  if (std::filesystem::is_regular_file(fileName, error)) {
    const std::uintmax_t size = std::filesystem::file_size(fileName, error);
    if (!error) {
      wanted = std::min<std::uint64_t>(wanted, size);
      bytes.reserve(static_cast<std::size_t>(wanted));
    }
  }
  constexpr std::uint64_t kChunk = 1 << 20;
  while (bytes.size() < wanted) {
    const std::size_t before = bytes.size();
    const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, wanted - before));
    bytes.resize(before + step);
    in.read(reinterpret_cast<char*>(bytes.data() + before), static_cast<std::streamsize>(step));
    bytes.resize(before + static_cast<std::size_t>(in.gcount()));
    if (static_cast<std::size_t>(in.gcount()) < step) break;
  }
  return true;
}

void parseHeader(const std::uint8_t* h, BitmapImage& image) {
  image.signature = static_cast<std::uint16_t>(readLittleEndian(h + 0, 2));
  image.fileSize = static_cast<std::int32_t>(readLittleEndian(h + 2, 4));
  image.reserved1 = static_cast<std::uint16_t>(readLittleEndian(h + 6, 2));
  image.reserved2 = static_cast<std::uint16_t>(readLittleEndian(h + 8, 2));
  image.dataOffset = readLittleEndian(h + 10, 4);
  image.infoHeaderSize = readLittleEndian(h + 14, 4);
  image.headerWidth = static_cast<std::int32_t>(readLittleEndian(h + 18, 4));
  image.headerHeight = static_cast<std::int32_t>(readLittleEndian(h + 22, 4));
  image.planes = static_cast<std::uint16_t>(readLittleEndian(h + 26, 2));
  image.bitsPerPixel = static_cast<std::uint16_t>(readLittleEndian(h + 28, 2));
  image.compression = readLittleEndian(h + 30, 4);
  image.imageDataSize = readLittleEndian(h + 34, 4);
  image.horizontalResolution = static_cast<std::int32_t>(readLittleEndian(h + 38, 4));
  image.verticalResolution = static_cast<std::int32_t>(readLittleEndian(h + 42, 4));
  image.coloursUsed = readLittleEndian(h + 46, 4);
  image.importantColours = readLittleEndian(h + 50, 4);
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

// Every file is taken as 24-bit rows starting right after the 54 header bytes,
// whatever the header says about depth, compression or data offset. The file
// must hold every row it declares; only the padding of the last stored row may
// be cut off. The size is checked before any pixel memory is obtained.
bool readBitmapFile(const std::string& fileName, BitmapImage& image) {
  std::vector<std::uint8_t> bytes;
  if (!readDeclaredBytes(fileName, bytes)) return false;
  if (bytes.size() < kHeaderBytes) return false;

  BitmapImage read;
  parseHeader(bytes.data(), read);
  const std::int64_t width = read.headerWidth;
  const std::int64_t rows =
      read.headerHeight < 0 ? -static_cast<std::int64_t>(read.headerHeight) : read.headerHeight;
  if (width <= 0 || rows == 0 || width * rows > kMostPixels) return false;
  const std::int64_t padding = width % 4;
  const std::int64_t rowBytes = 3 * width + padding;
  const std::int64_t needed = static_cast<std::int64_t>(kHeaderBytes) + rows * rowBytes - padding;
  if (static_cast<std::int64_t>(bytes.size()) < needed) return false;

  read.width = read.headerWidth;
  read.height = read.headerHeight;
  read.padding = static_cast<std::int32_t>(padding);
  read.pixels.resize(static_cast<std::size_t>(width * rows * 4));
  std::uint8_t* to = read.pixels.data();
  for (std::int64_t i = 0; i < rows; ++i) {
    const std::uint8_t* from = bytes.data() + kHeaderBytes + i * rowBytes;
    for (std::int64_t j = 0; j < width; ++j, from += 3, to += 4) {
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
      to[3] = static_cast<std::uint8_t>((from[0] + from[1] + from[2]) / 3);
    }
  }
  image = std::move(read);
  return true;
}

bool writeBitmapTo(std::ostream& out, const BitmapImage& image) {
  const std::int64_t width = image.width;
  const std::int64_t rows = image.height < 0 ? -static_cast<std::int64_t>(image.height) : image.height;
  const bool consistent = width >= 0 && image.padding >= 0 && image.padding <= 3 &&
                          static_cast<std::int64_t>(image.pixels.size()) >= width * rows * 4;
  if (!consistent) return false;

  std::uint8_t header[kHeaderBytes];
  formatHeader(image, header);
  out.write(reinterpret_cast<const char*>(header), kHeaderBytes);

  std::vector<std::uint8_t> row(static_cast<std::size_t>(3 * width + image.padding), 0);
  const std::uint8_t* from = image.pixels.data();
  for (std::int64_t i = 0; i < rows; ++i) {
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

}  // namespace

// Running out of memory for a huge image answers false like any other failure.
bool readBitmap(const std::string& fileName, BitmapImage& image) {
  try {
    return readBitmapFile(fileName, image);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool writeBitmap(std::ostream& out, const BitmapImage& image) { return writeBitmapTo(out, image); }

bool writeBitmap(const std::string& fileName, const BitmapImage& image) {
  try {
    OutputFile file(fileName);
    return writeBitmapTo(file.stream(), image) && file.commit() == 0;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace quarvel
