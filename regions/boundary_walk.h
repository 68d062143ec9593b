#pragma once

#include <array>
#include <cstddef>

namespace quarvel {

// The boundary tracer: the one walk behind Region::computeContour, contour
// detection and the fusion's traces, over any kind of position.
//
// A trace state is a pixel and the ring direction of its backtrack pixel, a
// non-member. From a state the tracer looks at the pixel's eight neighbours
// clockwise (y grows downward) starting after the backtrack pixel, moves to
// the first member, and takes the neighbour looked at just before it as the
// new backtrack pixel.

// Clockwise cycle of the eight neighbour offsets, starting up-left.
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

// The direction of the first member after the backtrack direction, clockwise,
// seen from position at; -1 when no neighbour is a member. neighbour(at, d,
// next) sets next to the neighbour in direction d and answers false when
// there is none (off the grid); the backtrack pixel itself is not looked at.
template <typename Position, typename Neighbour, typename IsMember>
int firstMemberAfter(const Position& at, int backtrack, Neighbour&& neighbour, IsMember&& isMember,
                     Position& found) {
  for (int k = 1; k < 8; ++k) {
    const int d = (backtrack + k) & 7;
    if (neighbour(at, d, found) && isMember(found)) return d;
  }
  return -1;
}

// One move of the tracer from the state (at, backtrack): false when no
// neighbour is a member, otherwise at and backtrack become the next state.
template <typename Position, typename Neighbour, typename IsMember>
bool moveOnce(Position& at, int& backtrack, Neighbour&& neighbour, IsMember&& isMember) {
  Position next = at;
  const int found = firstMemberAfter(at, backtrack, neighbour, isMember, next);
  if (found < 0) return false;
  at = next;
  backtrack = kBacktrackAfterMove[static_cast<std::size_t>((found + 7) & 7)];
  return true;
}

// Follows the outer boundary clockwise from state (start, backtrack) until the
// first return to start, or until a move finds no member, or after maxMoves
// moves (a trace whose state repeats before it is back at start would never
// get there, so eight moves per member pixel never cut a trace short).
// visit(position, backtrack) is called for start and for every position moved
// to, so start is visited twice unless the walk stops early.
template <typename Position, typename Neighbour, typename IsMember, typename Visit>
void walkBoundary(const Position& start, int backtrack, std::size_t maxMoves, Neighbour&& neighbour,
                  IsMember&& isMember, Visit&& visit) {
  Position current = start;
  visit(current, backtrack);
  for (std::size_t moves = 0; moves < maxMoves; ++moves) {
    if (!moveOnce(current, backtrack, neighbour, isMember)) return;
    visit(current, backtrack);
    if (current == start) return;
  }
}

}  // namespace quarvel
