#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "driver/dialogue.h"
#include "regions/point.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace quarvel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Colour = std::array<std::uint8_t, 3>;

struct ExtremeCase {
  const char* what;
  int width;
  int height;
  std::function<int(int x, int y)> tone;
  // The region that the pixel belongs to, as labelling must find it.
  std::function<int(int x, int y)> region;
  int regionCount;
  const char* descriptors;
  int nbRegFin;
  std::size_t fileSize;  // of the image and of both result pictures
};

std::string nameOf(const ExtremeCase& c) {
  std::string name;
  for (char ch : std::string(c.what)) name += ch == ' ' ? '_' : ch;
  return name + ".bmp";
}

// The colour that a result picture stores for the pixel in column x, picture
// row y: rows are stored bottom row first, each padded to a multiple of 4.
Colour colourAt(const Bytes& picture, int width, int height, int x, int y) {
  const std::size_t rowBytes = 3 * static_cast<std::size_t>(width) + width % 4;
  const std::size_t at =
      54 + static_cast<std::size_t>(height - 1 - y) * rowBytes + 3 * static_cast<std::size_t>(x);
  return {picture[at], picture[at + 1], picture[at + 2]};
}

class ExtremeImage : public testing::TestWithParam<ExtremeCase> {};

TEST_P(ExtremeImage, RunsToTheEndWithStatusZero) {
  const ExtremeCase& c = GetParam();
  test::TempFolder folder;
  test::WorkingFolder inside(folder.path());
  test::ToneGrid tones(c.height, std::vector<int>(c.width));
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) tones[y][x] = c.tone(x, y);
  }
  const std::string name = nameOf(c);
  ASSERT_TRUE(test::writeClassImage(name, tones));
  ASSERT_TRUE(test::writeTextFile("d.txt", c.descriptors));
  ASSERT_TRUE(test::writeTextFile("logo.jpg", "logo"));

  std::istringstream in(name + " d.txt n n " + std::to_string(c.nbRegFin) + "\n");
  std::ostringstream out, err;
  Segmenter segmenter;
  EXPECT_EQ(runDialogue(segmenter, in, out, err), 0) << c.what;
  const std::string said = out.str();
  // A fusion that stops before NbRegFin says so and how many regions remain:
  // those that the summary counts.
  const std::string counted = "\nNombre de Regions: ";
  const std::size_t at = said.find(counted);
  ASSERT_NE(at, std::string::npos) << c.what;
  const int remaining = std::stoi(said.substr(at + counted.size()));
  const std::string folderName = name + "_0.5_5_" + std::to_string(c.nbRegFin);
  EXPECT_EQ(err.str(),
            (remaining > c.nbRegFin
                 ? "Attention: la fusion s est arretee faute d arete utilisable, il reste " +
                       std::to_string(remaining) + " regions au lieu de " + std::to_string(c.nbRegFin) + "\n"
                 : std::string()) +
                "Rapport: C:/" + folderName + "/index.html\n")
      << c.what;
  const std::string dimensions = std::to_string(c.width) + "x" + std::to_string(c.height);
  std::vector<std::string> lines = {"Cette image comporte " + std::to_string(c.regionCount) + " regions\n",
                                    "dimensions: " + dimensions + "\n",
                                    "Pixels: " + std::to_string(c.width * c.height) + "\n",
                                    "NbRegFin: " + std::to_string(c.nbRegFin) + "\n",
                                    "Fusion OK\n",
                                    "Generation HTML OK\nGeneration BMP OK\n"};
  // How far a fusion gets depends on the weights it meets (it stops when none
  // is left); without a merge, every region stays.
  if (c.nbRegFin == c.regionCount)
    lines.push_back("Nombre de Regions: " + std::to_string(c.regionCount) + "\n");
  for (const std::string& line : lines) {
    EXPECT_NE(said.find(line), std::string::npos) << c.what << ": " << line;
  }

  const Bytes before = test::readBytes("origine.bmp");
  const Bytes after =
      test::readBytes("C:/" + name + "_0.5_5_" + std::to_string(c.nbRegFin) + "/resultat.bmp");
  ASSERT_EQ(before.size(), c.fileSize) << c.what;
  ASSERT_EQ(after.size(), c.fileSize) << c.what;
  // Pixels of one region share a colour, and a fusion never splits a region,
  // so they share one in both pictures.
  std::vector<std::pair<int, Point>> firstOfRegion;
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) {
      const int region = c.region(x, y);
      const auto known = std::find_if(firstOfRegion.begin(), firstOfRegion.end(),
                                      [region](const auto& first) { return first.first == region; });
      if (known == firstOfRegion.end()) {
        firstOfRegion.emplace_back(region, Point(x, y));
        continue;
      }
      const int x0 = static_cast<int>(known->second.x()), y0 = static_cast<int>(known->second.y());
      for (const Bytes* picture : {&before, &after}) {
        ASSERT_EQ(colourAt(*picture, c.width, c.height, x, y), colourAt(*picture, c.width, c.height, x0, y0))
            << c.what << " at " << x << "," << y;
      }
    }
  }
}

// Bands of 100 pixels alternate between tones 1 and 2: forty regions.
int band(int i) { return i / 100; }

INSTANTIATE_TEST_SUITE_P(
    Shapes, ExtremeImage,
    testing::Values(ExtremeCase{"one pixel", 1, 1, [](int, int) { return 7; }, [](int, int) { return 0; }, 1,
                                "1 0.5", 1, 54 + 4},
                    ExtremeCase{"one column", 1, 4000, [](int, int y) { return 1 + band(y) % 2; },
                                [](int, int y) { return band(y); }, 40, "2 0.2 0.8", 1, 54 + 4000 * 4},
                    ExtremeCase{"one row", 4000, 1, [](int x, int) { return 1 + band(x) % 2; },
                                [](int x, int) { return band(x); }, 40, "2 0.2 0.8", 1, 54 + 12000},
                    ExtremeCase{"checkerboard kept", 24, 16, [](int x, int y) { return 1 + (x + y) % 2; },
                                [](int x, int y) { return y * 24 + x; }, 384, "2 0.2 0.8", 384, 54 + 16 * 72},
                    ExtremeCase{"checkerboard merged", 9, 7, [](int x, int y) { return 1 + (x + y) % 2; },
                                [](int x, int y) { return y * 9 + x; }, 63, "2 0.2 0.8", 1,
                                54 + 7 * (27 + 1)},
                    ExtremeCase{"one region", 64, 48, [](int, int) { return 3; }, [](int, int) { return 0; },
                                1, "1 0.5", 1, 54 + 48 * 192}),
    [](const testing::TestParamInfo<ExtremeCase>& info) {
      std::string name = nameOf(info.param);
      return name.substr(0, name.size() - 4);
    });

}  // namespace
}  // namespace quarvel
