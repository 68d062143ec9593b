#include "regions/adjacency_graph.h"

#include <algorithm>
#include <cmath>

namespace quarvel {

AdjacencyGraph::AdjacencyGraph(int n) { resize(n); }

float AdjacencyGraph::weight(int i, int j) const {
  if (i < 0 || j < 0 || i >= size_ || j >= size_) return -1.0f;
  if (i == j) return 0.0f;
  const std::int32_t at = positions_.find(key(std::min(i, j), std::max(i, j)));
  return at < 0 ? 0.0f : weights_[static_cast<std::size_t>(at)].second;
}

bool AdjacencyGraph::setWeight(int i, int j, float w) {
  if (i < 0 || j < 0 || i >= size_ || j >= size_ || i == j) return false;
  const std::uint64_t k = key(std::min(i, j), std::max(i, j));
  if (w == 0.0f) {
    const std::int32_t at = positions_.find(k);
    if (at < 0) return true;
    positions_.erase(k);
    // The last entry fills the gap.
    if (static_cast<std::size_t>(at) + 1 < weights_.size()) {
      weights_[static_cast<std::size_t>(at)] = weights_.back();
      positions_.update(weights_.back().first, at);
    }
    weights_.pop_back();
    return true;
  }
  bool inserted = false;
  const std::int32_t at = positions_.findOrInsert(k, static_cast<std::int32_t>(weights_.size()), inserted);
  if (inserted) {
    weights_.emplace_back(k, w);
  } else {
    weights_[static_cast<std::size_t>(at)].second = w;
  }
  return true;
}

void AdjacencyGraph::clear() {
  weights_.clear();
  positions_.clear();
}

void AdjacencyGraph::reserve(std::size_t edges) {
  weights_.reserve(edges);
  positions_.reserve(edges);
}

void AdjacencyGraph::resize(int n) {
  std::vector<std::pair<std::uint64_t, float>>().swap(weights_);
  positions_ = PairIndex();
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
  std::vector<std::pair<std::uint64_t, float>> edges(weights_);
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
