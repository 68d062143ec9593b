#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "segmentation/fusion_pairs.h"
#include "segmentation/pixel_ownership.h"

namespace quarvel {

// The traced contours of the live regions and the contact counts of their
// pairs (FusionPairs) that follow from them.
//
// Every count is a sum over contour pixels of something read in the pixel's
// 3 x 3 block, so when one pixel joins or leaves a contour the counts change
// by what that block shows (countContacts). A merge therefore costs the
// contour pixels that change, plus the smaller part's contour for the pixels
// near both parts.
class ContourGeometry {
 public:
  // contours[r]: the contour pixels of region r, each a pixel of r. Counts the
  // contacts of every pair as the graph construction's visits would.
  void start(int width, int height, std::vector<std::vector<std::uint32_t>> contours,
             const PixelOwnership& owners, FusionPairs& pairs);

  std::size_t contourSize(std::int32_t region) const {
    return contours_[static_cast<std::size_t>(region)].size();
  }
  // The region's contour pixels, in no particular order.
  const std::vector<std::uint32_t>& contour(std::int32_t region) const {
    return contours_[static_cast<std::size_t>(region)];
  }
  bool onContour(std::size_t pixel) const { return (flags_[pixel] & kOnContour) != 0; }

  // Before a merges b: per region c, the number of c's contour pixels within
  // one step of both a's and b's contours, into overlap (zero on entry);
  // the regions with a non-zero count are appended to counted.
  void countOverlap(std::int32_t a, std::int32_t b, const PixelOwnership& owners,
                    std::vector<std::uint32_t>& overlap, std::vector<std::int32_t>& counted);

  // After a has taken b's pixels: a's contour becomes the trace of the merged
  // region from firstPixel (traced again when traceAgain, otherwise the
  // contour of lead, which must then be that trace), and the contact counts
  // follow. The pairs whose counts changed are appended to changed.
  void reshape(std::int32_t a, std::int32_t b, std::int32_t lead, bool traceAgain, std::uint32_t firstPixel,
               std::size_t maxMoves, const PixelOwnership& owners, FusionPairs& pairs,
               std::vector<std::int32_t>& changed);

 private:
  static constexpr std::uint8_t kOnContour = 1;
  static constexpr std::uint8_t kTraced = 2;
  static constexpr std::uint8_t kSeen = 4;

  // The contact changes when pixel of region m joins (sign 1) or leaves
  // (sign -1) m's contour; the pixel is not flagged as on it while counting.
  void countContacts(std::size_t pixel, std::int32_t m, std::uint32_t sign, const PixelOwnership& owners,
                     FusionPairs& pairs, std::vector<std::int32_t>& changed);
  // Whether a contour pixel of region m other than skip lies in pixel's block.
  bool nearContourOf(std::size_t pixel, std::size_t skip, std::int32_t m, const PixelOwnership& owners) const;

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> flags_;  // per pixel
  std::vector<std::vector<std::uint32_t>> contours_;
  std::vector<std::uint32_t> scratch_;
};

}  // namespace quarvel
