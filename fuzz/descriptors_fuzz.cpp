// The fuzzer's bytes are a descriptor file, opened over a small loaded image
// whose tones are 0, 1, 2, 7 and 200. Checks the hand-out: the clusters from
// key 1 upward each take one whole block, in key order, or, when the file is
// refused, no cluster is touched.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/scratch_folder.h"
#include "model/segmenter.h"

namespace {

using quarvel::fuzz::require;

// A 4 x 2 bitmap, bottom row stored first: tones 7 1 0 200 under 0 1 2 7.
std::vector<std::uint8_t> smallImage() {
  return quarvel::fuzz::classBitmap(4, 2, {7, 1, 0, 200, 0, 1, 2, 7});
}

const std::vector<double> kReceivers = {1.0, 2.0, 7.0, 200.0};

// The values as formatted float extraction yields them, up to the first failure.
std::vector<float> valuesOf(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::vector<float> values;
  float value = 0.0f;
  while (in >> value) values.push_back(value);
  return values;
}

// The block length each receiver takes, or -1 when the file must be refused.
long expectedBlockLength(const std::vector<float>& values) {
  if (values.size() < 2 || values[0] == 0.0f) return -1;
  const double available = static_cast<double>(values.size() - 1);
  const double perCluster = available / static_cast<double>(values[0]);
  if (perCluster < 0.0) return 0;
  const double length = std::ceil(perCluster);
  if (length * static_cast<double>(kReceivers.size()) > available) return -1;
  return static_cast<long>(length);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const std::vector<std::uint8_t> image = smallImage();
  quarvel::fuzz::writeFile(quarvel::fuzz::scratchFile("small.bmp"), image.data(), image.size());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = quarvel::fuzz::scratchFile("descriptors.txt");
  quarvel::fuzz::writeFile(path, data, size);
  quarvel::Segmenter segmenter;
  require(segmenter.openImage(quarvel::fuzz::scratchFile("small.bmp")), "the small image loads");
  require(segmenter.clusterTable().size() == kReceivers.size() + 1, "five clusters");

  const std::vector<float> values = valuesOf(data, size);
  const long length = expectedBlockLength(values);
  require(segmenter.openDescriptors(path) == (length >= 0), "the file is accepted exactly when it may be");
  require(segmenter.clusterAt(0.0).descriptors().empty(), "tone 0 takes no descriptors");

  const std::size_t blockLength = length > 0 ? static_cast<std::size_t>(length) : 0;
  std::size_t next = 1;
  for (double key : kReceivers) {
    const std::vector<float> held = segmenter.clusterAt(key).descriptors();
    require(held.size() == blockLength, "every receiver takes one whole block");
    for (float value : held) {
      const float expected = values[next++];
      require(value == expected || (std::isnan(value) && std::isnan(expected)), "values in file order");
    }
  }
  return 0;
}
