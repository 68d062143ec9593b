#include <string>

#include "model/segmenter.h"

namespace quarvel {

bool Segmenter::writeResultBitmap(std::string fileName, std::string prefix) {
  (void)fileName;
  (void)prefix;
  return true;
}

}  // namespace quarvel
