#include "segmentation/contour_geometry.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "segmentation/boundary_tracing.h"
#include "segmentation/contour_contacts.h"

namespace quarvel {

void ContourGeometry::start(int width, int height, std::vector<std::vector<std::uint32_t>> contours,
                            const PixelOwnership& owners, FusionPairs& pairs) {
  grid_ = GridPositions(width, height);
  flags_.assign(owners.pixelCount(), 0);
  visits_.assign(owners.pixelCount(), 0);
  // A trace meets a pixel at most four times, so the steps of all traces
  // stay within the node indices too.
  stepsFit_ = owners.pixelCount() < (std::size_t{1} << 28);
  pixels_ = std::move(contours);
  traceHead_.assign(pixels_.size(), TraceLists::kNoNode);
  traceLength_.assign(pixels_.size(), 0);
  contourSize_.assign(pixels_.size(), 0);
  std::size_t contourPixels = 0;
  for (std::size_t r = 0; r < pixels_.size(); ++r) {
    std::vector<std::uint32_t>& contour = pixels_[r];
    std::size_t kept = 0;
    for (std::uint32_t pixel : contour) {
      if (flags_[pixel] & kOnContour) continue;
      flags_[pixel] |= kOnContour;
      contour[kept++] = pixel;
    }
    contour.resize(kept);
    contourSize_[r] = static_cast<std::uint32_t>(kept);
    contourPixels += kept;
  }
  // The kept traces hold a few steps more than the contours they replace.
  traces_.start(stepsFit_ ? owners.pixelCount() : 0, stepsFit_ ? contourPixels + contourPixels / 4 : 0);
  // One visit per region, as the graph construction makes them; kSeen marks
  // the pixels the visit has counted.
  scratch_.clear();
  const auto countOnce = [this](std::size_t pixel) {
    if (flags_[pixel] & kSeen) return false;
    flags_[pixel] |= kSeen;
    scratch_.push_back(static_cast<std::uint32_t>(pixel));
    return true;
  };
  const auto regionAt = [&owners](std::size_t pixel) { return owners.regionAt(pixel); };
  const auto isContourOf = [this](std::size_t pixel, std::int32_t) {
    return (flags_[pixel] & kOnContour) != 0;
  };
  // The pairs of the region visited, by the other region: those that earlier
  // visits made, then those it makes. The index is filled once at the end,
  // in its own order; on a large map one lookup per pair and visit would
  // miss the cache nearly every time.
  std::vector<std::int32_t> pairWith(pixels_.size(), -1);
  std::vector<std::int32_t> met;
  for (std::size_t r = 0; r < pixels_.size(); ++r) {
    const std::int32_t a = static_cast<std::int32_t>(r);
    for (std::int32_t id : pairs.pairsOf(a)) {
      const std::int32_t c = pairs[id].other(a);
      pairWith[static_cast<std::size_t>(c)] = id;
      met.push_back(c);
    }
    visitContourContacts(width, height, pixels_[r], a, regionAt, isContourOf, countOnce,
                         [&](std::int32_t c, bool shared) {
                           std::int32_t& id = pairWith[static_cast<std::size_t>(c)];
                           if (id < 0) {
                             id = pairs.addNew(a, c);
                             met.push_back(c);
                           }
                           PairContacts& pair = pairs.contacts(id);
                           const int side = pair.sideOf(a);
                           ++pair.touches[side];
                           if (shared) ++pair.shared[side];
                         });
    for (std::int32_t c : met) pairWith[static_cast<std::size_t>(c)] = -1;
    met.clear();
    for (std::uint32_t pixel : scratch_) flags_[pixel] &= static_cast<std::uint8_t>(~kSeen);
    scratch_.clear();
  }
  pairs.indexAdded();
}

bool ContourGeometry::nearContourOf(std::size_t pixel, std::size_t skip, std::int32_t m,
                                    const PixelOwnership& owners) const {
  return !forEachInBlock(grid_, pixel, [&](std::size_t k) {
    return k == skip || !(flags_[k] & kOnContour) || owners.regionAt(k) != m;
  });
}

void ContourGeometry::countContacts(std::size_t centre, std::int32_t m, std::uint32_t sign,
                                    const PixelOwnership& owners, FusionPairs& pairs,
                                    std::vector<std::int32_t>& changed) {
  std::int32_t seen[8];
  int seenCount = 0;
  std::int32_t lastRegion = -1;
  std::int32_t lastPair = -1;
  forEachInBlock(grid_, centre, [&](std::size_t pixel) {
    const std::int32_t c = owners.regionAt(pixel);
    if (c < 0 || c == m) return;
    if (c != lastRegion) {
      lastRegion = c;
      lastPair = pairs.obtain(m, c);
      changed.push_back(lastPair);
    }
    PairContacts& pair = pairs.contacts(lastPair);
    const int side = pair.sideOf(m);
    pair.touches[side] += sign;
    if (!(flags_[pixel] & kOnContour)) return;
    // The centre is near this contour pixel of c: it counts once towards
    // c.commonBoundary(m) however many of c's contour pixels it is near.
    bool counted = false;
    for (int k = 0; k < seenCount; ++k) counted = counted || seen[k] == c;
    if (!counted) {
      seen[seenCount++] = c;
      pair.shared[1 - side] += sign;
    }
    // The pixel of c counts towards m.commonBoundary(c) while any contour
    // pixel of m is near it.
    if (!nearContourOf(pixel, centre, m, owners)) pair.shared[side] += sign;
  });
}

void ContourGeometry::countOverlap(std::int32_t a, std::int32_t b, const PixelOwnership& owners,
                                   std::vector<std::uint32_t>& overlap, std::vector<std::int32_t>& counted) {
  const bool aSmaller = contourSize(a) <= contourSize(b);
  const std::int32_t small = aSmaller ? a : b;
  const std::int32_t large = aSmaller ? b : a;
  scratch_.clear();
  const bool repeats = traced(small);
  forEachContourStep(small, [&](std::uint32_t centre) {
    // A pixel met twice by the trace is looked at once.
    if (repeats) {
      if (flags_[centre] & kNear) return true;
      flags_[centre] |= kNear;
      touched_.push_back(centre);
    }
    forEachInBlock(grid_, centre, [&](std::size_t pixel) {
      if ((flags_[pixel] & (kOnContour | kSeen)) != kOnContour) return;
      const std::int32_t c = owners.regionAt(pixel);
      if (c < 0 || c == a || c == b) return;
      flags_[pixel] |= kSeen;
      scratch_.push_back(static_cast<std::uint32_t>(pixel));
      if (!nearContourOf(pixel, pixel, large, owners)) return;
      if (overlap[static_cast<std::size_t>(c)]++ == 0) counted.push_back(c);
    });
    return true;
  });
  for (std::uint32_t pixel : scratch_) flags_[pixel] &= static_cast<std::uint8_t>(~kSeen);
  for (std::uint32_t pixel : touched_) flags_[pixel] &= static_cast<std::uint8_t>(~kNear);
  touched_.clear();
}

std::vector<std::uint32_t> ContourGeometry::contour(std::int32_t region) const {
  if (!traced(region)) return pixels_[static_cast<std::size_t>(region)];
  std::vector<std::uint32_t> pixels;
  forEachContourStep(region, [&pixels](std::uint32_t pixel) {
    pixels.push_back(pixel);
    return true;
  });
  std::sort(pixels.begin(), pixels.end());
  pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
  return pixels;
}

std::vector<std::uint32_t> ContourGeometry::traceSteps(std::int32_t r, std::uint32_t first,
                                                       std::size_t maxMoves,
                                                       const PixelOwnership& owners) const {
  std::vector<std::uint32_t> steps;
  traceBoundary(
      grid_, first, maxMoves, [&owners, r](std::size_t pixel) { return owners.regionAt(pixel) == r; },
      [&steps](std::size_t pixel, int backtrack) { steps.push_back(stepOf(pixel, backtrack)); });
  return steps;
}

std::vector<std::uint32_t> ContourGeometry::keptSteps(std::int32_t r) const {
  std::vector<std::uint32_t> steps;
  for (std::int32_t node = traceHead_[static_cast<std::size_t>(r)]; node != TraceLists::kNoNode;
       node = traces_.next(node)) {
    steps.push_back(traces_.step(node));
  }
  return steps;
}

void ContourGeometry::touch(std::size_t pixel) {
  if (flags_[pixel] & kTouched) return;
  flags_[pixel] |= kTouched;
  touched_.push_back(static_cast<std::uint32_t>(pixel));
}

void ContourGeometry::leave(std::uint32_t step) {
  const std::uint32_t pixel = pixelOf(step);
  --visits_[pixel];
  touch(pixel);
}

void ContourGeometry::arrive(std::uint32_t step) {
  const std::uint32_t pixel = pixelOf(step);
  ++visits_[pixel];
  touch(pixel);
}

void ContourGeometry::keep(std::int32_t r, const std::vector<std::uint32_t>& steps) {
  for (std::uint32_t step : steps) arrive(step);
  traceHead_[static_cast<std::size_t>(r)] = traces_.make(steps);
  traceLength_[static_cast<std::size_t>(r)] = static_cast<std::uint32_t>(steps.size());
}

void ContourGeometry::release(std::int32_t r) {
  const std::size_t ri = static_cast<std::size_t>(r);
  if (traced(r)) {
    traces_.erase(traceHead_[ri], [this](std::uint32_t step) { leave(step); });
    traceHead_[ri] = TraceLists::kNoNode;
    traceLength_[ri] = 0;
  } else {
    for (std::uint32_t pixel : pixels_[ri]) touch(pixel);
    std::vector<std::uint32_t>().swap(pixels_[ri]);
  }
}

void ContourGeometry::settle(std::int32_t m, const PixelOwnership& owners, FusionPairs& pairs,
                             std::vector<std::int32_t>& changed) {
  std::uint32_t& size = contourSize_[static_cast<std::size_t>(m)];
  for (std::uint32_t pixel : touched_) {
    flags_[pixel] &= static_cast<std::uint8_t>(~kTouched);
    const bool on = visits_[pixel] > 0;
    if (on == ((flags_[pixel] & kOnContour) != 0)) continue;
    if (on) {
      countContacts(pixel, m, 1u, owners, pairs, changed);
      flags_[pixel] |= kOnContour;
      ++size;
    } else {
      flags_[pixel] &= static_cast<std::uint8_t>(~kOnContour);
      countContacts(pixel, m, ~0u, owners, pairs, changed);
      --size;
    }
  }
  touched_.clear();
}

// The pair's count of (target's contour pixel, 8-neighbour in part)
// incidences says when every such pixel has been met, so the scan stops
// there; each incidence is counted once, from the part's pixel when that one
// is looked around, otherwise from the trace pixel. It looks around
// part's contour pixels first, which normally meets every such pixel, then
// around the trace pixels met, then, if some incidences are still unmet,
// around the rest of the part's pixels or along target's trace, whichever is
// shorter. Debug builds scan on and check the count.
template <typename Found>
void ContourGeometry::forEachTracePixelNear(std::int32_t part, std::int32_t target,
                                            const PixelOwnership& owners, FusionPairs& pairs, Found&& found) {
  const std::int32_t joint = pairs.find(target, part);
  std::int64_t unmet = joint < 0 ? 0 : pairs[joint].touches[pairs[joint].sideOf(target)];
  const auto goesOn = [&unmet] {
#ifdef NDEBUG
    return unmet > 0;
#else
    return true;
#endif
  };
  const auto meet = [&](std::size_t n) {
    flags_[n] |= kNear;
    scratch_.push_back(static_cast<std::uint32_t>(n));
    found(n);
  };
  const auto scanAround = [&](std::uint32_t q) {
    forEachInBlock(grid_, q, [&](std::size_t n) {
      if (visits_[n] == 0 || (flags_[n] & kSeen) || owners.regionAt(n) != target) return;
      --unmet;
      if (!(flags_[n] & kNear)) meet(n);
    });
    return goesOn();
  };
  // kNear also marks the part's pixels already looked around.
  scratch_.clear();
  bool goOn = true;
  forEachContourStep(part, [&](std::uint32_t q) {
    if ((flags_[q] & kNear) || owners.regionAt(q) != part) return true;
    flags_[q] |= kNear;
    scratch_.push_back(q);
    return goOn = scanAround(q);
  });
  // The incidences left are with part pixels off its contour, mostly in the
  // inner corners the trace cuts across, next to trace pixels already met:
  // those are counted around the met ones (kSeen marks them done).
  const auto countUnscanned = [&](std::size_t n) {
    flags_[n] |= kSeen;
    std::int64_t incidences = 0;
    forEachInBlock(grid_, n, [&](std::size_t q) {
      incidences += !(flags_[q] & kNear) && owners.regionAt(q) == part ? 1 : 0;
    });
    unmet -= incidences;
    return incidences;
  };
  for (std::size_t k = 0, met = scratch_.size(); goOn && k < met; ++k) {
    const std::uint32_t n = scratch_[k];
    if (owners.regionAt(n) != target) continue;
    countUnscanned(n);
    goOn = goesOn();
  }
  if (goOn && traced(target) && traceLength_[static_cast<std::size_t>(target)] < owners.scanCostOf(part)) {
    // Fewer steps on target's trace than pixels to look at to find the
    // part's: each step's pixel looks for the part's pixels not looked around
    // yet, unless the part's bounding box is out of its reach.
    forEachContourStep(target, [&](std::uint32_t n) {
      const std::size_t row = grid_.row(n);
      if (!owners.mayBeNear(part, row, grid_.column(n, row)) || (flags_[n] & kSeen)) return true;
      scratch_.push_back(n);
      if (countUnscanned(n) == 0) return true;
      if (!(flags_[n] & kNear)) meet(n);
      return goesOn();
    });
  } else if (goOn) {
    owners.forEachPixel(part, [&](std::uint32_t q) { return (flags_[q] & kNear) != 0 || scanAround(q); });
  }
  assert(unmet == 0);
  for (std::uint32_t pixel : scratch_) flags_[pixel] &= static_cast<std::uint8_t>(~(kNear | kSeen));
}

void ContourGeometry::prepare(std::int32_t a, std::int32_t b, std::int32_t lead, bool leadTouches,
                              std::uint32_t leadFirstPixel, const PixelOwnership& owners, FusionPairs& pairs,
                              std::vector<std::int32_t>& changed) {
  spliceReady_ = false;
  rebase_ = false;
  walkRuns_ = false;
  firstAffected_ = lastAffected_ = TraceLists::kNoNode;
  if (!leadTouches || !stepsFit_) return;
  const std::int32_t other = lead == a ? b : a;
  if (traced(other) && contourSize(other) > contourSize(lead)) {
    // The merged trace is walked again from the first pixel, and it takes
    // the other part's steps as they are wherever the lead part cannot
    // change them: at the contour pixels with no lead pixel in their block.
    rebase_ = true;
    forEachTracePixelNear(lead, other, owners, pairs, [this](std::size_t n) {
      flags_[n] |= kNearLead;
      nearLead_.push_back(static_cast<std::uint32_t>(n));
    });
    return;
  }
  const std::size_t l = static_cast<std::size_t>(lead);
  const std::size_t maxMoves = 8 * owners.sizeOf(lead) + 8;
  if (!traced(lead)) {
    // The first time the region leads such a merge: its trace as steps. The
    // stored contour is that trace's pixels; any difference is settled.
    const std::vector<std::uint32_t> steps = traceSteps(lead, leadFirstPixel, maxMoves, owners);
    release(lead);
    keep(lead, steps);
    settle(lead, owners, pairs, changed);
  }
  const std::int32_t head = traceHead_[l];
  const std::size_t length = traceLength_[l];
  const std::int32_t tail = traces_.last(head);
  const bool cameBack =
      length == 1 || (length > 1 && pixelOf(traces_.step(tail)) == pixelOf(traces_.step(head)));
  if (!cameBack) return;
  spliceReady_ = true;
  // Every step but the arrival back at the start looked around its pixel.
  const std::size_t looked = length == 1 ? 1 : length - 1;
  const std::int32_t arrival = length == 1 ? TraceLists::kNoNode : tail;
  const auto meetsOther = [this, &owners, lead, other](std::uint32_t step) {
    const std::uint32_t pixel = pixelOf(step);
    std::size_t found = 0;
    const auto isEither = [&owners, lead, other](std::size_t n) {
      const std::int32_t r = owners.regionAt(n);
      return r == lead || r == other;
    };
    return firstMemberAfter(static_cast<std::size_t>(pixel), backtrackOf(step), GridNeighbours(grid_),
                            isEither, found) >= 0 &&
           owners.regionAt(found) == other;
  };
  // The search near the other part mostly goes round its contour only, so it
  // is taken whenever that contour is the shorter.
  if (contourSize(other) >= looked) {
    for (std::int32_t node = head; node != arrival; node = traces_.next(node)) {
      if (!meetsOther(traces_.step(node))) continue;
      if (firstAffected_ == TraceLists::kNoNode) firstAffected_ = node;
      lastAffected_ = node;
    }
    return;
  }
  // Only steps at pixels next to the other part can meet it, and their labels
  // tell the first and the last.
  const auto record = [this, head](std::int32_t node) {
    const std::uint64_t position = traces_.position(head, node);
    if (firstAffected_ == TraceLists::kNoNode || position < traces_.position(head, firstAffected_)) {
      firstAffected_ = node;
    }
    if (lastAffected_ == TraceLists::kNoNode || position > traces_.position(head, lastAffected_)) {
      lastAffected_ = node;
    }
  };
  met_.clear();
  forEachTracePixelNear(other, lead, owners, pairs,
                        [this](std::size_t n) { met_.push_back(static_cast<std::uint32_t>(n)); });
  for (std::uint32_t n : met_) traces_.prefetchAt(n);
  for (std::uint32_t n : met_) {
    for (std::int32_t node = traces_.firstAt(n); node != TraceLists::kNoNode; node = traces_.nextAt(node)) {
      if (node != arrival && meetsOther(traces_.step(node))) record(node);
    }
  }
  if (firstAffected_ == TraceLists::kNoNode) return;
#ifdef NDEBUG
  constexpr double kLongSplice = 2048.0;
  constexpr double kStepsPerStop = 16.0;
#else
  // Short in debug builds, so that the tests walk runs often.
  constexpr double kLongSplice = 8.0;
  constexpr double kStepsPerStop = 0.0;
#endif
  // When the changed steps lie far apart along the trace, the splice would
  // walk all the steps between them afresh; the trace is then walked as the
  // retrace walks a base, taking its steps as runs between the pixels next to
  // the other part. The labels, spread evenly when laid out, tell roughly how
  // many steps lie between.
  const double between =
      static_cast<double>(traces_.position(head, lastAffected_) - traces_.position(head, firstAffected_)) /
      0x1p64 * static_cast<double>(length);
  if (between > kLongSplice && between > kStepsPerStop * static_cast<double>(met_.size())) {
    walkRuns_ = true;
    for (std::uint32_t n : met_) {
      flags_[n] |= kNearLead;
      nearLead_.push_back(n);
    }
  }
}

bool ContourGeometry::splice(std::int32_t r, std::size_t maxMoves, const PixelOwnership& owners) {
  const std::size_t ri = static_cast<std::size_t>(r);
  const std::int32_t head = traceHead_[ri];
  const std::int32_t first = firstAffected_;
  const std::uint64_t lastPosition = traces_.position(head, lastAffected_);
  const std::size_t start = pixelOf(traces_.step(head));
  std::size_t pixel = pixelOf(traces_.step(first));
  int backtrack = backtrackOf(traces_.step(first));
  const GridNeighbours neighbours(grid_);
  const auto isMember = [&owners, r](std::size_t n) { return owners.regionAt(n) == r; };
  scratch_.clear();
  std::int32_t rejoin = TraceLists::kNoNode;
  bool ended = false;
  for (std::size_t moves = 0; moves < maxMoves; ++moves) {
    if (!moveOnce(pixel, backtrack, neighbours, isMember)) break;
    const std::uint32_t state = stepOf(pixel, backtrack);
    if (pixel == start) {
      scratch_.push_back(state);
      ended = true;
      break;
    }
    // Past the last changed step the old steps are the merged region's. A
    // trace that comes back holds each state once.
    const std::int32_t old = traces_.find(pixel, state);
    if (old != TraceLists::kNoNode && traces_.position(head, old) > lastPosition) {
      rejoin = old;
      break;
    }
    scratch_.push_back(state);
  }
  if (!ended && rejoin == TraceLists::kNoNode) return false;
  std::size_t removed = 0;
  traces_.replace(head, first, rejoin, scratch_, [this, &removed](std::uint32_t step) {
    leave(step);
    ++removed;
  });
  for (std::uint32_t step : scratch_) arrive(step);
  traceLength_[ri] = static_cast<std::uint32_t>(traceLength_[ri] - removed + scratch_.size());
  return true;
}

bool ContourGeometry::retrace(std::int32_t r, std::uint32_t start, std::size_t maxMoves,
                              const PixelOwnership& owners) {
  const std::size_t ri = static_cast<std::size_t>(r);
  const std::int32_t base = traceHead_[ri];
  // The base's steps where the walk looks again: those at pixels the lead
  // part may change, and the last, which has no step to follow. Where they
  // are few, the next one is found among them in order; where they are many,
  // by stepping along the base.
  const bool fewStops = 32 * nearLead_.size() < traceLength_[ri];
  stops_.clear();
  const auto before = [](const Stop& x, const Stop& y) { return x.position < y.position; };
  if (fewStops) {
    for (std::uint32_t pixel : nearLead_) traces_.prefetchAt(pixel);
    for (std::uint32_t pixel : nearLead_) {
      for (std::int32_t node = traces_.firstAt(pixel); node != TraceLists::kNoNode;
           node = traces_.nextAt(node)) {
        stops_.push_back({traces_.position(base, node), node});
      }
    }
    const std::int32_t last = traces_.last(base);
    stops_.push_back({traces_.position(base, last), last});
    std::sort(stops_.begin(), stops_.end(), before);
    stops_.erase(std::unique(stops_.begin(), stops_.end(),
                             [](const Stop& x, const Stop& y) { return x.node == y.node; }),
                 stops_.end());
  }
  const auto nextStop = [&](std::int32_t node) {
    if (fewStops) {
      const Stop here{traces_.position(base, node), node};
      return std::upper_bound(stops_.begin(), stops_.end(), here, before)->node;
    }
    std::int32_t stop = traces_.next(node);
    while (!(flags_[pixelOf(traces_.step(stop))] & kNearLead) && traces_.next(stop) != TraceLists::kNoNode) {
      stop = traces_.next(stop);
    }
    return stop;
  };

  const GridNeighbours neighbours(grid_);
  const auto isMember = [&owners, r](std::size_t n) { return owners.regionAt(n) == r; };
  const auto keepRun = [this](std::int32_t from, std::int32_t to) {
    if (!pieces_.empty() && pieces_.back().from != TraceLists::kNoNode &&
        traces_.next(pieces_.back().to) == from) {
      pieces_.back().to = to;
    } else {
      pieces_.push_back({from, to, 0});
    }
  };
  pieces_.assign(1, {TraceLists::kNoNode, TraceLists::kNoNode, stepOf(start, 0)});
  std::size_t pixel = start;
  int backtrack = 0;
  std::int32_t node = TraceLists::kNoNode;  // the kept step the walk stands on, if any
  bool ended = false;
  for (std::size_t moves = 0; moves < maxMoves; ++moves) {
    if (node != TraceLists::kNoNode && !(flags_[pixel] & kNearLead) &&
        traces_.next(node) != TraceLists::kNoNode) {
      // The steps up to the next one the lead part may change go where they
      // went before.
      const std::int32_t stop = nextStop(node);
      keepRun(traces_.next(node), stop);
      node = stop;
      pixel = pixelOf(traces_.step(node));
      backtrack = backtrackOf(traces_.step(node));
      // A base that is the trace of the lead part itself ends with its
      // arrival back at the start.
      if (pixel == start) {
        ended = true;
        break;
      }
      continue;
    }
    if (!moveOnce(pixel, backtrack, neighbours, isMember)) break;
    const std::uint32_t state = stepOf(pixel, backtrack);
    if (pixel == start) {
      pieces_.push_back({TraceLists::kNoNode, TraceLists::kNoNode, state});
      ended = true;
      break;
    }
    node = traces_.find(pixel, state);
    if (node != TraceLists::kNoNode) {
      keepRun(node, node);
    } else {
      pieces_.push_back({TraceLists::kNoNode, TraceLists::kNoNode, state});
    }
  }
  if (!ended) return false;
  std::size_t removed = 0;
  std::size_t added = 0;
  const std::int32_t head = traces_.reassemble(
      base, pieces_,
      [this, &removed](std::uint32_t step) {
        leave(step);
        ++removed;
      },
      [this, &added](std::uint32_t step) {
        arrive(step);
        ++added;
      });
  if (head == TraceLists::kNoNode) return false;
  traceHead_[ri] = head;
  traceLength_[ri] = static_cast<std::uint32_t>(traceLength_[ri] - removed + added);
  return true;
}

void ContourGeometry::reshape(std::int32_t a, std::int32_t b, std::int32_t lead, bool leadTouches,
                              std::uint32_t firstPixel, std::size_t maxMoves, const PixelOwnership& owners,
                              FusionPairs& pairs, std::vector<std::int32_t>& changed) {
  const std::int32_t other = lead == a ? b : a;
  const std::size_t ai = static_cast<std::size_t>(a);
  contourSize_[ai] += contourSize_[static_cast<std::size_t>(b)];
  contourSize_[static_cast<std::size_t>(b)] = 0;
  // The merged region keeps the trace or pixels of the lead part, or of the
  // other one when its trace is taken as the base.
  const std::int32_t base = rebase_ ? other : lead;
  const std::size_t bi = static_cast<std::size_t>(base);
  release(rebase_ ? lead : other);
  if (base != a) {
    std::swap(traceHead_[ai], traceHead_[bi]);
    std::swap(traceLength_[ai], traceLength_[bi]);
    pixels_[ai].swap(pixels_[bi]);
  }
  if (leadTouches && firstPixel != 0xffffffffu) {
    bool spliced = false;
    if (rebase_ || walkRuns_) {
      spliced = retrace(a, firstPixel, maxMoves, owners);
      for (std::uint32_t pixel : nearLead_) flags_[pixel] &= static_cast<std::uint8_t>(~kNearLead);
      nearLead_.clear();
      rebase_ = false;
      walkRuns_ = false;
    } else {
      spliced = spliceReady_ && (firstAffected_ == TraceLists::kNoNode || splice(a, maxMoves, owners));
    }
    if (!spliced && !stepsFit_) {
      // Too many pixels to keep steps: the distinct pixels of a full trace.
      std::vector<std::uint32_t>& merged = pixels_[ai];
      for (std::uint32_t pixel : merged) touch(pixel);
      merged.clear();
      traceBoundary(
          grid_, firstPixel, maxMoves,
          [&owners, a](std::size_t pixel) { return owners.regionAt(pixel) == a; },
          [this, &merged](std::size_t pixel, int) {
            if (visits_[pixel] != 0) return;
            visits_[pixel] = 1;
            merged.push_back(static_cast<std::uint32_t>(pixel));
          });
      for (std::uint32_t pixel : merged) touch(pixel);
      settle(a, owners, pairs, changed);
      for (std::uint32_t pixel : merged) visits_[pixel] = 0;
      return;
    }
    if (!spliced) {
      // Traced again in full.
      release(a);
      keep(a, traceSteps(a, firstPixel, maxMoves, owners));
    }
  }
  spliceReady_ = false;
  settle(a, owners, pairs, changed);
#ifndef NDEBUG
  if (traced(a)) assert(keptTraceIsWhole(a, firstPixel, maxMoves, owners));
#endif
}

#ifndef NDEBUG
bool ContourGeometry::keptTraceIsWhole(std::int32_t r, std::uint32_t first, std::size_t maxMoves,
                                       const PixelOwnership& owners) const {
  if (keptSteps(r) != traceSteps(r, first, maxMoves, owners)) return false;
  std::size_t length = 0;
  const std::int32_t head = traceHead_[static_cast<std::size_t>(r)];
  for (std::int32_t node = head; node != TraceLists::kNoNode; node = traces_.next(node)) {
    const std::int32_t following = traces_.next(node);
    if (following != TraceLists::kNoNode &&
        traces_.position(head, following) <= traces_.position(head, node)) {
      return false;
    }
    const std::size_t pixel = pixelOf(traces_.step(node));
    std::size_t chained = 0;
    for (std::int32_t at = traces_.firstAt(pixel); at != TraceLists::kNoNode; at = traces_.nextAt(at))
      ++chained;
    if (chained != visits_[pixel]) return false;
    ++length;
  }
  return length == traceLength_[static_cast<std::size_t>(r)];
}
#endif

}  // namespace quarvel
