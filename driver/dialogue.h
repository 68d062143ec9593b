#pragma once

#include <istream>
#include <ostream>

#include "driver/stage.h"
#include "model/segmenter.h"

namespace quarvel {

// Runs one whole analysis as the operator dialogue: asks on out for the image
// and descriptor files and the parameters, reads the answers from in, runs the
// stages, writes the summary, the report and the result bitmaps. Answers the
// exit status (driver/stage.h): complete; input ended before the dialogue did
// (one line on err says so; nothing more goes to out); an output not written;
// out of memory. watch, when set, is called as each stage starts.
int runDialogue(Segmenter& segmenter, std::istream& in, std::ostream& out, std::ostream& err,
                const StageWatch& watch = {});

}  // namespace quarvel
