#pragma once

#include <cstdint>
#include <vector>

namespace quarvel {

// The root of an element in a union-find forest stored as parent indices (a
// root is its own parent); the path walked is compressed onto the root.
inline std::int32_t findRoot(std::vector<std::int32_t>& parent, std::int32_t element) {
  std::int32_t root = element;
  while (parent[root] != root) root = parent[root];
  while (parent[element] != root) {
    const std::int32_t next = parent[element];
    parent[element] = root;
    element = next;
  }
  return root;
}

}  // namespace quarvel
