#pragma once

#include <map>
#include <set>
#include <utility>
#include <vector>

// A deliberately plain analysis on ordered maps and sets, following the
// stages step by step with no attention to speed. The fast stages must give
// exactly its results.
namespace literal {

struct Pt {
  double x = 0.0;
  double y = 0.0;
};
inline bool operator<(const Pt& a, const Pt& b) { return a.y < b.y || (a.y == b.y && a.x < b.x); }
inline bool operator==(const Pt& a, const Pt& b) { return a.x == b.x && a.y == b.y; }

struct Region {
  double number = 0.0;
  std::set<Pt> pixels;
  std::vector<float> descriptors;
  std::vector<Pt> contour;
};

struct Analysis {
  int width = 0;
  int height = 0;
  std::map<Pt, double> tone;
  std::map<Pt, double> regionNumber;
  std::map<double, std::vector<float>> clusters;
  std::map<double, Region> regions;
  int graphSize = 0;
  std::map<std::pair<int, int>, float> graph;  // (i, j) with i < j as written, zeros included
  float epsilon = 0.5f;
  int nbPixMin = 5;
  int nbRegFin = 5;
  int regionCount = 0;
  bool traceRanAway = false;  // a trace that never came back to its start
};

void labelComponents(Analysis& analysis);
void computeContour(Region& region, Analysis& analysis);
void detectContours(Analysis& analysis);
double commonBoundary(const Region& a, const Region& b);
void buildAdjacencyGraph(Analysis& analysis, int weighted);
std::pair<int, int> heaviestEdge(const Analysis& analysis);
// One turn of the merging loop: j into i, then the graph rebuilt.
void mergePair(Analysis& analysis, int i, int j);
void mergeRegions(Analysis& analysis);

}  // namespace literal
