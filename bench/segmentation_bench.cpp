// Times every stage of the whole run of the tool on class maps and reports the
// peak memory of the process: loading, labelling, contours, graph, the picture
// before the fusion, the fusion, the text summary, the HTML report and the
// picture after it, as the dialogue runs them. Usage:
//   segmentation_bench [--sizes 256,512,1024,2048] [--variants smooth,noisy,kmeans]
//                      [--tones 8] [--noise 0.03] [--target 10] [--folder /tmp]
//                      [--maps /tmp/quarvel_kmeans] [--summary /dev/null] [--detail 1]
//                      [--pause 0] [--rounds 1]
// smooth and noisy maps are generated here; kmeans maps are read from
// <maps>/kmeans_<side>.bmp and .txt, made by generator/make_kmeans_maps.py.
// Times are wall-clock seconds; "cpu" is the processor time of the process,
// which other programs running beside it disturb less. --detail 1 adds two
// lines per map: the processor time and the peak memory of each stage. Each
// map runs in a child process of its own, as the tool runs one map a process,
// so that no map inherits the allocator's state from the one before.
// --pause S waits S seconds before each map. On a virtual machine whose host
// takes back the memory its guest leaves free (on this one within two to four
// seconds), a map run straight after another starts on the memory that one
// freed, filled again many times faster than memory the host took back: run
// back to back, each map runs partly on its predecessor's memory. A pause of
// six seconds starts every map from the same settled state, as a single run of
// the tool after a while would.
// --rounds N runs the whole list of maps N times over, then prints, per map,
// the median of every stage and of the whole run, and how many times longer
// the whole run took than at the side before, taken within each round: the
// median of the rounds, then the lowest and the highest. One round's ratio
// moves with whatever the host was doing in those seconds; the median of
// several rounds does far less.
#include <malloc.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "generator/class_map_generator.h"
#include "model/allocator_setup.h"
#include "model/segmenter.h"

namespace {

namespace fs = std::filesystem;
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
  std::string maps = "/tmp/quarvel_kmeans";
  std::string summary = "/dev/null";
  bool memory = false;
  int pause = 0;   // seconds before each map
  int rounds = 1;  // times the whole list of maps runs
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
    } else if (name == "--maps") {
      options.maps = value;
    } else if (name == "--summary") {
      options.summary = value;
    } else if (name == "--detail") {
      options.memory = std::atoi(value.c_str()) != 0;
    } else if (name == "--pause") {
      options.pause = std::atoi(value.c_str());
    } else if (name == "--rounds") {
      options.rounds = std::atoi(value.c_str());
      if (options.rounds < 1) return false;
    } else {
      return false;
    }
  }
  return argc % 2 == 1;
}

long long statusBytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = field;
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) return std::atoll(line.c_str() + prefix.size()) * 1024;
  }
  return -1;
}

// Peak resident memory since the last reset.
long long peakResidentBytes() { return statusBytes("VmHWM:"); }
long long residentBytes() { return statusBytes("VmRSS:"); }

// Hands freed heap back first, so that a map's peak does not include what the
// map before it left in the allocator.
void resetPeak() {
  malloc_trim(0);
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

// Forwards to a file and counts what passes.
class CountingBuffer : public std::streambuf {
 public:
  explicit CountingBuffer(std::streambuf* target) : target_(target) {}
  double count() const { return count_; }

 protected:
  int overflow(int c) override {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    count_ += 1;
    return target_->sputc(static_cast<char>(c));
  }
  std::streamsize xsputn(const char* text, std::streamsize n) override {
    count_ += static_cast<double>(n);
    return target_->sputn(text, n);
  }
  int sync() override { return target_->pubsync(); }

 private:
  std::streambuf* target_;
  double count_ = 0;
};

double processorSeconds() {
  timespec time{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

// The stages a run times, as StageClock::run names them.
constexpr const char* kStageNames[] = {"open",   "desc",    "label",  "contours", "graph", "origine",
                                       "fusion", "summary", "report", "resultat", "free"};
constexpr int kStageRoom = static_cast<int>(std::size(kStageNames));

struct Stage {
  const char* name;
  double seconds = 0;
  double processor = 0;
  long long peak = 0;  // peak resident bytes during the stage
};

// Runs the stage and, with memory on, records its own peak; the peak of the
// whole run is tracked beside it.
class StageClock {
 public:
  explicit StageClock(bool memory) : memory_(memory) {}
  void run(const char* name, const std::function<void()>& body) {
    Stage stage{name};
    if (memory_) {
      runPeak_ = std::max(runPeak_, peakResidentBytes());
      std::ofstream clear("/proc/self/clear_refs");
      clear << "5";
    }
    const double startProcessor = processorSeconds();
    const auto start = std::chrono::steady_clock::now();
    body();
    stage.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stage.processor = processorSeconds() - startProcessor;
    if (memory_) stage.peak = peakResidentBytes();
    stages_.push_back(stage);
  }
  long long runPeak() const { return std::max(runPeak_, peakResidentBytes()); }
  const std::vector<Stage>& stages() const { return stages_; }
  double seconds(const char* name) const {
    for (const Stage& stage : stages_) {
      if (std::string(stage.name) == name) return stage.seconds;
    }
    return 0;
  }

 private:
  bool memory_;
  long long runPeak_ = 0;
  std::vector<Stage> stages_;
};

// Puts the map's two files into a fresh working folder under the names the
// operator would type; false when they cannot be made or found.
bool prepareInputs(const Options& options, int side, const std::string& variant, const fs::path& work) {
  std::error_code error;
  fs::create_directories(work, error);
  if (error) return false;
  if (variant == "kmeans") {
    const fs::path stem = fs::path(options.maps) / ("kmeans_" + std::to_string(side));
    fs::copy_file(stem.string() + ".bmp", work / "map.bmp", fs::copy_options::overwrite_existing, error);
    if (error) return false;
    fs::copy_file(stem.string() + ".txt", work / "map.txt", fs::copy_options::overwrite_existing, error);
    return !error;
  }
  ClassMapShape shape;
  shape.side = side;
  shape.toneCount = options.tones;
  shape.noiseShare = variant == "noisy" ? options.noise : 0.0;
  shape.seed = 20240601u + static_cast<unsigned>(side);
  const ClassMap map = quarvel::bench::generateClassMap(shape);
  return quarvel::bench::writeClassMapBitmap(map, (work / "map.bmp").string()) &&
         quarvel::bench::writeDescriptorFile(map, 3, shape.seed, (work / "map.txt").string());
}

// What a map's run sends back to the parent process for the medians.
struct RunRecord {
  bool timed = false;
  double stageSeconds[kStageRoom] = {};  // by kStageNames
  double whole = 0;
};

RunRecord runOne(const Options& options, int side, const std::string& variant) {
  RunRecord record;
  const fs::path work = fs::path(options.folder) / ("quarvel_bench_" + std::to_string(getpid()) + "_" +
                                                    variant + "_" + std::to_string(side));
  if (!prepareInputs(options, side, variant, work)) {
    std::printf("%-6s %5d  no input files (%s)\n", variant.c_str(), side,
                variant == "kmeans" ? options.maps.c_str() : options.folder.c_str());
    fs::remove_all(work);
    return record;
  }
  const fs::path before = fs::current_path();
  fs::current_path(work);
  resetPeak();
  const long long baseline = residentBytes();

  StageClock clock(options.memory);
  int regions = 0;
  int remaining = 0;
  double summaryBytes = 0;
  bool opened = false;
  const double startProcessor = processorSeconds();
  const auto start = std::chrono::steady_clock::now();
  {
    auto segmenter = std::make_unique<Segmenter>();
    clock.run("open", [&] { opened = segmenter->openImage(std::string("map.bmp")); });
    clock.run("desc", [&] { opened = segmenter->openDescriptors(std::string("map.txt")) && opened; });
    if (opened) {
      clock.run("label", [&] { segmenter->labelComponents(); });
      regions = segmenter->regionCount();
      segmenter->setNbRegFin(std::min(options.target, regions));
      clock.run("contours", [&] { segmenter->detectContours(); });
      clock.run("graph", [&] { segmenter->buildAdjacencyGraph(1); });
      clock.run("origine", [&] { segmenter->writeResultBitmap("origine.bmp", ""); });
      clock.run("fusion", [&] { segmenter->mergeRegions(); });
      remaining = static_cast<int>(segmenter->regionTable().size());
      clock.run("summary", [&] {
        std::ofstream file(options.summary, std::ios::binary);
        CountingBuffer counter(file.rdbuf());
        std::ostream out(&counter);
        out << *segmenter;
        out.flush();
        summaryBytes = counter.count();
      });
      clock.run("report", [&] { segmenter->writeHtmlReport("C:"); });
      clock.run("resultat", [&] { segmenter->writeResultBitmap("resultat.bmp", "C:"); });
    }
    clock.run("free", [&] { segmenter.reset(); });
  }
  const double whole = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double wholeProcessor = processorSeconds() - startProcessor;
  const long long peak = clock.runPeak();
  fs::current_path(before);
  fs::remove_all(work);
  if (!opened) {
    std::printf("%-6s %5d  the model could not load the input files\n", variant.c_str(), side);
    return record;
  }

  const double pixels = static_cast<double>(side) * side;
  std::printf("%-6s %5d %8d %4d |", variant.c_str(), side, regions, remaining);
  for (const Stage& stage : clock.stages()) std::printf(" %s %.3f", stage.name, stage.seconds);
  std::printf(
      " | whole %7.3f s cpu %7.3f s | summary %.1f MB at %.0f MB/s | peak %.1f B/px (%.1f B/px above the "
      "start)\n",
      whole, wholeProcessor, summaryBytes / 1e6, summaryBytes / 1e6 / clock.seconds("summary"),
      static_cast<double>(peak) / pixels, static_cast<double>(peak - baseline) / pixels);
  if (options.memory) {
    std::printf("%-6s %5d  cpu seconds:", "", side);
    for (const Stage& stage : clock.stages()) std::printf(" %s %.3f", stage.name, stage.processor);
    std::printf("\n%-6s %5d  peak during, B/px:", "", side);
    for (const Stage& stage : clock.stages()) {
      std::printf(" %s %.1f", stage.name, static_cast<double>(stage.peak) / pixels);
    }
    std::printf("\n");
  }
  std::fflush(stdout);
  record.timed = true;
  record.whole = whole;
  for (int k = 0; k < kStageRoom; ++k) record.stageSeconds[k] = clock.seconds(kStageNames[k]);
  return record;
}

// Runs the map in a child process of its own; the child's record comes back
// through a pipe.
RunRecord runInChild(const Options& options, int side, const std::string& variant) {
  int channel[2];
  if (pipe(channel) != 0) return runOne(options, side, variant);
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    const RunRecord record = runOne(options, side, variant);
    std::fflush(stdout);
    const ssize_t written = write(channel[1], &record, sizeof record);
    _exit(written == static_cast<ssize_t>(sizeof record) ? 0 : 1);
  }
  close(channel[1]);
  if (child < 0) {
    close(channel[0]);
    return runOne(options, side, variant);
  }
  RunRecord record;
  const ssize_t got = read(channel[0], &record, sizeof record);
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::printf("%-6s %5d  the run failed (status %d)\n", variant.c_str(), side, status);
  }
  if (got != static_cast<ssize_t>(sizeof record)) return RunRecord{};
  return record;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// records[round][map], maps in the order sizes x variants.
void printMedians(const Options& options, const std::vector<std::vector<RunRecord>>& records) {
  std::printf("median of %zu rounds\n", records.size());
  const std::size_t variants = options.variants.size();
  for (std::size_t s = 0; s < options.sizes.size(); ++s) {
    for (std::size_t v = 0; v < variants; ++v) {
      const std::size_t map = s * variants + v;
      std::vector<double> wholes;
      std::vector<double> ratios;
      std::vector<std::vector<double>> stages(kStageRoom);
      for (const std::vector<RunRecord>& round : records) {
        const RunRecord& run = round[map];
        if (!run.timed) continue;
        wholes.push_back(run.whole);
        for (int k = 0; k < kStageRoom; ++k)
          stages[static_cast<std::size_t>(k)].push_back(run.stageSeconds[k]);
        if (s > 0 && round[map - variants].timed) ratios.push_back(run.whole / round[map - variants].whole);
      }
      if (wholes.empty()) continue;
      std::printf("%-6s %5d |", options.variants[v].c_str(), options.sizes[s]);
      for (int k = 0; k < kStageRoom; ++k) {
        std::printf(" %s %.3f", kStageNames[k], median(stages[static_cast<std::size_t>(k)]));
      }
      std::printf(" | whole %7.3f s", median(wholes));
      if (!ratios.empty()) {
        std::printf(" | x %d: %.2f (%.2f to %.2f)", options.sizes[s - 1], median(ratios),
                    *std::min_element(ratios.begin(), ratios.end()),
                    *std::max_element(ratios.begin(), ratios.end()));
      }
      std::printf("\n");
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: %s [--sizes 256,512,1024,2048] [--variants smooth,noisy,kmeans] [--tones 8]"
                 " [--noise 0.03] [--target 10] [--folder /tmp] [--maps /tmp/quarvel_kmeans]"
                 " [--summary /dev/null] [--detail 1] [--pause 0] [--rounds 1]\n",
                 argv[0]);
    return 2;
  }
  quarvel::tuneAllocator();
  std::printf("%-6s %5s %8s %4s | seconds per stage\n", "map", "side", "regions", "left");
  std::vector<std::vector<RunRecord>> records;
  for (int round = 0; round < options.rounds; ++round) {
    records.emplace_back();
    for (int side : options.sizes) {
      for (const std::string& variant : options.variants) {
        std::fflush(stdout);
        if (options.pause > 0) sleep(static_cast<unsigned>(options.pause));
        records.back().push_back(runInChild(options, side, variant));
      }
    }
  }
  if (options.rounds > 1) printMedians(options, records);
  return 0;
}
