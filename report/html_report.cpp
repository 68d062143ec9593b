#include <string>

#include "model/segmenter.h"

namespace quarvel {

bool Segmenter::writeHtmlReport(std::string prefix) {
  (void)prefix;
  return true;
}

}  // namespace quarvel
