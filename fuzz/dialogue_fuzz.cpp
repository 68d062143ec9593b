// The fuzzer's bytes are everything the operator types. The program works in a
// private folder holding a 3 x 2 class image, descriptor files good and bad and
// a logo; each input runs one whole dialogue on a fresh Segmenter. Checks that
// the run ends with status 0 after its last line or with status 1 and a last
// line on the error stream that says so, and that nothing is written but
// "origine.bmp" and the report folder under "C:".
//
// Inputs holding '/' are skipped: a name with a folder in it could point the
// tool at a device or at a huge file elsewhere, which it would rightly read.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "driver/dialogue.h"
#include "fuzz/scratch_folder.h"
#include "model/segmenter.h"

namespace {

using quarvel::fuzz::require;

void writeText(const std::string& name, const std::string& text) {
  quarvel::fuzz::writeFile(name, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// A 3 x 2 bitmap, bottom row stored first: tones 0 1 3 under 1 2 2.
std::vector<std::uint8_t> tinyImage() { return quarvel::fuzz::classBitmap(3, 2, {0, 1, 3, 1, 2, 2}); }

std::set<std::string> folderEntries() {
  std::set<std::string> entries;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    entries.insert(entry.path().filename().string());
  }
  return entries;
}

const std::set<std::string>& startingEntries() {
  static const std::set<std::string> entries = folderEntries();
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  require(chdir(quarvel::fuzz::scratchFolder().c_str()) == 0, "entering the scratch folder");
  const std::vector<std::uint8_t> image = tinyImage();
  quarvel::fuzz::writeFile("img.bmp", image.data(), image.size());
  quarvel::fuzz::writeFile("short.bmp", image.data(), 60);
  writeText("d.txt", "3 0.1 0.2 0.3\n");
  writeText("zero.txt", "0 1 2\n");
  writeText("few.txt", "3 0.1 0.2\n");
  writeText("logo.jpg", "logo");
  startingEntries();
  return 0;
}

// Every refusal writes its own line on the error stream before the question
// comes again; this one only ends a stopped run.
const std::string kEnded = "Fin des donnees d entree avant la fin du dialogue: arret.\n";

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  if (std::find(text, text + size, '/') != text + size) return -1;

  std::istringstream in(std::string(text, size));
  std::ostringstream out;
  std::ostringstream err;
  int status = -1;
  {
    quarvel::Segmenter segmenter;
    status = quarvel::runDialogue(segmenter, in, out, err);
  }

  const std::string said = out.str();
  const std::string complained = err.str();
  if (status == 0) {
    const std::string ending = "Generation HTML OK\nGeneration BMP OK\n";
    require(
        said.size() >= ending.size() && said.compare(said.size() - ending.size(), ending.size(), ending) == 0,
        "a complete run ends with its last progress line");
    require(complained.find(kEnded) == std::string::npos, "a complete run never says that the input ended");
    // The last line names the report's page, and only the last: refusals and
    // warnings come before it.
    const std::size_t last = complained.rfind('\n', complained.size() >= 2 ? complained.size() - 2 : 0);
    const std::string lastLine = complained.substr(last == std::string::npos ? 0 : last + 1);
    require(lastLine.rfind("Rapport: C:/", 0) == 0 && lastLine.ends_with("/index.html\n"),
            "a complete run names its report on the error stream");
    const std::string earlier = "\n" + complained.substr(0, complained.size() - lastLine.size());
    require(earlier.find("\nRapport: ") == std::string::npos,
            "a complete run names its report once, at the end");
    require(std::filesystem::exists("origine.bmp"), "a complete run leaves origine.bmp");
  } else {
    require(status == 1, "the only other status is 1");
    require(
        complained.size() >= kEnded.size() && complained.find(kEnded) == complained.size() - kEnded.size(),
        "a stopped run ends the error stream with one line that says so");
  }
  require(complained.empty() || complained.back() == '\n', "the error stream holds whole lines");

  std::set<std::string> written = folderEntries();
  for (const std::string& entry : startingEntries()) written.erase(entry);
  written.erase("origine.bmp");
  written.erase("C:");
  require(written.empty(), "nothing is written beside origine.bmp and the report folder");

  std::error_code ignored;
  std::filesystem::remove_all("C:", ignored);
  std::filesystem::remove("origine.bmp", ignored);
  return 0;
}
