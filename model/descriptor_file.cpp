#include "model/descriptor_file.h"

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace quarvel {

std::vector<float> readDescriptorValues(std::istream& in) {
  std::vector<float> values;
  float value = 0.0f;
  while (in >> value) values.push_back(value);
  return values;
}

bool readDescriptorFile(const std::string& fileName, std::vector<float>& values, DescriptorFailure& failure) {
  std::error_code error;
  if (std::filesystem::is_directory(fileName, error)) {
    failure.refusal = DescriptorRefusal::CannotOpen;
    failure.detail = std::make_error_code(std::errc::is_a_directory).message();
    return false;
  }
  errno = 0;
  std::ifstream in(fileName);
  if (!in) {
    failure.refusal = DescriptorRefusal::CannotOpen;
    failure.detail = lastSystemReason();
    return false;
  }
  values = readDescriptorValues(in);
  return true;
}

bool planDescriptors(const std::vector<float>& values, std::size_t receiverCount, DescriptorPlan& plan,
                     DescriptorFailure& failure) {
  if (values.empty()) {
    failure.refusal = DescriptorRefusal::NoNumber;
    return false;
  }
  const double blockCount = values[0];
  const double available = static_cast<double>(values.size() - 1);
  failure.blockCount = blockCount;
  failure.valuesHeld = values.size() - 1;
  if (available == 0.0) {
    failure.refusal = DescriptorRefusal::OnlyCount;
    return false;
  }
  if (blockCount == 0.0) {
    failure.refusal = DescriptorRefusal::ZeroBlocks;
    return false;
  }
  const double perCluster = available / blockCount;
  if (std::isnan(perCluster)) {
    failure.refusal = DescriptorRefusal::NoNumber;
    return false;
  }
  if (perCluster < 0.0 || receiverCount == 0) {
    plan = DescriptorPlan{};
    return true;
  }
  const double blockLength = std::ceil(perCluster);
  if (blockLength * static_cast<double>(receiverCount) > available) {
    failure.refusal = DescriptorRefusal::TooFewValues;
    failure.receivers = receiverCount;
    failure.blockLength = blockLength;
    failure.valuesNeeded = blockLength * static_cast<double>(receiverCount);
    return false;
  }
  plan.blockLength = static_cast<std::size_t>(blockLength);
  plan.receiverCount = receiverCount;
  return true;
}

}  // namespace quarvel
