#pragma once

#include <functional>
#include <new>
#include <ostream>

#include "model/segmenter.h"

namespace quarvel {

// The stages of an analysis, after the files are loaded.
enum class Stage { Labelling, Contours, Graph, RegionImageBefore, Fusion, Summary, Report, RegionImageAfter };

// The tool's exit statuses.
inline constexpr int kStatusComplete = 0;      // every output written
inline constexpr int kStatusInputEnded = 1;    // the input ended before the dialogue did
inline constexpr int kStatusOutputFailed = 2;  // the analysis ran, an output could not be written
inline constexpr int kStatusOutOfMemory = 3;
inline constexpr int kStatusUsage = 64;  // an argument the tool does not know

// Called as each stage starts, for a caller that watches the run (the fault
// tests tighten the memory limit there).
using StageWatch = std::function<void(Stage)>;

// The stage as the operator's messages name it ("la fusion").
const char* stageName(Stage stage);

// Writes the line that says memory ran out during the stage, with the number of
// pixels and regions the analysis held then.
void tellOutOfMemory(std::ostream& err, Stage stage, const Segmenter& segmenter);

// Runs one stage; false, once the line is written, when memory ran out in it.
template <typename Step>
bool runStage(Stage stage, const Segmenter& segmenter, std::ostream& err, const StageWatch& watch,
              Step&& step) {
  try {
    if (watch) watch(stage);
    step();
    return true;
  } catch (const std::bad_alloc&) {
    tellOutOfMemory(err, stage, segmenter);
    return false;
  }
}

}  // namespace quarvel
