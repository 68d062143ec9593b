#include "regions/adjacency_graph.h"

#include <algorithm>
#include <cmath>

namespace quarvel {

AdjacencyGraph::AdjacencyGraph(int n) { resize(n); }

float AdjacencyGraph::weight(int i, int j) const {
  if (i < 0 || j < 0 || i >= size_ || j >= size_) return -1.0f;
  if (i == j) return 0.0f;
  const auto it = weights_.find(key(std::min(i, j), std::max(i, j)));
  return it == weights_.end() ? 0.0f : it->second;
}

bool AdjacencyGraph::setWeight(int i, int j, float w) {
  if (i < 0 || j < 0 || i >= size_ || j >= size_ || i == j) return false;
  const std::uint64_t k = key(std::min(i, j), std::max(i, j));
  if (w == 0.0f) {
    weights_.erase(k);
  } else {
    weights_[k] = w;
  }
  return true;
}

void AdjacencyGraph::resize(int n) {
  std::unordered_map<std::uint64_t, float>().swap(weights_);
  size_ = n > 0 ? n : 0;
}

std::pair<double, double> AdjacencyGraph::heaviestEdge() const {
  bool found = false;
  float best = 0.0f;
  std::uint64_t bestKey = 0;
  for (const auto& [k, w] : weights_) {
    if (std::isnan(w)) continue;
    if (!found || best < w || (w == best && k < bestKey)) {
      found = true;
      best = w;
      bestKey = k;
    }
  }
  if (!found) return {0.0, 0.0};
  return {static_cast<double>(bestKey >> 32), static_cast<double>(bestKey & 0xffffffffu)};
}

std::vector<std::pair<std::uint64_t, float>> AdjacencyGraph::sortedEdges() const {
  std::vector<std::pair<std::uint64_t, float>> edges(weights_.begin(), weights_.end());
  std::sort(edges.begin(), edges.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return edges;
}

std::ostream& operator<<(std::ostream& out, const AdjacencyGraph& graph) {
  graph.forEachEdge([&out](int i, int j, float w) {
    if (!std::isnan(w)) out << i << "<->" << j << " : " << w << std::endl;
  });
  return out;
}

}  // namespace quarvel
