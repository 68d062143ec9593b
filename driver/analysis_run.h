#pragma once

#include <ostream>

#include "driver/stage.h"
#include "model/segmenter.h"

namespace quarvel {

// The analysis once NbRegFin is set: contours, graph, origine.bmp, fusion,
// summary, report and resultat.bmp, each followed by its progress line on out.
// A failed output is told on err in one line and its progress line is left
// out; the run goes on with the next step. Answers the exit status: complete,
// output failed (a file or standard output) or out of memory (the run stops at
// once). At the end, err gets the path of the report's page when it was written.
int runAnalysis(Segmenter& segmenter, std::ostream& out, std::ostream& err, const StageWatch& watch);

}  // namespace quarvel
