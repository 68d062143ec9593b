#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quarvel::bench {

// A class map: one tone from 1 to toneCount per pixel, raster order from the
// top row.
struct ClassMap {
  int width = 0;
  int height = 0;
  int toneCount = 0;
  std::vector<std::uint8_t> tones;
};

struct ClassMapShape {
  int side = 256;
  int toneCount = 8;        // 4 to 12 is the usual range
  double noiseShare = 0.0;  // share of pixels replaced by a random tone
  std::uint64_t seed = 1;
};

// Smoothed value noise (a coarse and a finer octave) quantised into equal
// bands; with noiseShare > 0, isolated pixels of random tone sprinkled on top
// make many tiny regions. The same shape always gives the same map.
ClassMap generateClassMap(const ClassMapShape& shape);

// Writes the map as a 24-bit bitmap whose first stored byte of each pixel is
// its tone (the other two carry a grey shade of it).
bool writeClassMapBitmap(const ClassMap& map, const std::string& fileName);

// Writes a descriptor file with one block of valuesPerTone floats per tone,
// tones 1 .. toneCount in order, drawn from the seed.
bool writeDescriptorFile(const ClassMap& map, int valuesPerTone, std::uint64_t seed,
                         const std::string& fileName);

}  // namespace quarvel::bench
