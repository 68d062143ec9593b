#include "regions/pixel_record.h"

namespace quarvel {
namespace {

std::unique_ptr<LabelValue> copyOf(const std::unique_ptr<LabelValue>& value) {
  return value ? std::make_unique<LabelValue>(*value) : nullptr;
}

void setOrCreate(std::unique_ptr<LabelValue>& slot, double value) {
  if (slot) {
    slot->setValue(value);
  } else {
    slot = std::make_unique<LabelValue>(value);
  }
}

// Taking back the pointer already held must not delete it.
void replace(std::unique_ptr<LabelValue>& slot, LabelValue* value) {
  if (value != slot.get()) slot.reset(value);
}

}  // namespace

PixelRecord::PixelRecord(const PixelRecord& other)
    : tone_(copyOf(other.tone_)), regionNumber_(copyOf(other.regionNumber_)) {}

PixelRecord& PixelRecord::operator=(const PixelRecord& other) {
  if (this != &other) {
    tone_ = copyOf(other.tone_);
    regionNumber_ = copyOf(other.regionNumber_);
  }
  return *this;
}

void PixelRecord::setTone(double value) { setOrCreate(tone_, value); }
void PixelRecord::setRegionNumber(double value) { setOrCreate(regionNumber_, value); }
void PixelRecord::replaceTone(LabelValue* value) { replace(tone_, value); }
void PixelRecord::replaceRegionNumber(LabelValue* value) { replace(regionNumber_, value); }

std::ostream& operator<<(std::ostream& out, const PixelRecord& record) {
  if (record.tone() != nullptr) out << "t:" << *record.tone();
  if (record.regionNumber() != nullptr) out << "r:" << *record.regionNumber();
  return out;
}

}  // namespace quarvel
