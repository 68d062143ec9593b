#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "segmentation/fusion_pairs.h"
#include "segmentation/grid_positions.h"
#include "segmentation/pixel_ownership.h"
#include "segmentation/trace_lists.h"

namespace quarvel {

// The traced contours of the live regions and the contact counts of their
// pairs (FusionPairs) that follow from them.
//
// Every count is a sum over contour pixels of something read in the pixel's
// 3 x 3 block, so when one pixel joins or leaves a contour the counts change
// by what that block shows (countContacts). A region's trace is kept as its
// list of steps (pixel, backtrack direction), with the number of steps at
// each pixel, once the region has led a merge that touched it. When it takes
// a neighbour, only the steps whose look around the pixel met the neighbour
// change: the new trace is the old one up to the first such step, a fresh
// walk until it falls back into a state of the old trace past the last such
// step, then the old steps again. The steps that can meet the neighbour are
// found from the smaller part's pixels, the state to fall back into from the
// steps at the walk's pixel, and the run between is replaced in place; so a
// merge costs the steps it changes and the smaller part, not the size of the
// merged region. When the part with the merged region's first pixel has the
// shorter contour and the other part is traced, the other part's trace is
// the base instead: the merged trace is walked from the first pixel, and on a
// step of the base at a pixel with no pixel of the first part in its block it
// takes the base's next steps without looking, up to the next one whose block
// holds such a pixel, as one run kept in place: the long base is neither
// traced nor walked again, only turned to start at the first pixel. A part's
// own trace is walked the same way when the steps a merge changes lie far
// apart along it.
class ContourGeometry {
 public:
  // contours[r]: the contour pixels of region r as traced from its first
  // pixel. Counts the contacts of every pair as the graph construction's
  // visits would.
  void start(int width, int height, std::vector<std::vector<std::uint32_t>> contours,
             const PixelOwnership& owners, FusionPairs& pairs);

  std::size_t contourSize(std::int32_t region) const {
    return contourSize_[static_cast<std::size_t>(region)];
  }
  // The region's distinct contour pixels, in no particular order.
  std::vector<std::uint32_t> contour(std::int32_t region) const;
  bool onContour(std::size_t pixel) const { return (flags_[pixel] & kOnContour) != 0; }

  // Before a merges b: per region c, the number of c's contour pixels within
  // one step of both a's and b's contours, into overlap (zero on entry);
  // the regions with a non-zero count are appended to counted.
  void countOverlap(std::int32_t a, std::int32_t b, const PixelOwnership& owners,
                    std::vector<std::uint32_t>& overlap, std::vector<std::int32_t>& counted);

  // Before a merges b, while the pixels still carry their regions: lead is
  // the part with the merged region's first pixel, leadTouches whether its
  // contour has an 8-neighbour in the other part. Finds the steps of lead's
  // trace that will change.
  void prepare(std::int32_t a, std::int32_t b, std::int32_t lead, bool leadTouches,
               std::uint32_t leadFirstPixel, const PixelOwnership& owners, FusionPairs& pairs,
               std::vector<std::int32_t>& changed);
  // After a has taken b's pixels: a's contour becomes the trace of the merged
  // region and the contact counts follow. The pairs whose counts changed are
  // appended to changed.
  void reshape(std::int32_t a, std::int32_t b, std::int32_t lead, bool leadTouches, std::uint32_t firstPixel,
               std::size_t maxMoves, const PixelOwnership& owners, FusionPairs& pairs,
               std::vector<std::int32_t>& changed);

 private:
  static constexpr std::uint8_t kOnContour = 1;
  static constexpr std::uint8_t kTouched = 2;
  static constexpr std::uint8_t kSeen = 4;
  static constexpr std::uint8_t kNear = 8;
  // A pixel of the base's trace with a pixel of the part joining it in its
  // block: the steps there may change.
  static constexpr std::uint8_t kNearLead = 16;

  static std::uint32_t pixelOf(std::uint32_t step) { return step >> 3; }
  static int backtrackOf(std::uint32_t step) { return static_cast<int>(step & 7u); }
  static std::uint32_t stepOf(std::size_t pixel, int backtrack) {
    return static_cast<std::uint32_t>(pixel << 3) | static_cast<std::uint32_t>(backtrack);
  }

  // The contact changes when pixel of region m joins (sign 1) or leaves
  // (sign -1) m's contour; the pixel is not flagged as on it while counting.
  void countContacts(std::size_t pixel, std::int32_t m, std::uint32_t sign, const PixelOwnership& owners,
                     FusionPairs& pairs, std::vector<std::int32_t>& changed);
  // Whether a contour pixel of region m other than skip lies in pixel's block.
  bool nearContourOf(std::size_t pixel, std::size_t skip, std::int32_t m, const PixelOwnership& owners) const;

  // The full trace of region r from first as steps.
  std::vector<std::uint32_t> traceSteps(std::int32_t r, std::uint32_t first, std::size_t maxMoves,
                                        const PixelOwnership& owners) const;
  // The kept trace of region r as steps.
  std::vector<std::uint32_t> keptSteps(std::int32_t r) const;
  bool traced(std::int32_t r) const { return traceHead_[static_cast<std::size_t>(r)] != TraceLists::kNoNode; }
  // Calls visit(pixel) for the pixel of every step of region r's kept trace
  // (a pixel met twice comes twice), or for every pixel of its contour while
  // it has none, as long as visit answers true.
  template <typename Visit>
  void forEachContourStep(std::int32_t r, Visit&& visit) const {
    const std::size_t ri = static_cast<std::size_t>(r);
    if (traced(r)) {
      for (std::int32_t node = traceHead_[ri];
           node != TraceLists::kNoNode && visit(pixelOf(traces_.step(node))); node = traces_.next(node)) {
      }
    } else {
      for (std::size_t k = 0; k < pixels_[ri].size() && visit(pixels_[ri][k]); ++k) {
      }
    }
  }
  // Calls found(n) once for every pixel n of target's kept trace with a
  // pixel of part in its block (kNear, kSeen and scratch_ serve the search).
  template <typename Found>
  void forEachTracePixelNear(std::int32_t part, std::int32_t target, const PixelOwnership& owners,
                             FusionPairs& pairs, Found&& found);
  // Walks region r's trace from its first pixel start, taking the kept steps
  // of its base (marked kNearLead where the other part may change them) as
  // they are, a run at a time; false when the walk does not come back or
  // meets the base's runs out of their order, leaving the trace as it was.
  bool retrace(std::int32_t r, std::uint32_t start, std::size_t maxMoves, const PixelOwnership& owners);
  void touch(std::size_t pixel);
  // Takes the region's steps or pixels off the visit counts.
  void release(std::int32_t r);
  // Keeps these steps as region r's trace and counts their visits.
  void keep(std::int32_t r, const std::vector<std::uint32_t>& steps);
  // A step joins or leaves a kept trace: its pixel's visit count follows.
  void arrive(std::uint32_t step);
  void leave(std::uint32_t step);
  // Brings the contour flags of the touched pixels in line with the visit
  // counts, as contour pixels of region m.
  void settle(std::int32_t m, const PixelOwnership& owners, FusionPairs& pairs,
              std::vector<std::int32_t>& changed);
  // Turns region r's kept trace into the merged one, from the steps prepare
  // found; false when the fresh walk does not come back (a trace that never
  // returns), leaving the trace as it was.
  bool splice(std::int32_t r, std::size_t maxMoves, const PixelOwnership& owners);
#ifndef NDEBUG
  // Whether region r's kept trace is its full trace from first, in label
  // order, with every step in its pixel's chain.
  bool keptTraceIsWhole(std::int32_t r, std::uint32_t first, std::size_t maxMoves,
                        const PixelOwnership& owners) const;
#endif

  GridPositions grid_{0, 0};
  bool stepsFit_ = true;              // pixel indices leave room for the direction
  std::vector<std::uint8_t> flags_;   // per pixel
  std::vector<std::uint8_t> visits_;  // per pixel: steps of its region's kept trace there
  // Per region: its contour pixels while it has no kept trace.
  std::vector<std::vector<std::uint32_t>> pixels_;
  TraceLists traces_;
  std::vector<std::int32_t> traceHead_;     // per region: first node of its kept trace
  std::vector<std::uint32_t> traceLength_;  // per region: steps of its kept trace
  std::vector<std::uint32_t> contourSize_;
  std::vector<std::uint32_t> touched_;
  std::vector<std::uint32_t> scratch_;
  // What prepare found: the first and last steps whose look meets the other
  // part.
  bool spliceReady_ = false;
  // What prepare found when the other part's trace is the base instead.
  bool rebase_ = false;
  // Whether the lead part's trace is walked as runs rather than spliced.
  bool walkRuns_ = false;
  std::vector<std::uint32_t> nearLead_;
  std::vector<TraceLists::Piece> pieces_;  // the merged trace as retrace finds it
  struct Stop {
    std::uint64_t position;
    std::int32_t node;
  };
  std::vector<Stop> stops_;         // the base's steps where retrace looks again
  std::vector<std::uint32_t> met_;  // the trace pixels prepare found near the other part
  std::int32_t firstAffected_ = TraceLists::kNoNode;
  std::int32_t lastAffected_ = TraceLists::kNoNode;
};

}  // namespace quarvel
