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

#include "generator/class_map_generator.h"
#include "model/segmenter.h"

namespace {

// A smoothed class map of 8 tones with a light speckle of single pixels (a
// thousand regions or so at 512 x 512), from the benchmarks' generator.
void writeClassMap(const std::string& path, int size) {
  quarvel::bench::writeClassMapBitmap(quarvel::bench::generateClassMap({size, 8, 0.003, 1}), path);
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
