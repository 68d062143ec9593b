#include "driver/dialogue.h"

#include <limits>
#include <string>

#include "driver/answers.h"
#include "model/load_failure.h"
#include "model/number_text.h"

namespace quarvel {
namespace {

enum class Answer { Read, Ended };

// Asks the yes/no question that follows a default value until the answer is
// understood; the value line is written again before each new question.
template <typename Value>
Answer askToChange(std::istream& in, std::ostream& out, std::ostream& err, const char* valueLine,
                   Value (Segmenter::*current)() const, const Segmenter& segmenter, bool& change) {
  for (;;) {
    out << valueLine << (segmenter.*current)() << std::endl;
    out << "Voulez vous la modifier? [o ou n]" << std::endl;
    const YesNoAnswer answer = readYesNo(in);
    if (answer.ended) return Answer::Ended;
    if (answer.understood) {
      change = answer.yes;
      return Answer::Read;
    }
    err << yesNoRefusalLine(answer.word) << std::endl;
  }
}

template <typename T>
struct NumberQuestion {
  NumberAnswer<T> (*read)(std::istream&);
  std::string (*notANumber)(const std::string&);
  T low;
  T high;
};

std::string numberText(float value) {
  std::string text;
  appendNumber(text, value);
  return text;
}
std::string numberText(int value) { return std::to_string(value); }

// Asks until a number from low to high is typed. A number is stored as soon as
// it is read, in range or not; a word that is not a number, or a number too
// large for its type, stores nothing.
template <typename T, typename Ask, typename Store>
Answer askNumber(std::istream& in, std::ostream& err, const NumberQuestion<T>& question, Ask ask,
                 Store store) {
  for (;;) {
    ask();
    const NumberAnswer<T> answer = question.read(in);
    if (answer.ended) return Answer::Ended;
    if (!answer.understood) {
      err << question.notANumber(answer.word) << std::endl;
      continue;
    }
    if (answer.fits) {
      store(answer.value);
      if (!(answer.value > question.high || answer.value < question.low)) return Answer::Read;
    }
    err << outOfRangeLine(answer.word, numberText(question.low), numberText(question.high)) << std::endl;
  }
}

int endOfInput(std::ostream& err) {
  err << "Fin des donnees d entree avant la fin du dialogue: arret." << std::endl;
  return 1;
}

}  // namespace

int runDialogue(Segmenter& segmenter, std::istream& in, std::ostream& out, std::ostream& err) {
  std::string word;
  bool change = false;

  for (;;) {
    out << "Tapez le nom de l image" << std::endl;
    if (!(in >> word)) return endOfInput(err);
    ImageFailure failure;
    if (segmenter.openImage(word, failure)) break;
    err << imageRefusalLine(word, failure) << std::endl;
  }
  out << "Ouverture Image OK" << std::endl;
  if (segmenter.findCluster(0.0) != segmenter.clusterTable().end()) {
    err << "Attention: l image contient le ton 0, ses regions ne recoivent pas de descripteurs" << std::endl;
  }

  for (;;) {
    out << "Tapez le nom du fichier de descripteurs de l image" << std::endl;
    if (!(in >> word)) return endOfInput(err);
    DescriptorFailure failure;
    if (segmenter.openDescriptors(word, failure)) break;
    err << descriptorRefusalLine(word, failure) << std::endl;
  }
  out << "Ouverture Descripteurs OK" << std::endl;

  if (askToChange(in, out, err, "La valeur par default de epsilon est de ", &Segmenter::epsilon, segmenter,
                  change) == Answer::Ended) {
    return endOfInput(err);
  }
  const NumberQuestion<float> epsilonQuestion{readFloatAnswer, notFloatLine, 0.0f, 1.0f};
  if (change && askNumber(
                    in, err, epsilonQuestion,
                    [&] { out << "Tapez la valeur desiree pour epsilon [ 0<=epsilon<=1 ]" << std::endl; },
                    [&](float value) { segmenter.setEpsilon(value); }) == Answer::Ended) {
    return endOfInput(err);
  }

  if (askToChange(in, out, err, "La valeur par default du nombre de pixels minimum est de ",
                  &Segmenter::nbPixMin, segmenter, change) == Answer::Ended) {
    return endOfInput(err);
  }
  const NumberQuestion<int> nbPixMinQuestion{readIntAnswer, notIntLine, 0, std::numeric_limits<int>::max()};
  if (change &&
      askNumber(
          in, err, nbPixMinQuestion, [&] { out << "Tapez la valeur desiree pour NbPixMin" << std::endl; },
          [&](int value) { segmenter.setNbPixMin(value); }) == Answer::Ended) {
    return endOfInput(err);
  }

  segmenter.labelComponents();
  out << "DCC OK" << std::endl;

  if (segmenter.regionCount() < 1) {
    err << "Aucune region dans l image: arret." << std::endl;
    return 1;
  }
  const NumberQuestion<int> countQuestion{readIntAnswer, notIntLine, 1, segmenter.regionCount()};
  const auto askCount = [&] {
    out << "Cette image comporte " << segmenter.regionCount() << " regions" << std::endl;
    out << "Tapez le nombre de regions desirees apres fusion" << std::endl;
  };
  if (askNumber(in, err, countQuestion, askCount, [&](int value) { segmenter.setNbRegFin(value); }) ==
      Answer::Ended) {
    return endOfInput(err);
  }

  segmenter.detectContours();
  out << "Detection Contours OK" << std::endl;

  segmenter.buildAdjacencyGraph(1);
  out << "Calcul du RAG OK" << std::endl;

  segmenter.writeResultBitmap("origine.bmp", "");

  segmenter.mergeRegions();
  out << "Fusion OK" << std::endl;

  out << segmenter;

  const std::string prefix = "C:";
  segmenter.writeHtmlReport(prefix);
  out << "Generation HTML OK" << std::endl;

  segmenter.writeResultBitmap("resultat.bmp", prefix);
  out << "Generation BMP OK" << std::endl;
  return 0;
}

}  // namespace quarvel
