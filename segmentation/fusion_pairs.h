#pragma once

#include <cstdint>

#include "segmentation/region_fusion.h"

namespace quarvel {

// Pair bookkeeping of the fusion.

// Fills state.pairWith for region a's live pairs (dropping dead ones from its
// list); clearPairSlots undoes it.
void fillPairSlots(FusionState& state, std::int32_t a);
void clearPairSlots(FusionState& state, std::int32_t a);

// The pair of a and other from state.pairWith, created when there is none.
std::int32_t pairSlot(FusionState& state, std::int32_t a, std::int32_t other);

// Walks a's contour and records, for every region c met: that a's visit writes
// (a, c), and a.commonBoundary(c); with countIncoming also c.commonBoundary(a),
// which is the number of a's contour pixels with a c-contour pixel within one
// step. Needs fillPairSlots(a).
void scanContour(FusionState& state, std::int32_t a, bool countIncoming);

// Recomputes the value of a pair and offers it as a candidate when it is an
// edge; a pair that no visit writes any more dies.
void refreshPair(FusionState& state, std::int32_t pair);

}  // namespace quarvel
