#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "driver/dialogue.h"
#include "support/bitmap_variants.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace quarvel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// What one whole run leaves: its transcript and error lines, both result
// pictures and the page.
struct Run {
  int status = -1;
  std::string out;
  std::string err;
  Bytes origine;
  Bytes resultat;
  std::string page;
};

// The analysis of an image stored as img.bmp in a folder of its own, keeping
// the default parameters and asking for three regions.
Run analyse(const Bytes& image, const std::string& descriptors) {
  test::TempFolder folder;
  test::WorkingFolder inside(folder.path());
  test::writeBytes("img.bmp", image);
  test::writeTextFile("d.txt", descriptors);
  test::writeBytes("logo.jpg", {'l', 'o', 'g', 'o'});
  std::istringstream in("img.bmp d.txt n n 3\n");
  std::ostringstream out, err;
  Segmenter segmenter;
  Run run;
  run.status = runDialogue(segmenter, in, out, err);
  run.out = out.str();
  run.err = err.str();
  run.origine = test::readBytes("origine.bmp");
  run.resultat = test::readBytes("C:/img.bmp_0.5_5_3/resultat.bmp");
  const Bytes page = test::readBytes("C:/img.bmp_0.5_5_3/index.html");
  run.page = std::string(page.begin(), page.end());
  return run;
}

// The lines of a text without those that hold one of the marks.
std::vector<std::string> linesWithout(const std::string& text, const std::vector<std::string>& marks) {
  std::vector<std::string> kept;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    bool marked = false;
    for (const std::string& mark : marks) marked = marked || line.find(mark) != std::string::npos;
    if (!marked) kept.push_back(line);
  }
  return kept;
}

Bytes after54(const Bytes& bytes) {
  return bytes.size() < 54 ? Bytes{} : Bytes(bytes.begin() + 54, bytes.end());
}

// The picture stored another way gives the analysis of its plain 24-bit form:
// the same transcript but for the file size, the same error lines, result
// pictures with the same pixels under a plain header, and the same page but
// for the file size and the time of the run.
void expectSameAnalysis(const Bytes& image, const test::ToneGrid& picture, std::int32_t resolution) {
  std::string descriptors = "4";
  for (int k = 1; k <= 4; ++k) descriptors += " 0." + std::to_string(k * 2);
  const Run plain = analyse(test::classImageBytes(picture), descriptors);
  const Run stored = analyse(image, descriptors);

  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(stored.status, 0) << stored.err;
  EXPECT_EQ(stored.err, plain.err);
  EXPECT_NE(plain.out.find("Cette image comporte "), std::string::npos);
  EXPECT_EQ(linesWithout(stored.out, {"taille: "}), linesWithout(plain.out, {"taille: "}));
  EXPECT_EQ(linesWithout(stored.page, {"Taille: ", "Traitement du "}),
            linesWithout(plain.page, {"Taille: ", "Traitement du "}));

  // The plain input's header is kept; any other gets a plain one, with the
  // input's resolution.
  Bytes header(plain.origine.begin(),
               plain.origine.begin() + std::min<std::size_t>(54, plain.origine.size()));
  ASSERT_EQ(header.size(), 54u);
  for (int i = 0; i < 4; ++i) {
    header[38 + i] = header[42 + i] =
        static_cast<std::uint8_t>(static_cast<std::uint32_t>(resolution) >> (8 * i));
  }
  for (const auto& [ofStored, ofPlain] :
       {std::pair{&stored.origine, &plain.origine}, std::pair{&stored.resultat, &plain.resultat}}) {
    ASSERT_EQ(ofStored->size(), ofPlain->size());
    EXPECT_EQ(Bytes(ofStored->begin(), ofStored->begin() + 54), header);
    EXPECT_EQ(after54(*ofStored), after54(*ofPlain));
  }
}

class StoredVariant : public testing::TestWithParam<test::BitmapVariant> {};

TEST_P(StoredVariant, GivesTheAnalysisOfThePlainFile) {
  const test::BitmapVariant& variant = GetParam();
  const test::ToneGrid& picture = variant.bitsPerPixel == 1 ? test::kTwoTonePicture : test::kFourTonePicture;
  expectSameAnalysis(test::variantBytes(picture, variant), picture,
                     variant.headerSize == 12 ? 0 : variant.resolution);
}

INSTANTIATE_TEST_SUITE_P(Variants, StoredVariant, testing::ValuesIn(test::everyVariant()),
                         [](const testing::TestParamInfo<test::BitmapVariant>& info) {
                           return std::string(info.param.name);
                         });

struct FixtureCase {
  const char* file;         // in tests/fixtures/bitmaps, made by make_fixtures.py there
  std::int32_t resolution;  // of both fields, as the tool wrote them
  bool bilevel;             // the map's two-tone form, tones 0 and 255
};

class ToolMadeBitmap : public testing::TestWithParam<FixtureCase> {};

TEST_P(ToolMadeBitmap, GivesTheAnalysisOfThePlainFile) {
  const FixtureCase& c = GetParam();
  const Bytes image = test::readBytes(std::string(QUARVEL_FIXTURES_DIR) + "/bitmaps/" + c.file);
  ASSERT_FALSE(image.empty()) << c.file;
  test::ToneGrid picture = test::kFourTonePicture;
  if (c.bilevel) {
    for (auto& row : picture) {
      for (int& tone : row) tone = tone == 74 || tone == 132 ? 255 : 0;
    }
  }
  expectSameAnalysis(image, picture, c.resolution);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ToolMadeBitmap,
    testing::Values(FixtureCase{"im_default.bmp", 0, false}, FixtureCase{"im_bmp2.bmp", 0, false},
                    FixtureCase{"im_bmp2_palette.bmp", 0, false}, FixtureCase{"im_bmp3.bmp", 0, false},
                    FixtureCase{"im_bmp3_palette.bmp", 0, false}, FixtureCase{"im_bmp3_rle.bmp", 0, false},
                    FixtureCase{"im_rle.bmp", 0, false}, FixtureCase{"im_alpha.bmp", 0, false},
                    FixtureCase{"pil_1.bmp", 3780, true}, FixtureCase{"pil_L.bmp", 3780, false},
                    FixtureCase{"pil_P.bmp", 3780, false}, FixtureCase{"pil_RGB.bmp", 3780, false},
                    FixtureCase{"pil_RGBA.bmp", 3780, false}),
    [](const testing::TestParamInfo<FixtureCase>& info) {
      const std::string file = info.param.file;
      return file.substr(0, file.size() - 4);
    });

}  // namespace
}  // namespace quarvel
