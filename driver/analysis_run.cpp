#include "driver/analysis_run.h"

#include <algorithm>
#include <string>

#include "report/output_notes.h"
#include "report/report_paths.h"

namespace quarvel {
namespace {

// The location prefix of the report folder.
const char* const kPrefix = "C:";

// Tells each note in one line; false, once the line is written, when memory
// ran out while the output was being made.
bool tellNotes(const OutputNotes& notes, Stage stage, const Segmenter& segmenter, std::ostream& err) {
  if (notes.outOfMemory()) {
    tellOutOfMemory(err, stage, segmenter);
    return false;
  }
  for (const OutputNote& note : notes.all()) err << describe(note) << std::endl;
  return true;
}

// True when no failure touched the file: neither the file nor a folder above it.
bool written(const OutputNotes& notes, const std::string& path) {
  return std::none_of(notes.all().begin(), notes.all().end(), [&path](const OutputNote& note) {
    return note.kind != OutputNote::Kind::CopySkipped &&
           (note.path == path || path.rfind(note.path + kPathSeparator, 0) == 0);
  });
}

// Standard output is looked at after the summary and at the end; a failure is
// told once.
class ConsoleCheck {
 public:
  ConsoleCheck(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}
  // False once anything written to out has been lost.
  bool passed() {
    if (!failed_) {
      out_.flush();
      if (!out_) {
        failed_ = true;
        err_ << "Erreur d ecriture sur la sortie standard: le dialogue et le resume sont incomplets"
             << std::endl;
      }
    }
    return !failed_;
  }

 private:
  std::ostream& out_;
  std::ostream& err_;
  bool failed_ = false;
};

}  // namespace

int runAnalysis(Segmenter& segmenter, std::ostream& out, std::ostream& err, const StageWatch& watch) {
  const auto stage = [&](Stage which, auto step) { return runStage(which, segmenter, err, watch, step); };
  const auto output = [&](Stage which, OutputNotes& notes, auto write) {
    return stage(which, write) && tellNotes(notes, which, segmenter, err);
  };
  ConsoleCheck console(out, err);
  bool complete = true;

  if (!stage(Stage::Contours, [&] { segmenter.detectContours(); })) return kStatusOutOfMemory;
  out << "Detection Contours OK" << std::endl;

  if (!stage(Stage::Graph, [&] { segmenter.buildAdjacencyGraph(1); })) return kStatusOutOfMemory;
  out << "Calcul du RAG OK" << std::endl;

  OutputNotes before;
  if (!output(Stage::RegionImageBefore, before,
              [&] { segmenter.writeResultBitmap("origine.bmp", "", before); })) {
    return kStatusOutOfMemory;
  }
  complete = before.failureCount() == 0;

  if (!stage(Stage::Fusion, [&] { segmenter.mergeRegions(); })) return kStatusOutOfMemory;
  // The fusion stops early when no usable edge is left.
  const std::size_t remaining = segmenter.regionTable().size();
  if (remaining > static_cast<std::size_t>(std::max(segmenter.nbRegFin(), 0))) {
    err << "Attention: la fusion s est arretee faute d arete utilisable, il reste " << remaining
        << " regions au lieu de " << segmenter.nbRegFin() << std::endl;
  }
  out << "Fusion OK" << std::endl;

  if (!stage(Stage::Summary, [&] { out << segmenter; })) return kStatusOutOfMemory;
  complete = console.passed() && complete;

  OutputNotes report;
  if (!output(Stage::Report, report, [&] { segmenter.writeHtmlReport(kPrefix, report); })) {
    return kStatusOutOfMemory;
  }
  if (report.failureCount() == 0) {
    out << "Generation HTML OK" << std::endl;
  } else {
    complete = false;
  }

  OutputNotes after;
  if (!output(Stage::RegionImageAfter, after,
              [&] { segmenter.writeResultBitmap("resultat.bmp", kPrefix, after); })) {
    return kStatusOutOfMemory;
  }
  if (after.failureCount() == 0) {
    out << "Generation BMP OK" << std::endl;
  } else {
    complete = false;
  }

  complete = console.passed() && complete;
  const std::string imageName = segmenter.name() != nullptr ? segmenter.name() : "";
  const std::string page = reportPagePath(
      kPrefix, reportDirectory(imageName, segmenter.epsilon(), segmenter.nbPixMin(), segmenter.nbRegFin()),
      kPathSeparator);
  if (written(report, page)) err << "Rapport: " << page << std::endl;
  return complete ? kStatusComplete : kStatusOutputFailed;
}

}  // namespace quarvel
