#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quarvel {

// Something that went wrong while the outputs were written. The writers print
// nothing; they hand these back and the caller tells the operator.
struct OutputNote {
  enum class Kind {
    FolderNotMade,     // a folder for the outputs could not be created
    FileNotWritten,    // an output file is not in place
    SourceUnreadable,  // an output file is not in place: what it is made from could not be read
    CopySkipped,       // a copy was not made because its source could not be read (a warning)
    OutOfMemory,       // memory ran out while an output was being made
  };
  Kind kind = Kind::FileNotWritten;
  std::string path;    // the folder or file concerned
  std::string source;  // for SourceUnreadable and CopySkipped: the file read
  int error = 0;       // the system's error number; 0 when there is none
};

class OutputNotes {
 public:
  void add(OutputNote note) { notes_.push_back(std::move(note)); }
  const std::vector<OutputNote>& all() const { return notes_; }
  // The notes that mean an output is missing: all but the warnings.
  std::size_t failureCount() const;
  bool outOfMemory() const;

 private:
  std::vector<OutputNote> notes_;
};

// The line that tells the operator about a note, without its line end.
std::string describe(const OutputNote& note);

}  // namespace quarvel
