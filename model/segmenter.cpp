#include "model/segmenter.h"

#include <array>
#include <iostream>
#include <iterator>
#include <memory>
#include <new>
#include <utility>

#include "model/bitmap.h"
#include "model/descriptor_file.h"

namespace quarvel {

namespace {

// Fills the grid of the pixel table and the pixel sets of the clusters in one
// walk over the picture rows from the top, so that every cluster receives its
// pixels in raster order; each set is sized from a tone count first.
void fillTables(const BitmapImage& image, PixelTable& pixelTable, ClusterTable& clusterTable) {
  const int width = image.width;
  const int height = image.rowCount();
  pixelTable.reset(width, height);
  std::array<std::size_t, 256> toneCounts{};
  for (int row = 0; row < height; ++row) {
    const std::uint8_t* pixel = image.pixel(image.storedRowOfPictureRow(row), 0);
    for (int column = 0; column < width; ++column, pixel += 4) {
      const std::uint8_t tone = pixel[2];
      pixelTable.setGridTone(column, row, tone);
      ++toneCounts[tone];
    }
  }
  const auto plane = std::make_shared<const TonePlane>(pixelTable.gridToneBytes(), width);
  for (std::size_t tone = 0; tone < toneCounts.size(); ++tone) {
    if (toneCounts[tone] == 0) continue;
    const double key = static_cast<double>(tone);
    clusterTable.try_emplace(key, key, plane, static_cast<std::uint8_t>(tone), toneCounts[tone]);
  }
}

}  // namespace

void Segmenter::setName(const char* name) {
  if (name == nullptr) return;
  name_ = std::make_unique<std::string>(name);
}

bool Segmenter::openImage() { return openImage(std::cin); }

bool Segmenter::openImage(std::istream& in) {
  std::string word;
  if (!(in >> word)) return false;
  return openImage(word);
}

// The tables are emptied only once the file has been read; a file that cannot
// be read leaves everything but the name as it was.
bool Segmenter::openImage(const std::string& fileName) {
  ImageFailure failure;
  return openImage(fileName, failure);
}

bool Segmenter::openImage(const std::string& fileName, ImageFailure& failure) {
  setName(fileName.c_str());
  BitmapImage image;
  if (!readBitmap(fileName, image, failure)) return false;

  width_ = image.width;
  height_ = image.rowCount();
  fileSize_ = static_cast<double>(image.fileSize);
  regionTable_.clear();
  clusterTable_.clear();
  pixelCount_ = 0.0;
  try {
    fillTables(image, pixelTable_, clusterTable_);
  } catch (const std::bad_alloc&) {
    pixelTable_.clear();
    clusterTable_.clear();
    failure.refusal = ImageRefusal::TooLargeForMemory;
    failure.detail = std::to_string(width_) + " x " + std::to_string(height_) + " pixels";
    return false;
  }
  pixelCount_ = static_cast<double>(width_) * static_cast<double>(height_);
  return true;
}

bool Segmenter::openDescriptors() { return openDescriptors(std::cin); }

bool Segmenter::openDescriptors(std::istream& in) {
  std::string word;
  if (!(in >> word)) return false;
  return openDescriptors(word);
}

// Every cluster from key 1 upward takes one block, in key order; nothing is
// handed out unless every one of them can have its whole block.
bool Segmenter::openDescriptors(const std::string& fileName) {
  DescriptorFailure failure;
  return openDescriptors(fileName, failure);
}

bool Segmenter::openDescriptors(const std::string& fileName, DescriptorFailure& failure) {
  failure = DescriptorFailure{};
  std::vector<float> values;
  if (!readDescriptorFile(fileName, values, failure)) return false;
  const auto first = clusterTable_.find(1.0);
  const auto receivers = static_cast<std::size_t>(std::distance(first, clusterTable_.end()));
  DescriptorPlan plan;
  if (!planDescriptors(values, receivers, plan, failure)) return false;

  std::size_t next = 1;
  for (auto cluster = first; cluster != clusterTable_.end() && plan.blockLength > 0; ++cluster) {
    for (std::size_t k = 0; k < plan.blockLength; ++k) cluster->second.addDescriptor(values[next++]);
  }
  return true;
}

void Segmenter::addPixel(double x, double y, const PixelRecord& record) {
  pixelTable_.insert(Point(x, y), record);
  pixelCount_ += 1.0;
}

}  // namespace quarvel
