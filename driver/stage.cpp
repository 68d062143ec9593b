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
// The fusion takes the regions out of the table as it starts, so its line
// counts the regions labelling found, those it was merging.
void tellOutOfMemory(std::ostream& err, Stage stage, const Segmenter& segmenter) {
  const std::size_t regions = stage == Stage::Fusion ? static_cast<std::size_t>(segmenter.regionCount())
                                                     : segmenter.regionTable().size();
  err << "Memoire insuffisante pendant " << stageName(stage) << " (" << segmenter.pixelTable().size()
      << " pixels, " << regions << " regions): arret." << std::endl;
}

}  // namespace quarvel
