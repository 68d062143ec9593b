#include "driver/dialogue.h"

#include <cctype>
#include <string>

#include "driver/analysis_run.h"

namespace quarvel {
namespace {

enum class Answer { Read, Refused, Ended };

// A word or a character: formatted extraction only fails at the end of input.
template <typename T>
Answer readItem(std::istream& in, T& item) {
  return in >> item ? Answer::Read : Answer::Ended;
}

// A number. When the next word is not a number (or overflows) the stream is
// made usable again and the rest of that word is dropped, so that the question
// can be asked again without meeting the same characters.
template <typename T>
Answer readNumber(std::istream& in, T& number) {
  T value{};
  if (in >> value) {
    number = value;
    return Answer::Read;
  }
  if (in.eof() || in.bad()) return Answer::Ended;
  in.clear();
  for (int c = in.peek(); c != std::istream::traits_type::eof() && !std::isspace(c); c = in.peek()) in.get();
  return Answer::Refused;
}

// Asks the yes/no question that follows a default value until the answer is
// 'o' or 'n'; the value line is written again before each new question.
template <typename Value>
Answer askToChange(std::istream& in, std::ostream& out, const char* valueLine,
                   Value (Segmenter::*current)() const, const Segmenter& segmenter, char& answer) {
  for (;;) {
    out << valueLine << (segmenter.*current)() << std::endl;
    out << "Voulez vous la modifier? [o ou n]" << std::endl;
    if (readItem(in, answer) == Answer::Ended) return Answer::Ended;
    if (answer == 'o' || answer == 'n') return Answer::Read;
  }
}

int endOfInput(std::ostream& err) {
  err << "Fin des donnees d entree avant la fin du dialogue: arret." << std::endl;
  return 1;
}

}  // namespace

int runDialogue(Segmenter& segmenter, std::istream& in, std::ostream& out, std::ostream& err,
                const StageWatch& watch) {
  std::string word;
  char answer = 0;

  for (;;) {
    out << "Tapez le nom de l image" << std::endl;
    if (readItem(in, word) == Answer::Ended) return endOfInput(err);
    if (segmenter.openImage(word)) break;
  }
  out << "Ouverture Image OK" << std::endl;

  for (;;) {
    out << "Tapez le nom du fichier de descripteurs de l image" << std::endl;
    if (readItem(in, word) == Answer::Ended) return endOfInput(err);
    if (segmenter.openDescriptors(word)) break;
  }
  out << "Ouverture Descripteurs OK" << std::endl;

  if (askToChange(in, out, "La valeur par default de epsilon est de ", &Segmenter::epsilon, segmenter,
                  answer) == Answer::Ended) {
    return endOfInput(err);
  }
  if (answer == 'o') {
    float epsilon = segmenter.epsilon();
    for (;;) {
      out << "Tapez la valeur desiree pour epsilon [ 0<=epsilon<=1 ]" << std::endl;
      const Answer read = readNumber(in, epsilon);
      if (read == Answer::Ended) return endOfInput(err);
      if (read == Answer::Refused) continue;
      segmenter.setEpsilon(epsilon);
      if (!(epsilon > 1.0f || epsilon < 0.0f)) break;
    }
  }

  if (askToChange(in, out, "La valeur par default du nombre de pixels minimum est de ", &Segmenter::nbPixMin,
                  segmenter, answer) == Answer::Ended) {
    return endOfInput(err);
  }
  if (answer == 'o') {
    int nbPixMin = segmenter.nbPixMin();
    for (;;) {
      out << "Tapez la valeur desiree pour NbPixMin" << std::endl;
      const Answer read = readNumber(in, nbPixMin);
      if (read == Answer::Ended) return endOfInput(err);
      if (read == Answer::Refused) continue;
      segmenter.setNbPixMin(nbPixMin);
      if (nbPixMin >= 0) break;
    }
  }

  if (!runStage(Stage::Labelling, segmenter, err, watch, [&] { segmenter.labelComponents(); })) {
    return kStatusOutOfMemory;
  }
  out << "DCC OK" << std::endl;

  if (segmenter.regionCount() < 1) {
    err << "Aucune region dans l image: arret." << std::endl;
    return 1;
  }
  int nbRegFin = segmenter.nbRegFin();
  for (;;) {
    out << "Cette image comporte " << segmenter.regionCount() << " regions" << std::endl;
    out << "Tapez le nombre de regions desirees apres fusion" << std::endl;
    const Answer read = readNumber(in, nbRegFin);
    if (read == Answer::Ended) return endOfInput(err);
    if (read == Answer::Refused) continue;
    segmenter.setNbRegFin(nbRegFin);
    if (nbRegFin >= 1 && nbRegFin <= segmenter.regionCount()) break;
  }

  return runAnalysis(segmenter, out, err, watch);
}

}  // namespace quarvel
