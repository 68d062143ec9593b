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
  ownerOf_.resize(regionCount);
  nextPiece_.assign(regionCount, kNone);
  firstPiece_.resize(regionCount);
  lastPiece_.resize(regionCount);
  size_.resize(regionCount);
  for (std::size_t r = 0; r < regionCount; ++r) {
    const auto index = static_cast<std::int32_t>(r);
    ownerOf_[r] = firstPiece_[r] = lastPiece_[r] = index;
    size_[r] = pieceStart_[r + 1] - pieceStart_[r];
  }
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
  size_[k] += size_[a];
  size_[a] = 0;
}

std::vector<std::int32_t> PixelOwnership::takeNumbers(const std::vector<std::int32_t>& numberOf) {
  for (std::int32_t& entry : piece_) {
    entry = entry < 0 ? 0 : numberOf[static_cast<std::size_t>(ownerOf_[static_cast<std::size_t>(entry)])];
  }
  std::vector<std::int32_t> numbers = std::move(piece_);
  *this = PixelOwnership();
  return numbers;
}

}  // namespace quarvel
