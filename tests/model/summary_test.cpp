#include <gtest/gtest.h>

#include <iomanip>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "model/segmenter.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace quarvel {
namespace {

std::string summaryOf(const Segmenter& segmenter) {
  std::ostringstream out;
  out << segmenter;
  return out.str();
}

TEST(Summary, TwoPixelImageWithTwoRegionsPrintsEverySection) {
  test::TempFolder folder;
  const std::string name = folder.file("two.bmp");
  ASSERT_TRUE(test::writeClassImage(name, {{7, 9}}));
  Segmenter segmenter;
  ASSERT_TRUE(segmenter.openImage(name));
  segmenter.pixelTable().setRegionNumber(Point(0, 0), 1.0);
  segmenter.pixelTable().setRegionNumber(Point(1, 0), 2.0);
  Region first(1.0);
  first.addPixel(0, 0);
  first.addDescriptor(0.5f);
  first.addContourPoint(0, 0);
  Region second(2.0);
  second.addPixel(1, 0);
  segmenter.insertRegion(1.0, first);
  segmenter.insertRegion(2.0, second);
  segmenter.graph().resize(3);
  segmenter.graph().setWeight(1, 2, 0.25f);
  segmenter.setNbRegFin(2);

  EXPECT_EQ(summaryOf(segmenter),
            "IMAGE: " + name +
                "\ntaille: 62\ndimensions: 2x1\nPixels: 2\n\n"
                "Parametres: \nEpsilon:  0.5\nNbPixMin: 5\nNbRegFin: 2\n\n"
                "Graph d'Adjacence\n1<->2 : 0.25\n\n"
                "(0,0) t:7r:1 (1,0) t:9r:2 \n\n"
                "Nombre de Clusters: 2\n\nNombre de Regions: 2\n\n"
                "Region No: 1\n1 pixels.\n1 descripteurs:\n0.5 \n(0,0) \nContour:\n(0,0) \n\n"
                "Region No: 2\n1 pixels.\n0 descripteurs:\n\n(1,0) \nContour:\n\n\n");
}

TEST(Summary, FreshSegmenterPrintsNoNameDefaultsAndEmptySections) {
  Segmenter segmenter;
  EXPECT_EQ(summaryOf(segmenter),
            "IMAGE: \ntaille: 0\ndimensions: 0x0\nPixels: 0\n\n"
            "Parametres: \nEpsilon:  0.5\nNbPixMin: 5\nNbRegFin: 5\n\n"
            "Graph d'Adjacence\n\n\n\n"
            "Nombre de Clusters: 0\n\nNombre de Regions: 0\n\n");
}

struct SectionCase {
  const char* what;
  void (*prepare)(Segmenter&);
  const char* expectedPart;
};

class SummarySection : public testing::TestWithParam<SectionCase> {};

TEST_P(SummarySection, IsPrintedAsExpected) {
  Segmenter segmenter;
  GetParam().prepare(segmenter);
  EXPECT_NE(summaryOf(segmenter).find(GetParam().expectedPart), std::string::npos) << GetParam().what << "\n"
                                                                                   << summaryOf(segmenter);
}

PixelRecord record(bool hasTone, double tone, bool hasRegion, double region) {
  PixelRecord r;
  if (hasTone) r.setTone(tone);
  if (hasRegion) r.setRegionNumber(region);
  return r;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SummarySection,
    testing::Values(
        SectionCase{
            "records with and without values, rows split on y",
            [](Segmenter& s) {
              s.addPixel(1, 0, record(true, 3, false, 0));
              s.addPixel(0, 1, record(true, 200, false, 0));
              s.addPixel(2.5, 0, record(true, 4, true, 2));
              s.addPixel(0, 0, record(false, 0, false, 0));
            },
            "Pixels: 4\n\nParametres: \nEpsilon:  0.5\nNbPixMin: 5\nNbRegFin: 5\n\nGraph d'Adjacence\n\n"
            "(0,0)  (1,0) t:3 (2.5,0) t:4r:2 \n(0,1) t:200 \n\nNombre de Clusters: 0\n"},
        SectionCase{"weights: not-a-number skipped, infinity and negatives printed",
                    [](Segmenter& s) {
                      s.graph().resize(4);
                      s.graph().setWeight(1, 2, std::numeric_limits<float>::quiet_NaN());
                      s.graph().setWeight(2, 3, std::numeric_limits<float>::infinity());
                      s.graph().setWeight(1, 3, -0.5f);
                    },
                    "Graph d'Adjacence\n1<->3 : -0.5\n2<->3 : inf\n\n\n\n"},
        SectionCase{"parameters as set",
                    [](Segmenter& s) {
                      s.setEpsilon(0.1f);
                      s.setNbPixMin(0);
                      s.setNbRegFin(12);
                    },
                    "Epsilon:  0.1\nNbPixMin: 0\nNbRegFin: 12\n"},
        SectionCase{
            "regions in key order with rows of pixels",
            [](Segmenter& s) {
              Region region(3.0);
              for (Point p : {Point(1, 0), Point(2, 0), Point(0, 1)}) region.addPixel(p);
              region.setDescriptors({0.5f, 0.25f});
              s.insertRegion(3.0, region);
              s.insertRegion(1.0, Region(1.0));
            },
            "Nombre de Regions: 2\n\nRegion No: 1\n0 pixels.\n0 descripteurs:\n\n\nContour:\n\n\n"
            "Region No: 3\n3 pixels.\n2 descripteurs:\n0.5 0.25 \n(1,0) (2,0) \n(0,1) \nContour:\n\n\n"}));

TEST(Summary, LargeFileSizeUsesExponentForm) {
  test::TempFolder folder;
  std::vector<std::uint8_t> bytes = test::classImageBytes({{1}});
  bytes[2] = 0x87, bytes[3] = 0xD6, bytes[4] = 0x12, bytes[5] = 0x00;  // 1234567
  ASSERT_TRUE(test::writeBytes(folder.file("f.bmp"), bytes));
  Segmenter segmenter;
  ASSERT_TRUE(segmenter.openImage(folder.file("f.bmp")));
  EXPECT_NE(summaryOf(segmenter).find("\ntaille: 1.23457e+06\n"), std::string::npos);
}

TEST(Summary, StreamWithItsOwnPrecisionIsHonoured) {
  Segmenter segmenter;
  segmenter.setEpsilon(0.125f);
  segmenter.graph().resize(3);
  segmenter.graph().setWeight(1, 2, 1.0f / 3.0f);
  std::ostringstream out;
  out << std::setprecision(2) << segmenter;
  EXPECT_NE(out.str().find("Epsilon:  0.12\n"), std::string::npos);
  EXPECT_NE(out.str().find("\n1<->2 : 0.33\n"), std::string::npos);
}

// The summary is written through a fast buffer when the stream has its default
// format and item by item otherwise. A stream whose locale is a copy of the
// classic one formats the same but takes the item-by-item path, so both paths
// must give the same text, whatever the tables hold.
struct BothPathsCase {
  const char* label;
  unsigned seed;
  int width;
  int height;
  int nbRegFin;  // 0: no fusion
  void (*change)(Segmenter&);
};

class SummaryPaths : public testing::TestWithParam<BothPathsCase> {};

TEST_P(SummaryPaths, BufferedAndStreamedTextsAreEqual) {
  const BothPathsCase& c = GetParam();
  test::TempFolder folder;
  std::mt19937 random(c.seed);
  test::ToneGrid tones(static_cast<std::size_t>(c.height),
                       std::vector<int>(static_cast<std::size_t>(c.width)));
  for (auto& row : tones) {
    for (int& tone : row) tone = 1 + static_cast<int>(random() % 3);
  }
  ASSERT_TRUE(test::writeClassImage(folder.file("m.bmp"), tones));
  ASSERT_TRUE(test::writeDescriptorFile(folder.file("m.txt"), 3, {0.5f, 1.25f, 1e7f}));
  Segmenter segmenter;
  ASSERT_TRUE(segmenter.openImage(folder.file("m.bmp")));
  ASSERT_TRUE(segmenter.openDescriptors(folder.file("m.txt")));
  segmenter.labelComponents();
  segmenter.detectContours();
  segmenter.buildAdjacencyGraph(1);
  if (c.nbRegFin > 0) {
    segmenter.setNbRegFin(c.nbRegFin);
    segmenter.mergeRegions();
  }
  if (c.change != nullptr) c.change(segmenter);

  std::ostringstream streamed;
  streamed.imbue(std::locale(std::locale::classic(), new std::numpunct<char>));
  streamed << segmenter;
  const std::string buffered = summaryOf(segmenter);
  EXPECT_GT(buffered.size(), 100u);
  EXPECT_EQ(buffered, streamed.str());
}

INSTANTIATE_TEST_SUITE_P(Tables, SummaryPaths,
                         testing::Values(BothPathsCase{"labelled", 1, 23, 17, 0, nullptr},
                                         BothPathsCase{"fused", 2, 31, 9, 3, nullptr},
                                         BothPathsCase{"number_beyond_a_million", 3, 8, 5, 0,
                                                       [](Segmenter& s) {
                                                         s.pixelTable().setRegionNumber(Point(1, 0),
                                                                                        1234567.0);
                                                       }},
                                         BothPathsCase{"odd_tone_and_negative_zero_number", 4, 8, 5, 0,
                                                       [](Segmenter& s) {
                                                         s.pixelTable().setTone(Point(1, 1), 2.5);
                                                         s.pixelTable().setRegionNumber(Point(2, 1), -0.0);
                                                       }},
                                         BothPathsCase{"last_cell_without_region_number", 7, 80, 60, 0,
                                                       [](Segmenter& s) {
                                                         PixelTable& table = s.pixelTable();
                                                         const int width = table.gridWidth();
                                                         const int height = table.gridHeight();
                                                         table.reset(width, height);
                                                         for (int y = 0; y < height; ++y) {
                                                           for (int x = 0; x < width; ++x) {
                                                             table.setGridTone(x, y, 1);
                                                             if (x + 1 < width || y + 1 < height)
                                                               table.setRegionNumberAt(x, y, 1);
                                                           }
                                                         }
                                                       }},
                                         BothPathsCase{"pixel_off_the_grid", 5, 8, 5, 0,
                                                       [](Segmenter& s) {
                                                         PixelRecord record;
                                                         record.setTone(4.0);
                                                         s.addPixel(-1, 2, record);
                                                       }},
                                         BothPathsCase{"region_points_not_on_the_grid", 6, 8, 5, 2,
                                                       [](Segmenter& s) {
                                                         s.regionTable().at(1.0).addPixel(Point(2000000, 3));
                                                         s.regionTable().at(2.0).addPixel(Point(0.5, -0.0));
                                                       }}),
                         [](const testing::TestParamInfo<BothPathsCase>& info) {
                           return std::string(info.param.label);
                         });

}  // namespace
}  // namespace quarvel
