#include "segmentation/pixel_ownership.h"

#include <cassert>
#include <utility>

namespace quarvel {

void PixelOwnership::start(std::vector<std::int32_t> labels, std::size_t regionCount) {
  piece_ = std::move(labels);
  pieceStart_.assign(regionCount + 1, 0);
  for (const std::int32_t piece : piece_) {
    if (piece >= 0) ++pieceStart_[static_cast<std::size_t>(piece) + 1];
  }
  for (std::size_t r = 0; r < regionCount; ++r) pieceStart_[r + 1] += pieceStart_[r];
  pixels_.resize(pieceStart_[regionCount]);
  {
    std::vector<std::uint32_t> filled(pieceStart_.begin(), pieceStart_.end() - 1);
    for (std::size_t pixel = 0; pixel < piece_.size(); ++pixel) {
      const std::int32_t piece = piece_[pixel];
      if (piece >= 0) pixels_[filled[static_cast<std::size_t>(piece)]++] = static_cast<std::uint32_t>(pixel);
    }
  }
  groupOfPiece_.resize(regionCount);
  nextPiece_.assign(regionCount, kNone);
  owner_.resize(regionCount);
  groupOf_.resize(regionCount);
  firstPiece_.resize(regionCount);
  lastPiece_.resize(regionCount);
  size_.resize(regionCount);
  for (std::size_t r = 0; r < regionCount; ++r) {
    const auto index = static_cast<std::int32_t>(r);
    groupOfPiece_[r] = owner_[r] = groupOf_[r] = firstPiece_[r] = lastPiece_[r] = index;
    size_[r] = pieceStart_[r + 1] - pieceStart_[r];
  }
}

void PixelOwnership::absorb(std::int32_t kept, std::int32_t absorbed) {
  std::size_t large = static_cast<std::size_t>(groupOf_[static_cast<std::size_t>(kept)]);
  std::size_t small = static_cast<std::size_t>(groupOf_[static_cast<std::size_t>(absorbed)]);
  assert(owner_[large] == kept && owner_[small] == absorbed);
  // The larger group's pieces come first, as its pixels would in one list
  // grown by appending the smaller one.
  if (size_[large] < size_[small]) std::swap(large, small);
  for (std::int32_t piece = firstPiece_[small]; piece != kNone;
       piece = nextPiece_[static_cast<std::size_t>(piece)]) {
    groupOfPiece_[static_cast<std::size_t>(piece)] = static_cast<std::int32_t>(large);
  }
  nextPiece_[static_cast<std::size_t>(lastPiece_[large])] = firstPiece_[small];
  lastPiece_[large] = lastPiece_[small];
  firstPiece_[small] = lastPiece_[small] = kNone;
  size_[large] += size_[small];
  size_[small] = 0;
  owner_[large] = kept;
  groupOf_[static_cast<std::size_t>(kept)] = static_cast<std::int32_t>(large);
  groupOf_[static_cast<std::size_t>(absorbed)] = -1;
}

std::vector<std::int32_t> PixelOwnership::takeNumbers(const std::vector<std::int32_t>& numberOf) {
  for (std::int32_t& entry : piece_) {
    entry = entry < 0
                ? 0
                : numberOf[static_cast<std::size_t>(
                      owner_[static_cast<std::size_t>(groupOfPiece_[static_cast<std::size_t>(entry)])])];
  }
  std::vector<std::int32_t> numbers = std::move(piece_);
  *this = PixelOwnership();
  return numbers;
}

}  // namespace quarvel
