#pragma once

#include "class_maps.h"
#include "literal_analysis.h"
#include "model/segmenter.h"

namespace quarvel::testing {

// Loads a map into a Segmenter as the image and descriptor loaders would
// leave it: one record with a tone per pixel, one cluster per tone.
void loadMap(const MapCase& map, Segmenter& segmenter);
literal::Analysis literalAnalysisOf(const MapCase& map);

// Fails the running test, naming the first difference.
void expectSameRegions(const literal::Analysis& expected, const Segmenter& actual);
void expectSamePixelNumbers(const literal::Analysis& expected, const Segmenter& actual);
void expectSameGraph(const literal::Analysis& expected, const Segmenter& actual);

}  // namespace quarvel::testing
