#include "model/segmenter.h"

namespace quarvel {

bool Segmenter::labelComponents() { return false; }

void Segmenter::unifyLabels(double* table, double count, double a, double b) const {
  (void)table;
  (void)count;
  (void)a;
  (void)b;
}

}  // namespace quarvel
