#include <iostream>

#include "driver/dialogue.h"
#include "model/segmenter.h"

int main() {
  quarvel::Segmenter segmenter;
  return quarvel::runDialogue(segmenter, std::cin, std::cout, std::cerr);
}
