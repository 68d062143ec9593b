#include "model/segmenter.h"

namespace quarvel {

void Segmenter::detectContours() {}

}  // namespace quarvel
