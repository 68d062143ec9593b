#pragma once

#include <ostream>
#include <vector>

namespace quarvel {

// What regions and clusters share: a number and a list of float descriptors.
class PixelGroup {
 public:
  PixelGroup() = default;
  explicit PixelGroup(double number) : number_(number) {}
  PixelGroup(const PixelGroup&) = default;
  PixelGroup& operator=(const PixelGroup&) = default;
  PixelGroup(PixelGroup&&) noexcept = default;
  PixelGroup& operator=(PixelGroup&&) noexcept = default;
  virtual ~PixelGroup() = 0;

  double number() const { return number_; }
  void setNumber(double number) { number_ = number; }
  const std::vector<float>& descriptors() const { return descriptors_; }
  std::vector<float>& descriptors() { return descriptors_; }
  void addDescriptor(float value) { descriptors_.push_back(value); }
  void setDescriptors(const std::vector<float>& descriptors) { descriptors_ = descriptors; }

 private:
  double number_ = 0.0;
  std::vector<float> descriptors_;
};

// Writes the number and ends the line.
std::ostream& operator<<(std::ostream& out, const PixelGroup& group);

}  // namespace quarvel
