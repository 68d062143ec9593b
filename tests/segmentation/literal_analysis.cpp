#include "literal_analysis.h"

#include <algorithm>
#include <cmath>

namespace literal {
namespace {

void newLabel(Analysis& an, double& next, double x, double y) {
  Region scratch;
  scratch.number = next;
  scratch.pixels.insert({x, y});
  an.regions[next] = scratch;
  an.regionNumber[{x, y}] = next;
  next += 1.0;
}

void join(Analysis& an, double label, double x, double y) {
  an.regions[label].pixels.insert({x, y});
  an.regionNumber[{x, y}] = label;
}

void unifyLabels(std::vector<double>& table, double count, double a, double b) {
  const int hi = static_cast<int>(std::max(a, b));
  const int lo = static_cast<int>(std::min(a, b));
  for (int i = 1; i < count; ++i) {
    if (table[i] == hi) table[i] = lo;
  }
}

const int kDx[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
const int kDy[8] = {-1, -1, -1, 0, 1, 1, 1, 0};

float weight(const Analysis& an, const Region& a, const Region& b) {
  float s = 0.0f;
  for (std::size_t k = 0; k < a.descriptors.size() && k < b.descriptors.size(); ++k) {
    const double diff = static_cast<double>(a.descriptors[k]) - static_cast<double>(b.descriptors[k]);
    s = static_cast<float>(static_cast<double>(s) + diff * diff);
  }
  const float d = static_cast<float>(std::sqrt(static_cast<double>(s)));
  const double m =
      static_cast<double>(a.contour.size() < b.contour.size() ? a.contour.size() : b.contour.size());
  const double shared = commonBoundary(a, b);
  const float q = static_cast<float>(m / (4.0 * shared));
  float f = 1.0f;
  if (static_cast<double>(a.pixels.size()) < an.nbPixMin) {
    f = an.epsilon;
  } else if (static_cast<double>(b.pixels.size()) < an.nbPixMin) {
    f = an.epsilon;
  }
  float w = d * q;
  w = w * f;
  return w;
}

void setWeight(Analysis& an, int i, int j, float w) {
  if (i >= an.graphSize || j >= an.graphSize || i == j) return;
  an.graph[{std::min(i, j), std::max(i, j)}] = w;
}

}  // namespace

void labelComponents(Analysis& an) {
  const int w = an.width;
  const int h = an.height;
  std::vector<double> t(static_cast<std::size_t>(w) * h + 1);
  for (std::size_t i = 0; i < t.size(); ++i) t[i] = static_cast<double>(i);
  double n = 1.0;
  auto v = [&](int x, int y) { return an.tone.at({double(x), double(y)}); };
  auto r = [&](int x, int y) { return an.regionNumber.at({double(x), double(y)}); };

  newLabel(an, n, 0, 0);
  for (int y = 1; y < h; ++y) {
    if (v(0, y) == v(0, y - 1)) {
      join(an, r(0, y - 1), 0, y);
    } else {
      newLabel(an, n, 0, y);
    }
  }
  for (int x = 1; x < w; ++x) {
    if (v(x, 0) == v(x - 1, 0)) {
      join(an, r(x - 1, 0), x, 0);
    } else {
      newLabel(an, n, x, 0);
    }
    for (int y = 1; y < h; ++y) {
      const bool sameColumn = v(x, y) == v(x, y - 1);
      const bool sameRow = v(x, y) == v(x - 1, y);
      if (!sameColumn && !sameRow) {
        newLabel(an, n, x, y);
      } else if (sameColumn && !sameRow) {
        join(an, r(x, y - 1), x, y);
      } else if (!sameColumn && sameRow) {
        join(an, r(x - 1, y), x, y);
      } else {
        join(an, r(x - 1, y), x, y);
        const double a = t[static_cast<int>(r(x, y - 1))];
        const double b = t[static_cast<int>(r(x - 1, y))];
        if (a != b) unifyLabels(t, n, a, b);
      }
    }
  }
  double next = 1.0;
  for (int i = 1; i < n; ++i) {
    if (t[i] == i) {
      t[i] = next;
      next += 1.0;
    } else {
      t[i] = t[static_cast<int>(t[i])];
    }
  }
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y) {
      const double p = r(x, y);
      const double f = t[static_cast<int>(p)];
      an.regions[p].pixels.erase({double(x), double(y)});
      join(an, f, x, y);
    }
  }
  for (auto it = an.regions.begin(); it != an.regions.end();) {
    if (it->second.pixels.empty()) {
      an.regions.erase(it);
      it = an.regions.begin();
    } else {
      ++it;
    }
  }
  for (auto& [key, region] : an.regions) {
    const auto cluster = an.clusters.find(an.tone.at(*region.pixels.begin()));
    region.descriptors = cluster == an.clusters.end() ? std::vector<float>() : cluster->second;
  }
  an.graphSize = static_cast<int>(an.regions.size()) + 1;
  an.graph.clear();
  an.regionCount = static_cast<int>(an.regions.size());
}

void computeContour(Region& region, Analysis& an) {
  if (region.pixels.empty()) return;
  const Pt p0 = *region.pixels.begin();
  region.contour.push_back(p0);
  Pt current = p0;
  Pt backtrack;
  bool foundStart = false;
  for (double i = p0.x - 1; i <= p0.x + 1 && !foundStart; i += 1.0) {
    for (double j = p0.y - 1; j <= p0.y + 1 && !foundStart; j += 1.0) {
      if (!region.pixels.count({i, j})) {
        backtrack = {i, j};
        foundStart = true;
      }
    }
  }
  for (int guard = 0;; ++guard) {
    if (guard > 1000000) {
      an.traceRanAway = true;
      break;
    }
    int start = 0;
    for (int c = 0; c < 8; ++c) {
      if (current.x + kDx[c] == backtrack.x && current.y + kDy[c] == backtrack.y) start = c;
    }
    Pt ring[8];
    for (int k = 0; k < 8; ++k)
      ring[k] = {current.x + kDx[(start + k) % 8], current.y + kDy[(start + k) % 8]};
    int found = -1;
    for (int k = 0; k < 8 && found < 0; ++k) {
      if (region.pixels.count(ring[k])) found = k;
    }
    if (found < 0) break;
    current = ring[found];
    backtrack = ring[found - 1];
    region.contour.push_back(current);
    if (current == p0) break;
  }
  std::sort(region.contour.begin(), region.contour.end());
  region.contour.erase(std::unique(region.contour.begin(), region.contour.end()), region.contour.end());
}

void detectContours(Analysis& an) {
  for (auto& [key, region] : an.regions) computeContour(region, an);
}

double commonBoundary(const Region& a, const Region& b) {
  std::vector<Pt> counted;
  auto contains = [](const std::vector<Pt>& list, const Pt& p) {
    return std::find(list.begin(), list.end(), p) != list.end();
  };
  for (const Pt& p : a.contour) {
    for (double u = p.x - 1.0; u <= p.x + 1.0; u += 1.0) {
      for (double v = p.y - 1.0; v <= p.y + 1.0; v += 1.0) {
        if (contains(b.contour, {u, v}) && !contains(counted, {u, v})) counted.push_back({u, v});
      }
    }
  }
  return static_cast<double>(counted.size());
}

void buildAdjacencyGraph(Analysis& an, int weighted) {
  for (const auto& [key, a] : an.regions) {
    std::map<double, float> weightOf;  // the same pair always gets the same value within one visit
    for (const Pt& p : a.contour) {
      const double own = an.regionNumber.at(p);
      double last = 0.0;
      for (int i = static_cast<int>(p.x - 1); i < p.x + 2; ++i) {
        for (int j = static_cast<int>(p.y - 1); j < p.y + 2; ++j) {
          if (i < 0 || j < 0 || i >= an.width || j >= an.height || (i == p.x && j == p.y)) continue;
          const double nb = an.regionNumber.at({double(i), double(j)});
          if (nb == own || nb == last) continue;
          last = nb;
          if (weighted == 0) {
            setWeight(an, static_cast<int>(own), static_cast<int>(nb), 1.0f);
            continue;
          }
          if (!weightOf.count(nb)) weightOf[nb] = weight(an, a, an.regions.at(nb));
          setWeight(an, static_cast<int>(own), static_cast<int>(nb), weightOf[nb]);
        }
      }
    }
  }
}

std::pair<int, int> heaviestEdge(const Analysis& an) {
  float best = 0.0f;
  std::pair<int, int> result(0, 0);
  for (const auto& [position, v] : an.graph) {
    if (v == 0.0f || std::isnan(v)) continue;
    if (best == 0.0f || best < v) {
      best = v;
      result = position;
    }
  }
  return result;
}

void mergePair(Analysis& an, int i, int j) {
  Region& a = an.regions.at(i);
  const Region b = an.regions.at(j);
  a.pixels.insert(b.pixels.begin(), b.pixels.end());
  a.contour.clear();
  computeContour(a, an);
  for (const Pt& p : b.pixels) an.regionNumber[p] = i;
  std::vector<float> merged;
  for (std::size_t k = 0; k < a.descriptors.size(); ++k) {
    merged.push_back(k < b.descriptors.size()
                         ? static_cast<float>((a.descriptors[k] + b.descriptors[k]) / 2.0)
                         : a.descriptors[k]);
  }
  a.descriptors = merged;
  an.regions.erase(j);
  an.graph.clear();
  buildAdjacencyGraph(an, 1);
}

void mergeRegions(Analysis& an) {
  while (static_cast<int>(an.regions.size()) > an.nbRegFin) {
    const auto [i, j] = heaviestEdge(an);
    if (i == 0 && j == 0) break;  // no usable edge left
    mergePair(an, i, j);
  }
  const std::map<double, Region> copy = an.regions;
  an.regions.clear();
  double n = 1.0;
  for (auto [key, region] : copy) {
    region.number = n;
    an.regions[n] = region;
    for (const Pt& p : region.pixels) an.regionNumber[p] = n;
    n += 1.0;
  }
  an.graphSize = static_cast<int>(n);
  an.graph.clear();
  buildAdjacencyGraph(an, 1);
}

}  // namespace literal
