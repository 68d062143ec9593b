#include "model/segmenter.h"

namespace quarvel {

bool Segmenter::buildAdjacencyGraph(int weighted) {
  (void)weighted;
  return false;
}

}  // namespace quarvel
