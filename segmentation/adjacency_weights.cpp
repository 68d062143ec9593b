#include "segmentation/adjacency_weights.h"

#include <cstddef>

#include "segmentation/contour_contacts.h"
#include "segmentation/pixel_bits.h"

namespace quarvel {

std::vector<EdgeWrite> visitContours(int width, int height, std::span<const std::int32_t> labels,
                                     const std::vector<RegionOutline>& regions, const WeightRule& rule) {
  std::vector<EdgeWrite> writes;
  const std::int32_t regionLimit = static_cast<std::int32_t>(regions.size());
  // Asked for every neighbour of every contour pixel: a byte a region keeps
  // the answers in the cache where the outlines would not be.
  std::vector<std::uint8_t> present(regions.size(), 0);
  for (std::size_t number = 0; number < regions.size(); ++number) present[number] = regions[number].present;
  auto regionOf = [&](std::size_t pixel) {
    const std::int32_t number = labels[pixel];
    return (number > 0 && number < regionLimit && present[static_cast<std::size_t>(number)] != 0) ? number
                                                                                                  : 0;
  };

  // Whether pixel p lies on region b's contour. Where every contour pixel
  // carries its region's number, as after labelling, a bit a pixel marks the
  // contours and the number tells whose; otherwise contourOwner[p] names the
  // region whose contour holds p (0: none), the last one listed.
  PixelBits onContour(labels.size());
  std::vector<std::int32_t> contourOwner;
  for (std::int32_t number = 1; number < regionLimit && contourOwner.empty(); ++number) {
    if (!regions[number].present) continue;
    for (std::uint32_t pixel : regions[number].contour) {
      if (labels[pixel] != number) {
        contourOwner.assign(labels.size(), 0);
        break;
      }
      onContour.set(pixel);
    }
  }
  if (!contourOwner.empty()) {
    onContour = PixelBits();
    for (std::int32_t number = 1; number < regionLimit; ++number) {
      if (!regions[number].present) continue;
      for (std::uint32_t pixel : regions[number].contour) contourOwner[pixel] = number;
    }
  }
  const bool byNumber = contourOwner.empty();

  // counted: the visit under way has counted the contour pixel; the pixels
  // it counted are cleared after it.
  PixelBits counted(labels.size());
  std::vector<std::uint32_t> countedPixels;
  std::vector<std::uint32_t> shared(regions.size(), 0);
  std::vector<char> touched(regions.size(), 0);
  std::vector<std::int32_t> neighbours;
  const auto regionAt = [&regionOf](std::size_t pixel) {
    return regionOf(pixel) == 0 ? -1 : regionOf(pixel);
  };
  const auto isContourOf = [&](std::size_t pixel, std::int32_t b) {
    return byNumber ? onContour.test(pixel) && labels[pixel] == b : contourOwner[pixel] == b;
  };
  for (std::int32_t a = 1; a < regionLimit; ++a) {
    const RegionOutline& region = regions[a];
    if (!region.present) continue;
    neighbours.clear();
    const auto countOnce = [&counted, &countedPixels](std::size_t pixel) {
      if (!counted.claim(pixel)) return false;
      countedPixels.push_back(static_cast<std::uint32_t>(pixel));
      return true;
    };
    visitContourContacts(width, height, region.contour, a, regionAt, isContourOf, countOnce,
                         [&](std::int32_t b, bool counts) {
                           if (!touched[b]) {
                             touched[b] = 1;
                             shared[b] = 0;
                             neighbours.push_back(b);
                           }
                           if (counts) ++shared[b];
                         });
    for (std::uint32_t pixel : countedPixels) counted.clear(pixel);
    countedPixels.clear();
    for (std::int32_t b : neighbours) {
      touched[b] = 0;
      const float weight = rule.weighted
                               ? edgeWeight(region.end, regions[b].end, static_cast<double>(shared[b]),
                                            rule.epsilon, rule.nbPixMin)
                               : 1.0f;
      writes.push_back({a, b, weight});
    }
  }
  return writes;
}

}  // namespace quarvel
