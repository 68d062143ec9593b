#pragma once

#include <memory>
#include <ostream>

#include "regions/label_value.h"

namespace quarvel {

// What is known of one pixel besides its position: its tone and, once labelled,
// its region number, each optional and owned by this record alone.
class PixelRecord {
 public:
  PixelRecord() = default;
  PixelRecord(const PixelRecord& other);
  PixelRecord& operator=(const PixelRecord& other);
  virtual ~PixelRecord() = default;

  // Null when absent.
  LabelValue* tone() const { return tone_.get(); }
  LabelValue* regionNumber() const { return regionNumber_.get(); }
  // Reuse the present value, or create one.
  void setTone(double value);
  void setRegionNumber(double value);
  // Take ownership of value, deleting the present one, unless it is the same.
  void replaceTone(LabelValue* value);
  void replaceRegionNumber(LabelValue* value);

 private:
  std::unique_ptr<LabelValue> tone_;
  std::unique_ptr<LabelValue> regionNumber_;
};

// "t:" and the tone when present, then "r:" and the region number when present.
std::ostream& operator<<(std::ostream& out, const PixelRecord& record);

}  // namespace quarvel
