// Loading a 2048 x 2048 class map and writing the text summary of a labelled
// 1024 x 1024 one: time, peak memory per pixel, summary throughput.
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/segmenter.h"

namespace {

// Blocks of 16 x 16 pixels with one of 8 tones drawn from a fixed hash, written
// row by row so that making the file costs little memory.
void writeClassMap(const std::string& path, int size) {
  const std::uint32_t rowBytes = 3u * static_cast<std::uint32_t>(size) + static_cast<std::uint32_t>(size % 4);
  const std::uint32_t fileSize = 54u + rowBytes * static_cast<std::uint32_t>(size);
  std::uint8_t header[54] = {'B', 'M'};
  auto put = [&header](int at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  put(2, fileSize);
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
      const char tone = static_cast<char>(1 + (h >> 15) % 8);
      row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = tone;
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
}

long peakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quarvel-load-bench";
  std::filesystem::create_directories(folder);
  const std::string large = (folder / "map2048.bmp").string();
  const std::string medium = (folder / "map1024.bmp").string();
  writeClassMap(large, 2048);
  writeClassMap(medium, 1024);

  {
    const long before = peakKilobytes();
    quarvel::Segmenter segmenter;
    const auto start = std::chrono::steady_clock::now();
    const bool loaded = segmenter.openImage(large);
    const double seconds = secondsSince(start);
    const double pixels = 2048.0 * 2048.0;
    std::printf("load 2048x2048: %s in %.3f s, peak %.1f bytes/pixel (peak %ld kB, %ld kB before)\n",
                loaded ? "ok" : "FAILED", seconds, (peakKilobytes() - before) * 1024.0 / pixels,
                peakKilobytes(), before);
  }
  {
    quarvel::Segmenter segmenter;
    segmenter.openImage(medium);
    segmenter.labelComponents();
    const std::string summaryPath = (folder / "summary.txt").string();
    std::ofstream out(summaryPath, std::ios::binary);
    const auto start = std::chrono::steady_clock::now();
    out << segmenter;
    out.close();
    const double seconds = secondsSince(start);
    const double megabytes = static_cast<double>(std::filesystem::file_size(summaryPath)) / 1e6;
    std::printf("summary 1024x1024 (%d regions): %.1f MB in %.3f s, %.0f MB/s\n", segmenter.regionCount(),
                megabytes, seconds, megabytes / seconds);
  }
  std::filesystem::remove_all(folder);
  return 0;
}
