#include "report/report_files.h"

#include <filesystem>
#include <system_error>

#include "report/report_paths.h"

namespace quarvel {

void makeFolder(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(folder), ignored);
}

void copyIntoFolder(const std::string& source, const std::string& folder) {
  const std::string fileName = lastComponent(source, kPathSeparator);
  if (fileName.empty() || fileName == "." || fileName == "..") return;
  std::error_code ignored;
  std::filesystem::copy_file(std::filesystem::path(source), std::filesystem::path(folder) / fileName,
                             std::filesystem::copy_options::overwrite_existing, ignored);
}

}  // namespace quarvel
