#include <vector>

#include "model/segmenter.h"

namespace quarvel {

std::vector<Palette> Segmenter::makePalette(int n) {
  std::vector<Palette> palette(n > 0 ? static_cast<std::size_t>(n) : 0);
  for (Palette& entry : palette) {
    entry.red = static_cast<int>(colourDraws_.next() / 32767.0 * 255.0);
    entry.green = static_cast<int>(colourDraws_.next() / 32767.0 * 255.0);
    entry.blue = static_cast<int>(colourDraws_.next() / 32767.0 * 255.0);
  }
  return palette;
}

}  // namespace quarvel
