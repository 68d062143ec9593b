#pragma once

#include <string>

#include "report/output_notes.h"

namespace quarvel {

// Creates the folder and any missing parent; an existing folder is fine. False,
// with a note, when it cannot be made.
bool makeFolder(const std::string& folder, OutputNotes& notes);

// Copies the file into the folder under its own file name (the last part of
// source), replacing a file already there only once the copy is complete.
// A source that cannot be read is a warning note and answers true; false, with
// a note, when the copy cannot be written.
bool copyIntoFolder(const std::string& source, const std::string& folder, OutputNotes& notes);

}  // namespace quarvel
