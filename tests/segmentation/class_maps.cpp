#include "class_maps.h"

#include <algorithm>
#include <cmath>

namespace quarvel::testing {
namespace {

// Descriptors and parameters, drawn so that ties, equal descriptors (weight 0),
// lists of different lengths and small regions all occur.
void drawAnalysis(Draws& draws, MapCase& map) {
  std::vector<double> distinct(map.tones);
  std::sort(distinct.begin(), distinct.end());
  distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
  const int style = draws.below(5);
  const int length = 1 + draws.below(3);
  for (double tone : distinct) {
    std::vector<float> values;
    int own = length;
    if (style == 3 && draws.below(3) == 0) own = draws.below(4);
    for (int k = 0; k < own; ++k) {
      if (style == 0) {
        values.push_back(static_cast<float>(draws.below(3)));  // many equal weights and zeros
      } else if (style == 4) {
        values.push_back(static_cast<float>(draws.unit() * 3e38));  // distances that overflow
      } else {
        values.push_back(static_cast<float>(draws.unit() * 255.0));
      }
    }
    map.descriptors[tone] = values;
  }
  // Now and then a factor outside 0 .. 1, which the dialogue never lets through.
  const float epsilons[] = {0.0f, 0.25f, 0.5f, 1.0f,  static_cast<float>(draws.unit()),
                            0.5f, 0.5f,  0.5f, -0.5f, 3.0f};
  map.epsilon = epsilons[draws.below(10)];
  map.nbPixMin = draws.below(11);
  map.nbRegFinShare = draws.below(4) == 0 ? 0.0 : draws.unit();
  map.unweightedFirstGraph = draws.below(20) == 0;
}

void paintSquare(MapCase& map, int left, int top, int side, double tone) {
  for (int y = top; y < top + side && y < map.height; ++y) {
    for (int x = left; x < left + side && x < map.width; ++x) {
      if (x >= 0 && y >= 0) map.tones[static_cast<std::size_t>(y) * map.width + x] = tone;
    }
  }
}

}  // namespace

MapCase randomMap(std::uint64_t seed) {
  Draws draws(seed);
  MapCase map;
  map.width = 1 + draws.below(40);
  map.height = 1 + draws.below(40);
  const int toneCount = 1 + draws.below(6);
  map.tones.resize(static_cast<std::size_t>(map.width) * map.height);
  for (double& tone : map.tones) tone = 10.0 * draws.below(toneCount);
  drawAnalysis(draws, map);
  return map;
}

MapCase smoothedMap(std::uint64_t seed) {
  Draws draws(seed);
  MapCase map;
  map.width = 8 + draws.below(33);
  map.height = 8 + draws.below(33);
  const int toneCount = 2 + draws.below(5);
  const std::size_t n = static_cast<std::size_t>(map.width) * map.height;
  std::vector<double> noise(n);
  for (double& value : noise) value = draws.unit();
  const int passes = 2 + draws.below(3);
  for (int pass = 0; pass < passes; ++pass) {
    std::vector<double> blurred(n);
    for (int y = 0; y < map.height; ++y) {
      for (int x = 0; x < map.width; ++x) {
        double sum = 0.0;
        int count = 0;
        for (int dy = -1; dy <= 1; ++dy) {
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx;
            const int ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= map.width || ny >= map.height) continue;
            sum += noise[static_cast<std::size_t>(ny) * map.width + nx];
            ++count;
          }
        }
        blurred[static_cast<std::size_t>(y) * map.width + x] = sum / count;
      }
    }
    noise.swap(blurred);
  }
  const auto [low, high] = std::minmax_element(noise.begin(), noise.end());
  const double span = *high - *low > 0.0 ? *high - *low : 1.0;
  map.tones.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const int level = std::min(toneCount - 1, static_cast<int>((noise[i] - *low) / span * toneCount));
    map.tones[i] = 1.0 + level;
  }
  const int holes = draws.below(6);
  for (int k = 0; k < holes; ++k) {
    map.tones[draws.below(static_cast<int>(n))] = 1.0 + draws.below(toneCount + 1);
  }
  const int nests = draws.below(3);
  for (int k = 0; k < nests; ++k) {
    const int left = draws.below(map.width);
    const int top = draws.below(map.height);
    paintSquare(map, left, top, 5, 50.0);
    paintSquare(map, left + 1, top + 1, 3, 60.0);
    paintSquare(map, left + 2, top + 2, 1, 50.0);
  }
  drawAnalysis(draws, map);
  return map;
}

MapCase nestedMap(std::uint64_t seed) {
  Draws draws(seed);
  MapCase map;
  map.width = 6 + draws.below(30);
  map.height = 6 + draws.below(30);
  map.tones.assign(static_cast<std::size_t>(map.width) * map.height, 0.0);
  const int shapes = 1 + draws.below(5);
  for (int s = 0; s < shapes; ++s) {
    const int kind = draws.below(3);
    const int left = draws.below(map.width);
    const int top = draws.below(map.height);
    const double tone = 1.0 + draws.below(4);
    if (kind == 0) {
      // Rings inside rings, each a different tone from its parent.
      const int side = 3 + draws.below(12);
      for (int ring = 0; 2 * ring < side; ++ring) {
        paintSquare(map, left + ring, top + ring, side - 2 * ring, ring % 2 == 0 ? tone : tone + 4.0);
      }
    } else if (kind == 1) {
      // A staircase joined only through corners, then a gap.
      const int steps = 2 + draws.below(10);
      for (int k = 0; k < steps; ++k) paintSquare(map, left + k, top + k, 1, tone);
    } else {
      // A square with a square hole holding an island that touches the hole's corner.
      const int side = 5 + draws.below(8);
      paintSquare(map, left, top, side, tone);
      paintSquare(map, left + 1, top + 1, side - 2, 0.0);
      paintSquare(map, left + 2, top + 2, 1, tone + 4.0);
      paintSquare(map, left + side / 2, top + side / 2, 1, tone);
    }
  }
  drawAnalysis(draws, map);
  return map;
}

MapCase photoLikeMap(std::uint64_t seed) {
  Draws draws(seed);
  MapCase map;
  map.width = 64 + draws.below(65);
  map.height = 64 + draws.below(65);
  const int classes = 4 + draws.below(5);
  // Coarse and fine grids of random heights, interpolated, then cut at the
  // class boundaries; a pixel close to a cut may fall to either side.
  const auto grid = [&draws](int cells) {
    std::vector<double> heights(static_cast<std::size_t>((cells + 1) * (cells + 1)));
    for (double& value : heights) value = draws.unit();
    return heights;
  };
  const int coarse = 3 + draws.below(3);
  const int fine = 9 + draws.below(8);
  const std::vector<double> low = grid(coarse);
  const std::vector<double> high = grid(fine);
  const auto sample = [&map](const std::vector<double>& heights, int cells, int x, int y) {
    const double gx = static_cast<double>(x) * cells / map.width;
    const double gy = static_cast<double>(y) * cells / map.height;
    const int ix = static_cast<int>(gx);
    const int iy = static_cast<int>(gy);
    const double fx = gx - ix;
    const double fy = gy - iy;
    const auto at = [&heights, cells](int i, int j) {
      return heights[static_cast<std::size_t>(j * (cells + 1) + i)];
    };
    return (at(ix, iy) * (1 - fx) + at(ix + 1, iy) * fx) * (1 - fy) +
           (at(ix, iy + 1) * (1 - fx) + at(ix + 1, iy + 1) * fx) * fy;
  };
  const double speckle = 0.02 * draws.below(4);
  map.tones.resize(static_cast<std::size_t>(map.width) * map.height);
  for (int y = 0; y < map.height; ++y) {
    for (int x = 0; x < map.width; ++x) {
      const double value =
          0.7 * sample(low, coarse, x, y) + 0.3 * sample(high, fine, x, y) + speckle * (draws.unit() - 0.5);
      const int level = std::clamp(static_cast<int>(value * classes), 0, classes - 1);
      map.tones[static_cast<std::size_t>(y) * map.width + x] = 1.0 + level;
    }
  }
  // Mean colours: brighter with the class, each channel with its own tint.
  for (int k = 0; k < classes; ++k) {
    std::vector<float> colour;
    for (int channel = 0; channel < 3; ++channel) {
      colour.push_back(static_cast<float>(std::round(10.0 * (255.0 * (k + draws.unit()) / classes)) / 10.0));
    }
    map.descriptors[1.0 + k] = colour;
  }
  map.epsilon = draws.below(4) == 0 ? static_cast<float>(draws.unit()) : 0.5f;
  map.nbPixMin = draws.below(4) == 0 ? draws.below(20) : 5;
  map.nbRegFinShare = 0.0;
  return map;
}

MapCase outlineMap(std::uint64_t seed) {
  Draws draws(seed);
  MapCase map;
  map.width = 24 + draws.below(25);
  map.height = 24 + draws.below(25);
  map.tones.assign(static_cast<std::size_t>(map.width) * map.height, 1.0);
  const auto paint = [&map](int x, int y, double tone) {
    if (x >= 0 && y >= 0 && x < map.width && y < map.height)
      map.tones[static_cast<std::size_t>(y) * map.width + x] = tone;
  };
  const int shapes = 1 + draws.below(3);
  for (int s = 0; s < shapes; ++s) {
    const int kind = draws.below(5);
    const int left = draws.below(map.width / 2);
    const int top = draws.below(map.height / 2);
    const double tone = 2.0 + draws.below(4);
    if (kind == 0) {
      // A spiral one pixel wide, its turns one pixel apart.
      int x = left;
      int y = top;
      int length = 12 + draws.below(12);
      int direction = 0;
      const int dx[] = {1, 0, -1, 0};
      const int dy[] = {0, 1, 0, -1};
      while (length > 1) {
        for (int k = 0; k < length; ++k) {
          paint(x, y, tone);
          x += dx[direction];
          y += dy[direction];
        }
        direction = (direction + 1) % 4;
        if (direction % 2 == 0) length -= 2;
      }
    } else if (kind == 1) {
      // A ring with islands in its hole and a notch that opens it now and then.
      const int side = 7 + draws.below(10);
      for (int k = 0; k < side; ++k) {
        paint(left + k, top, tone);
        paint(left + k, top + side - 1, tone);
        paint(left, top + k, tone);
        paint(left + side - 1, top + k, tone);
      }
      const int islands = 1 + draws.below(6);
      for (int k = 0; k < islands; ++k)
        paint(left + 1 + draws.below(side - 2), top + 1 + draws.below(side - 2), tone + 4.0);
      if (draws.below(2) == 0) paint(left + side / 2, top, 1.0);
    } else if (kind == 2) {
      // Blocks joined only through corners: the trace passes the joints twice.
      const int blocks = 2 + draws.below(4);
      int x = left;
      int y = top;
      for (int k = 0; k < blocks; ++k) {
        const int side = 1 + draws.below(3);
        for (int j = 0; j < side; ++j) {
          for (int i = 0; i < side; ++i) paint(x + i, y + j, tone);
        }
        x += side;
        y += side;
        if (draws.below(2) == 0) y -= 2 * side;
      }
    } else if (kind == 3) {
      // Small regions above and left of a large one's first pixel.
      const int side = 6 + draws.below(10);
      for (int j = 2; j < side; ++j) {
        for (int i = 0; i < side; ++i) paint(left + i, top + j, tone);
      }
      const int specks = 1 + draws.below(5);
      for (int k = 0; k < specks; ++k)
        paint(left + draws.below(side + 2) - 1, top + draws.below(3), tone + 4.0);
    } else {
      // A comb: teeth one pixel wide with gaps one pixel wide.
      const int teeth = 3 + draws.below(6);
      const int length = 3 + draws.below(8);
      for (int k = 0; k < 2 * teeth; ++k) paint(left + k, top, tone);
      for (int k = 0; k < teeth; ++k) {
        for (int j = 1; j <= length; ++j) paint(left + 2 * k, top + j, tone);
      }
    }
  }
  // Hundreds of specks all over the background.
  const int specks = draws.below(3) * (map.width * map.height) / 8;
  for (int k = 0; k < specks; ++k) {
    const int x = draws.below(map.width);
    const int y = draws.below(map.height);
    if (map.tones[static_cast<std::size_t>(y) * map.width + x] == 1.0) paint(x, y, 6.0 + draws.below(3));
  }
  drawAnalysis(draws, map);
  return map;
}

}  // namespace quarvel::testing
