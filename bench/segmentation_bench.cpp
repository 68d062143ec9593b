// Times every stage of one analysis on generated class maps and reports the
// peak memory. Usage:
//   segmentation_bench [--sizes 256,512,1024,2048] [--variants smooth,noisy]
//                      [--tones 8] [--noise 0.03] [--target 10] [--folder /tmp]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "generator/class_map_generator.h"
#include "model/segmenter.h"

namespace {

using quarvel::Segmenter;
using quarvel::bench::ClassMap;
using quarvel::bench::ClassMapShape;

struct Options {
  std::vector<int> sizes{256, 512, 1024, 2048};
  std::vector<std::string> variants{"smooth", "noisy"};
  int tones = 8;
  double noise = 0.03;
  int target = 10;
  std::string folder = "/tmp";
};

std::vector<std::string> splitList(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) items.push_back(item);
  return items;
}

bool parseOptions(int argc, char** argv, Options& options) {
  for (int k = 1; k + 1 < argc; k += 2) {
    const std::string name = argv[k];
    const std::string value = argv[k + 1];
    if (name == "--sizes") {
      options.sizes.clear();
      for (const std::string& item : splitList(value)) options.sizes.push_back(std::atoi(item.c_str()));
    } else if (name == "--variants") {
      options.variants = splitList(value);
    } else if (name == "--tones") {
      options.tones = std::atoi(value.c_str());
    } else if (name == "--noise") {
      options.noise = std::atof(value.c_str());
    } else if (name == "--target") {
      options.target = std::atoi(value.c_str());
    } else if (name == "--folder") {
      options.folder = value;
    } else {
      return false;
    }
  }
  return argc % 2 == 1;
}

// Peak resident memory of this process in bytes, and a reset of that peak so
// that each run reports its own.
long long peakResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024;
  }
  return -1;
}

void resetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

double timed(const std::function<void()>& stage) {
  const auto start = std::chrono::steady_clock::now();
  stage();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void runOne(const Options& options, int side, const std::string& variant) {
  ClassMapShape shape;
  shape.side = side;
  shape.toneCount = options.tones;
  shape.noiseShare = variant == "noisy" ? options.noise : 0.0;
  shape.seed = 20240601u + static_cast<unsigned>(side);
  const std::string stem = options.folder + "/quarvel_bench_" + std::to_string(getpid()) + "_" + variant +
                           "_" + std::to_string(side);
  const std::string image = stem + ".bmp";
  const std::string descriptors = stem + ".txt";
  const std::string summary = stem + "_summary.txt";
  {
    const ClassMap map = quarvel::bench::generateClassMap(shape);
    if (!quarvel::bench::writeClassMapBitmap(map, image) ||
        !quarvel::bench::writeDescriptorFile(map, 3, shape.seed, descriptors)) {
      std::printf("%-6s %5d  cannot write the input files under %s\n", variant.c_str(), side,
                  options.folder.c_str());
      return;
    }
  }
  resetPeak();
  double openTime = 0, descriptorTime = 0, labelTime = 0, contourTime = 0, graphTime = 0, mergeTime = 0,
         summaryTime = 0;
  int regions = 0;
  int remaining = 0;
  double summaryBytes = 0;
  {
    Segmenter segmenter;
    bool opened = false;
    openTime = timed([&] { opened = segmenter.openImage(image); });
    descriptorTime = timed([&] { opened = segmenter.openDescriptors(descriptors) && opened; });
    if (!opened) {
      std::printf("%-6s %5d  the model could not load the input files\n", variant.c_str(), side);
      return;
    }
    labelTime = timed([&] { segmenter.labelComponents(); });
    regions = segmenter.regionCount();
    segmenter.setNbRegFin(std::min(options.target, regions));
    contourTime = timed([&] { segmenter.detectContours(); });
    graphTime = timed([&] { segmenter.buildAdjacencyGraph(1); });
    mergeTime = timed([&] { segmenter.mergeRegions(); });
    remaining = static_cast<int>(segmenter.regionTable().size());
    summaryTime = timed([&] {
      std::ofstream out(summary);
      out << segmenter;
      out.flush();
      summaryBytes = static_cast<double>(out.tellp());
    });
  }
  const long long peak = peakResidentBytes();
  const double pixels = static_cast<double>(side) * side;
  const double stages = labelTime + contourTime + graphTime + mergeTime;
  std::printf(
      "%-6s %5d %8d %4d | open %6.3f desc %6.3f | label %6.3f contours %6.3f graph %6.3f fusion %7.3f = "
      "%7.3f s"
      " | summary %7.1f MB %6.3f s %6.1f MB/s | peak %6.1f B/px\n",
      variant.c_str(), side, regions, remaining, openTime, descriptorTime, labelTime, contourTime, graphTime,
      mergeTime, stages, summaryBytes / 1e6, summaryTime, summaryBytes / 1e6 / summaryTime,
      static_cast<double>(peak) / pixels);
  std::fflush(stdout);
  std::remove(image.c_str());
  std::remove(descriptors.c_str());
  std::remove(summary.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: %s [--sizes 256,512,1024,2048] [--variants smooth,noisy] [--tones 8] [--noise 0.03]"
                 " [--target 10] [--folder /tmp]\n",
                 argv[0]);
    return 2;
  }
  std::printf("%-6s %5s %8s %4s\n", "map", "side", "regions", "left");
  for (int side : options.sizes) {
    for (const std::string& variant : options.variants) runOne(options, side, variant);
  }
  return 0;
}
