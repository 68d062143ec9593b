#include <ctime>
#include <string>
#include <vector>

#include "model/segmenter.h"
#include "report/html_page.h"
#include "report/output_file.h"
#include "report/report_files.h"
#include "report/report_paths.h"
#include "report/style_sheet.h"

namespace quarvel {
namespace {

// The local time as ctime writes it, line end included.
std::string ctimeText(std::time_t time) {
  const char* text = std::ctime(&time);
  return text != nullptr ? std::string(text) : std::string("\n");
}

ReportPage gatherPage(const Segmenter& segmenter, const std::string& imageName,
                      const std::string& directoryName, std::time_t now) {
  ReportPage page;
  page.imageName = imageName;
  page.directoryName = directoryName;
  page.processedAt = ctimeText(now);
  page.fileSize = segmenter.fileSize();
  page.width = segmenter.width();
  page.height = segmenter.height();
  page.pixelCount = segmenter.pixelCount();
  page.epsilon = segmenter.epsilon();
  page.nbPixMin = segmenter.nbPixMin();
  page.regionCountBefore = segmenter.regionCount();
  // The regions that remain: NbRegFin, unless the fusion stopped before it.
  page.regionCountAfter = static_cast<int>(segmenter.regionTable().size());
  page.clusterCount = segmenter.clusterTable().size();
  page.regions.reserve(segmenter.regionTable().size());
  for (const auto& [number, region] : segmenter.regionTable()) {
    page.regions.push_back(RegionEntry{region.number(), region.pixelCount(), region.descriptors()});
  }
  const AdjacencyGraph& graph = segmenter.graph();
  page.graphSize = graph.size();
  graph.forEachEdge([&page](int i, int j, float w) { page.edges.push_back(GraphEdge{i, j, w}); });
  return page;
}

}  // namespace

bool Segmenter::writeHtmlReport(std::string prefix) {
  OutputNotes notes;
  return writeHtmlReport(std::move(prefix), notes);
}

bool Segmenter::writeHtmlReport(std::string prefix, OutputNotes& notes) {
  const std::size_t failuresBefore = notes.failureCount();
  const std::time_t now = std::time(nullptr);
  const std::string imageName = name() != nullptr ? std::string(name()) : std::string();
  const std::string directoryName = reportDirectory(imageName, epsilon_, nbPixMin_, nbRegFin_);
  const std::string folder = reportFolderPath(prefix, directoryName, kPathSeparator);
  const std::string styleFolder = folder + kPathSeparator + "CSS";

  if (!makeFolder(folder, notes)) return false;
  const bool styleFolderMade = makeFolder(styleFolder, notes);
  copyIntoFolder("logo.jpg", folder, notes);
  copyIntoFolder("origine.bmp", folder, notes);
  copyIntoFolder(imageName, folder, notes);

  {
    OutputFile pageFile(reportPagePath(prefix, directoryName, kPathSeparator));
    writeHtmlPage(pageFile.stream(), gatherPage(*this, imageName, directoryName, now));
    if (const int error = pageFile.commit()) {
      notes.add(OutputNote{OutputNote::Kind::FileNotWritten, pageFile.destination(), std::string(), error});
    }
  }
  if (styleFolderMade) {
    OutputFile styleFile(styleFolder + kPathSeparator + "style.css");
    writeStyleSheet(styleFile.stream());
    if (const int error = styleFile.commit()) {
      notes.add(OutputNote{OutputNote::Kind::FileNotWritten, styleFile.destination(), std::string(), error});
    }
  }
  return notes.failureCount() == failuresBefore;
}

}  // namespace quarvel
