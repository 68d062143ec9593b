#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace quarvel {

// One region as the page lists it.
struct RegionEntry {
  double number = 0.0;
  double pixelCount = 0.0;
  std::vector<float> descriptors;
};

// One weight of the adjacency graph, first < second.
struct GraphEdge {
  int first = 0;
  int second = 0;
  float weight = 0.0f;
};

// Everything the report page shows, gathered from the analysis.
struct ReportPage {
  std::string imageName;      // as the operator typed it
  std::string directoryName;  // the report directory name, without the location prefix
  std::string processedAt;    // the date in ctime form, with its own line end
  double fileSize = 0.0;
  int width = 0;
  int height = 0;
  double pixelCount = 0.0;
  float epsilon = 0.0f;
  int nbPixMin = 0;
  int regionCountBefore = 0;
  int regionCountAfter = 0;
  std::size_t clusterCount = 0;
  std::vector<RegionEntry> regions;  // in increasing region number
  int graphSize = 0;                 // the adjacency table has graphSize rows and columns
  std::vector<GraphEdge> edges;      // pairs that are not listed weigh 0
};

// The text with & < > " ' written as character references.
std::string escapeHtml(const std::string& text);

// Writes the report page. The stream is expected in its default number format.
void writeHtmlPage(std::ostream& out, const ReportPage& page);

}  // namespace quarvel
