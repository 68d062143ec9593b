// The outputs of a run on large class maps: a result bitmap of a labelled
// 2048 x 2048 map, and the report of a labelled 512 x 512 map with about a
// thousand regions (an adjacency table of a million cells).
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/segmenter.h"

namespace {

// Blocks of 16 x 16 pixels with one of 8 tones drawn from a fixed hash.
void writeClassMap(const std::string& path, int size) {
  const std::uint32_t rowBytes = 3u * static_cast<std::uint32_t>(size) + static_cast<std::uint32_t>(size % 4);
  std::uint8_t header[54] = {'B', 'M'};
  auto put = [&header](int at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  put(2, 54u + rowBytes * static_cast<std::uint32_t>(size));
  put(10, 54);
  put(14, 40);
  put(18, static_cast<std::uint32_t>(size));
  put(22, static_cast<std::uint32_t>(size));
  header[26] = 1;
  header[28] = 24;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(header), sizeof header);
  std::vector<char> row(rowBytes, 0);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      std::uint32_t h =
          static_cast<std::uint32_t>(x / 16) * 73856093u ^ static_cast<std::uint32_t>(y / 16) * 19349663u;
      h ^= h >> 13;
      h *= 0x5bd1e995u;
      row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = static_cast<char>(1 + (h >> 15) % 8);
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / "quarvel-output-bench";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  writeClassMap("map2048.bmp", 2048);
  writeClassMap("map512.bmp", 512);

  {
    quarvel::Segmenter segmenter;
    segmenter.openImage(std::string("map2048.bmp"));
    segmenter.labelComponents();
    const auto start = std::chrono::steady_clock::now();
    segmenter.writeResultBitmap("origine.bmp", "");
    const double seconds = secondsSince(start);
    std::printf("result bitmap 2048x2048 (%d regions): %.3f s, %.1f Mpixel/s\n", segmenter.regionCount(),
                seconds, 2048.0 * 2048.0 / seconds / 1e6);
  }
  {
    quarvel::Segmenter segmenter;
    segmenter.openImage(std::string("map512.bmp"));
    segmenter.labelComponents();
    segmenter.detectContours();
    segmenter.buildAdjacencyGraph(1);
    const auto start = std::chrono::steady_clock::now();
    segmenter.writeHtmlReport("C:");
    const double seconds = secondsSince(start);
    const double megabytes =
        static_cast<double>(fs::file_size(fs::path("C:") / "map512.bmp_0.5_5_5" / "index.html")) / 1e6;
    std::printf("report 512x512 (%d regions): %.1f MB page in %.3f s, %.0f MB/s\n", segmenter.regionCount(),
                megabytes, seconds, megabytes / seconds);
  }
  fs::current_path(previous);
  fs::remove_all(folder);
  return 0;
}
