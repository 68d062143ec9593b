#include <cmath>
#include <cstdint>
#include <locale>
#include <ostream>
#include <string>
#include <string_view>

#include "model/number_text.h"
#include "model/segmenter.h"

namespace quarvel {
namespace {

// Collects the summary in a large text buffer with the default stream number
// format and hands it to the stream in big chunks: a megapixel map prints tens
// of megabytes, far too slow item by item through the stream.
class BufferedText {
 public:
  explicit BufferedText(std::ostream& out) : out_(out) { text_.reserve(kChunk + kChunk / 8); }

  void text(std::string_view piece) { text_.append(piece); }
  void character(char c) { text_.push_back(c); }
  void number(double value) { appendNumber(text_, value); }
  void integer(std::int64_t value) { appendInteger(text_, value); }
  void count(std::uint64_t value) { appendUnsigned(text_, value); }
  void lineEnd() {
    text_.push_back('\n');
    if (text_.size() >= kChunk) writeOut();
  }
  // Called now and then inside long lines.
  void mayWrite() {
    if (text_.size() >= kChunk) writeOut();
  }
  void finish() {
    writeOut();
    out_.flush();
  }

 private:
  static constexpr std::size_t kChunk = std::size_t{1} << 20;

  void writeOut() {
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
  }

  std::ostream& out_;
  std::string text_;
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
  void mayWrite() {}
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
      sink.mayWrite();
    }
  }
  sink.lineEnd();
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
    sink.mayWrite();
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
  writePointLines(sink, region.pixels());
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
