#pragma once

#include <cstddef>
#include <string>

namespace quarvel {

// Why an image file was refused. The detail says which field or which byte,
// in the words of the line that the operator reads.
enum class ImageRefusal {
  None,
  CannotOpen,              // detail: the system's reason
  NotABitmap,              // no "BM", an unknown header size, planes other than 1
  UnsupportedDepth,        // detail: the bits per pixel
  UnsupportedCompression,  // detail: which compression, and with which depth
  CutShort,                // the file ends before a header, the palette or the pixels it declares
  ImpossibleSize,          // a width or height of 0 or less, or more pixels than the limit
  Damaged,                 // a colour beyond the palette, a run beyond the picture
  TooLargeForMemory,
};

struct ImageFailure {
  ImageRefusal refusal = ImageRefusal::None;
  std::string detail;
};

// Why a descriptor file was refused.
enum class DescriptorRefusal {
  None,
  CannotOpen,   // detail: the system's reason
  NoNumber,     // empty, or a word first
  OnlyCount,    // the block count N and nothing after it
  ZeroBlocks,   // N = 0 with values after it
  TooFewValues  // fewer values than the clusters from tone 1 upward need
};

struct DescriptorFailure {
  DescriptorRefusal refusal = DescriptorRefusal::None;
  std::string detail;
  double blockCount = 0.0;     // N
  std::size_t valuesHeld = 0;  // values after N
  double valuesNeeded = 0.0;   // for TooFewValues; a tiny N makes it huge
  std::size_t receivers = 0;   // clusters from tone 1 upward
  double blockLength = 0.0;    // values a cluster takes
};

// The line written on the error stream for a refused file (no line end).
std::string imageRefusalLine(const std::string& fileName, const ImageFailure& failure);
std::string descriptorRefusalLine(const std::string& fileName, const DescriptorFailure& failure);

// The system's reason for the last failed open, as the C library reports it.
std::string lastSystemReason();

}  // namespace quarvel
