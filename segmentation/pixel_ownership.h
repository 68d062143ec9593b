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
  static constexpr std::uint32_t kNoPiece = 0xffffffffu;

  // pieces: the region index of every pixel in raster order, kNoPiece for
  // none, on a grid width pixels wide; regions are indexed 0 .. regionCount - 1.
  void start(std::vector<std::uint32_t> pieces, int width, std::size_t regionCount);

  std::int32_t regionAt(std::size_t pixel) const {
    const std::uint32_t piece = piece_[pixel];
    return piece == kNoPiece ? -1 : ownerOf_[piece];
  }
  std::size_t pixelCount() const { return piece_.size(); }

  // The number of pixels a live region holds.
  std::size_t sizeOf(std::int32_t region) const { return size_[static_cast<std::size_t>(region)]; }
  // The pixels forEachPixel looks at to find the region's: the areas of its
  // pieces' bounding boxes.
  std::uint64_t scanCostOf(std::int32_t region) const { return scanCost_[static_cast<std::size_t>(region)]; }
  // Whether the pixel at (row, column) lies within one step of the bounding
  // box of the region's pixels, that is, whether its 3 x 3 block may hold one.
  bool mayBeNear(std::int32_t region, std::size_t row, std::size_t column) const {
    const Box& box = regionBox_[static_cast<std::size_t>(region)];
    return row + 1 >= box.top && row <= std::size_t{box.bottom} + 1 && column + 1 >= box.left &&
           column <= std::size_t{box.right} + 1;
  }
  // Calls visit(pixel) for the region's pixels in turn while it answers true:
  // piece by piece, each in raster order; when two regions merge, the pieces
  // of the larger come first. A piece's pixels are found in its bounding box,
  // so that no list of every pixel (four bytes a pixel) is kept for the few
  // merges that need them.
  template <typename Visit>
  void forEachPixel(std::int32_t region, Visit&& visit) const {
    for (std::int32_t piece = firstPiece_[static_cast<std::size_t>(region)]; piece != kNone;
         piece = nextPiece_[static_cast<std::size_t>(piece)]) {
      const Box& box = box_[static_cast<std::size_t>(piece)];
      for (std::size_t row = box.top; row <= box.bottom; ++row) {
        const std::size_t end = row * width_ + box.right;
        for (std::size_t pixel = row * width_ + box.left; pixel <= end; ++pixel) {
          if (piece_[pixel] == static_cast<std::uint32_t>(piece) &&
              !visit(static_cast<std::uint32_t>(pixel))) {
            return;
          }
        }
      }
    }
  }

  // kept takes every pixel of absorbed.
  void absorb(std::int32_t kept, std::int32_t absorbed);

  // Ends the ownership: hands over the per-pixel table with every entry
  // turned into numberOf[its live region] (never negative), 0 for a pixel of
  // no region.
  std::vector<std::uint32_t> takeNumbers(const std::vector<std::int32_t>& numberOf);

 private:
  static constexpr std::int32_t kNone = -1;
  // A piece's bounding box, rows and columns both inclusive.
  struct Box {
    std::uint32_t top = 0;
    std::uint32_t bottom = 0;
    std::uint32_t left = 0;
    std::uint32_t right = 0;
  };
  // The box of no pixel: no row to scan, no pixel near it, and the union
  // with it leaves a box as it is.
  static constexpr Box kEmptyBox{UINT32_MAX, 0, UINT32_MAX, 0};
  std::size_t width_ = 0;
  std::vector<std::uint32_t> piece_;      // per pixel
  std::vector<Box> box_;                  // per piece
  std::vector<Box> regionBox_;            // per region: the union of its pieces' boxes
  std::vector<std::int32_t> ownerOf_;     // per piece: the live region holding it
  std::vector<std::int32_t> nextPiece_;   // per piece: the next piece of its region
  std::vector<std::int32_t> firstPiece_;  // per region
  std::vector<std::int32_t> lastPiece_;
  std::vector<std::uint32_t> size_;      // per region: pixels
  std::vector<std::uint64_t> scanCost_;  // per region
};

}  // namespace quarvel
