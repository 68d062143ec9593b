#include "report/output_notes.h"

#include <algorithm>
#include <cstring>

namespace quarvel {
namespace {

std::string reason(int error) { return error != 0 ? std::string(std::strerror(error)) : std::string(); }

}  // namespace

std::size_t OutputNotes::failureCount() const {
  return static_cast<std::size_t>(std::count_if(notes_.begin(), notes_.end(), [](const OutputNote& note) {
    return note.kind != OutputNote::Kind::CopySkipped;
  }));
}

bool OutputNotes::outOfMemory() const {
  return std::any_of(notes_.begin(), notes_.end(),
                     [](const OutputNote& note) { return note.kind == OutputNote::Kind::OutOfMemory; });
}

std::string describe(const OutputNote& note) {
  switch (note.kind) {
    case OutputNote::Kind::FolderNotMade:
      return "Impossible de creer le dossier " + note.path + ": " + reason(note.error);
    case OutputNote::Kind::FileNotWritten:
      return "Impossible d ecrire " + note.path + ": " + reason(note.error);
    case OutputNote::Kind::SourceUnreadable:
      if (note.error == 0) {
        return "Impossible d ecrire " + note.path + ": " + note.source + " n est plus l image analysee";
      }
      return "Impossible d ecrire " + note.path + ": relecture de " + note.source +
             " impossible: " + reason(note.error);
    case OutputNote::Kind::CopySkipped:
      return "Attention: pas de copie de " + note.source + " dans le rapport: " + reason(note.error);
    case OutputNote::Kind::OutOfMemory:
      return "Memoire insuffisante pour ecrire " + note.path;
  }
  return std::string();
}

}  // namespace quarvel
