#pragma once

#include <cstdint>
#include <map>
#include <vector>

namespace quarvel::testing {

// A class map with everything the stages need besides the image itself.
struct MapCase {
  int width = 0;
  int height = 0;
  std::vector<double> tones;  // raster order
  std::map<double, std::vector<float>> descriptors;
  float epsilon = 0.5f;
  int nbPixMin = 5;
  double nbRegFinShare = 0.0;  // NbRegFin as a share of the region count (at least 1)
  bool unweightedFirstGraph = false;
};

// Small deterministic generator (64-bit LCG, top bits).
class Draws {
 public:
  explicit Draws(std::uint64_t seed) : state_(seed * 2862933555777941757ull + 3037000493ull) {}
  std::uint32_t next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(state_ >> 33);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
  double unit() { return next() / 2147483648.0; }

 private:
  std::uint64_t state_;
};

// Every pixel an independent draw of 1 to 6 tones, sides 1 to 40.
MapCase randomMap(std::uint64_t seed);
// Blurred noise quantised to 2 to 6 tones, with single-pixel holes and nested
// squares painted on top.
MapCase smoothedMap(std::uint64_t seed);
// Concentric rings, diagonal staircases and islands inside islands.
MapCase nestedMap(std::uint64_t seed);
// Like a k-means class map of a photograph, 64 to 128 a side: smooth shapes
// at two scales cut into 4 to 8 classes with speckle along their borders,
// descriptors the classes' mean colours, to be fused to a handful of regions.
MapCase photoLikeMap(std::uint64_t seed);
// Shapes whose merges change traces in the ways that matter: one region with
// hundreds of specks inside and along it, small regions above a large one's
// first pixel, islands in holes, spirals and rings, and chains joined only at
// corners, which a trace passes more than once.
MapCase outlineMap(std::uint64_t seed);

}  // namespace quarvel::testing
