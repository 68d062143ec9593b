#pragma once

#include <istream>
#include <ostream>

#include "model/segmenter.h"

namespace quarvel {

// Runs one whole analysis as the operator dialogue: asks on out for the image
// and descriptor files and the parameters, reads the answers from in, runs the
// stages, writes the summary, the report and the result bitmaps. Answers the
// exit status: 0 after a complete run, 1 when the input ends before the
// dialogue does (one line on err says so; nothing more goes to out).
int runDialogue(Segmenter& segmenter, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace quarvel
