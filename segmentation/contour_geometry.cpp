#include "segmentation/contour_geometry.h"

#include <cassert>
#include <utility>

#include "segmentation/boundary_tracing.h"

namespace quarvel {

void ContourGeometry::start(int width, int height, std::vector<std::vector<std::uint32_t>> contours,
                            const PixelOwnership& owners, FusionPairs& pairs) {
  width_ = width;
  height_ = height;
  flags_.assign(owners.pixelCount(), 0);
  contours_ = std::move(contours);
  for (std::vector<std::uint32_t>& contour : contours_) {
    std::size_t kept = 0;
    for (std::uint32_t pixel : contour) {
      if (flags_[pixel] & kOnContour) continue;
      flags_[pixel] |= kOnContour;
      contour[kept++] = pixel;
    }
    contour.resize(kept);
  }
  // One visit per region, as the graph construction makes them; countedBy
  // keeps a pixel from being counted twice towards one visit's shared count.
  std::vector<std::int32_t> countedBy(flags_.size(), -1);
  const std::size_t w = static_cast<std::size_t>(width);
  for (std::size_t r = 0; r < contours_.size(); ++r) {
    const std::int32_t a = static_cast<std::int32_t>(r);
    std::int32_t lastRegion = -1;
    std::int32_t lastPair = -1;
    for (std::uint32_t centre : contours_[r]) {
      const int cx = static_cast<int>(centre % w);
      const int cy = static_cast<int>(centre / w);
      for (int ny = cy - 1; ny <= cy + 1; ++ny) {
        if (ny < 0 || ny >= height) continue;
        for (int nx = cx - 1; nx <= cx + 1; ++nx) {
          if (nx < 0 || nx >= width) continue;
          const std::size_t pixel = static_cast<std::size_t>(ny) * w + static_cast<std::size_t>(nx);
          const std::int32_t c = owners.regionAt(pixel);
          if (c < 0 || c == a) continue;
          if (c != lastRegion) {
            lastRegion = c;
            lastPair = pairs.obtain(a, c);
          }
          PairContacts& pair = pairs.contacts(lastPair);
          const int side = pair.sideOf(a);
          ++pair.touches[side];
          if ((flags_[pixel] & kOnContour) && countedBy[pixel] != a) {
            countedBy[pixel] = a;
            ++pair.shared[side];
          }
        }
      }
    }
  }
}

bool ContourGeometry::nearContourOf(std::size_t pixel, std::size_t skip, std::int32_t m,
                                    const PixelOwnership& owners) const {
  const std::size_t w = static_cast<std::size_t>(width_);
  const int cx = static_cast<int>(pixel % w);
  const int cy = static_cast<int>(pixel / w);
  for (int ny = cy - 1; ny <= cy + 1; ++ny) {
    if (ny < 0 || ny >= height_) continue;
    for (int nx = cx - 1; nx <= cx + 1; ++nx) {
      if (nx < 0 || nx >= width_) continue;
      const std::size_t k = static_cast<std::size_t>(ny) * w + static_cast<std::size_t>(nx);
      if (k != skip && (flags_[k] & kOnContour) && owners.regionAt(k) == m) return true;
    }
  }
  return false;
}

void ContourGeometry::countContacts(std::size_t centre, std::int32_t m, std::uint32_t sign,
                                    const PixelOwnership& owners, FusionPairs& pairs,
                                    std::vector<std::int32_t>& changed) {
  const std::size_t w = static_cast<std::size_t>(width_);
  const int cx = static_cast<int>(centre % w);
  const int cy = static_cast<int>(centre / w);
  std::int32_t seen[8];
  int seenCount = 0;
  std::int32_t lastRegion = -1;
  std::int32_t lastPair = -1;
  for (int ny = cy - 1; ny <= cy + 1; ++ny) {
    if (ny < 0 || ny >= height_) continue;
    for (int nx = cx - 1; nx <= cx + 1; ++nx) {
      if (nx < 0 || nx >= width_) continue;
      const std::size_t pixel = static_cast<std::size_t>(ny) * w + static_cast<std::size_t>(nx);
      const std::int32_t c = owners.regionAt(pixel);
      if (c < 0 || c == m) continue;
      if (c != lastRegion) {
        lastRegion = c;
        lastPair = pairs.obtain(m, c);
        changed.push_back(lastPair);
      }
      PairContacts& pair = pairs.contacts(lastPair);
      const int side = pair.sideOf(m);
      pair.touches[side] += sign;
      if (!(flags_[pixel] & kOnContour)) continue;
      // The centre is near this contour pixel of c: it counts once towards
      // c.commonBoundary(m) however many of c's contour pixels it is near.
      bool counted = false;
      for (int k = 0; k < seenCount; ++k) counted = counted || seen[k] == c;
      if (!counted) {
        seen[seenCount++] = c;
        pair.shared[1 - side] += sign;
      }
      // The pixel of c counts towards m.commonBoundary(c) while any contour
      // pixel of m is near it.
      if (!nearContourOf(pixel, centre, m, owners)) pair.shared[side] += sign;
    }
  }
}

void ContourGeometry::countOverlap(std::int32_t a, std::int32_t b, const PixelOwnership& owners,
                                   std::vector<std::uint32_t>& overlap, std::vector<std::int32_t>& counted) {
  const bool aSmaller = contourSize(a) <= contourSize(b);
  const std::int32_t small = aSmaller ? a : b;
  const std::int32_t large = aSmaller ? b : a;
  const std::size_t w = static_cast<std::size_t>(width_);
  scratch_.clear();
  for (std::uint32_t centre : contours_[static_cast<std::size_t>(small)]) {
    const int cx = static_cast<int>(centre % w);
    const int cy = static_cast<int>(centre / w);
    for (int ny = cy - 1; ny <= cy + 1; ++ny) {
      if (ny < 0 || ny >= height_) continue;
      for (int nx = cx - 1; nx <= cx + 1; ++nx) {
        if (nx < 0 || nx >= width_) continue;
        const std::size_t pixel = static_cast<std::size_t>(ny) * w + static_cast<std::size_t>(nx);
        if ((flags_[pixel] & (kOnContour | kSeen)) != kOnContour) continue;
        const std::int32_t c = owners.regionAt(pixel);
        if (c < 0 || c == a || c == b) continue;
        flags_[pixel] |= kSeen;
        scratch_.push_back(static_cast<std::uint32_t>(pixel));
        if (!nearContourOf(pixel, pixel, large, owners)) continue;
        if (overlap[static_cast<std::size_t>(c)]++ == 0) counted.push_back(c);
      }
    }
  }
  for (std::uint32_t pixel : scratch_) flags_[pixel] &= static_cast<std::uint8_t>(~kSeen);
}

void ContourGeometry::reshape(std::int32_t a, std::int32_t b, std::int32_t lead, bool traceAgain,
                              std::uint32_t firstPixel, std::size_t maxMoves, const PixelOwnership& owners,
                              FusionPairs& pairs, std::vector<std::int32_t>& changed) {
  std::vector<std::uint32_t>& kept = contours_[static_cast<std::size_t>(a)];
  std::vector<std::uint32_t>& absorbed = contours_[static_cast<std::size_t>(b)];
  if (!traceAgain) {
    // The lead's trace stays; the other part's contour pixels leave.
    std::vector<std::uint32_t>& leaving = lead == a ? absorbed : kept;
    for (std::uint32_t pixel : leaving) {
      flags_[pixel] &= static_cast<std::uint8_t>(~kOnContour);
      countContacts(pixel, a, ~0u, owners, pairs, changed);
    }
    if (lead != a) kept.swap(absorbed);
    std::vector<std::uint32_t>().swap(absorbed);
    return;
  }
  scratch_.clear();
  traceBoundary(
      width_, height_, firstPixel, maxMoves,
      [&owners, a](std::size_t pixel) { return owners.regionAt(pixel) == a; },
      [this](std::size_t pixel) {
        if (flags_[pixel] & kTraced) return;
        flags_[pixel] |= kTraced;
        scratch_.push_back(static_cast<std::uint32_t>(pixel));
      });
  for (const std::vector<std::uint32_t>* old : {&kept, &absorbed}) {
    for (std::uint32_t pixel : *old) {
      if (flags_[pixel] & kTraced) continue;
      flags_[pixel] &= static_cast<std::uint8_t>(~kOnContour);
      countContacts(pixel, a, ~0u, owners, pairs, changed);
    }
  }
  for (std::uint32_t pixel : scratch_) {
    if (!(flags_[pixel] & kOnContour)) {
      countContacts(pixel, a, 1u, owners, pairs, changed);
      flags_[pixel] |= kOnContour;
    }
    flags_[pixel] &= static_cast<std::uint8_t>(~kTraced);
  }
  kept.assign(scratch_.begin(), scratch_.end());
  std::vector<std::uint32_t>().swap(absorbed);
}

}  // namespace quarvel
