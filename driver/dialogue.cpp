#include "driver/dialogue.h"

#include <limits>
#include <string>

#include "driver/analysis_run.h"
#include "driver/answers.h"
#include "model/load_failure.h"

namespace quarvel {
namespace {

int endOfInput(std::ostream& err) {
  err << "Fin des donnees d entree avant la fin du dialogue: arret." << std::endl;
  return 1;
}

}  // namespace

int runDialogue(Segmenter& segmenter, std::istream& in, std::ostream& out, std::ostream& err,
                const StageWatch& watch) {
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

  const auto askEpsilonChange = [&] {
    out << "La valeur par default de epsilon est de " << segmenter.epsilon() << std::endl;
    out << "Voulez vous la modifier? [o ou n]" << std::endl;
  };
  if (askYesNo(in, err, askEpsilonChange, change) == Asked::Ended) return endOfInput(err);
  const auto askEpsilon = [&] {
    out << "Tapez la valeur desiree pour epsilon [ 0<=epsilon<=1 ]" << std::endl;
  };
  const auto storeEpsilon = [&](float value) { segmenter.setEpsilon(value); };
  if (change && askFloat(in, err, askEpsilon, 0.0f, 1.0f, storeEpsilon) == Asked::Ended)
    return endOfInput(err);

  const auto askNbPixMinChange = [&] {
    out << "La valeur par default du nombre de pixels minimum est de " << segmenter.nbPixMin() << std::endl;
    out << "Voulez vous la modifier? [o ou n]" << std::endl;
  };
  if (askYesNo(in, err, askNbPixMinChange, change) == Asked::Ended) return endOfInput(err);
  const auto askNbPixMin = [&] { out << "Tapez la valeur desiree pour NbPixMin" << std::endl; };
  const auto storeNbPixMin = [&](int value) { segmenter.setNbPixMin(value); };
  if (change &&
      askInt(in, err, askNbPixMin, 0, std::numeric_limits<int>::max(), storeNbPixMin) == Asked::Ended) {
    return endOfInput(err);
  }

  if (!runStage(Stage::Labelling, segmenter, err, watch, [&] { segmenter.labelComponents(); })) {
    return kStatusOutOfMemory;
  }
  out << "DCC OK" << std::endl;

  if (segmenter.regionCount() < 1) {
    err << "Aucune region dans l image: arret." << std::endl;
    return 1;
  }
  const auto askCount = [&] {
    out << "Cette image comporte " << segmenter.regionCount() << " regions" << std::endl;
    out << "Tapez le nombre de regions desirees apres fusion" << std::endl;
  };
  const auto storeCount = [&](int value) { segmenter.setNbRegFin(value); };
  if (askInt(in, err, askCount, 1, segmenter.regionCount(), storeCount) == Asked::Ended)
    return endOfInput(err);

  return runAnalysis(segmenter, out, err, watch);
}

}  // namespace quarvel
