#pragma once

#include <ostream>

#include "regions/pixel_group.h"
#include "regions/point_set.h"

namespace quarvel {

// The heading regions and clusters share: "Region No: " and the number, the
// pixel count with " pixels.", the descriptor count with " descripteurs:",
// each on its own line.
void writeGroupHeading(std::ostream& out, const PixelGroup& group, const PointSet& pixels);

// The line a reported insertion writes: "insetion de:" and the point when it
// was new, "erreur d'insertion" when it was already there.
void writeInsertionReport(std::ostream& out, bool inserted, const Point& point);

// The pixels of a group grouped into lines as contours print theirs: a new line
// whenever y changes, each point followed by a blank, and a final line end.
void writePixelRows(std::ostream& out, const PointSet& pixels);

}  // namespace quarvel
