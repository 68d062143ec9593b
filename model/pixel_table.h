#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <map>
#include <unordered_map>
#include <vector>

#include "regions/pixel_record.h"
#include "regions/point.h"

namespace quarvel {

// The per-pixel table: an ordered map from Point to PixelRecord under raster
// order. The pixels of the image grid (whole coordinates, 0 <= x < width,
// 0 <= y < height) live in flat arrays, a few bytes each instead of a map node
// and two heap boxes; any other point goes to an ordinary map beside them.
// Records are handed out as copies and changed in place through setters.
//
// A grid cell holds its tone in a byte and its region number in 32 bits, six
// bytes in all with its flags; a value that does not fit (a fraction, a
// negative zero, a tone above 255) is kept exactly in a side map instead.
class PixelTable {
 public:
  struct Entry {
    Point point;
    PixelRecord record;
  };

  // What an entry holds, read without building a PixelRecord: whole-table
  // walks that only read (the text summary) go through it.
  struct EntryView {
    Point point;
    bool hasTone = false;
    double tone = 0.0;
    bool hasRegionNumber = false;
    double regionNumber = 0.0;
  };

  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Entry;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Entry;

    const_iterator() = default;
    Entry operator*() const;
    Point point() const;
    EntryView view() const;
    const_iterator& operator++();
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const const_iterator& other) const {
      return cell_ == other.cell_ && extra_ == other.extra_;
    }

   private:
    friend class PixelTable;
    const_iterator(const PixelTable* table, std::size_t cell,
                   std::map<Point, PixelRecord>::const_iterator extra)
        : table_(table), cell_(cell), extra_(extra) {}
    bool gridIsCurrent() const;

    const PixelTable* table_ = nullptr;
    std::size_t cell_ = 0;  // next present grid cell, or the grid's cell count
    std::map<Point, PixelRecord>::const_iterator extra_;
  };

  PixelTable() = default;

  // Empties the table and lays out an empty grid of width x height cells.
  void reset(int width, int height);
  void clear() { reset(0, 0); }

  // Inserts a copy of record under point; a present point keeps its entry and
  // the answer is false.
  bool insert(const Point& point, const PixelRecord& record);
  std::size_t size() const { return gridCount_ + extra_.size(); }
  bool empty() const { return size() == 0; }
  bool contains(const Point& point) const;
  // A copy of the record under point; an empty record when absent.
  PixelRecord at(const Point& point) const;
  const_iterator find(const Point& point) const;
  const_iterator begin() const;
  const_iterator end() const;
  // In-place changes of a present entry; nothing happens for an absent point.
  void setTone(const Point& point, double tone);
  void setRegionNumber(const Point& point, double number);

  // Direct access to the grid for the stages, by column and row of the grid.
  // A cell without a tone or region number reads 0 for it.
  int gridWidth() const { return width_; }
  int gridHeight() const { return height_; }
  bool hasCell(int x, int y) const { return flags_[cellIndex(x, y)] & kPresent; }
  bool hasTone(int x, int y) const { return flags_[cellIndex(x, y)] & kTone; }
  bool hasRegionNumber(int x, int y) const { return flags_[cellIndex(x, y)] & kRegion; }
  double toneAt(int x, int y) const { return toneOfCell(cellIndex(x, y)); }
  double regionNumberAt(int x, int y) const { return regionNumberOfCell(cellIndex(x, y)); }
  // Bulk filling by the image loader: makes the grid cell present (when it was
  // not) and sets its tone. Unlike insert, a present cell takes the new tone.
  void setGridTone(int x, int y, std::uint8_t tone) {
    const std::size_t c = cellIndex(x, y);
    if (!(flags_[c] & kPresent)) ++gridCount_;
    if (flags_[c] & kOddTone) oddTones_.erase(c);
    tones_[c] = tone;
    flags_[c] = static_cast<std::uint8_t>((flags_[c] & ~kOddTone) | kPresent | kTone);
  }
  // Set only on a present cell.
  void setRegionNumberAt(int x, int y, double number) {
    const std::size_t c = cellIndex(x, y);
    storeRegionNumber(c, number);
    flags_[c] |= kRegion;
  }
  // Sets the region number of every grid cell, numbers in raster order (one
  // per cell), as setRegionNumberAt would one by one.
  void setGridRegionNumbers(const std::vector<std::int32_t>& numbers);
  // Whole-grid reads in raster order (index y * width + x). The tones as bytes
  // are exact only when tonesAreBytes().
  bool tonesAreBytes() const { return oddTones_.empty(); }
  const std::vector<std::uint8_t>& gridToneBytes() const { return tones_; }
  std::vector<double> gridTones() const;
  double regionNumberOfCell(std::size_t cell) const {
    return flags_[cell] & kOddRegion ? oddRegions_.at(cell) : static_cast<double>(regions_[cell]);
  }
  bool cellHasRegionNumber(std::size_t cell) const { return flags_[cell] & kRegion; }
  // True when the table is exactly the grid, every cell with a tone and a
  // region number, all packed: a whole-table walk may then read
  // gridToneBytes() and gridRegionWords() alone.
  bool isPlainGrid() const;
  const std::vector<std::uint32_t>& gridRegionWords() const { return regions_; }
  // For a stage that writes every region number anew (the fusion) and needs
  // a table of a word a pixel meanwhile: a plain grid's packed numbers, moved
  // out. Until returnRegionWords gives the grid its numbers back, the table
  // holds none and must not be read for them.
  std::vector<std::uint32_t> lendRegionWords();
  // words: a packed number for every grid cell, as gridRegionWords holds them.
  void returnRegionWords(std::vector<std::uint32_t> words);

 private:
  static constexpr std::uint8_t kPresent = 1;
  static constexpr std::uint8_t kTone = 2;
  static constexpr std::uint8_t kRegion = 4;
  static constexpr std::uint8_t kOddTone = 8;     // the tone lives in oddTones_
  static constexpr std::uint8_t kOddRegion = 16;  // the region number lives in oddRegions_

  double toneOfCell(std::size_t cell) const {
    return flags_[cell] & kOddTone ? oddTones_.at(cell) : static_cast<double>(tones_[cell]);
  }
  void storeTone(std::size_t cell, double tone);
  void storeRegionNumber(std::size_t cell, double number);

  std::size_t cellIndex(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
  }
  // The grid cell of a point, or -1 when the point is not on the grid.
  std::ptrdiff_t cellOf(const Point& point) const;
  Point pointOfCell(std::size_t cell) const;
  PixelRecord recordOfCell(std::size_t cell) const;
  std::size_t nextPresentCell(std::size_t cell) const;
  // The first grid cell that comes after an off-grid point in raster order.
  std::size_t firstCellAfter(const Point& point) const;

  int width_ = 0;
  int height_ = 0;
  std::size_t gridCount_ = 0;
  std::vector<std::uint8_t> tones_;
  std::vector<std::uint32_t> regions_;
  std::vector<std::uint8_t> flags_;
  std::unordered_map<std::size_t, double> oddTones_;
  std::unordered_map<std::size_t, double> oddRegions_;
  std::map<Point, PixelRecord> extra_;
};

}  // namespace quarvel
