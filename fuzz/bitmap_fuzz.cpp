// The fuzzer's bytes are a bitmap file. Checks that readBitmap accepts exactly
// the complete files, holds every pixel as the file stores it, writes it back
// so that it reads the same, and that the image loader builds the pixel table
// and the clusters from it. Small images then go through labelling, contours,
// the graph and the fusion down to one region, with Epsilon and NbPixMin taken
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

// The shape the file declares, and whether the file holds all of it.
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

void checkPixels(const quarvel::BitmapImage& image, const std::uint8_t* data, const Declared& shape) {
  require(image.pixels.size() == static_cast<std::size_t>(shape.width * shape.rows * 4), "pixel memory size");
  require(image.padding == shape.width % 4, "padding");
  for (std::int64_t i = 0; i < shape.rows; ++i) {
    for (std::int64_t j = 0; j < shape.width; ++j) {
      const std::uint8_t* stored = data + 54 + i * shape.rowBytes + 3 * j;
      const std::uint8_t* held = image.pixel(static_cast<int>(i), static_cast<int>(j));
      require(held[0] == stored[2] && held[1] == stored[1] && held[2] == stored[0], "pixel bytes");
      require(held[3] == (stored[0] + stored[1] + stored[2]) / 3, "grey mean");
    }
  }
}

void checkWrittenBack(const quarvel::BitmapImage& image) {
  const std::string copy = quarvel::fuzz::scratchFile("copy.bmp");
  require(quarvel::writeBitmap(copy, image), "writing the image back");
  quarvel::BitmapImage again;
  require(quarvel::readBitmap(copy, again), "reading the written image");
  require(again.fileSize == image.fileSize && again.headerWidth == image.headerWidth &&
              again.headerHeight == image.headerHeight && again.bitsPerPixel == image.bitsPerPixel &&
              again.dataOffset == image.dataOffset && again.importantColours == image.importantColours,
          "header written back");
  require(again.pixels == image.pixels, "pixels written back");
}

void checkLoaded(const std::string& path, const quarvel::BitmapImage& image, const Declared& shape) {
  quarvel::Segmenter segmenter;
  require(segmenter.openImage(path), "openImage of a readable bitmap");
  require(segmenter.width() == shape.width && segmenter.height() == shape.rows, "loaded size");
  const double pixels = static_cast<double>(shape.width * shape.rows);
  require(segmenter.pixelCount() == pixels, "pixelCount");
  double clustered = 0.0;
  for (const auto& [key, cluster] : segmenter.clusterTable()) {
    require(cluster.number() == key, "cluster key");
    clustered += static_cast<double>(cluster.pixelCount());
  }
  require(clustered == pixels, "every pixel in one cluster");
  for (int r = 0; r < shape.rows; ++r) {
    for (int c = 0; c < shape.width; ++c) {
      const quarvel::PixelRecord record = segmenter.pixelRecordAt(c, r);
      require(record.tone() != nullptr && record.regionNumber() == nullptr, "fresh pixel record");
      const double tone = image.pixel(image.storedRowOfPictureRow(r), c)[2];
      require(record.tone()->value() == tone, "pixel tone");
      require(segmenter.clusterAt(tone).containsPixel(c, r), "pixel in its tone's cluster");
    }
  }
}

// Every cluster receives one descriptor, all different.
void writeDescriptors(const std::string& path) {
  std::string text = "256";
  for (int k = 1; k <= 256; ++k) text += " " + std::to_string((k * 37 % 101) / 100.0);
  quarvel::fuzz::writeFile(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

void checkAnalysis(const std::string& path, const std::uint8_t* data, const Declared& shape) {
  quarvel::Segmenter segmenter;
  require(segmenter.openImage(path), "openImage of a readable bitmap");
  require(segmenter.openDescriptors(quarvel::fuzz::scratchFile("descriptors.txt")), "descriptors accepted");
  segmenter.setEpsilon(static_cast<float>(data[6]) / 255.0f);
  segmenter.setNbPixMin(data[8] % 16);
  segmenter.labelComponents();
  const int found = segmenter.regionCount();
  require(found >= 1 && found <= shape.width * shape.rows, "region count");
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
  require(pixels == static_cast<double>(shape.width * shape.rows), "every pixel in one region");
  for (int r = 0; r < shape.rows; ++r) {
    for (int c = 0; c < shape.width; ++c) {
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
  const std::string path = quarvel::fuzz::scratchFile("in.bmp");
  quarvel::fuzz::writeFile(path, data, size);
  const Declared shape = declaredShape(data, size);

  quarvel::BitmapImage image;
  const bool read = quarvel::readBitmap(path, image);
  require(read == shape.complete, "a bitmap is read exactly when it holds every declared row");
  if (!read) return 0;
  checkPixels(image, data, shape);
  checkWrittenBack(image);
  checkLoaded(path, image, shape);
  if (shape.width * shape.rows <= 100) checkAnalysis(path, data, shape);
  return 0;
}
