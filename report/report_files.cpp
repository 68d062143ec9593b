#include "report/report_files.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "report/output_file.h"
#include "report/report_paths.h"

namespace quarvel {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

int lastError() { return errno != 0 ? errno : EIO; }

}  // namespace

bool makeFolder(const std::string& folder, OutputNotes& notes) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(folder), error);
  if (!error && std::filesystem::is_directory(std::filesystem::path(folder), error)) return true;
  notes.add(
      OutputNote{OutputNote::Kind::FolderNotMade, folder, std::string(), error ? error.value() : ENOTDIR});
  return false;
}

bool copyIntoFolder(const std::string& source, const std::string& folder, OutputNotes& notes) {
  const std::string fileName = lastComponent(source, kPathSeparator);
  if (fileName.empty() || fileName == "." || fileName == "..") return true;
  errno = 0;
  const std::unique_ptr<std::FILE, FileCloser> input(std::fopen(source.c_str(), "rb"));
  if (!input) {
    notes.add(
        OutputNote{OutputNote::Kind::CopySkipped, folder + kPathSeparator + fileName, source, lastError()});
    return true;
  }
  OutputFile copy(folder + kPathSeparator + fileName);
  char block[1 << 14];
  for (;;) {
    errno = 0;
    const std::size_t count = std::fread(block, 1, sizeof block, input.get());
    if (count < sizeof block && std::ferror(input.get())) {
      // The destination is left as it was: the temporary copy goes with `copy`.
      notes.add(OutputNote{OutputNote::Kind::CopySkipped, copy.destination(), source, lastError()});
      return true;
    }
    copy.stream().write(block, static_cast<std::streamsize>(count));
    if (count < sizeof block) break;
  }
  if (const int error = copy.commit()) {
    notes.add(OutputNote{OutputNote::Kind::FileNotWritten, copy.destination(), std::string(), error});
    return false;
  }
  return true;
}

}  // namespace quarvel
