#pragma once

#include <istream>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "model/load_failure.h"
#include "model/pixel_table.h"
#include "regions/adjacency_graph.h"
#include "regions/cluster.h"
#include "regions/pixel_record.h"
#include "regions/point.h"
#include "regions/region.h"
#include "report/output_notes.h"
#include "report/palette.h"

namespace quarvel {

using RegionTable = std::map<double, Region>;
using ClusterTable = std::map<double, Cluster>;

// The whole analysis: the image facts, one record per pixel, the clusters, the
// regions, the adjacency graph and the parameters Epsilon, NbPixMin, NbRegFin.
// The stages and outputs are its operations; each lives beside its algorithm
// (segmentation/, report/, model/summary.cpp).
class Segmenter {
 public:
  Segmenter() = default;
  Segmenter(const Segmenter&) = delete;
  Segmenter& operator=(const Segmenter&) = delete;
  virtual ~Segmenter() = default;

  // Parameters and image facts.
  float epsilon() const { return epsilon_; }
  int nbPixMin() const { return nbPixMin_; }
  int nbRegFin() const { return nbRegFin_; }
  int regionCount() const { return regionCount_; }
  void setEpsilon(float value) { epsilon_ = value; }
  void setNbPixMin(int value) { nbPixMin_ = value; }
  void setNbRegFin(int value) { nbRegFin_ = value; }
  // Null until an image name has been given.
  const char* name() const { return name_ ? name_->c_str() : nullptr; }
  int width() const { return width_; }
  int height() const { return height_; }
  double fileSize() const { return fileSize_; }
  double pixelCount() const { return pixelCount_; }
  // A null name changes nothing.
  void setName(const char* name);

  // Loading. The overloads without a file name read one word from standard
  // input; the stream overloads read it from the given stream; the overloads
  // with a failure tell why a file was refused.
  bool openImage();
  bool openImage(std::istream& in);
  bool openImage(const std::string& fileName);
  bool openImage(const std::string& fileName, ImageFailure& failure);
  bool openDescriptors();
  bool openDescriptors(std::istream& in);
  bool openDescriptors(const std::string& fileName);
  bool openDescriptors(const std::string& fileName, DescriptorFailure& failure);

  // Table access.
  void addPixel(double x, double y, const PixelRecord& record);
  PixelTable::const_iterator findPixelRecord(const Point& point) const { return pixelTable_.find(point); }
  PixelTable::const_iterator findPixelRecord(double x, double y) const {
    return pixelTable_.find(Point(x, y));
  }
  PixelRecord pixelRecordAt(const Point& point) const { return pixelTable_.at(point); }
  PixelRecord pixelRecordAt(double x, double y) const { return pixelTable_.at(Point(x, y)); }
  RegionTable::iterator findRegion(double number) { return regionTable_.find(number); }
  RegionTable::const_iterator findRegion(double number) const { return regionTable_.find(number); }
  Region regionAt(double number) const { return regionTable_.at(number); }
  void insertRegion(double number, const Region& region) { regionTable_.emplace(number, region); }
  ClusterTable::iterator findCluster(double key) { return clusterTable_.find(key); }
  ClusterTable::const_iterator findCluster(double key) const { return clusterTable_.find(key); }
  Cluster clusterAt(double key) const { return clusterTable_.at(key); }
  void insertCluster(double key, const Cluster& cluster) { clusterTable_.emplace(key, cluster); }
  AdjacencyGraph graphCopy() const { return graph_; }

  // The tables themselves, for the stages and outputs that walk them and change
  // entries in place.
  PixelTable& pixelTable() { return pixelTable_; }
  const PixelTable& pixelTable() const { return pixelTable_; }
  RegionTable& regionTable() { return regionTable_; }
  const RegionTable& regionTable() const { return regionTable_; }
  ClusterTable& clusterTable() { return clusterTable_; }
  const ClusterTable& clusterTable() const { return clusterTable_; }
  AdjacencyGraph& graph() { return graph_; }
  const AdjacencyGraph& graph() const { return graph_; }

  // Stages (segmentation/).
  bool labelComponents();
  // Replaces every entry of table[1 .. count-1] equal to max(a, b) by min(a, b).
  void unifyLabels(double* table, double count, double a, double b) const;
  void detectContours();
  bool buildAdjacencyGraph(int weighted);
  bool mergeRegions();

  // Outputs (report/). Each answers false when a file it should write is not
  // in place; the overloads with notes also hand back what went wrong.
  bool writeResultBitmap(std::string fileName, std::string prefix);
  bool writeResultBitmap(std::string fileName, std::string prefix, OutputNotes& notes);
  std::vector<Palette> makePalette(int n);
  bool writeHtmlReport(std::string prefix);
  bool writeHtmlReport(std::string prefix, OutputNotes& notes);

 private:
  std::unique_ptr<std::string> name_;
  double pixelCount_ = 0.0;
  double fileSize_ = 0.0;
  int width_ = 0;
  int height_ = 0;
  PixelTable pixelTable_;
  RegionTable regionTable_;
  ClusterTable clusterTable_;
  AdjacencyGraph graph_;
  float epsilon_ = 0.5f;
  int nbPixMin_ = 5;
  int regionCount_ = 0;
  int nbRegFin_ = 5;
  ColourDraws colourDraws_;

  friend std::ostream& operator<<(std::ostream& out, const Segmenter& segmenter);
};

// The text summary of the whole analysis.
std::ostream& operator<<(std::ostream& out, const Segmenter& segmenter);

}  // namespace quarvel
