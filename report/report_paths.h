#pragma once

#include <filesystem>
#include <string>

namespace quarvel {

// The separator that the system puts between the parts of the paths it builds:
// the platform's own.
inline constexpr char kPathSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

// The report's page, in the report folder.
inline constexpr const char* kPageFileName = "index.html";

// The report folder's name: the image name as typed, then "_" Epsilon "_"
// NbPixMin "_" NbRegFin, each number in the default stream format (0.5, 1, 0.25).
std::string reportDirectory(const std::string& imageName, float epsilon, int nbPixMin, int nbRegFin);

// The location prefix as a folder: every backslash becomes the separator and a
// non-empty prefix ends with one more separator ("C:" gives "C:/").
std::string locationFolder(const std::string& prefix, char separator);

// A relative path that stays inside the folder it is taken from, as inside a
// drive root: empty and "." parts are dropped, ".." removes the part before it
// and is dropped where there is none. Parts are split at '/' and at separator,
// and joined with separator. "../../x.bmp" gives "x.bmp", "/data/x.bmp" gives
// "data/x.bmp".
std::string confinedPath(const std::string& path, char separator);

// The report folder: the location folder followed by the confined report
// directory name.
std::string reportFolderPath(const std::string& prefix, const std::string& directoryName, char separator);

// The report's page: the report folder, the separator and kPageFileName.
std::string reportPagePath(const std::string& prefix, const std::string& directoryName, char separator);

// The file name of a path: what follows its last '/' or separator.
std::string lastComponent(const std::string& path, char separator);

}  // namespace quarvel
