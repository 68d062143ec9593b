#include "model/descriptor_file.h"

#include <cmath>
#include <fstream>

namespace quarvel {

std::vector<float> readDescriptorValues(std::istream& in) {
  std::vector<float> values;
  float value = 0.0f;
  while (in >> value) values.push_back(value);
  return values;
}

bool readDescriptorFile(const std::string& fileName, std::vector<float>& values) {
  std::ifstream in(fileName);
  if (!in) return false;
  values = readDescriptorValues(in);
  return true;
}

bool planDescriptors(const std::vector<float>& values, std::size_t receiverCount, DescriptorPlan& plan) {
  if (values.empty()) return false;
  const double blockCount = values[0];
  const double available = static_cast<double>(values.size() - 1);
  if (available == 0.0 || blockCount == 0.0) return false;
  const double perCluster = available / blockCount;
  if (std::isnan(perCluster)) return false;
  if (perCluster < 0.0 || receiverCount == 0) {
    plan = DescriptorPlan{};
    return true;
  }
  const double blockLength = std::ceil(perCluster);
  if (blockLength * static_cast<double>(receiverCount) > available) return false;
  plan.blockLength = static_cast<std::size_t>(blockLength);
  plan.receiverCount = receiverCount;
  return true;
}

}  // namespace quarvel
