#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "model/bitmap.h"
#include "model/segmenter.h"
#include "report/output_file.h"
#include "report/report_paths.h"

namespace quarvel {
namespace {

// The palette entry that paints the pixel in column x, picture row y: its
// region number truncated, or 0 for a pixel without a number or whose number
// has no entry (the region of the last pixel when every pixel is a region of
// its own).
std::size_t paletteIndexAt(const PixelTable& table, int x, int y, std::size_t paletteSize) {
  double number = 0.0;
  if (x < table.gridWidth() && y < table.gridHeight()) {
    if (!table.hasRegionNumber(x, y)) return 0;
    number = table.regionNumberAt(x, y);
  } else {
    const PixelRecord record = table.at(Point(x, y));
    if (record.regionNumber() == nullptr) return 0;
    number = record.regionNumber()->value();
  }
  if (!(number >= 0.0 && number < static_cast<double>(paletteSize))) return 0;
  return static_cast<std::size_t>(number);
}

// The number of palette entries that the painting can read: one more than the
// largest index it takes.
std::size_t entriesRead(const BitmapImage& image, const PixelTable& table, std::size_t paletteSize) {
  if (paletteSize == 0) return 0;
  std::size_t largest = 0;
  for (int r = 0; r < image.rowCount(); ++r) {
    for (int j = 0; j < image.width; ++j)
      largest = std::max(largest, paletteIndexAt(table, j, r, paletteSize));
  }
  return largest + 1;
}

// Paints picture row r of the regions, each pixel in its entry's colour.
void paintRow(const PixelTable& table, const std::vector<Palette>& palette, int r,
              std::vector<std::uint8_t>& row) {
  std::uint8_t* pixel = row.data();
  const int width = static_cast<int>(row.size() / 4);
  for (int j = 0; j < width; ++j, pixel += 4) {
    const Palette& colour =
        palette.empty() ? Palette{} : palette[paletteIndexAt(table, j, r, palette.size())];
    pixel[0] = static_cast<std::uint8_t>(colour.red);
    pixel[1] = static_cast<std::uint8_t>(colour.green);
    pixel[2] = static_cast<std::uint8_t>(colour.blue);
  }
}

}  // namespace

bool Segmenter::writeResultBitmap(std::string fileName, std::string prefix) {
  OutputNotes notes;
  return writeResultBitmap(std::move(fileName), std::move(prefix), notes);
}

bool Segmenter::writeResultBitmap(std::string fileName, std::string prefix, OutputNotes& notes) {
  const std::string imageName = name() != nullptr ? std::string(name()) : std::string();
  BitmapImage image;
  ImageFailure failure;
  errno = 0;
  // The painting covers every pixel, so the source is read again only to
  // check that it still reads and to take its header and shape.
  const bool readAgain = readBitmapShape(imageName, image, failure);
  const int readError = errno;
  // The colours are drawn whatever happens, so that the second picture of a run
  // keeps its colours when the first could not be written. Only the entries
  // that can be read are kept; the draws of the others are skipped, as many as
  // a whole palette takes.
  const bool sameImage = readAgain && image.width == width_ && image.rowCount() == std::abs(height_);
  const std::size_t entries = pixelTable_.size();
  const std::size_t kept = sameImage ? entriesRead(image, pixelTable_, entries) : 0;
  const std::vector<Palette> palette = makePalette(static_cast<int>(kept));
  colourDraws_.skip(3 * static_cast<std::uint64_t>(entries - kept));
  const std::string path =
      prefix.empty() ? fileName
                     : reportFolderPath(prefix, reportDirectory(imageName, epsilon_, nbPixMin_, nbRegFin_),
                                        kPathSeparator) +
                           kPathSeparator + fileName;
  if (!readAgain) {
    const auto kind = failure.refusal == ImageRefusal::TooLargeForMemory || readError == ENOMEM
                          ? OutputNote::Kind::OutOfMemory
                          : OutputNote::Kind::SourceUnreadable;
    notes.add(OutputNote{kind, path, imageName, readError != 0 ? readError : EIO});
    return false;
  }
  if (!sameImage) {
    notes.add(OutputNote{OutputNote::Kind::SourceUnreadable, path, imageName, 0});
    return false;
  }
  std::vector<std::uint8_t> row(static_cast<std::size_t>(image.width) * 4);
  const auto paintedRow = [&](int stored) {
    // Stored and picture rows pair off the same way both ways round.
    paintRow(pixelTable_, palette, image.storedRowOfPictureRow(stored), row);
    return static_cast<const std::uint8_t*>(row.data());
  };
  OutputFile file(path);
  if (!writeBitmapRows(file.stream(), image, paintedRow)) file.stream().setstate(std::ios::badbit);
  if (const int error = file.commit()) {
    notes.add(OutputNote{OutputNote::Kind::FileNotWritten, path, std::string(), error});
    return false;
  }
  return true;
}

}  // namespace quarvel
