#pragma once

#include <string>

namespace quarvel {

// Creates the folder and any missing parent; an existing folder is fine. Any
// failure is ignored.
void makeFolder(const std::string& folder);

// Copies the file into the folder under its own file name (the last part of
// source), replacing a file already there. Any failure is ignored.
void copyIntoFolder(const std::string& source, const std::string& folder);

}  // namespace quarvel
