#include "model/pixel_table.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace quarvel {

void PixelTable::reset(int width, int height) {
  width_ = width > 0 && height > 0 ? width : 0;
  height_ = width > 0 && height > 0 ? height : 0;
  const std::size_t cells = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
  gridCount_ = 0;
  tones_.assign(cells, 0);
  regions_.assign(cells, 0);
  flags_.assign(cells, 0);
  oddTones_.clear();
  oddRegions_.clear();
  extra_.clear();
}

namespace {

// Whether a value is a whole number from 0 to limit that reads back as itself
// (a negative zero does not).
bool isSmallWhole(double value, double limit) {
  return value >= 0.0 && value <= limit && std::floor(value) == value && !std::signbit(value);
}

}  // namespace

void PixelTable::storeTone(std::size_t cell, double tone) {
  if (isSmallWhole(tone, 255.0)) {
    tones_[cell] = static_cast<std::uint8_t>(tone);
    if (flags_[cell] & kOddTone) oddTones_.erase(cell);
    flags_[cell] &= static_cast<std::uint8_t>(~kOddTone);
    return;
  }
  tones_[cell] = 0;
  oddTones_[cell] = tone;
  flags_[cell] |= kOddTone;
}

void PixelTable::storeRegionNumber(std::size_t cell, double number) {
  if (isSmallWhole(number, 4294967295.0)) {
    regions_[cell] = static_cast<std::uint32_t>(number);
    if (flags_[cell] & kOddRegion) oddRegions_.erase(cell);
    flags_[cell] &= static_cast<std::uint8_t>(~kOddRegion);
    return;
  }
  regions_[cell] = 0;
  oddRegions_[cell] = number;
  flags_[cell] |= kOddRegion;
}

void PixelTable::setGridRegionNumbers(const std::vector<std::int32_t>& numbers) {
  const std::size_t cells = std::min(numbers.size(), flags_.size());
  for (std::size_t cell = 0; cell < cells; ++cell) {
    const std::int32_t number = numbers[cell];
    if (number < 0 || (flags_[cell] & kOddRegion)) {
      storeRegionNumber(cell, static_cast<double>(number));
    } else {
      regions_[cell] = static_cast<std::uint32_t>(number);
    }
    flags_[cell] |= kRegion;
  }
}

bool PixelTable::isPlainGrid() const {
  if (!extra_.empty() || !oddTones_.empty() || !oddRegions_.empty() || gridCount_ != flags_.size())
    return false;
  // The flags are folded a block at a time, a loop the compiler turns into
  // wide operations: a run asks this of the whole table several times.
  constexpr std::uint8_t kBoth = kTone | kRegion;
  constexpr std::size_t kBlock = 4096;
  for (std::size_t start = 0; start < flags_.size(); start += kBlock) {
    const std::size_t end = std::min(flags_.size(), start + kBlock);
    std::uint8_t common = kBoth;
    for (std::size_t cell = start; cell < end; ++cell) common &= flags_[cell];
    if (common != kBoth) return false;
  }
  return true;
}

std::vector<std::uint32_t> PixelTable::lendRegionWords() {
  assert(isPlainGrid());
  std::vector<std::uint32_t> words;
  words.swap(regions_);
  return words;
}

void PixelTable::returnRegionWords(std::vector<std::uint32_t> words) {
  assert(regions_.empty() && words.size() == flags_.size());
  regions_ = std::move(words);
}

std::vector<double> PixelTable::gridTones() const {
  std::vector<double> tones(tones_.size());
  for (std::size_t cell = 0; cell < tones.size(); ++cell) tones[cell] = toneOfCell(cell);
  return tones;
}

std::ptrdiff_t PixelTable::cellOf(const Point& point) const {
  const double x = point.x();
  const double y = point.y();
  if (!(x >= 0.0 && y >= 0.0 && x < width_ && y < height_)) return -1;
  if (std::floor(x) != x || std::floor(y) != y) return -1;
  return static_cast<std::ptrdiff_t>(cellIndex(static_cast<int>(x), static_cast<int>(y)));
}

Point PixelTable::pointOfCell(std::size_t cell) const {
  const std::size_t w = static_cast<std::size_t>(width_);
  return Point(static_cast<double>(cell % w), static_cast<double>(cell / w));
}

PixelRecord PixelTable::recordOfCell(std::size_t cell) const {
  PixelRecord record;
  if (flags_[cell] & kTone) record.setTone(toneOfCell(cell));
  if (flags_[cell] & kRegion) record.setRegionNumber(regionNumberOfCell(cell));
  return record;
}

std::size_t PixelTable::nextPresentCell(std::size_t cell) const {
  const std::size_t cells = flags_.size();
  if (gridCount_ == cells) return cell;  // every cell is present
  while (cell < cells && !(flags_[cell] & kPresent)) ++cell;
  return cell;
}

bool PixelTable::insert(const Point& point, const PixelRecord& record) {
  const std::ptrdiff_t cell = cellOf(point);
  if (cell < 0) return extra_.emplace(point, record).second;
  const auto c = static_cast<std::size_t>(cell);
  if (flags_[c] & kPresent) return false;
  flags_[c] = kPresent;
  if (record.tone() != nullptr) {
    storeTone(c, record.tone()->value());
    flags_[c] |= kTone;
  }
  if (record.regionNumber() != nullptr) {
    storeRegionNumber(c, record.regionNumber()->value());
    flags_[c] |= kRegion;
  }
  ++gridCount_;
  return true;
}

bool PixelTable::contains(const Point& point) const {
  const std::ptrdiff_t cell = cellOf(point);
  if (cell < 0) return extra_.count(point) != 0;
  return flags_[static_cast<std::size_t>(cell)] & kPresent;
}

PixelRecord PixelTable::at(const Point& point) const {
  const std::ptrdiff_t cell = cellOf(point);
  if (cell < 0) {
    const auto it = extra_.find(point);
    return it == extra_.end() ? PixelRecord() : it->second;
  }
  return recordOfCell(static_cast<std::size_t>(cell));
}

void PixelTable::setTone(const Point& point, double tone) {
  const std::ptrdiff_t cell = cellOf(point);
  if (cell < 0) {
    const auto it = extra_.find(point);
    if (it != extra_.end()) it->second.setTone(tone);
    return;
  }
  const auto c = static_cast<std::size_t>(cell);
  if (!(flags_[c] & kPresent)) return;
  storeTone(c, tone);
  flags_[c] |= kTone;
}

void PixelTable::setRegionNumber(const Point& point, double number) {
  const std::ptrdiff_t cell = cellOf(point);
  if (cell < 0) {
    const auto it = extra_.find(point);
    if (it != extra_.end()) it->second.setRegionNumber(number);
    return;
  }
  const auto c = static_cast<std::size_t>(cell);
  if (!(flags_[c] & kPresent)) return;
  storeRegionNumber(c, number);
  flags_[c] |= kRegion;
}

PixelTable::const_iterator PixelTable::begin() const {
  return const_iterator(this, nextPresentCell(0), extra_.begin());
}

PixelTable::const_iterator PixelTable::end() const {
  return const_iterator(this, flags_.size(), extra_.end());
}

std::size_t PixelTable::firstCellAfter(const Point& point) const {
  const std::size_t cells = flags_.size();
  if (cells == 0 || point.y() >= height_) return cells;
  if (point.y() < 0.0) return 0;
  const auto w = static_cast<std::size_t>(width_);
  const double row = std::floor(point.y());
  const auto rowStart = static_cast<std::size_t>(row) * w;
  if (row != point.y()) return rowStart + w;
  if (point.x() < 0.0) return rowStart;
  if (point.x() >= width_) return rowStart + w;
  return rowStart + static_cast<std::size_t>(std::floor(point.x())) + 1;
}

PixelTable::const_iterator PixelTable::find(const Point& point) const {
  const std::ptrdiff_t cell = cellOf(point);
  if (cell < 0) {
    const auto it = extra_.find(point);
    if (it == extra_.end()) return end();
    return const_iterator(this, nextPresentCell(firstCellAfter(point)), it);
  }
  const auto c = static_cast<std::size_t>(cell);
  if (!(flags_[c] & kPresent)) return end();
  return const_iterator(this, c, extra_.upper_bound(point));
}

bool PixelTable::const_iterator::gridIsCurrent() const {
  if (cell_ >= table_->flags_.size()) return false;
  if (extra_ == table_->extra_.end()) return true;
  return table_->pointOfCell(cell_) < extra_->first;
}

Point PixelTable::const_iterator::point() const {
  return gridIsCurrent() ? table_->pointOfCell(cell_) : extra_->first;
}

PixelTable::Entry PixelTable::const_iterator::operator*() const {
  if (gridIsCurrent()) return Entry{table_->pointOfCell(cell_), table_->recordOfCell(cell_)};
  return Entry{extra_->first, extra_->second};
}

PixelTable::EntryView PixelTable::const_iterator::view() const {
  EntryView view;
  if (gridIsCurrent()) {
    const std::uint8_t flags = table_->flags_[cell_];
    view.point = table_->pointOfCell(cell_);
    view.hasTone = flags & kTone;
    view.tone = table_->toneOfCell(cell_);
    view.hasRegionNumber = flags & kRegion;
    view.regionNumber = table_->regionNumberOfCell(cell_);
    return view;
  }
  const PixelRecord& record = extra_->second;
  view.point = extra_->first;
  view.hasTone = record.tone() != nullptr;
  view.tone = view.hasTone ? record.tone()->value() : 0.0;
  view.hasRegionNumber = record.regionNumber() != nullptr;
  view.regionNumber = view.hasRegionNumber ? record.regionNumber()->value() : 0.0;
  return view;
}

PixelTable::const_iterator& PixelTable::const_iterator::operator++() {
  if (gridIsCurrent()) {
    cell_ = table_->nextPresentCell(cell_ + 1);
  } else {
    ++extra_;
  }
  return *this;
}

}  // namespace quarvel
