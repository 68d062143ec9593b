#include "report/report_paths.h"

#include <sstream>
#include <vector>

namespace quarvel {
namespace {

template <typename Number>
std::string formatted(Number value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

bool isSeparator(char c, char separator) { return c == '/' || c == separator; }

}  // namespace

std::string reportDirectory(const std::string& imageName, float epsilon, int nbPixMin, int nbRegFin) {
  return imageName + "_" + formatted(epsilon) + "_" + formatted(nbPixMin) + "_" + formatted(nbRegFin);
}

std::string locationFolder(const std::string& prefix, char separator) {
  if (prefix.empty()) return prefix;
  std::string folder = prefix;
  for (char& c : folder) {
    if (c == '\\') c = separator;
  }
  folder += separator;
  return folder;
}

std::string confinedPath(const std::string& path, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = start;
    while (end < path.size() && !isSeparator(path[end], separator)) ++end;
    std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(std::move(part));
    }
    start = end + 1;
  }
  std::string joined;
  for (const std::string& part : parts) {
    if (!joined.empty()) joined += separator;
    joined += part;
  }
  return joined;
}

std::string reportFolderPath(const std::string& prefix, const std::string& directoryName, char separator) {
  return locationFolder(prefix, separator) + confinedPath(directoryName, separator);
}

std::string reportPagePath(const std::string& prefix, const std::string& directoryName, char separator) {
  return reportFolderPath(prefix, directoryName, separator) + separator + kPageFileName;
}

std::string lastComponent(const std::string& path, char separator) {
  std::size_t start = path.size();
  while (start > 0 && !isSeparator(path[start - 1], separator)) --start;
  return path.substr(start);
}

}  // namespace quarvel
