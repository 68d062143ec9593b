#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

#include "model/load_failure.h"

namespace quarvel {

// The numbers of a descriptor file, read as floats one after another until the
// first one that cannot be read (end of the text, or a word that is not a
// number). The first value is the block count N, the rest are the blocks.
std::vector<float> readDescriptorValues(std::istream& in);
// The same from a named file; false, with the system's reason, when it cannot
// be opened.
bool readDescriptorFile(const std::string& fileName, std::vector<float>& values, DescriptorFailure& failure);

// How the values are handed out: the clusters from key 1 upward, in key order,
// each take blockLength values, the first starting at values[1].
struct DescriptorPlan {
  std::size_t blockLength = 0;
  std::size_t receiverCount = 0;
};

// Decides the hand-out of values to receiverCount clusters. The block length
// is the smallest whole number not less than (count - 1) / N. Refused (false,
// with the reason): no values, a lone N, N = 0 with values after it, or fewer
// values than the receivers' blocks need. A negative N is accepted and hands
// out nothing.
bool planDescriptors(const std::vector<float>& values, std::size_t receiverCount, DescriptorPlan& plan,
                     DescriptorFailure& failure);

}  // namespace quarvel
