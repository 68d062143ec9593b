#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "driver/command_line.h"
#include "driver/dialogue.h"
#include "driver/stage.h"
#include "model/segmenter.h"
#include "support/sanitizers.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace quarvel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
// Every file under a folder, by its path relative to the folder, with its bytes.
using Snapshot = std::map<std::string, Bytes>;

using test::kAddressSanitizer;

Snapshot snapshotOf(const fs::path& folder) {
  Snapshot files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string relative = fs::relative(entry.path(), folder).string();
    if (entry.is_regular_file()) {
      files[relative] = test::readBytes(entry.path().string());
    } else if (entry.is_directory() && fs::is_empty(entry.path())) {
      files[relative + "/"] = {};
    }
  }
  return files;
}

std::string textOf(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The page with its date line cut out, the one line that differs between runs.
std::string pageWithoutDate(const Bytes& bytes) {
  std::string page = textOf(bytes);
  const std::size_t date = page.find("<p>Traitement du ");
  if (date != std::string::npos) page.erase(date, page.find('\n', date) + 1 - date);
  return page;
}

// Lines of text, each without its line end; a last line without one is kept.
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// An expected line as a pattern: '#' stands for a number, everything else is literal.
bool lineMatches(const std::string& line, const std::string& expected) {
  std::size_t at = 0;
  for (char c : expected) {
    if (c != '#') {
      if (at >= line.size() || line[at] != c) return false;
      ++at;
      continue;
    }
    const std::size_t start = at;
    while (at < line.size() && std::isdigit(static_cast<unsigned char>(line[at]))) ++at;
    if (at == start) return false;
  }
  return at == line.size();
}

// What the run's process met: what it was given instead of an ordinary console
// or file system.
enum class Limit {
  None,
  StandardOutputFull,  // standard output is /dev/full
  StandardOutputGone,  // standard output is a pipe that nobody reads
  FileSize,            // no file may grow beyond 1 KiB
  MemoryFromStart,     // the address space is held to what the process uses, plus 2 MiB
  MemoryAtStage,       // the same from the start of `stage` on, with no free memory left
};

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// The address space the process uses now, in bytes.
std::size_t addressSpaceInUse() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  statm >> pages;
  return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

void holdAddressSpace(std::size_t extra) {
  const rlimit limit{addressSpaceInUse() + extra, addressSpaceInUse() + extra};
  setrlimit(RLIMIT_AS, &limit);
}

// The blocks taken by exhaustMemory, chained through their first word.
void* held = nullptr;

// Holds the address space to what is in use, then takes every block still
// free, so that the next request for memory fails whatever its size.
void exhaustMemory() {
  holdAddressSpace(std::size_t{64} << 10);
  for (std::size_t size = std::size_t{1} << 24; size >= 16; size /= 2) {
    for (void* block = std::malloc(size); block != nullptr; block = std::malloc(size)) {
      *static_cast<void**>(block) = held;
      held = block;
    }
  }
}

// Reads both pipes to their end.
void drain(int outFd, int errFd, std::string& out, std::string& err) {
  pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* texts[2] = {&out, &err};
  int open = 2;
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) return;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char block[1 << 14];
      const ssize_t count = read(fds[i].fd, block, sizeof block);
      if (count > 0) {
        texts[i]->append(block, static_cast<std::size_t>(count));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

// Runs the dialogue in a child process whose standard output and error are
// pipes to this one (or /dev/full), under the row's limit.
Outcome runInChild(const std::string& input, Limit limit, Stage stage) {
  int outPipe[2], errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return {};
  std::fflush(nullptr);
  std::cout.flush();
  const pid_t child = fork();
  if (child == 0) {
    close(outPipe[0]);
    close(errPipe[0]);
    int outFd = outPipe[1];
    if (limit == Limit::StandardOutputFull) outFd = open("/dev/full", O_WRONLY);
    int gone[2] = {-1, -1};
    if (limit == Limit::StandardOutputGone && pipe(gone) == 0) {
      close(gone[0]);
      outFd = gone[1];
    }
    dup2(outFd, 1);
    dup2(errPipe[1], 2);
    ignoreWriteSignals();
    if (limit == Limit::FileSize) {
      const rlimit size{1024, 1024};
      setrlimit(RLIMIT_FSIZE, &size);
    }
    if (limit == Limit::MemoryFromStart) holdAddressSpace(std::size_t{2} << 20);
    const StageWatch watch = [limit, stage](Stage starting) {
      if (limit == Limit::MemoryAtStage && starting == stage) exhaustMemory();
    };
    std::istringstream in(input);
    int status = 0;
    {
      Segmenter segmenter;
      status = runDialogue(segmenter, in, std::cout, std::cerr, watch);
      std::cout.flush();
    }
    _exit(status);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  Outcome outcome;
  drain(outPipe[0], errPipe[0], outcome.out, outcome.err);
  int wait = 0;
  waitpid(child, &wait, 0);
  outcome.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : 128 + WTERMSIG(wait);
  return outcome;
}

// The image of the runs: 48 x 32 pixels in blocks of 8 x 8 whose tones 1 and 2
// alternate like a checkerboard, so 24 regions; the descriptors give tone 1
// the value 0.2 and tone 2 the value 0.8.
test::ToneGrid blocks() {
  test::ToneGrid tones(32, std::vector<int>(48));
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 48; ++x) tones[y][x] = 1 + (x / 8 + y / 8) % 2;
  }
  return tones;
}

void prepareWorkingFolder() {
  test::writeClassImage("img.bmp", blocks());
  test::writeTextFile("d.txt", "2 0.2 0.8\n");
  test::writeBytes("logo.jpg", {0xFF, 0xD8, 'l', 'o', 'g', 'o'});
}

const std::string kAnswers = "img.bmp d.txt n n 2\n";
const std::vector<std::string> kSomeLines = {"..."};
const std::string kReport = "C:/img.bmp_0.5_5_2/";

const std::string kImagePrompt = "Tapez le nom de l image\n";
const std::string kUpToNbPixMin =
    kImagePrompt +
    "Ouverture Image OK\n"
    "Tapez le nom du fichier de descripteurs de l image\n"
    "Ouverture Descripteurs OK\n"
    "La valeur par default de epsilon est de 0.5\nVoulez vous la modifier? [o ou n]\n"
    "La valeur par default du nombre de pixels minimum est de 5\nVoulez vous la modifier? [o ou n]\n";
const std::string kUpToCount =
    kUpToNbPixMin +
    "DCC OK\nCette image comporte 24 regions\nTapez le nombre de regions desirees apres fusion\n";
const std::string kUpToContours = kUpToCount + "Detection Contours OK\n";
const std::string kUpToGraph = kUpToContours + "Calcul du RAG OK\n";
const std::string kUpToFusion = kUpToGraph + "Fusion OK\n";

// What standard output must hold: the dialogue up to a point, then, when
// `summary` is set, the summary of the clean run and `ending`.
struct Transcript {
  std::string dialogue;
  bool summary = false;
  std::string ending;
  bool captured = true;  // false: standard output went to /dev/full
  bool summaryMayBeCut = false;
};

Transcript upTo(const std::string& dialogue) { return Transcript{dialogue, false, "", true, false}; }
Transcript withSummary(const std::string& dialogue, const std::string& ending) {
  return Transcript{dialogue, true, ending, true, false};
}
// The summary stops anywhere.
Transcript cutInSummary(const std::string& dialogue) { return Transcript{dialogue, false, "", true, true}; }
Transcript notCaptured() { return Transcript{"", false, "", false, false}; }

struct FaultCase {
  const char* name;
  Limit limit;
  Stage stage;  // for Limit::MemoryAtStage
  std::string input;
  // Puts things in the way in the working folder before the run.
  std::function<void()> arrange;
  int status;
  // Exactly, in order; '#' stands for a number. kSomeLines: one line or more.
  std::vector<std::string> errLines;
  Transcript transcript;
  // Files the run must leave complete, as a clean run writes them; every other
  // file under the working folder must be as it was before the run.
  std::vector<std::string> written;
  std::string pageHolds;  // a line the written page must hold
};

// origine.bmp (unless left out) and the files of the report folder but those left out.
std::vector<std::string> outputs(const std::string& report, const std::vector<std::string>& left = {}) {
  std::vector<std::string> files;
  for (const std::string& file :
       {std::string("origine.bmp"), report + "index.html", report + "CSS/style.css", report + "logo.jpg",
        report + "origine.bmp", report + "img.bmp", report + "resultat.bmp"}) {
    bool out = false;
    for (const std::string& l : left) out = out || file == l;
    if (!out) files.push_back(file);
  }
  return files;
}

std::string memoryLine(const char* stage, const char* regions) {
  return std::string("Memoire insuffisante pendant ") + stage + " (1536 pixels, " + regions +
         " regions): arret.";
}

struct MemoryLineCase {
  const char* name;
  Stage stage;
  bool tableTaken;  // the regions are out of the table, as while the fusion runs
};

class MemoryLine : public testing::TestWithParam<MemoryLineCase> {};

// The line counts the regions of the work under way: those of the table, or,
// while the fusion holds them, those labelling found.
TEST_P(MemoryLine, CountsTheRegionsOfTheWorkUnderWay) {
  const MemoryLineCase& c = GetParam();
  test::TempFolder folder;
  test::WorkingFolder inside(folder.path());
  ASSERT_TRUE(test::writeClassImage("in.bmp", {{1, 2}, {3, 4}, {1, 1}}));
  Segmenter segmenter;
  ASSERT_TRUE(segmenter.openImage(std::string("in.bmp")));
  ASSERT_TRUE(segmenter.labelComponents());
  if (c.tableTaken) segmenter.regionTable().clear();
  std::ostringstream err;
  tellOutOfMemory(err, c.stage, segmenter);
  EXPECT_EQ(err.str(), "Memoire insuffisante pendant " + std::string(stageName(c.stage)) + " (6 pixels, " +
                           (c.tableTaken && c.stage != Stage::Fusion ? "0" : "5") + " regions): arret.\n");
}

INSTANTIATE_TEST_SUITE_P(Stages, MemoryLine,
                         testing::Values(MemoryLineCase{"graph", Stage::Graph, false},
                                         MemoryLineCase{"fusion_start", Stage::Fusion, false},
                                         MemoryLineCase{"fusion_under_way", Stage::Fusion, true},
                                         MemoryLineCase{"summary_of_an_emptied_table", Stage::Summary, true}),
                         [](const testing::TestParamInfo<MemoryLineCase>& info) {
                           return std::string(info.param.name);
                         });

class OutputFault : public testing::TestWithParam<FaultCase> {
 protected:
  OutputFault() : work_(fs::path(root_.path()) / "work"), clean_(fs::path(root_.path()) / "clean") {
    fs::create_directory(work_);
    fs::create_directory(clean_);
  }

  // The same run where nothing is in the way, for its summary and its files.
  void runClean(const FaultCase& c) {
    test::WorkingFolder inside(clean_.string());
    prepareWorkingFolder();
    std::istringstream in(c.input);
    std::ostringstream out, err;
    Segmenter segmenter;
    ASSERT_EQ(runDialogue(segmenter, in, out, err), 0) << err.str();
    const std::string said = out.str();
    const std::string& dialogue = c.transcript.dialogue;
    const std::string ending = "Generation HTML OK\nGeneration BMP OK\n";
    if (c.transcript.summary || c.transcript.summaryMayBeCut) {
      ASSERT_EQ(said.rfind(dialogue, 0), 0u) << said.substr(0, 2000);
      ASSERT_EQ(said.substr(said.size() - ending.size()), ending);
      summary_ = said.substr(dialogue.size(), said.size() - dialogue.size() - ending.size());
    }
    cleanFiles_ = snapshotOf(clean_);
  }

  test::TempFolder root_;
  fs::path work_;
  fs::path clean_;
  std::string summary_;
  Snapshot cleanFiles_;
};

TEST_P(OutputFault, IsToldAndLeavesNoFileHalfWritten) {
  const FaultCase& c = GetParam();
  if (kAddressSanitizer && (c.limit == Limit::MemoryFromStart || c.limit == Limit::MemoryAtStage)) {
    GTEST_SKIP() << "the address sanitizer reserves more address space than any limit leaves";
  }
  if (c.limit != Limit::MemoryFromStart) runClean(c);
  test::WorkingFolder inside(work_.string());
  prepareWorkingFolder();
  if (c.arrange) c.arrange();
  const Snapshot before = snapshotOf(work_);

  const Outcome outcome = runInChild(c.input, c.limit, c.stage);

  EXPECT_EQ(outcome.status, c.status) << outcome.err;
  const std::vector<std::string> errLines = linesOf(outcome.err);
  if (c.errLines == kSomeLines) {
    EXPECT_FALSE(errLines.empty());
    EXPECT_TRUE(outcome.err.ends_with("\n")) << outcome.err;
  } else {
    ASSERT_EQ(errLines.size(), c.errLines.size()) << outcome.err;
    for (std::size_t i = 0; i < errLines.size(); ++i) {
      EXPECT_TRUE(lineMatches(errLines[i], c.errLines[i])) << errLines[i] << "\nexpected: " << c.errLines[i];
    }
  }

  const Transcript& t = c.transcript;
  if (!t.captured) {
    EXPECT_EQ(outcome.out, "");
  } else if (t.summaryMayBeCut) {
    const std::string whole = t.dialogue + summary_;
    EXPECT_EQ(outcome.out.rfind(t.dialogue, 0), 0u) << outcome.out.substr(0, 2000);
    EXPECT_EQ(whole.rfind(outcome.out, 0), 0u) << "not a start of the clean transcript";
  } else {
    EXPECT_EQ(outcome.out, t.dialogue + (t.summary ? summary_ + t.ending : t.ending));
  }

  Snapshot after = snapshotOf(work_);
  for (const std::string& file : c.written) {
    const auto made = after.find(file);
    ASSERT_NE(made, after.end()) << file << " is missing";
    const auto clean = cleanFiles_.find(file);
    ASSERT_NE(clean, cleanFiles_.end()) << file;
    if (file.ends_with("index.html")) {
      EXPECT_EQ(pageWithoutDate(made->second), pageWithoutDate(clean->second)) << file;
    } else {
      EXPECT_EQ(made->second, clean->second) << file;
    }
    after.erase(made);
  }
  Snapshot unchanged = before;
  for (const std::string& file : c.written) unchanged.erase(file);
  EXPECT_EQ(after.size(), unchanged.size());
  for (const auto& [file, bytes] : after) {
    const auto was = unchanged.find(file);
    if (was == unchanged.end()) {
      ADD_FAILURE() << file << " was left by the run";
    } else {
      EXPECT_EQ(bytes, was->second) << file << " was changed";
    }
  }
  if (!c.pageHolds.empty()) {
    const std::string page = c.written.size() > 1 ? c.written[1] : std::string();
    EXPECT_NE(textOf(test::readBytes(page)).find(c.pageHolds), std::string::npos) << page;
  }
}

void makeFolder(const std::string& path) { fs::create_directories(path); }

// A report of the same name from an earlier run on another image, whose files
// are all larger than 1 KiB but the logo.
void previousReport() {
  test::ToneGrid halves(16, std::vector<int>(24, 1));
  for (auto& row : halves) std::fill(row.begin() + 12, row.end(), 2);
  test::writeClassImage("img.bmp", halves);
  std::istringstream in("img.bmp d.txt n n 2\n");
  std::ostringstream out, err;
  Segmenter segmenter;
  ASSERT_EQ(runDialogue(segmenter, in, out, err), 0);
  test::writeClassImage("img.bmp", blocks());
}

const std::string kAll = "Generation HTML OK\nGeneration BMP OK\n";
const std::string kPageLine = "Rapport: " + kReport + "index.html";

const std::string kSmallRegions =
    "img.bmp d.txt o 0 o 100 2\n";  // Epsilon 0, and every region is smaller than NbPixMin
const std::string kSmallReport = "C:/img.bmp_0_100_2/";
const std::string kUpToSmallFusion =
    kImagePrompt +
    "Ouverture Image OK\n"
    "Tapez le nom du fichier de descripteurs de l image\n"
    "Ouverture Descripteurs OK\n"
    "La valeur par default de epsilon est de 0.5\nVoulez vous la modifier? [o ou n]\n"
    "Tapez la valeur desiree pour epsilon [ 0<=epsilon<=1 ]\n"
    "La valeur par default du nombre de pixels minimum est de 5\nVoulez vous la modifier? [o ou n]\n"
    "Tapez la valeur desiree pour NbPixMin\n"
    "DCC OK\nCette image comporte 24 regions\nTapez le nombre de regions desirees apres fusion\n"
    "Detection Contours OK\nCalcul du RAG OK\nFusion OK\n";

INSTANTIATE_TEST_SUITE_P(
    Faults, OutputFault,
    testing::Values(
        FaultCase{"nothing_in_the_way",
                  Limit::None,
                  Stage::Labelling,
                  kAnswers,
                  nullptr,
                  0,
                  {kPageLine},
                  withSummary(kUpToFusion, kAll),
                  outputs(kReport),
                  "Nombre de Regions apres traitement: 2<br>"},
        FaultCase{
            "fusion_stops_early",
            Limit::None,
            Stage::Labelling,
            kSmallRegions,
            nullptr,
            0,
            {"Attention: la fusion s est arretee faute d arete utilisable, il reste 24 regions au lieu de 2",
             "Rapport: " + kSmallReport + "index.html"},
            withSummary(kUpToSmallFusion, kAll),
            outputs(kSmallReport),
            "Nombre de Regions apres traitement: 24<br>"},
        FaultCase{
            "no_logo",
            Limit::None,
            Stage::Labelling,
            kAnswers,
            [] { fs::remove("logo.jpg"); },
            0,
            {"Attention: pas de copie de logo.jpg dans le rapport: No such file or directory", kPageLine},
            withSummary(kUpToFusion, kAll),
            outputs(kReport, {kReport + "logo.jpg"}),
            ""},
        FaultCase{
            "standard_output_full",
            Limit::StandardOutputFull,
            Stage::Labelling,
            kAnswers,
            nullptr,
            2,
            {"Erreur d ecriture sur la sortie standard: le dialogue et le resume sont incomplets", kPageLine},
            notCaptured(),
            outputs(kReport),
            ""},
        FaultCase{
            "standard_output_gone",
            Limit::StandardOutputGone,
            Stage::Labelling,
            kAnswers,
            nullptr,
            2,
            {"Erreur d ecriture sur la sortie standard: le dialogue et le resume sont incomplets", kPageLine},
            notCaptured(),
            outputs(kReport),
            ""},
        FaultCase{"folder_where_resultat_goes",
                  Limit::None,
                  Stage::Labelling,
                  kAnswers,
                  [] { makeFolder(kReport + "resultat.bmp"); },
                  2,
                  {"Impossible d ecrire " + kReport + "resultat.bmp: Is a directory", kPageLine},
                  withSummary(kUpToFusion, "Generation HTML OK\n"),
                  outputs(kReport, {kReport + "resultat.bmp"}),
                  ""},
        FaultCase{"folder_where_index_goes",
                  Limit::None,
                  Stage::Labelling,
                  kAnswers,
                  [] { makeFolder(kReport + "index.html/old"); },
                  2,
                  {"Impossible d ecrire " + kReport + "index.html: Is a directory"},
                  withSummary(kUpToFusion, "Generation BMP OK\n"),
                  outputs(kReport, {kReport + "index.html"}),
                  ""},
        FaultCase{"file_where_css_goes",
                  Limit::None,
                  Stage::Labelling,
                  kAnswers,
                  [] {
                    makeFolder(kReport);
                    test::writeTextFile(kReport + "CSS", "old");
                  },
                  2,
                  {"Impossible de creer le dossier " + kReport + "CSS: Not a directory", kPageLine},
                  withSummary(kUpToFusion, "Generation BMP OK\n"),
                  outputs(kReport, {kReport + "CSS/style.css"}),
                  ""},
        FaultCase{"folder_where_style_sheet_goes",
                  Limit::None,
                  Stage::Labelling,
                  kAnswers,
                  [] { makeFolder(kReport + "CSS/style.css"); },
                  2,
                  {"Impossible d ecrire " + kReport + "CSS/style.css: Is a directory", kPageLine},
                  withSummary(kUpToFusion, "Generation BMP OK\n"),
                  outputs(kReport, {kReport + "CSS/style.css"}),
                  ""},
        FaultCase{"folder_where_origine_goes",
                  Limit::None,
                  Stage::Labelling,
                  kAnswers,
                  [] { makeFolder("origine.bmp"); },
                  2,
                  {"Impossible d ecrire origine.bmp: Is a directory",
                   "Attention: pas de copie de origine.bmp dans le rapport: Is a directory", kPageLine},
                  withSummary(kUpToFusion, kAll),
                  outputs(kReport, {"origine.bmp", kReport + "origine.bmp"}),
                  ""},
        FaultCase{"report_folder_under_a_file",
                  Limit::None,
                  Stage::Labelling,
                  kAnswers,
                  [] { test::writeTextFile("C:", "not a folder"); },
                  2,
                  {"Impossible de creer le dossier C:/img.bmp_0.5_5_2: Not a directory",
                   "Impossible d ecrire " + kReport + "resultat.bmp: Not a directory"},
                  withSummary(kUpToFusion, ""),
                  {"origine.bmp"},
                  ""},
        FaultCase{"files_too_large_previous_report_kept",
                  Limit::FileSize,
                  Stage::Labelling,
                  kAnswers,
                  previousReport,
                  2,
                  {"Impossible d ecrire origine.bmp: File too large",
                   "Impossible d ecrire " + kReport + "origine.bmp: File too large",
                   "Impossible d ecrire " + kReport + "img.bmp: File too large",
                   "Impossible d ecrire " + kReport + "index.html: File too large",
                   "Impossible d ecrire " + kReport + "CSS/style.css: File too large",
                   "Impossible d ecrire " + kReport + "resultat.bmp: File too large"},
                  withSummary(kUpToFusion, ""),
                  {},
                  ""},
        FaultCase{"memory_loading",
                  Limit::MemoryFromStart,
                  Stage::Labelling,
                  "big.bmp\n",
                  [] { test::writeClassImage("big.bmp", test::ToneGrid(1024, std::vector<int>(1024, 7))); },
                  1,
                  kSomeLines,
                  upTo(kImagePrompt + kImagePrompt),
                  {},
                  ""},
        FaultCase{"memory_labelling",
                  Limit::MemoryAtStage,
                  Stage::Labelling,
                  kAnswers,
                  nullptr,
                  3,
                  {memoryLine("l etiquetage des regions", "#")},
                  upTo(kUpToNbPixMin),
                  {},
                  ""},
        FaultCase{"memory_contours",
                  Limit::MemoryAtStage,
                  Stage::Contours,
                  kAnswers,
                  nullptr,
                  3,
                  {memoryLine("la detection des contours", "24")},
                  upTo(kUpToCount),
                  {},
                  ""},
        FaultCase{"memory_graph",
                  Limit::MemoryAtStage,
                  Stage::Graph,
                  kAnswers,
                  nullptr,
                  3,
                  {memoryLine("le calcul du RAG", "24")},
                  upTo(kUpToContours),
                  {},
                  ""},
        FaultCase{"memory_origine",
                  Limit::MemoryAtStage,
                  Stage::RegionImageBefore,
                  kAnswers,
                  nullptr,
                  3,
                  {memoryLine("l ecriture de origine.bmp", "24")},
                  upTo(kUpToGraph),
                  {},
                  ""},
        FaultCase{"memory_fusion",
                  Limit::MemoryAtStage,
                  Stage::Fusion,
                  kAnswers,
                  nullptr,
                  3,
                  {memoryLine("la fusion", "24")},
                  upTo(kUpToGraph),
                  {"origine.bmp"},
                  ""},
        FaultCase{"memory_summary",
                  Limit::MemoryAtStage,
                  Stage::Summary,
                  kAnswers,
                  nullptr,
                  3,
                  {memoryLine("le resume", "2")},
                  cutInSummary(kUpToFusion),
                  {"origine.bmp"},
                  ""},
        FaultCase{"memory_report",
                  Limit::MemoryAtStage,
                  Stage::Report,
                  kAnswers,
                  nullptr,
                  3,
                  {memoryLine("la generation HTML", "2")},
                  withSummary(kUpToFusion, ""),
                  {"origine.bmp"},
                  ""},
        FaultCase{"memory_resultat",
                  Limit::MemoryAtStage,
                  Stage::RegionImageAfter,
                  kAnswers,
                  nullptr,
                  3,
                  {memoryLine("l ecriture de resultat.bmp", "2")},
                  withSummary(kUpToFusion, "Generation HTML OK\n"),
                  outputs(kReport, {kReport + "resultat.bmp"}),
                  ""}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quarvel
