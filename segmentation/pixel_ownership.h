#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarvel {

// Which live region holds each pixel during the fusion. A pixel keeps for good
// the region it had at the start (its piece), and each piece names the live
// region that holds it now, so answering for a pixel is two loads and no
// per-pixel table is written after the start. When a region absorbs another,
// the absorbed region's pieces name the kept one: on class maps that is a few
// pieces a merge, whatever the pixels.
class PixelOwnership {
 public:
  // labels: the region index of every pixel in raster order, -1 for none;
  // regions are indexed 0 .. regionCount - 1.
  void start(std::vector<std::int32_t> labels, std::size_t regionCount);

  std::int32_t regionAt(std::size_t pixel) const {
    const std::int32_t piece = piece_[pixel];
    return piece < 0 ? -1 : ownerOf_[static_cast<std::size_t>(piece)];
  }
  std::size_t pixelCount() const { return piece_.size(); }

  // The number of pixels a live region holds.
  std::size_t sizeOf(std::int32_t region) const { return size_[static_cast<std::size_t>(region)]; }
  // Calls visit(pixel) for the region's pixels in turn while it answers true:
  // piece by piece, each in raster order; when two regions merge, the pieces
  // of the larger come first.
  template <typename Visit>
  void forEachPixel(std::int32_t region, Visit&& visit) const {
    for (std::int32_t piece = firstPiece_[static_cast<std::size_t>(region)]; piece != kNone;
         piece = nextPiece_[static_cast<std::size_t>(piece)]) {
      const std::size_t end = pieceStart_[static_cast<std::size_t>(piece) + 1];
      for (std::size_t i = pieceStart_[static_cast<std::size_t>(piece)]; i < end; ++i) {
        if (!visit(pixels_[i])) return;
      }
    }
  }

  // kept takes every pixel of absorbed.
  void absorb(std::int32_t kept, std::int32_t absorbed);

  // Ends the ownership: hands over the per-pixel table with every entry
  // turned into numberOf[its live region], 0 for a pixel of no region.
  std::vector<std::int32_t> takeNumbers(const std::vector<std::int32_t>& numberOf);

 private:
  static constexpr std::int32_t kNone = -1;
  std::vector<std::int32_t> piece_;        // per pixel
  std::vector<std::uint32_t> pixels_;      // every piece's pixels, piece after piece
  std::vector<std::uint32_t> pieceStart_;  // per piece, and one past the last
  std::vector<std::int32_t> ownerOf_;      // per piece: the live region holding it
  std::vector<std::int32_t> nextPiece_;    // per piece: the next piece of its region
  std::vector<std::int32_t> firstPiece_;   // per region
  std::vector<std::int32_t> lastPiece_;
  std::vector<std::uint32_t> size_;  // per region: pixels
};

}  // namespace quarvel
