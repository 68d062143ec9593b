#include "segmentation/table_exchange.h"

#include <algorithm>

namespace quarvel {

bool gridIndexOf(const Point& point, int width, int height, std::size_t& index) {
  const double x = point.x();
  const double y = point.y();
  if (!(x >= 0.0 && y >= 0.0 && x < width && y < height)) return false;
  if (x != static_cast<double>(static_cast<int>(x)) || y != static_cast<double>(static_cast<int>(y))) {
    return false;
  }
  index = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
  return true;
}

Point pointOfIndex(std::size_t index, int width) {
  const std::size_t w = static_cast<std::size_t>(width);
  return Point(static_cast<double>(index % w), static_cast<double>(index / w));
}

std::vector<std::uint32_t> contourPixels(const Contour& contour, int width, int height) {
  std::vector<std::uint32_t> pixels;
  pixels.reserve(contour.size());
  for (const Point& point : contour) {
    std::size_t index = 0;
    if (gridIndexOf(point, width, height, index)) pixels.push_back(static_cast<std::uint32_t>(index));
  }
  return pixels;
}

void appendSortedContour(Contour& contour, std::vector<std::uint32_t>& pixels, int width) {
  std::sort(pixels.begin(), pixels.end());
  for (std::uint32_t pixel : pixels) contour.add(pointOfIndex(pixel, width));
}

std::vector<std::vector<PointSet::Key>> pixelKeysByLabel(std::span<const std::int32_t> labels, int width,
                                                         std::int32_t count,
                                                         const std::vector<std::size_t>& sizes) {
  std::vector<std::vector<PointSet::Key>> keys(static_cast<std::size_t>(count) + 1);
  for (std::int32_t k = 1; k <= count; ++k) keys[k].reserve(sizes[k]);
  const std::size_t w = static_cast<std::size_t>(width);
  const std::size_t rows = w == 0 ? 0 : labels.size() / w;
  for (std::size_t y = 0, index = 0; y < rows; ++y) {
    for (std::size_t x = 0; x < w; ++x, ++index) {
      const std::int32_t label = labels[index];
      if (label < 1 || label > count) continue;
      keys[label].push_back(PointSet::keyOf(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)));
    }
  }
  return keys;
}

}  // namespace quarvel
