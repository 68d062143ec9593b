#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <utility>
#include <vector>

#include "regions/pair_index.h"

namespace quarvel {

// The region adjacency graph: a square, symmetric table of float weights indexed
// by region number, where 0 means "not adjacent". Only the pairs that hold a
// weight are stored, so a graph of tens of thousands of regions costs memory in
// proportion to its edges, not to the square of its size; every read answers as
// the full table would.
class AdjacencyGraph {
 public:
  AdjacencyGraph() = default;
  // n > 0: an n x n table of zeros; n <= 0: an empty table.
  explicit AdjacencyGraph(int n);
  AdjacencyGraph(const AdjacencyGraph&) = default;
  AdjacencyGraph& operator=(const AdjacencyGraph&) = default;
  virtual ~AdjacencyGraph() = default;

  int size() const { return size_; }
  // Entry (i, j); -1.0 outside the table.
  float weight(int i, int j) const;
  // Stores w at (i, j) and (j, i); refuses the diagonal and positions outside.
  bool setWeight(int i, int j, float w);
  // Discards every weight and makes an n x n table of zeros (empty for n <= 0).
  void resize(int n);
  // Every weight back to 0, size unchanged.
  void clear();
  // Makes room for this many stored weights in all.
  void reserve(std::size_t edges);
  // Starts loading where the weight at (i, j) is looked for, so that a long
  // run of writes need not wait for each in turn.
  void prefetch(int i, int j) const { positions_.prefetch(key(std::min(i, j), std::max(i, j))); }
  // The position (row <= column) of the largest non-zero weight, not-a-number
  // never chosen, ties to the first position in row-major order; (0, 0) when
  // there is none.
  std::pair<double, double> heaviestEdge() const;

  // Calls visit(i, j, w) for every stored weight with i < j, in row-major order.
  template <typename Visit>
  void forEachEdge(Visit visit) const;

 private:
  static std::uint64_t key(int i, int j) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(i)) << 32) | static_cast<std::uint32_t>(j);
  }
  std::vector<std::pair<std::uint64_t, float>> sortedEdges() const;

  int size_ = 0;
  // Upper-triangle entries (i < j) that hold a non-zero weight or not-a-number,
  // in no particular order, and where each key sits among them.
  std::vector<std::pair<std::uint64_t, float>> weights_;
  PairIndex positions_;
};

// One line "i<->j : w" per non-zero, non-NaN entry with i < j, row-major.
std::ostream& operator<<(std::ostream& out, const AdjacencyGraph& graph);

template <typename Visit>
void AdjacencyGraph::forEachEdge(Visit visit) const {
  for (const auto& [k, w] : sortedEdges()) {
    visit(static_cast<int>(k >> 32), static_cast<int>(k & 0xffffffffu), w);
  }
}

}  // namespace quarvel
