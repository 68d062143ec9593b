#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quarvel {

// Clockwise cycle of the eight neighbour offsets (y grows downward), starting
// up-left: the order in which the tracer examines a pixel's neighbours.
inline constexpr std::array<int, 8> kRingDx = {-1, 0, 1, 1, 1, 0, -1, -1};
inline constexpr std::array<int, 8> kRingDy = {-1, -1, -1, 0, 1, 1, 1, 0};

// When the neighbour in direction d + 1 is the first member found, the one in
// direction d becomes the new backtrack pixel; seen from the new current pixel
// it lies in the direction given here.
inline constexpr std::array<int, 8> kBacktrackAfterMove = [] {
  std::array<int, 8> table{};
  for (int d = 0; d < 8; ++d) {
    const int next = (d + 1) % 8;
    const int dx = kRingDx[d] - kRingDx[next];
    const int dy = kRingDy[d] - kRingDy[next];
    for (int k = 0; k < 8; ++k) {
      if (kRingDx[k] == dx && kRingDy[k] == dy) table[d] = k;
    }
  }
  return table;
}();

// The ring direction of the first member after the backtrack direction, in
// clockwise order, seen from pixel (x, y); -1 when no neighbour is a member.
// The backtrack pixel itself is a known non-member and is not examined.
// isMember(index) answers for in-grid pixels only.
template <typename IsMember>
int firstMemberAfter(int width, int height, int x, int y, int backtrack, IsMember&& isMember) {
  const std::size_t w = static_cast<std::size_t>(width);
  for (int k = 1; k < 8; ++k) {
    const int d = (backtrack + k) & 7;
    const int nx = x + kRingDx[d];
    const int ny = y + kRingDy[d];
    if (nx < 0 || ny < 0 || nx >= width || ny >= height) continue;
    if (isMember(static_cast<std::size_t>(ny) * w + static_cast<std::size_t>(nx))) return d;
  }
  return -1;
}

// Follows the outer boundary of the region holding start, clockwise, from
// start (which must be the region's first pixel in raster order) until the
// first return to start. visit(index, backtrack) is called for start and then
// for every pixel moved to, with the ring direction of its backtrack pixel, so
// start is visited twice unless the region is a single pixel. isMember(index)
// answers for in-grid pixels only; positions outside the grid are never
// members. Pixel indices are y * width + x.
//
// maxMoves bounds the walk: a trace whose state (pixel, backtrack direction)
// repeats before it is back at start would never get there, so a bound of
// eight moves per member pixel never cuts a trace short.
template <typename IsMember, typename Visit>
void traceBoundary(int width, int height, std::size_t start, std::size_t maxMoves, IsMember&& isMember,
                   Visit&& visit) {
  const std::size_t w = static_cast<std::size_t>(width);
  int x = static_cast<int>(start % w);
  int y = static_cast<int>(start / w);
  // Nothing of the region precedes start in raster order, so its up-left
  // neighbour is the first non-member of its 3 x 3 block.
  int backtrack = 0;
  visit(start, backtrack);
  for (std::size_t moves = 0; moves < maxMoves; ++moves) {
    const int found = firstMemberAfter(width, height, x, y, backtrack, isMember);
    if (found < 0) return;
    x += kRingDx[found];
    y += kRingDy[found];
    backtrack = kBacktrackAfterMove[(found + 7) & 7];
    const std::size_t current = static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x);
    visit(current, backtrack);
    if (current == start) return;
  }
}

}  // namespace quarvel
