#include "driver/stage.h"

namespace quarvel {

const char* stageName(Stage stage) {
  switch (stage) {
    case Stage::Labelling:
      return "l etiquetage des regions";
    case Stage::Contours:
      return "la detection des contours";
    case Stage::Graph:
      return "le calcul du RAG";
    case Stage::RegionImageBefore:
      return "l ecriture de origine.bmp";
    case Stage::Fusion:
      return "la fusion";
    case Stage::Summary:
      return "le resume";
    case Stage::Report:
      return "la generation HTML";
    case Stage::RegionImageAfter:
      return "l ecriture de resultat.bmp";
  }
  return "l analyse";
}

// Nothing here may ask for memory: the line is written when there is none.
void tellOutOfMemory(std::ostream& err, Stage stage, const Segmenter& segmenter) {
  err << "Memoire insuffisante pendant " << stageName(stage) << " (" << segmenter.pixelTable().size()
      << " pixels, " << segmenter.regionTable().size() << " regions): arret." << std::endl;
}

}  // namespace quarvel
