#include "generator/class_map_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace quarvel::bench {
namespace {

std::uint64_t mix(std::uint64_t value) {
  value ^= value >> 33;
  value *= 0xff51afd7ed558ccdull;
  value ^= value >> 33;
  value *= 0xc4ceb9fe1a85ec53ull;
  value ^= value >> 33;
  return value;
}

// A deterministic value in [0, 1) for a lattice point.
double latticeValue(std::uint64_t seed, int octave, int i, int j) {
  const std::uint64_t key = mix(seed ^ mix((static_cast<std::uint64_t>(octave) << 48) ^
                                           (static_cast<std::uint64_t>(static_cast<std::uint32_t>(i)) << 24) ^
                                           static_cast<std::uint32_t>(j)));
  return static_cast<double>(key >> 11) / 9007199254740992.0;
}

double smoothStep(double t) { return t * t * (3.0 - 2.0 * t); }

double valueNoise(std::uint64_t seed, int octave, double x, double y) {
  const int i = static_cast<int>(std::floor(x));
  const int j = static_cast<int>(std::floor(y));
  const double u = smoothStep(x - i);
  const double v = smoothStep(y - j);
  const double top = latticeValue(seed, octave, i, j) * (1 - u) + latticeValue(seed, octave, i + 1, j) * u;
  const double bottom =
      latticeValue(seed, octave, i, j + 1) * (1 - u) + latticeValue(seed, octave, i + 1, j + 1) * u;
  return top * (1 - v) + bottom * v;
}

void put16(std::vector<unsigned char>& out, std::uint32_t value) {
  out.push_back(static_cast<unsigned char>(value & 0xff));
  out.push_back(static_cast<unsigned char>((value >> 8) & 0xff));
}

void put32(std::vector<unsigned char>& out, std::uint32_t value) {
  put16(out, value & 0xffff);
  put16(out, value >> 16);
}

}  // namespace

ClassMap generateClassMap(const ClassMapShape& shape) {
  ClassMap map;
  map.width = shape.side;
  map.height = shape.side;
  map.toneCount = shape.toneCount;
  const std::size_t n = static_cast<std::size_t>(shape.side) * static_cast<std::size_t>(shape.side);
  map.tones.resize(n);
  // Blobs of about a sixteenth of the side, roughened by an octave four times finer.
  const double coarse = 16.0 / shape.side;
  const double fine = 64.0 / shape.side;
  for (int y = 0; y < shape.side; ++y) {
    for (int x = 0; x < shape.side; ++x) {
      const double value = 0.8 * valueNoise(shape.seed, 0, x * coarse, y * coarse) +
                           0.2 * valueNoise(shape.seed, 1, x * fine, y * fine);
      const int band = std::min(shape.toneCount - 1, static_cast<int>(value * shape.toneCount));
      map.tones[static_cast<std::size_t>(y) * shape.side + x] = static_cast<std::uint8_t>(band + 1);
    }
  }
  if (shape.noiseShare > 0.0) {
    const std::uint64_t threshold = static_cast<std::uint64_t>(shape.noiseShare * 4294967296.0);
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint64_t draw = mix(shape.seed * 0x9e3779b97f4a7c15ull + i);
      if ((draw & 0xffffffffu) < threshold) {
        map.tones[i] =
            static_cast<std::uint8_t>(1 + (draw >> 32) % static_cast<std::uint64_t>(shape.toneCount));
      }
    }
  }
  return map;
}

bool writeClassMapBitmap(const ClassMap& map, const std::string& fileName) {
  const std::uint32_t rowBytes = static_cast<std::uint32_t>(map.width) * 3;
  const std::uint32_t padding = (4 - rowBytes % 4) % 4;
  const std::uint32_t dataSize = (rowBytes + padding) * static_cast<std::uint32_t>(map.height);
  std::vector<unsigned char> bytes;
  bytes.reserve(54 + dataSize);
  put16(bytes, 0x4d42);
  put32(bytes, 54 + dataSize);
  put32(bytes, 0);
  put32(bytes, 54);
  put32(bytes, 40);
  put32(bytes, static_cast<std::uint32_t>(map.width));
  put32(bytes, static_cast<std::uint32_t>(map.height));
  put16(bytes, 1);
  put16(bytes, 24);
  put32(bytes, 0);
  put32(bytes, dataSize);
  put32(bytes, 2835);
  put32(bytes, 2835);
  put32(bytes, 0);
  put32(bytes, 0);
  // Rows bottom-up, as a positive height says.
  for (int row = map.height - 1; row >= 0; --row) {
    for (int x = 0; x < map.width; ++x) {
      const unsigned char tone = map.tones[static_cast<std::size_t>(row) * map.width + x];
      const unsigned char shade = static_cast<unsigned char>(tone * 255 / (map.toneCount + 1));
      bytes.push_back(tone);
      bytes.push_back(shade);
      bytes.push_back(shade);
    }
    for (std::uint32_t k = 0; k < padding; ++k) bytes.push_back(0);
  }
  std::ofstream out(fileName, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool writeDescriptorFile(const ClassMap& map, int valuesPerTone, std::uint64_t seed,
                         const std::string& fileName) {
  std::ofstream out(fileName);
  out << map.toneCount << '\n';
  for (int tone = 1; tone <= map.toneCount; ++tone) {
    for (int k = 0; k < valuesPerTone; ++k) {
      const std::uint64_t draw = mix(seed * 131 + static_cast<std::uint64_t>(tone) * 17 + k);
      char text[32];
      std::snprintf(text, sizeof text, "%.4f", static_cast<double>(draw % 256000) / 1000.0);
      out << text << (k + 1 < valuesPerTone ? ' ' : '\n');
    }
  }
  return static_cast<bool>(out);
}

}  // namespace quarvel::bench
