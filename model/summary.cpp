#include <cmath>
#include <cstdint>
#include <cstring>
#include <locale>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "model/number_text.h"
#include "model/segmenter.h"

namespace quarvel {
namespace {

// Collects the summary in a large text buffer with the default stream number
// format and hands it to the stream in big chunks: a megapixel map prints tens
// of megabytes, far too slow item by item through the stream. Every item but a
// long text fits in the room kept past the chunk, so writing needs one check
// an item.
class BufferedText {
 public:
  explicit BufferedText(std::ostream& out)
      : out_(out), buffer_(new char[kChunk + kRoom]), at_(buffer_.get()), full_(buffer_.get() + kChunk) {}

  void text(std::string_view piece) {
    if (piece.size() > kRoom / 2) {
      writeOut();
      out_.write(piece.data(), static_cast<std::streamsize>(piece.size()));
      return;
    }
    std::memcpy(at_, piece.data(), piece.size());
    at_ += piece.size();
    mayWrite();
  }
  void character(char c) {
    *at_++ = c;
    mayWrite();
  }
  void number(double value) {
    at_ = writeNumber(at_, value);
    mayWrite();
  }
  void integer(std::int64_t value) {
    at_ = writeInteger(at_, value);
    mayWrite();
  }
  void count(std::uint64_t value) {
    at_ = writeUnsigned(at_, value);
    mayWrite();
  }
  void lineEnd() { character('\n'); }
  // Direct writing for the tight loops: room for at least kRoom / 2 bytes,
  // then the position after what was written.
  char* place() { return at_; }
  void placed(char* end) {
    at_ = end;
    mayWrite();
  }
  void finish() {
    writeOut();
    out_.flush();
  }

 private:
  static constexpr std::size_t kChunk = std::size_t{1} << 20;
  static constexpr std::size_t kRoom = 512;
  static_assert(kRoom / 2 >= 4 * kLongestNumberText + 16);

  void mayWrite() {
    if (at_ >= full_) writeOut();
  }
  void writeOut() {
    out_.write(buffer_.get(), static_cast<std::streamsize>(at_ - buffer_.get()));
    at_ = buffer_.get();
  }

  std::ostream& out_;
  std::unique_ptr<char[]> buffer_;
  char* at_;
  char* full_;
};

// Writes every item through the stream itself, honouring whatever precision,
// flags or locale the caller has set on it.
class StreamText {
 public:
  explicit StreamText(std::ostream& out) : out_(out) {}

  void text(std::string_view piece) { out_ << piece; }
  void character(char c) { out_ << c; }
  void number(double value) { out_ << value; }
  void integer(std::int64_t value) { out_ << value; }
  void count(std::uint64_t value) { out_ << value; }
  void lineEnd() { out_ << std::endl; }
  void finish() { out_.flush(); }

 private:
  std::ostream& out_;
};

bool hasDefaultFormat(const std::ostream& out) {
  return out.flags() == (std::ios_base::skipws | std::ios_base::dec) && out.precision() == 6 &&
         out.width() == 0 && out.getloc() == std::locale::classic();
}

template <typename Sink>
void writePoint(Sink& sink, const Point& point) {
  sink.character('(');
  sink.number(point.x());
  sink.character(',');
  sink.number(point.y());
  sink.character(')');
}

// Points grouped into lines: a new line whenever y changes between neighbours,
// each point followed by a blank, and a final line end.
template <typename Sink, typename Points>
void writePointLines(Sink& sink, const Points& points) {
  if (points.begin() != points.end()) {
    double row = (*points.begin()).y();
    for (const Point& point : points) {
      if (point.y() != row) {
        sink.lineEnd();
        row = point.y();
      }
      writePoint(sink, point);
      sink.character(' ');
    }
  }
  sink.lineEnd();
}

// A whole coordinate or value of a packed grid as the stream writes it: plain
// digits below a million, the double's own form beyond.
char* writeWhole(char* at, std::int64_t value) {
  if (value > -1000000 && value < 1000000) return writeInteger(at, value);
  return writeNumber(at, static_cast<double>(value));
}

// The pixel lines of a plain grid: "(x,y) t:tone r:number " for every cell,
// a line a row; the same text as the walk through the table's entries.
void writePlainGrid(BufferedText& sink, const PixelTable& pixels) {
  const std::vector<std::uint8_t>& tones = pixels.gridToneBytes();
  const std::vector<std::uint32_t>& numbers = pixels.gridRegionWords();
  const std::size_t width = static_cast<std::size_t>(pixels.gridWidth());
  const std::size_t height = static_cast<std::size_t>(pixels.gridHeight());
  char rowText[kLongestNumberText + 8];
  for (std::size_t y = 0, cell = 0; y < height; ++y) {
    if (y > 0) sink.lineEnd();
    char* rowEnd = writeWhole(rowText, static_cast<std::int64_t>(y));
    *rowEnd++ = ')';
    *rowEnd++ = ' ';
    *rowEnd++ = 't';
    *rowEnd++ = ':';
    const auto rowLength = static_cast<std::size_t>(rowEnd - rowText);
    for (std::size_t x = 0; x < width; ++x, ++cell) {
      char* at = sink.place();
      *at++ = '(';
      at = writeWhole(at, static_cast<std::int64_t>(x));
      *at++ = ',';
      std::memcpy(at, rowText, rowLength);
      at += rowLength;
      at = writeUnsigned(at, tones[cell]);
      *at++ = 'r';
      *at++ = ':';
      at = writeWhole(at, numbers[cell]);
      *at++ = ' ';
      sink.placed(at);
    }
  }
}

// The pixel lines of a region whose pixels are packed positions.
void writePackedPixels(BufferedText& sink, const std::vector<PointSet::Key>& keys) {
  if (!keys.empty()) {
    PointSet::Key row = keys.front() >> 32;
    for (const PointSet::Key key : keys) {
      if ((key >> 32) != row) {
        sink.lineEnd();
        row = key >> 32;
      }
      char* at = sink.place();
      *at++ = '(';
      at = writeWhole(at, PointSet::columnOfKey(key));
      *at++ = ',';
      at = writeWhole(at, PointSet::rowOfKey(key));
      *at++ = ')';
      *at++ = ' ';
      sink.placed(at);
    }
  }
  sink.lineEnd();
}

template <typename Sink>
void writePixelLines(Sink& sink, const PointSet& pixels) {
  writePointLines(sink, pixels);
}

void writePixelLines(BufferedText& sink, const PointSet& pixels) {
  if (const std::vector<PointSet::Key>* keys = pixels.packedKeys()) {
    writePackedPixels(sink, *keys);
  } else {
    writePointLines(sink, pixels);
  }
}

template <typename Sink>
void writeGraph(Sink& sink, const AdjacencyGraph& graph) {
  graph.forEachEdge([&sink](int i, int j, float weight) {
    if (weight == 0.0f || std::isnan(weight)) return;
    sink.integer(i);
    sink.text("<->");
    sink.integer(j);
    sink.text(" : ");
    sink.number(weight);
    sink.lineEnd();
  });
}

template <typename Sink>
void writePixels(Sink& sink, const PixelTable& pixels) {
  if constexpr (std::is_same_v<Sink, BufferedText>) {
    if (pixels.isPlainGrid()) {
      writePlainGrid(sink, pixels);
      return;
    }
  }
  auto entry = pixels.begin();
  if (entry == pixels.end()) return;
  double row = entry.point().y();
  for (; entry != pixels.end(); ++entry) {
    const PixelTable::EntryView pixel = entry.view();
    if (pixel.point.y() != row) {
      sink.lineEnd();
      row = pixel.point.y();
    }
    writePoint(sink, pixel.point);
    sink.character(' ');
    if (pixel.hasTone) {
      sink.text("t:");
      sink.number(pixel.tone);
    }
    if (pixel.hasRegionNumber) {
      sink.text("r:");
      sink.number(pixel.regionNumber);
    }
    sink.character(' ');
  }
}

template <typename Sink>
void writeRegion(Sink& sink, const Region& region) {
  sink.text("Region No: ");
  sink.number(region.number());
  sink.lineEnd();
  sink.count(region.pixels().size());
  sink.text(" pixels.");
  sink.lineEnd();
  sink.count(region.descriptors().size());
  sink.text(" descripteurs:");
  sink.lineEnd();
  for (float descriptor : region.descriptors()) {
    sink.number(descriptor);
    sink.character(' ');
  }
  sink.lineEnd();
  writePixelLines(sink, region.pixels());
  sink.text("Contour:");
  sink.lineEnd();
  writePointLines(sink, region.contour().points());
}

template <typename Sink>
void writeSummary(Sink& sink, const Segmenter& segmenter) {
  sink.text("IMAGE: ");
  if (segmenter.name() != nullptr) sink.text(segmenter.name());
  sink.lineEnd();
  sink.text("taille: ");
  sink.number(segmenter.fileSize());
  sink.lineEnd();
  sink.text("dimensions: ");
  sink.integer(segmenter.width());
  sink.character('x');
  sink.integer(segmenter.height());
  sink.lineEnd();
  sink.text("Pixels: ");
  sink.number(segmenter.pixelCount());
  sink.lineEnd();
  sink.lineEnd();

  sink.text("Parametres: ");
  sink.lineEnd();
  sink.text("Epsilon:  ");
  sink.number(segmenter.epsilon());
  sink.lineEnd();
  sink.text("NbPixMin: ");
  sink.integer(segmenter.nbPixMin());
  sink.lineEnd();
  sink.text("NbRegFin: ");
  sink.integer(segmenter.nbRegFin());
  sink.lineEnd();
  sink.lineEnd();

  sink.text("Graph d'Adjacence");
  sink.lineEnd();
  writeGraph(sink, segmenter.graph());
  sink.lineEnd();

  writePixels(sink, segmenter.pixelTable());
  sink.lineEnd();
  sink.lineEnd();

  sink.text("Nombre de Clusters: ");
  sink.count(segmenter.clusterTable().size());
  sink.lineEnd();
  sink.lineEnd();
  sink.text("Nombre de Regions: ");
  sink.count(segmenter.regionTable().size());
  sink.lineEnd();
  sink.lineEnd();

  for (const auto& [number, region] : segmenter.regionTable()) {
    writeRegion(sink, region);
    sink.lineEnd();
  }
  sink.finish();
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Segmenter& segmenter) {
  if (hasDefaultFormat(out)) {
    BufferedText sink(out);
    writeSummary(sink, segmenter);
  } else {
    StreamText sink(out);
    writeSummary(sink, segmenter);
  }
  return out;
}

}  // namespace quarvel
