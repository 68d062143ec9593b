#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "regions/region.h"

namespace quarvel {
namespace {

// Plain transcriptions of the tracing and common-boundary rules, with linear
// membership scans and the ring rebuilt from the backtrack point at every step.

const int kCycleDx[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
const int kCycleDy[8] = {-1, -1, -1, 0, 1, 1, 1, 0};

bool member(const std::vector<Point>& list, const Point& p) {
  return std::find(list.begin(), list.end(), p) != list.end();
}

std::vector<Point> literalTrace(const std::vector<Point>& pixels) {
  const Point p0 = *std::min_element(pixels.begin(), pixels.end());
  std::vector<Point> contour{p0};
  Point backtrack, current = p0;
  for (double i = p0.x() + 1; i >= p0.x() - 1; --i) {  // the last non-member in reverse is the first
    for (double j = p0.y() + 1; j >= p0.y() - 1; --j) {
      if (!member(pixels, Point(i, j))) backtrack.set(i, j);
    }
  }
  for (int step = 0; step < 100000; ++step) {
    int start = 0;
    while (current.x() + kCycleDx[start] != backtrack.x() || current.y() + kCycleDy[start] != backtrack.y())
      ++start;
    Point ring[8];
    for (int k = 0; k < 8; ++k)
      ring[k].set(current.x() + kCycleDx[(start + k) % 8], current.y() + kCycleDy[(start + k) % 8]);
    int k = 0;
    while (k < 8 && !member(pixels, ring[k])) ++k;
    if (k == 8) break;
    current = ring[k];
    backtrack = ring[k - 1];
    contour.push_back(current);
    if (current == p0) break;
  }
  std::sort(contour.begin(), contour.end());
  contour.erase(std::unique(contour.begin(), contour.end()), contour.end());
  return contour;
}

double literalCommonBoundary(const std::vector<Point>& own, const std::vector<Point>& other) {
  std::vector<Point> touched;
  for (const Point& p : own) {
    for (double u : {p.x() - 1.0, p.x(), p.x() + 1.0}) {
      for (double v : {p.y() - 1.0, p.y(), p.y() + 1.0}) {
        if (member(other, Point(u, v)) && !member(touched, Point(u, v))) touched.emplace_back(u, v);
      }
    }
  }
  return static_cast<double>(touched.size());
}

// A random scatter over a small square (holes, several pieces), or a full top
// row with ragged teeth hanging from it: a boundary long compared with the
// region, followed all around since the trace starts at the top-left corner.
std::vector<Point> randomShape(std::mt19937& random, bool comb, Point corner) {
  std::bernoulli_distribution present(comb ? 0.9 : 0.3 + 0.1 * (random() % 6));
  std::uniform_int_distribution<int> length(0, 15);
  const int width = comb ? 200 : 8, height = comb ? 16 : 8;
  std::vector<int> teeth(width);
  for (int& tooth : teeth) tooth = comb ? length(random) : height;
  std::vector<Point> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if ((comb && y == 0) || (y <= teeth[x] && present(random)))
        pixels.emplace_back(corner.x() + x, corner.y() + y);
    }
  }
  if (pixels.empty()) pixels.push_back(corner);
  return pixels;
}

Region regionOf(const std::vector<Point>& pixels, const std::vector<Point>& contour) {
  Region region;
  for (const Point& p : pixels) region.addPixel(p);
  for (const Point& p : contour) region.addContourPoint(p);
  return region;
}

class AgainstLiteralRules : public testing::TestWithParam<unsigned> {};

TEST_P(AgainstLiteralRules, TraceCommonBoundaryAndMergeAgree) {
  std::mt19937 random(GetParam());
  const Point corner(static_cast<int>(GetParam() % 3) * 20 - 20, static_cast<int>(GetParam() % 4) * 7 - 9);
  for (int shape = 0; shape < 30; ++shape) {
    const std::vector<Point> a = randomShape(random, shape == 0, corner);
    const std::vector<Point> b =
        randomShape(random, false, Point(corner.x() + 3, corner.y() + (shape % 5 == 4 ? 30 : 2)));
    Region regionA = regionOf(a, {}), regionB = regionOf(b, {});
    regionA.computeContour();
    regionB.computeContour();
    const std::vector<Point> contourA = literalTrace(a), contourB = literalTrace(b);
    ASSERT_EQ(regionA.contour().points(), contourA);
    ASSERT_EQ(regionB.contour().points(), contourB);
    ASSERT_EQ(regionA.commonBoundary(regionB, 0), literalCommonBoundary(contourA, contourB));
    ASSERT_EQ(regionB.commonBoundary(regionA, 0), literalCommonBoundary(contourB, contourA));

    // Contours in any order and with repeats count the same way.
    std::vector<Point> looseA = contourA, looseB = contourB;
    looseA.insert(looseA.end(), contourA.begin(), contourA.begin() + contourA.size() / 2);
    std::shuffle(looseA.begin(), looseA.end(), random);
    std::shuffle(looseB.begin(), looseB.end(), random);
    const Region shuffledA = regionOf({}, looseA), shuffledB = regionOf({}, looseB);
    ASSERT_EQ(shuffledA.commonBoundary(shuffledB, 0), literalCommonBoundary(looseA, looseB));
    ASSERT_EQ(shuffledB.commonBoundary(shuffledA, 0), literalCommonBoundary(looseB, looseA));

    std::vector<Point> both = a;
    both.insert(both.end(), b.begin(), b.end());
    std::sort(both.begin(), both.end());
    both.erase(std::unique(both.begin(), both.end()), both.end());
    regionA.merge(regionB);
    ASSERT_EQ(regionA.pixels().points(), both);
    ASSERT_EQ(regionA.contour().points(), literalTrace(both));
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, AgainstLiteralRules, testing::Range(1u, 9u));

}  // namespace
}  // namespace quarvel
