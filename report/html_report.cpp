#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "model/segmenter.h"
#include "report/html_page.h"
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
  page.nbRegFin = segmenter.nbRegFin();
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
  const std::time_t now = std::time(nullptr);
  const std::string imageName = name() != nullptr ? std::string(name()) : std::string();
  const std::string directoryName = reportDirectory(imageName, epsilon_, nbPixMin_, nbRegFin_);
  const std::string folder = reportFolderPath(prefix, directoryName, kPathSeparator);
  const std::string styleFolder = folder + kPathSeparator + "CSS";

  makeFolder(folder);
  makeFolder(styleFolder);
  copyIntoFolder("logo.jpg", folder);
  copyIntoFolder("origine.bmp", folder);
  copyIntoFolder(imageName, folder);

  {
    std::ofstream pageFile(folder + kPathSeparator + "index.html", std::ios::trunc);
    if (pageFile) writeHtmlPage(pageFile, gatherPage(*this, imageName, directoryName, now));
  }
  {
    std::ofstream styleFile(styleFolder + kPathSeparator + "style.css", std::ios::trunc);
    if (styleFile) writeStyleSheet(styleFile);
  }
  return true;
}

}  // namespace quarvel
