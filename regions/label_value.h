#pragma once

#include <istream>
#include <ostream>

namespace quarvel {

// One boxed double: a pixel's tone or its region number.
class LabelValue {
 public:
  explicit LabelValue(double value) : value_(value) {}
  LabelValue(const LabelValue&) = default;
  LabelValue& operator=(const LabelValue&) = default;
  virtual ~LabelValue() = default;

  double value() const { return value_; }
  void setValue(double value) { value_ = value; }

 private:
  double value_;
};

std::ostream& operator<<(std::ostream& out, const LabelValue& value);
std::istream& operator>>(std::istream& in, LabelValue& value);

}  // namespace quarvel
