#include "model/segmenter.h"

namespace quarvel {

bool Segmenter::mergeRegions() { return false; }

}  // namespace quarvel
