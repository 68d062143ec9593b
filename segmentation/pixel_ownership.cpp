#include "segmentation/pixel_ownership.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace quarvel {

void PixelOwnership::start(std::vector<std::uint32_t> pieces, int width, std::size_t regionCount) {
  piece_ = std::move(pieces);
  width_ = width > 0 ? static_cast<std::size_t>(width) : 1;
  box_.assign(regionCount, Box{});
  size_.assign(regionCount, 0);
  const std::size_t rows = piece_.size() / width_;
  for (std::size_t row = 0, pixel = 0; row < rows; ++row) {
    for (std::size_t column = 0; column < width_; ++column, ++pixel) {
      const std::uint32_t piece = piece_[pixel];
      if (piece == kNoPiece) continue;
      Box& box = box_[piece];
      const auto y = static_cast<std::uint32_t>(row);
      const auto x = static_cast<std::uint32_t>(column);
      if (size_[piece]++ == 0) {
        box = {y, y, x, x};
        continue;
      }
      box.bottom = y;
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x);
    }
  }
  ownerOf_.resize(regionCount);
  nextPiece_.assign(regionCount, kNone);
  firstPiece_.resize(regionCount);
  lastPiece_.resize(regionCount);
  scanCost_.resize(regionCount);
  for (std::size_t r = 0; r < regionCount; ++r) {
    const auto index = static_cast<std::int32_t>(r);
    ownerOf_[r] = firstPiece_[r] = lastPiece_[r] = index;
    const Box& box = box_[r];
    scanCost_[r] =
        size_[r] == 0 ? 0 : std::uint64_t{box.bottom - box.top + 1} * std::uint64_t{box.right - box.left + 1};
    if (size_[r] == 0) box_[r] = kEmptyBox;
  }
  regionBox_ = box_;
}

void PixelOwnership::absorb(std::int32_t kept, std::int32_t absorbed) {
  const std::size_t k = static_cast<std::size_t>(kept);
  const std::size_t a = static_cast<std::size_t>(absorbed);
  assert(firstPiece_[k] != kNone && firstPiece_[a] != kNone);
  for (std::int32_t piece = firstPiece_[a]; piece != kNone;
       piece = nextPiece_[static_cast<std::size_t>(piece)]) {
    ownerOf_[static_cast<std::size_t>(piece)] = kept;
  }
  if (size_[k] >= size_[a]) {
    nextPiece_[static_cast<std::size_t>(lastPiece_[k])] = firstPiece_[a];
    lastPiece_[k] = lastPiece_[a];
  } else {
    nextPiece_[static_cast<std::size_t>(lastPiece_[a])] = firstPiece_[k];
    firstPiece_[k] = firstPiece_[a];
  }
  firstPiece_[a] = lastPiece_[a] = kNone;
  Box& box = regionBox_[k];
  const Box& taken = regionBox_[a];
  box = {std::min(box.top, taken.top), std::max(box.bottom, taken.bottom), std::min(box.left, taken.left),
         std::max(box.right, taken.right)};
  regionBox_[a] = kEmptyBox;
  size_[k] += size_[a];
  size_[a] = 0;
  scanCost_[k] += scanCost_[a];
  scanCost_[a] = 0;
}

std::vector<std::uint32_t> PixelOwnership::takeNumbers(const std::vector<std::int32_t>& numberOf) {
  for (std::uint32_t& entry : piece_) {
    entry = entry == kNoPiece
                ? 0
                : static_cast<std::uint32_t>(numberOf[static_cast<std::size_t>(ownerOf_[entry])]);
  }
  std::vector<std::uint32_t> numbers = std::move(piece_);
  *this = PixelOwnership();
  return numbers;
}

}  // namespace quarvel
