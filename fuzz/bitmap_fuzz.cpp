// The fuzzer's bytes are a bitmap file of any variant. Checks that readBitmap
// either refuses it with a reason that makes one line, or holds width x rows
// pixels with their grey means, and that readBitmapShape answers the same;
// that a plain 24-bit file is read exactly when it holds every declared row,
// with every pixel as the file stores it; that any image read is written back
// as a consistent plain 24-bit file that reads the same (a plain one under its
// own header); and that the image loader builds the pixel table and the
// clusters from it. Small images then go through labelling, contours, the
// graph and the fusion down to one region, with Epsilon and NbPixMin taken
// from the header's reserved bytes (which nothing else reads).
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/scratch_folder.h"
#include "model/bitmap.h"
#include "model/segmenter.h"

namespace {

using quarvel::fuzz::require;

std::int64_t signed32(const std::uint8_t* at) {
  const std::uint32_t value = static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
                              static_cast<std::uint32_t>(at[2]) << 16 |
                              static_cast<std::uint32_t>(at[3]) << 24;
  return static_cast<std::int32_t>(value);
}

std::uint32_t unsigned32(const std::uint8_t* at) { return static_cast<std::uint32_t>(signed32(at)); }

bool isPlain(const std::uint8_t* data, std::size_t size) {
  return size >= 34 && data[0] == 'B' && data[1] == 'M' && unsigned32(data + 10) == 54 &&
         unsigned32(data + 14) == 40 && data[26] == 1 && data[27] == 0 && data[28] == 24 && data[29] == 0 &&
         unsigned32(data + 30) == 0;
}

// A run-length file may declare any size in a few bytes, its skipped pixels
// taking palette entry 0: beyond this size the checks below would only be
// slow, and pixel memory would meet the fuzzer's allocation limit.
bool declaresHugeRunLengthImage(const std::uint8_t* data, std::size_t size) {
  if (size < 34 || unsigned32(data + 14) < 40) return false;
  const std::uint32_t compression = unsigned32(data + 30);
  if (compression != 1 && compression != 2) return false;
  const std::int64_t width = signed32(data + 18);
  const std::int64_t height = signed32(data + 22);
  return width * (height < 0 ? -height : height) > (std::int64_t{1} << 16);
}

// The shape a plain file declares, and whether the file holds all of it.
struct Declared {
  bool complete = false;
  std::int64_t width = 0;
  std::int64_t rows = 0;
  std::int64_t rowBytes = 0;
};

Declared declaredShape(const std::uint8_t* data, std::size_t size) {
  Declared shape;
  if (size < 54) return shape;
  shape.width = signed32(data + 18);
  const std::int64_t height = signed32(data + 22);
  shape.rows = height < 0 ? -height : height;
  if (shape.width <= 0 || shape.rows == 0 || shape.width * shape.rows > 2147483647) return shape;
  const std::int64_t padding = shape.width % 4;
  shape.rowBytes = 3 * shape.width + padding;
  shape.complete = static_cast<std::int64_t>(size) >= 54 + shape.rows * shape.rowBytes - padding;
  return shape;
}

void checkPlainPixels(const quarvel::BitmapImage& image, const std::uint8_t* data, const Declared& shape) {
  require(image.padding == shape.width % 4, "padding");
  for (std::int64_t i = 0; i < shape.rows; ++i) {
    for (std::int64_t j = 0; j < shape.width; ++j) {
      const std::uint8_t* stored = data + 54 + i * shape.rowBytes + 3 * j;
      const std::uint8_t* held = image.pixel(static_cast<int>(i), static_cast<int>(j));
      require(held[0] == stored[2] && held[1] == stored[1] && held[2] == stored[0], "pixel bytes");
    }
  }
}

void checkHeld(const quarvel::BitmapImage& image) {
  require(image.width > 0 && image.rowCount() > 0, "a size");
  require(image.pixels.size() ==
              static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.rowCount()) * 4,
          "pixel memory size");
  for (std::size_t k = 0; k < image.pixels.size(); k += 4) {
    const std::uint8_t* held = image.pixels.data() + k;
    require(held[3] == (held[0] + held[1] + held[2]) / 3, "grey mean");
  }
}

void checkWrittenBack(const quarvel::BitmapImage& image, bool plain) {
  const std::string copy = quarvel::fuzz::scratchFile("copy.bmp");
  require(quarvel::writeBitmap(copy, image), "writing the image back");
  quarvel::BitmapImage again;
  require(quarvel::readBitmap(copy, again), "reading the written image");
  require(again.signature == ('B' | 'M' << 8) && again.infoHeaderSize == 40 && again.dataOffset == 54 &&
              again.bitsPerPixel == 24 && again.compression == 0 && again.planes == 1,
          "written as a plain 24-bit file");
  require(again.width == image.width && again.height == image.height, "size written back");
  if (plain) {
    require(again.fileSize == image.fileSize && again.headerHeight == image.headerHeight &&
                again.importantColours == image.importantColours && again.reserved1 == image.reserved1,
            "a plain header written back as read");
  } else {
    const std::int64_t rowBytes = 3 * static_cast<std::int64_t>(image.width) + image.width % 4;
    require(again.fileSize == 54 + rowBytes * image.rowCount() && again.height > 0 &&
                again.horizontalResolution == image.horizontalResolution,
            "a consistent plain header");
  }
  require(again.pixels == image.pixels, "pixels written back");
}

void checkLoaded(const std::string& path, const quarvel::BitmapImage& image) {
  const int width = image.width;
  const int rows = image.rowCount();
  quarvel::Segmenter segmenter;
  require(segmenter.openImage(path), "openImage of a readable bitmap");
  require(segmenter.width() == width && segmenter.height() == rows, "loaded size");
  const double pixels = static_cast<double>(width) * rows;
  require(segmenter.pixelCount() == pixels, "pixelCount");
  double clustered = 0.0;
  for (const auto& [key, cluster] : segmenter.clusterTable()) {
    require(cluster.number() == key, "cluster key");
    clustered += static_cast<double>(cluster.pixelCount());
  }
  require(clustered == pixels, "every pixel in one cluster");
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < width; ++c) {
      const quarvel::PixelRecord record = segmenter.pixelRecordAt(c, r);
      require(record.tone() != nullptr && record.regionNumber() == nullptr, "fresh pixel record");
      const double tone = image.pixel(image.storedRowOfPictureRow(r), c)[2];
      require(record.tone()->value() == tone, "pixel tone");
      const auto cluster = segmenter.findCluster(tone);
      require(cluster != segmenter.clusterTable().end() && cluster->second.containsPixel(c, r),
              "pixel in its tone's cluster");
    }
  }
}

// Every cluster receives one descriptor, all different.
void writeDescriptors(const std::string& path) {
  std::string text = "256";
  for (int k = 1; k <= 256; ++k) text += " " + std::to_string((k * 37 % 101) / 100.0);
  quarvel::fuzz::writeFile(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

void checkAnalysis(const std::string& path, const std::uint8_t* data, const quarvel::BitmapImage& image) {
  const int width = image.width;
  const int rows = image.rowCount();
  quarvel::Segmenter segmenter;
  require(segmenter.openImage(path), "openImage of a readable bitmap");
  require(segmenter.openDescriptors(quarvel::fuzz::scratchFile("descriptors.txt")), "descriptors accepted");
  segmenter.setEpsilon(static_cast<float>(data[6]) / 255.0f);
  segmenter.setNbPixMin(data[8] % 16);
  segmenter.labelComponents();
  const int found = segmenter.regionCount();
  require(found >= 1 && found <= width * rows, "region count");
  segmenter.setNbRegFin(1 + data[7] % found);
  segmenter.detectContours();
  segmenter.buildAdjacencyGraph(1);
  segmenter.mergeRegions();

  const auto& regions = segmenter.regionTable();
  require(!regions.empty() && static_cast<int>(regions.size()) >= segmenter.nbRegFin() &&
              static_cast<int>(regions.size()) <= found,
          "regions left by the fusion");
  double number = 1.0;
  double pixels = 0.0;
  for (const auto& [key, region] : regions) {
    require(key == number && region.number() == number, "regions numbered 1 to n");
    pixels += region.pixelCount();
    number += 1.0;
  }
  require(pixels == static_cast<double>(width * rows), "every pixel in one region");
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < width; ++c) {
      const quarvel::PixelRecord record = segmenter.pixelRecordAt(c, r);
      require(record.regionNumber() != nullptr, "every pixel has a region");
      const double held = record.regionNumber()->value();
      require(held >= 1.0 && held < number && regions.at(held).pixels().contains(quarvel::Point(c, r)),
              "a pixel's region holds it");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  writeDescriptors(quarvel::fuzz::scratchFile("descriptors.txt"));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (declaresHugeRunLengthImage(data, size)) return 0;
  const std::string path = quarvel::fuzz::scratchFile("in.bmp");
  quarvel::fuzz::writeFile(path, data, size);

  quarvel::BitmapImage image;
  quarvel::ImageFailure failure;
  const bool read = quarvel::readBitmap(path, image, failure);
  const bool plain = isPlain(data, size);
  if (plain) {
    const Declared shape = declaredShape(data, size);
    require(read == shape.complete, "a plain bitmap is read exactly when it holds every declared row");
    if (read) checkPlainPixels(image, data, shape);
  }
  // The result pictures read the file again for its header and shape only.
  quarvel::BitmapImage shape;
  quarvel::ImageFailure shapeFailure;
  require(quarvel::readBitmapShape(path, shape, shapeFailure) == read &&
              shapeFailure.refusal == failure.refusal && shapeFailure.detail == failure.detail &&
              shape.pixels.empty(),
          "reading the shape alone answers as reading the pixels");
  if (read) {
    require(shape.width == image.width && shape.height == image.height && shape.padding == image.padding &&
                shape.fileSize == image.fileSize && shape.headerHeight == image.headerHeight &&
                shape.bitsPerPixel == image.bitsPerPixel && shape.compression == image.compression &&
                shape.horizontalResolution == image.horizontalResolution,
            "the shape read alone is the image's");
  }
  if (!read) {
    const std::string line = quarvel::imageRefusalLine("in.bmp", failure);
    require(failure.refusal != quarvel::ImageRefusal::None && line.find('\n') == std::string::npos,
            "a refusal with a reason in one line");
    return 0;
  }
  checkHeld(image);
  checkWrittenBack(image, plain);
  checkLoaded(path, image);
  if (static_cast<std::int64_t>(image.width) * image.rowCount() <= 100) checkAnalysis(path, data, image);
  return 0;
}
