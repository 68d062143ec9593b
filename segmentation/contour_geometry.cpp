#include "segmentation/contour_geometry.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "segmentation/boundary_tracing.h"
#include "segmentation/contour_contacts.h"

namespace quarvel {

void ContourGeometry::start(int width, int height, std::vector<std::vector<std::uint32_t>> contours,
                            const PixelOwnership& owners, FusionPairs& pairs) {
  width_ = width;
  height_ = height;
  flags_.assign(owners.pixelCount(), 0);
  visits_.assign(owners.pixelCount(), 0);
  tailMask_.assign(owners.pixelCount(), 0);
  stepsFit_ = owners.pixelCount() < (std::size_t{1} << 29);
  steps_ = std::move(contours);
  traced_.assign(steps_.size(), 0);
  contourSize_.assign(steps_.size(), 0);
  for (std::size_t r = 0; r < steps_.size(); ++r) {
    std::vector<std::uint32_t>& contour = steps_[r];
    std::size_t kept = 0;
    for (std::uint32_t pixel : contour) {
      if (flags_[pixel] & kOnContour) continue;
      flags_[pixel] |= kOnContour;
      contour[kept++] = pixel;
    }
    contour.resize(kept);
    contourSize_[r] = static_cast<std::uint32_t>(kept);
  }
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
  for (std::size_t r = 0; r < steps_.size(); ++r) {
    const std::int32_t a = static_cast<std::int32_t>(r);
    std::int32_t lastRegion = -1;
    std::int32_t lastPair = -1;
    visitContourContacts(width, height, steps_[r], a, regionAt, isContourOf, countOnce,
                         [&](std::int32_t c, bool shared) {
                           if (c != lastRegion) {
                             lastRegion = c;
                             lastPair = pairs.obtain(a, c);
                           }
                           PairContacts& pair = pairs.contacts(lastPair);
                           const int side = pair.sideOf(a);
                           ++pair.touches[side];
                           if (shared) ++pair.shared[side];
                         });
    for (std::uint32_t pixel : scratch_) flags_[pixel] &= static_cast<std::uint8_t>(~kSeen);
    scratch_.clear();
  }
}

bool ContourGeometry::nearContourOf(std::size_t pixel, std::size_t skip, std::int32_t m,
                                    const PixelOwnership& owners) const {
  const std::size_t w = static_cast<std::size_t>(width_);
  const int cx = static_cast<int>(pixel % w);
  const int cy = static_cast<int>(pixel / w);
  for (int ny = cy - 1; ny <= cy + 1; ++ny) {
    if (ny < 0 || ny >= height_) continue;
    for (int nx = cx - 1; nx <= cx + 1; ++nx) {
      if (nx < 0 || nx >= width_) continue;
      const std::size_t k = static_cast<std::size_t>(ny) * w + static_cast<std::size_t>(nx);
      if (k != skip && (flags_[k] & kOnContour) && owners.regionAt(k) == m) return true;
    }
  }
  return false;
}

void ContourGeometry::countContacts(std::size_t centre, std::int32_t m, std::uint32_t sign,
                                    const PixelOwnership& owners, FusionPairs& pairs,
                                    std::vector<std::int32_t>& changed) {
  const std::size_t w = static_cast<std::size_t>(width_);
  const int cx = static_cast<int>(centre % w);
  const int cy = static_cast<int>(centre / w);
  std::int32_t seen[8];
  int seenCount = 0;
  std::int32_t lastRegion = -1;
  std::int32_t lastPair = -1;
  for (int ny = cy - 1; ny <= cy + 1; ++ny) {
    if (ny < 0 || ny >= height_) continue;
    for (int nx = cx - 1; nx <= cx + 1; ++nx) {
      if (nx < 0 || nx >= width_) continue;
      const std::size_t pixel = static_cast<std::size_t>(ny) * w + static_cast<std::size_t>(nx);
      const std::int32_t c = owners.regionAt(pixel);
      if (c < 0 || c == m) continue;
      if (c != lastRegion) {
        lastRegion = c;
        lastPair = pairs.obtain(m, c);
        changed.push_back(lastPair);
      }
      PairContacts& pair = pairs.contacts(lastPair);
      const int side = pair.sideOf(m);
      pair.touches[side] += sign;
      if (!(flags_[pixel] & kOnContour)) continue;
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
    }
  }
}

void ContourGeometry::countOverlap(std::int32_t a, std::int32_t b, const PixelOwnership& owners,
                                   std::vector<std::uint32_t>& overlap, std::vector<std::int32_t>& counted) {
  const bool aSmaller = contourSize(a) <= contourSize(b);
  const std::int32_t small = aSmaller ? a : b;
  const std::int32_t large = aSmaller ? b : a;
  const std::size_t w = static_cast<std::size_t>(width_);
  scratch_.clear();
  const bool traced = traced_[static_cast<std::size_t>(small)] != 0;
  for (std::uint32_t entry : steps_[static_cast<std::size_t>(small)]) {
    const std::uint32_t centre = traced ? pixelOf(entry) : entry;
    // A pixel met twice by the trace is looked at once.
    if (traced && (flags_[centre] & kNear)) continue;
    if (traced) {
      flags_[centre] |= kNear;
      touched_.push_back(centre);
    }
    const int cx = static_cast<int>(centre % w);
    const int cy = static_cast<int>(centre / w);
    for (int ny = cy - 1; ny <= cy + 1; ++ny) {
      if (ny < 0 || ny >= height_) continue;
      for (int nx = cx - 1; nx <= cx + 1; ++nx) {
        if (nx < 0 || nx >= width_) continue;
        const std::size_t pixel = static_cast<std::size_t>(ny) * w + static_cast<std::size_t>(nx);
        if ((flags_[pixel] & (kOnContour | kSeen)) != kOnContour) continue;
        const std::int32_t c = owners.regionAt(pixel);
        if (c < 0 || c == a || c == b) continue;
        flags_[pixel] |= kSeen;
        scratch_.push_back(static_cast<std::uint32_t>(pixel));
        if (!nearContourOf(pixel, pixel, large, owners)) continue;
        if (overlap[static_cast<std::size_t>(c)]++ == 0) counted.push_back(c);
      }
    }
  }
  for (std::uint32_t pixel : scratch_) flags_[pixel] &= static_cast<std::uint8_t>(~kSeen);
  for (std::uint32_t pixel : touched_) flags_[pixel] &= static_cast<std::uint8_t>(~kNear);
  touched_.clear();
}

std::vector<std::uint32_t> ContourGeometry::contour(std::int32_t region) const {
  const std::vector<std::uint32_t>& entries = steps_[static_cast<std::size_t>(region)];
  if (!traced_[static_cast<std::size_t>(region)]) return entries;
  std::vector<std::uint32_t> pixels;
  for (std::uint32_t step : entries) pixels.push_back(pixelOf(step));
  std::sort(pixels.begin(), pixels.end());
  pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
  return pixels;
}

std::vector<std::uint32_t> ContourGeometry::traceSteps(std::int32_t r, std::uint32_t first,
                                                       std::size_t maxMoves,
                                                       const PixelOwnership& owners) const {
  std::vector<std::uint32_t> steps;
  traceBoundary(
      width_, height_, first, maxMoves,
      [&owners, r](std::size_t pixel) { return owners.regionAt(pixel) == r; },
      [&steps](std::size_t pixel, int backtrack) { steps.push_back(stepOf(pixel, backtrack)); });
  return steps;
}

void ContourGeometry::touch(std::size_t pixel) {
  if (flags_[pixel] & kTouched) return;
  flags_[pixel] |= kTouched;
  touched_.push_back(static_cast<std::uint32_t>(pixel));
}

void ContourGeometry::count(const std::vector<std::uint32_t>& steps, int sign) {
  for (std::uint32_t step : steps) {
    const std::uint32_t pixel = pixelOf(step);
    visits_[pixel] = static_cast<std::uint8_t>(visits_[pixel] + sign);
    touch(pixel);
  }
}

void ContourGeometry::release(std::int32_t r) {
  std::vector<std::uint32_t>& entries = steps_[static_cast<std::size_t>(r)];
  if (traced_[static_cast<std::size_t>(r)]) {
    count(entries, -1);
  } else {
    for (std::uint32_t pixel : entries) touch(pixel);
  }
  std::vector<std::uint32_t>().swap(entries);
  traced_[static_cast<std::size_t>(r)] = 0;
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

void ContourGeometry::prepare(std::int32_t a, std::int32_t b, std::int32_t lead, bool leadTouches,
                              std::uint32_t leadFirstPixel, const PixelOwnership& owners, FusionPairs& pairs,
                              std::vector<std::int32_t>& changed) {
  spliceReady_ = false;
  firstAffected_ = lastAffected_ = kNone;
  if (!leadTouches || !stepsFit_) return;
  const std::size_t l = static_cast<std::size_t>(lead);
  const std::size_t maxMoves = 8 * owners.sizeOf(lead) + 8;
  if (!traced_[l]) {
    // The first time the region leads such a merge: its trace as steps. The
    // stored contour is that trace's pixels; any difference is settled.
    std::vector<std::uint32_t> steps = traceSteps(lead, leadFirstPixel, maxMoves, owners);
    release(lead);
    count(steps, 1);
    steps_[l] = std::move(steps);
    traced_[l] = 1;
    settle(lead, owners, pairs, changed);
  }
  const std::vector<std::uint32_t>& steps = steps_[l];
  const bool cameBack =
      steps.size() == 1 || (steps.size() > 1 && pixelOf(steps.back()) == pixelOf(steps.front()));
  if (!cameBack) return;
  spliceReady_ = true;
  // Every step but the arrival back at the start looked around its pixel.
  const std::size_t looked = steps.size() == 1 ? 1 : steps.size() - 1;
  const std::int32_t other = lead == a ? b : a;
  const auto meetsOther = [this, &owners, lead, other](std::uint32_t step) {
    const std::uint32_t pixel = pixelOf(step);
    std::size_t found = 0;
    const auto isEither = [&owners, lead, other](std::size_t n) {
      const std::int32_t r = owners.regionAt(n);
      return r == lead || r == other;
    };
    return firstMemberAfter(static_cast<std::size_t>(pixel), backtrackOf(step),
                            GridNeighbours(width_, height_), isEither, found) >= 0 &&
           owners.regionAt(found) == other;
  };
  const auto record = [this](std::size_t index) {
    if (firstAffected_ == kNone) firstAffected_ = index;
    lastAffected_ = index;
  };
  if (owners.sizeOf(other) >= looked) {
    for (std::size_t i = 0; i < looked; ++i) {
      if (meetsOther(steps[i])) record(i);
    }
    return;
  }
  // The other part is the smaller: only steps at pixels next to it can meet it.
  const std::size_t w = static_cast<std::size_t>(width_);
  scratch_.clear();
  owners.forEachPixel(other, [&](std::uint32_t q) {
    const int qx = static_cast<int>(q % w);
    const int qy = static_cast<int>(q / w);
    for (int ny = qy - 1; ny <= qy + 1; ++ny) {
      if (ny < 0 || ny >= height_) continue;
      for (int nx = qx - 1; nx <= qx + 1; ++nx) {
        if (nx < 0 || nx >= width_) continue;
        const std::size_t n = static_cast<std::size_t>(ny) * w + static_cast<std::size_t>(nx);
        if (visits_[n] == 0 || (flags_[n] & kNear) || owners.regionAt(n) != lead) continue;
        flags_[n] |= kNear;
        scratch_.push_back(static_cast<std::uint32_t>(n));
      }
    }
  });
  if (!scratch_.empty()) {
    for (std::size_t i = 0; i < looked; ++i) {
      if ((flags_[pixelOf(steps[i])] & kNear) && meetsOther(steps[i])) record(i);
    }
  }
  for (std::uint32_t pixel : scratch_) flags_[pixel] &= static_cast<std::uint8_t>(~kNear);
}

bool ContourGeometry::splice(std::int32_t a, std::vector<std::uint32_t>& trace, std::size_t maxMoves,
                             const PixelOwnership& owners) {
  const std::size_t first = firstAffected_;
  const std::size_t last = lastAffected_;
  for (std::size_t j = last + 1; j < trace.size(); ++j) {
    tailMask_[pixelOf(trace[j])] |= static_cast<std::uint8_t>(1u << backtrackOf(trace[j]));
  }
  const std::size_t start = pixelOf(trace.front());
  std::size_t pixel = pixelOf(trace[first]);
  int backtrack = backtrackOf(trace[first]);
  const GridNeighbours neighbours(width_, height_);
  const auto isMember = [&owners, a](std::size_t n) { return owners.regionAt(n) == a; };
  scratch_.clear();
  std::size_t rejoin = kNone;
  bool ended = false;
  for (std::size_t moves = 0; moves < maxMoves; ++moves) {
    std::size_t next = pixel;
    const int found = firstMemberAfter(pixel, backtrack, neighbours, isMember, next);
    if (found < 0) break;
    pixel = next;
    backtrack = kBacktrackAfterMove[static_cast<std::size_t>((found + 7) & 7)];
    if (pixel == start) {
      scratch_.push_back(stepOf(pixel, backtrack));
      ended = true;
      break;
    }
    if (tailMask_[pixel] & (1u << backtrack)) {
      // Past the last changed step the old steps are the merged region's.
      const std::uint32_t state = stepOf(pixel, backtrack);
      for (std::size_t j = last + 1; j < trace.size() && rejoin == kNone; ++j) {
        if (trace[j] == state) rejoin = j;
      }
      break;
    }
    scratch_.push_back(stepOf(pixel, backtrack));
  }
  for (std::size_t j = last + 1; j < trace.size(); ++j) tailMask_[pixelOf(trace[j])] = 0;
  if (!ended && rejoin == kNone) return false;
  const std::size_t resume = ended ? trace.size() : rejoin;
  for (std::size_t j = first + 1; j < resume; ++j) {
    const std::uint32_t p = pixelOf(trace[j]);
    --visits_[p];
    touch(p);
  }
  count(scratch_, 1);
  std::vector<std::uint32_t> merged;
  merged.reserve(first + 1 + scratch_.size() + (trace.size() - resume));
  merged.insert(merged.end(), trace.begin(), trace.begin() + static_cast<std::ptrdiff_t>(first) + 1);
  merged.insert(merged.end(), scratch_.begin(), scratch_.end());
  merged.insert(merged.end(), trace.begin() + static_cast<std::ptrdiff_t>(resume), trace.end());
  trace.swap(merged);
  return true;
}

void ContourGeometry::reshape(std::int32_t a, std::int32_t b, std::int32_t lead, bool leadTouches,
                              std::uint32_t firstPixel, std::size_t maxMoves, const PixelOwnership& owners,
                              FusionPairs& pairs, std::vector<std::int32_t>& changed) {
  const std::int32_t other = lead == a ? b : a;
  const std::size_t ai = static_cast<std::size_t>(a);
  const std::size_t li = static_cast<std::size_t>(lead);
  contourSize_[ai] += contourSize_[static_cast<std::size_t>(b)];
  contourSize_[static_cast<std::size_t>(b)] = 0;
  release(other);
  std::vector<std::uint32_t> merged = std::move(steps_[li]);
  bool traced = traced_[li] != 0;
  traced_[li] = 0;
  steps_[li].clear();
  if (leadTouches && firstPixel != 0xffffffffu) {
    const bool spliced = spliceReady_ && (firstAffected_ == kNone || splice(a, merged, maxMoves, owners));
    if (!spliced && !stepsFit_) {
      // Too many pixels to keep steps: the distinct pixels of a full trace.
      for (std::uint32_t pixel : merged) touch(pixel);
      merged.clear();
      traceBoundary(
          width_, height_, firstPixel, maxMoves,
          [&owners, a](std::size_t pixel) { return owners.regionAt(pixel) == a; },
          [this, &merged](std::size_t pixel, int) {
            if (visits_[pixel] != 0) return;
            visits_[pixel] = 1;
            merged.push_back(static_cast<std::uint32_t>(pixel));
          });
      for (std::uint32_t pixel : merged) touch(pixel);
      steps_[ai] = std::move(merged);
      traced_[ai] = 0;
      settle(a, owners, pairs, changed);
      for (std::uint32_t pixel : steps_[ai]) visits_[pixel] = 0;
      return;
    }
    if (!spliced) {
      // Traced again in full.
      if (traced) {
        count(merged, -1);
      } else {
        for (std::uint32_t pixel : merged) touch(pixel);
      }
      merged = traceSteps(a, firstPixel, maxMoves, owners);
      count(merged, 1);
      traced = true;
    }
  }
  steps_[ai] = std::move(merged);
  traced_[ai] = traced ? 1 : 0;
  spliceReady_ = false;
  settle(a, owners, pairs, changed);
#ifndef NDEBUG
  if (traced && stepsFit_) {
    assert(steps_[ai] == traceSteps(a, firstPixel, maxMoves, owners));
  }
#endif
}

}  // namespace quarvel
