#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "driver/dialogue.h"
#include "model/bitmap.h"
#include "model/load_failure.h"
#include "model/segmenter.h"
#include "support/bitmap_variants.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

// The largest single block asked of operator new since the last reset, so that
// a test can tell that a damaged file was refused without a large allocation.
// Requests beyond 1 GiB are refused outright, so that a faulty reader fails
// without taking the machine's memory.
namespace {

std::atomic<std::size_t> largestRequest{0};

void* allocate(std::size_t size) {
  std::size_t seen = largestRequest.load();
  while (size > seen && !largestRequest.compare_exchange_weak(seen, size)) {
  }
  if (size > (std::size_t{1} << 30)) throw std::bad_alloc();
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace quarvel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
// Every file under a folder, by its path relative to the folder, with its bytes.
using Snapshot = std::map<std::string, Bytes>;

const std::string kImagePrompt = "Tapez le nom de l image\n";
const std::string kDescriptorPrompt = "Tapez le nom du fichier de descripteurs de l image\n";
const std::string kImageOpened = kImagePrompt + "Ouverture Image OK\n" + kDescriptorPrompt;
const std::string kOpened = kImageOpened + "Ouverture Descripteurs OK\n";
const std::string kEpsilonQuestion =
    "La valeur par default de epsilon est de 0.5\nVoulez vous la modifier? [o ou n]\n";
const std::string kNbPixMinQuestion =
    "La valeur par default du nombre de pixels minimum est de 5\nVoulez vous la modifier? [o ou n]\n";
const std::string kEpsilonPrompt = "Tapez la valeur desiree pour epsilon [ 0<=epsilon<=1 ]\n";
const std::string kNbPixMinPrompt = "Tapez la valeur desiree pour NbPixMin\n";
const std::string kEnded = "Fin des donnees d entree avant la fin du dialogue: arret.\n";
// The working image holds tone 0.
const std::string kToneZero =
    "Attention: l image contient le ton 0, ses regions ne recoivent pas de descripteurs\n";
// The working image has three regions.
const std::string kCountPrompt =
    "Cette image comporte 3 regions\nTapez le nombre de regions desirees apres fusion\n";

void put32(Bytes& bytes, std::size_t at, std::int32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

// A standard bitmap of the grid with the declared width and height replaced
// and the file cut to size bytes (or extended with zeros).
Bytes damagedImage(const test::ToneGrid& tones, std::int32_t width, std::int32_t height, std::size_t size) {
  Bytes bytes = test::classImageBytes(tones);
  put32(bytes, 18, width);
  put32(bytes, 22, height);
  bytes.resize(size);
  return bytes;
}

Snapshot snapshotOf(const fs::path& folder) {
  Snapshot files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), folder).string()] = test::readBytes(entry.path().string());
    }
  }
  return files;
}

std::string textOf(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// A working folder "work" inside a temporary folder, holding the class image
// img.bmp (picture rows 0 1 / 2 1: three regions, clusters 0, 1, 2), its
// descriptor file d.txt and a logo.
class BadInput : public testing::Test {
 protected:
  BadInput() : work_(fs::path(root_.path()) / "work") {
    fs::create_directory(work_);
    inside_.emplace(work_.string());
    test::writeClassImage("img.bmp", {{0, 1}, {2, 1}});
    test::writeTextFile("d.txt", "2 0.25 0.75\n");
    test::writeBytes("logo.jpg", {'l', 'o', 'g', 'o'});
  }

  Outcome run(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out, err;
    largestRequest = 0;
    const int status = runDialogue(segmenter_, in, out, err);
    return {status, out.str(), err.str()};
  }

  // The whole analysis of the named image through the Segmenter's operations,
  // in the dialogue's order (a name given so may hold blanks).
  void analyse(const std::string& imageName, int nbRegFin) {
    ASSERT_TRUE(segmenter_.openImage(imageName));
    ASSERT_TRUE(segmenter_.openDescriptors(std::string("d.txt")));
    segmenter_.labelComponents();
    segmenter_.setNbRegFin(nbRegFin);
    segmenter_.detectContours();
    segmenter_.buildAdjacencyGraph(1);
    segmenter_.writeResultBitmap("origine.bmp", "");
    segmenter_.mergeRegions();
    segmenter_.writeHtmlReport("C:");
    segmenter_.writeResultBitmap("resultat.bmp", "C:");
  }

  // A stopped run ends the error stream with one line that says so, after
  // the lines that explain each refusal.
  static void expectStopped(const Outcome& outcome, const std::string& refusals) {
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, refusals + kEnded);
  }

  test::TempFolder root_;
  fs::path work_;
  std::optional<test::WorkingFolder> inside_;
  Segmenter segmenter_;
};

struct ImageCase {
  const char* what;
  std::optional<Bytes> file;  // written as bad.bmp; none: no such file
  bool accepted;
  int topLeftTone;  // of the accepted image
  int topRightTone;
  std::string refusal;            // the line on the error stream for a refused file
  const char* typed = "bad.bmp";  // the name typed at the prompt
};

class BadImage : public BadInput, public testing::WithParamInterface<ImageCase> {};

// The name is typed, then the input ends at the next prompt: a refused file
// brings the image prompt back, an accepted one the descriptor prompt.
TEST_P(BadImage, IsRefusedOrReadWithoutAnyFileChangedAndWithoutLargeAllocation) {
  const ImageCase& c = GetParam();
  if (c.file) {
    ASSERT_TRUE(test::writeBytes("bad.bmp", *c.file));
  }
  const Snapshot before = snapshotOf(root_.path());

  const Outcome outcome = run(std::string(c.typed) + "\n");
  expectStopped(outcome, c.accepted ? "" : c.refusal + "\n");
  EXPECT_EQ(outcome.out, c.accepted ? kImageOpened : kImagePrompt + kImagePrompt) << c.what;
  // Only a file refused for the memory it needs may ask for much of it.
  if (c.refusal.find("memoire") == std::string::npos) {
    EXPECT_LT(largestRequest.load(), std::size_t{1} << 20) << c.what;
  }
  EXPECT_EQ(snapshotOf(root_.path()), before) << c.what;
  EXPECT_STREQ(segmenter_.name(), c.typed);
  if (c.accepted) {
    EXPECT_EQ(segmenter_.pixelRecordAt(0, 0).tone()->value(), c.topLeftTone) << c.what;
    const double right = segmenter_.width() - 1;
    EXPECT_EQ(segmenter_.pixelRecordAt(right, 0).tone()->value(), c.topRightTone) << c.what;
  } else {
    EXPECT_EQ(segmenter_.pixelCount(), 0.0) << c.what;
    EXPECT_TRUE(segmenter_.clusterTable().empty()) << c.what;
  }
  // The result pictures read the image again for its shape only: the same
  // answer, for the same reason.
  BitmapImage shape;
  ImageFailure failure;
  EXPECT_EQ(readBitmapShape(c.typed, shape, failure), c.accepted) << c.what;
  if (!c.accepted) {
    EXPECT_EQ(imageRefusalLine(c.typed, failure), c.refusal) << c.what;
  }
  EXPECT_TRUE(shape.pixels.empty()) << c.what;
}

// Grids used below: 2 x 2 {1 2 / 3 4} is stored 3 4, then 1 2; 3 x 2
// {1 2 3 / 4 5 6} has 3 padding bytes a row (78 bytes); 4 x 2 has none (78).
const test::ToneGrid kSquare = {{1, 2}, {3, 4}};
const test::ToneGrid kThreeWide = {{1, 2, 3}, {4, 5, 6}};
const test::ToneGrid kFourWide = {{1, 2, 3, 4}, {5, 6, 7, 8}};

const std::string kBad = "L image bad.bmp ";

Bytes patched(Bytes bytes, std::size_t at, std::int32_t value, int width = 4) {
  for (int i = 0; i < width; ++i)
    bytes[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
  return bytes;
}
Bytes cut(Bytes bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}
Bytes variant(const test::ToneGrid& tones, const test::BitmapVariant& how) {
  return test::variantBytes(tones, how);
}
// A 2 x 2 run-length file of 8 bits whose stream is replaced.
Bytes withStream(const Bytes& stream) {
  Bytes bytes = variant(kSquare, {.name = "rle8", .bitsPerPixel = 8, .compression = 1});
  bytes.resize(bytes[10] | bytes[11] << 8);
  bytes.insert(bytes.end(), stream.begin(), stream.end());
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadImage,
    testing::Values(
        ImageCase{"missing file", std::nullopt, false, 0, 0,
                  "Impossible d ouvrir l image bad.bmp: No such file or directory"},
        ImageCase{"empty file", Bytes{}, false, 0, 0,
                  kBad + "n est pas un bitmap: elle ne commence pas par BM"},
        ImageCase{"header only", damagedImage({{9}}, 1, 1, 54), false, 0, 0,
                  kBad + "est tronquee: le fichier a 54 octets, ses lignes en demandent 57"},
        ImageCase{"100000 x 100000 in 60 bytes", damagedImage({{9}}, 100000, 100000, 60), false, 0, 0,
                  kBad + "declare une taille impossible: 100000 x 100000, plus de 2147483647 pixels"},
        ImageCase{"46340 x 46340 in 60 bytes", damagedImage({{9}}, 46340, 46340, 60), false, 0, 0,
                  kBad + "est tronquee: le fichier a 60 octets, ses lignes en demandent 6442186854"},
        ImageCase{"width 0", damagedImage(kSquare, 0, 2, 70), false, 0, 0,
                  kBad + "declare une taille impossible: 0 x 2"},
        ImageCase{"height 0", damagedImage(kSquare, 2, 0, 70), false, 0, 0,
                  kBad + "declare une taille impossible: 2 x 0"},
        ImageCase{"negative height: top row first", damagedImage(kSquare, 2, -2, 70), true, 3, 4, ""},
        ImageCase{"one byte short of the pixels", damagedImage(kFourWide, 4, 2, 77), false, 0, 0,
                  kBad + "est tronquee: le fichier a 77 octets, ses lignes en demandent 78"},
        ImageCase{"last row's padding missing", damagedImage(kThreeWide, 3, 2, 75), true, 1, 3, ""},
        ImageCase{"padding and a pixel byte missing", damagedImage(kThreeWide, 3, 2, 74), false, 0, 0,
                  kBad + "est tronquee: le fichier a 74 octets, ses lignes en demandent 75"},
        ImageCase{"a device that never ends", std::nullopt, false, 0, 0,
                  "L image /dev/zero n est pas un bitmap: elle ne commence pas par BM", "/dev/zero"},
        ImageCase{"the working folder", std::nullopt, false, 0, 0,
                  "Impossible d ouvrir l image .: Is a directory", "."},
        ImageCase{"run-length, 8 bits",
                  variant(kSquare, {.name = "rle8", .bitsPerPixel = 8, .compression = 1}), true, 1, 2, ""},
        ImageCase{"124-byte header, top row first",
                  variant(kSquare, {.name = "v5", .headerSize = 124, .topDown = true}), true, 1, 2, ""},
        ImageCase{"unknown header size", patched(test::classImageBytes(kSquare), 14, 64), false, 0, 0,
                  kBad + "n est pas un bitmap: en-tete d information de 64 octets, taille inconnue"},
        ImageCase{"two planes", patched(test::classImageBytes(kSquare), 26, 2, 2), false, 0, 0,
                  kBad + "n est pas un bitmap: 2 plans au lieu de 1"},
        ImageCase{"64 bits", patched(test::classImageBytes(kSquare), 28, 64, 2), false, 0, 0,
                  kBad + "a une profondeur non prise en charge: 64 bits par pixel"},
        ImageCase{"JPEG inside", patched(patched(test::classImageBytes(kSquare), 30, 4), 28, 0, 2), false, 0,
                  0, kBad + "a une compression non prise en charge: JPEG (code 4)"},
        ImageCase{"PNG inside", patched(test::classImageBytes(kSquare), 30, 5), false, 0, 0,
                  kBad + "a une compression non prise en charge: PNG (code 5)"},
        ImageCase{"RLE24", patched(test::classImageBytes(kSquare), 30, 4), false, 0, 0,
                  kBad + "a une compression non prise en charge: RLE24 ou JPEG (code 4)"},
        ImageCase{"RLE8 with 24 bits", patched(test::classImageBytes(kSquare), 30, 1), false, 0, 0,
                  kBad + "a une compression non prise en charge: RLE8 avec 24 bits par pixel"},
        ImageCase{
            "masks with 24 bits", patched(test::classImageBytes(kSquare), 30, 3), false, 0, 0,
            kBad +
                "a une compression non prise en charge: masques de couleurs (code 3) avec 24 bits par pixel"},
        ImageCase{"run-length, top row first",
                  variant(kSquare, {.name = "rle8", .bitsPerPixel = 8, .compression = 1, .topDown = true}),
                  false, 0, 0,
                  kBad + "a une compression non prise en charge: RLE8 avec la ligne du haut en premier "
                         "(hauteur negative)"},
        ImageCase{"17 colours in 4 bits",
                  variant(kSquare, {.name = "p4", .bitsPerPixel = 4, .coloursUsed = 17}), false, 0, 0,
                  kBad + "est endommagee: la palette annonce 17 couleurs, plus que les 16 possibles avec 4 "
                         "bits par pixel"},
        ImageCase{"palette cut short",
                  cut(variant(kSquare, {.name = "core8", .headerSize = 12, .bitsPerPixel = 8}), 126), false,
                  0, 0, kBad + "est tronquee: la palette depasse la fin du fichier (126 octets)"},
        ImageCase{"pixels beyond the file", patched(test::classImageBytes(kSquare), 10, 1000), false, 0, 0,
                  kBad + "est tronquee: ses pixels commenceraient a l octet 1000, le fichier n en a que 70"},
        ImageCase{"masks cut short",
                  cut(variant(kSquare, {.name = "m16",
                                        .bitsPerPixel = 16,
                                        .compression = 3,
                                        .masks = {0xF800, 0x07E0, 0x001F}}),
                      60),
                  false, 0, 0, kBad + "est tronquee: le fichier s arrete dans ses masques de couleurs"},
        ImageCase{"header cut short", cut(variant(kSquare, {.name = "v5", .headerSize = 124}), 100), false, 0,
                  0, kBad + "est tronquee: le fichier s arrete dans ses en-tetes (100 octets)"},
        ImageCase{"colour beyond the palette",
                  variant(test::kFourTonePicture, {.name = "p8", .bitsPerPixel = 8, .coloursUsed = 2}), false,
                  0, 0, kBad + "est endommagee: un pixel designe la couleur 3 d une palette de 2 couleurs"},
        ImageCase{"run past its padded row", withStream({5, 0, 0, 1}), false, 0, 0,
                  kBad + "est endommagee: une sequence RLE depasse la fin de sa ligne"},
        ImageCase{"run past the picture", withStream({0, 0, 0, 0, 1, 0, 0, 1}), false, 0, 0,
                  kBad + "est endommagee: une sequence RLE depasse le haut de l image"},
        ImageCase{"run-length stream without its end", withStream({2, 0}), false, 0, 0,
                  kBad + "est tronquee: le flux RLE s arrete avant son code de fin"},
        ImageCase{"40000 x 40000 skipped by run-length",
                  patched(patched(withStream({0, 1}), 18, 40000), 22, 40000), false, 0, 0,
                  kBad + "est trop grande pour la memoire disponible: 40000 x 40000 pixels"}));

struct DescriptorCase {
  const char* what;
  const char* text;
  bool accepted;
  std::vector<float> cluster1;  // descriptors of the clusters 1 and 2
  std::vector<float> cluster2;
  std::string refusal = "";  // the line on the error stream for a refused file
};

class BadDescriptors : public BadInput, public testing::WithParamInterface<DescriptorCase> {};

// "nan", "inf" and 1e39 are not numbers to formatted float extraction (the
// last one overflows), so reading stops at them.
TEST_P(BadDescriptors, AreRefusedWithNoClusterTouchedOrHandOutWhatWasRead) {
  const DescriptorCase& c = GetParam();
  ASSERT_TRUE(test::writeTextFile("bad.txt", c.text));
  const Snapshot before = snapshotOf(root_.path());

  const Outcome outcome = run("img.bmp bad.txt\n");
  expectStopped(outcome,
                kToneZero + (c.accepted ? "" : "Le fichier de descripteurs bad.txt " + c.refusal + "\n"));
  EXPECT_EQ(outcome.out, c.accepted ? kOpened + kEpsilonQuestion : kImageOpened + kDescriptorPrompt)
      << c.what;
  EXPECT_EQ(snapshotOf(root_.path()), before) << c.what;
  EXPECT_TRUE(segmenter_.clusterAt(0).descriptors().empty()) << c.what;
  EXPECT_EQ(segmenter_.clusterAt(1).descriptors(), c.cluster1) << c.what;
  EXPECT_EQ(segmenter_.clusterAt(2).descriptors(), c.cluster2) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadDescriptors,
    testing::Values(
        DescriptorCase{"empty", "", false, {}, {}, "ne contient aucun nombre"},
        DescriptorCase{"blanks only", " \n\t\n", false, {}, {}, "ne contient aucun nombre"},
        DescriptorCase{"N only", "2\n", false, {}, {}, "ne contient que le nombre de blocs (2)"},
        DescriptorCase{"N = 0", "0 1 2 3\n", false, {}, {}, "annonce 0 bloc pour 3 valeurs"},
        DescriptorCase{"runs out early",
                       "2 0.5 0.5 0.5\n",
                       false,
                       {},
                       {},
                       "contient 3 valeurs apres le nombre de blocs, il en faut 4 (2 "
                       "classes a partir du ton 1, 2 chacune)"},
        DescriptorCase{"a word first", "two 1 2\n", false, {}, {}, "ne contient aucun nombre"},
        DescriptorCase{"a word cuts it short",
                       "2 1 x 2\n",
                       false,
                       {},
                       {},
                       "contient 1 valeur apres le nombre de blocs, il en faut 2 (2 "
                       "classes a partir du ton 1, 1 chacune)"},
        DescriptorCase{"a word after enough", "2 1 2 x 3\n", true, {1}, {2}},
        DescriptorCase{"nan first", "nan 1 2\n", false, {}, {}, "ne contient aucun nombre"},
        DescriptorCase{
            "nan as a value", "2 nan 1 2\n", false, {}, {}, "ne contient que le nombre de blocs (2)"},
        DescriptorCase{"nan after enough", "2 1 2 nan 4\n", true, {1}, {2}},
        DescriptorCase{"inf first", "inf 1 2\n", false, {}, {}, "ne contient aucun nombre"},
        DescriptorCase{"inf after enough", "2 1 2 inf 4\n", true, {1}, {2}},
        DescriptorCase{"1e39 first", "1e39 1 2\n", false, {}, {}, "ne contient aucun nombre"},
        DescriptorCase{
            "1e39 as a value", "1 1e39 2\n", false, {}, {}, "ne contient que le nombre de blocs (1)"},
        DescriptorCase{"1e39 after enough", "2 1 2 1e39 4\n", true, {1}, {2}},
        DescriptorCase{"a tiny N",
                       "1e-30 1 2\n",
                       false,
                       {},
                       {},
                       "contient 2 valeurs apres le nombre de blocs, il en faut 4e+30 (2 classes a "
                       "partir du ton 1, 2e+30 chacune)"}));

struct AnswerCase {
  const char* what;
  std::string answers;  // typed after "img.bmp d.txt"
  int status;
  std::string expectedOut;  // after the two files are opened; for status 0, up to "DCC OK"
  float epsilon;
  int nbPixMin;
  std::string refusals = "";  // the lines on the error stream, after the tone 0 warning
};

class BadAnswers : public BadInput, public testing::WithParamInterface<AnswerCase> {};

// A run that stops writes nothing at all; a run that completes writes only
// origine.bmp and the report folder.
TEST_P(BadAnswers, AreAskedAgainAndEndOfInputStopsWithoutWriting) {
  const AnswerCase& c = GetParam();
  const Snapshot before = snapshotOf(root_.path());
  const Outcome outcome = run("img.bmp d.txt " + c.answers);
  if (c.status == 1) {
    expectStopped(outcome, kToneZero + c.refusals);
    EXPECT_EQ(outcome.out, kOpened + c.expectedOut) << c.what;
    EXPECT_EQ(snapshotOf(root_.path()), before) << c.what;
  } else {
    EXPECT_EQ(outcome.status, 0) << c.what;
    EXPECT_EQ(outcome.err, kToneZero + c.refusals + "Rapport: C:/img.bmp_0.5_5_2/index.html\n") << c.what;
    EXPECT_EQ(outcome.out.substr(0, outcome.out.find("DCC OK\n")), kOpened + c.expectedOut) << c.what;
    const std::string report = "work/C:/img.bmp_0.5_5_2/";
    Snapshot after = snapshotOf(root_.path());
    EXPECT_EQ(after.erase("work/origine.bmp"), 1u) << c.what;
    for (const char* made :
         {"index.html", "CSS/style.css", "logo.jpg", "origine.bmp", "img.bmp", "resultat.bmp"}) {
      EXPECT_EQ(after.erase(report + made), 1u) << c.what << ": " << made;
    }
    EXPECT_EQ(after, before) << c.what;
  }
  EXPECT_EQ(segmenter_.epsilon(), c.epsilon) << c.what;
  EXPECT_EQ(segmenter_.nbPixMin(), c.nbPixMin) << c.what;
}

const std::string kLongWord(100000, 'a');
const std::string kLongAnswer(2000, 'a');
const std::string kLongNumber(5000, '9');
const std::string kUpToCount = kEpsilonQuestion + kNbPixMinQuestion + "DCC OK\n" + kCountPrompt;
const std::string kShownA = "\"" + std::string(40, 'a') + "...\"";

INSTANTIATE_TEST_SUITE_P(
    Answers, BadAnswers,
    testing::Values(
        AnswerCase{
            "letters at yes/no", "x y n n", 1, kEpsilonQuestion + kEpsilonQuestion + kUpToCount, 0.5f, 5,
            "Reponse \"x\" refusee: tapez o, oui, n ou non\nReponse \"y\" refusee: tapez o, oui, n ou non\n"},
        AnswerCase{"empty lines everywhere", "\n\n\nn\n\n\r\n\nn\n\n\n", 1, kUpToCount, 0.5f, 5},
        AnswerCase{"3abc at yes/no: refused whole", "3abc n n", 1, kEpsilonQuestion + kUpToCount, 0.5f, 5,
                   "Reponse \"3abc\" refusee: tapez o, oui, n ou non\n"},
        AnswerCase{"3abc for Epsilon: refused whole", "o 3abc 0.25 n", 1,
                   kEpsilonQuestion + kEpsilonPrompt + kEpsilonPrompt + kNbPixMinQuestion + "DCC OK\n" +
                       kCountPrompt,
                   0.25f, 5, "\"3abc\" n est pas un nombre\n"},
        AnswerCase{"3abc for NbPixMin: refused whole", "n o 3abc", 1,
                   kEpsilonQuestion + kNbPixMinQuestion + kNbPixMinPrompt + kNbPixMinPrompt, 0.5f, 5,
                   "\"3abc\" n est pas un nombre entier\n"},
        AnswerCase{"very long word for Epsilon", "o " + kLongWord + " 1 n", 1,
                   kEpsilonQuestion + kEpsilonPrompt + kEpsilonPrompt + kNbPixMinQuestion + "DCC OK\n" +
                       kCountPrompt,
                   1.0f, 5, kShownA + " n est pas un nombre\n"},
        AnswerCase{"very long number for NbPixMin", "n o " + kLongNumber + " 0", 1,
                   kEpsilonQuestion + kNbPixMinQuestion + kNbPixMinPrompt + kNbPixMinPrompt + "DCC OK\n" +
                       kCountPrompt,
                   0.5f, 0,
                   "Valeur \"" + std::string(40, '9') + "...\" hors de l intervalle [0, 2147483647]\n"},
        AnswerCase{"very long word at yes/no", kLongAnswer + " n n", 1, kEpsilonQuestion + kUpToCount, 0.5f,
                   5, "Reponse " + kShownA + " refusee: tapez o, oui, n ou non\n"},
        AnswerCase{"end at the Epsilon question", "", 1, kEpsilonQuestion, 0.5f, 5},
        AnswerCase{"end at the Epsilon value", "o", 1, kEpsilonQuestion + kEpsilonPrompt, 0.5f, 5},
        AnswerCase{"end after a refused Epsilon", "o 2", 1,
                   kEpsilonQuestion + kEpsilonPrompt + kEpsilonPrompt, 2.0f, 5,
                   "Valeur \"2\" hors de l intervalle [0, 1]\n"},
        AnswerCase{"1e is not a number", "o 1e", 1, kEpsilonQuestion + kEpsilonPrompt + kEpsilonPrompt, 0.5f,
                   5, "\"1e\" n est pas un nombre\n"},
        AnswerCase{"end at the NbPixMin question", "n", 1, kEpsilonQuestion + kNbPixMinQuestion, 0.5f, 5},
        AnswerCase{"end at the NbPixMin value", "n o", 1,
                   kEpsilonQuestion + kNbPixMinQuestion + kNbPixMinPrompt, 0.5f, 5},
        AnswerCase{"end at the region count", "n n", 1, kUpToCount, 0.5f, 5},
        AnswerCase{"end after a refused count", "n n 4 x", 1, kUpToCount + kCountPrompt + kCountPrompt, 0.5f,
                   5, "Valeur \"4\" hors de l intervalle [1, 3]\n\"x\" n est pas un nombre entier\n"},
        AnswerCase{"letters, then a count", "n n x 2", 0, kEpsilonQuestion + kNbPixMinQuestion, 0.5f, 5,
                   "\"x\" n est pas un nombre entier\n"},
        AnswerCase{"2abc as the count: refused whole", "n n 2abc", 1, kUpToCount + kCountPrompt, 0.5f, 5,
                   "\"2abc\" n est pas un nombre entier\n"},
        AnswerCase{"whole words", "oui .5 non 2", 0, kEpsilonQuestion + kEpsilonPrompt + kNbPixMinQuestion,
                   0.5f, 5}));

TEST_F(BadInput, EndOfInputAtTheFilePromptsStopsWithoutWriting) {
  const Snapshot before = snapshotOf(root_.path());
  for (const auto& [input, expected] :
       std::vector<std::pair<std::string, std::string>>{{"", kImagePrompt},
                                                        {"  \n\n", kImagePrompt},
                                                        {"img.bmp", kImageOpened},
                                                        {"img.bmp \n", kImageOpened}}) {
    Segmenter segmenter;
    std::istringstream in(input);
    std::ostringstream out, err;
    EXPECT_EQ(runDialogue(segmenter, in, out, err), 1) << input;
    EXPECT_EQ(out.str(), expected) << input;
    EXPECT_FALSE(err.str().empty()) << input;
  }
  EXPECT_EQ(snapshotOf(root_.path()), before);
}

TEST_F(BadInput, AVeryLongFileNameBringsThePromptBack) {
  const Outcome outcome = run(std::string(5000, 'n') + " img.bmp");
  expectStopped(outcome, "Impossible d ouvrir l image " + std::string(5000, 'n') + ": File name too long\n" +
                             kToneZero);
  EXPECT_EQ(outcome.out, kImagePrompt + kImageOpened);
}

struct NameCase {
  const char* name;       // as given to openImage; the image is stored under it
  const char* folder;     // the report folder under work/C:/
  const char* pageName;   // the name on the page's "Nom: " line
  const char* pageImage;  // the page's image cell
};

class HostileName : public BadInput, public testing::WithParamInterface<NameCase> {};

// The whole analysis through the Segmenter's operations, so that the name can
// hold blanks. No command interpreter may see the name: none of the names
// below may create a file named pwned, and the files of the run are exactly
// origine.bmp and the report folder's six.
TEST_P(HostileName, ReachesTheFileSystemOnlyAsANameAndIsEscapedOnThePage) {
  const NameCase& c = GetParam();
  ASSERT_TRUE(test::writeClassImage(c.name, {{1, 1}, {2, 1}}));
  const Snapshot before = snapshotOf(root_.path());

  analyse(c.name, 1);

  Snapshot after = snapshotOf(root_.path());
  const std::string report = std::string("work/C:/") + c.folder + "/";
  for (const std::string& made :
       {std::string("work/origine.bmp"), report + "index.html", report + "CSS/style.css", report + "logo.jpg",
        report + "origine.bmp", report + c.name, report + "resultat.bmp"}) {
    EXPECT_EQ(after.count(made), 1u) << c.name << ": " << made;
    if (made != report + "index.html") after.erase(made);
  }
  const std::string page = textOf(after[report + "index.html"]);
  after.erase(report + "index.html");
  EXPECT_EQ(after, before) << c.name;
  EXPECT_NE(page.find(std::string("\t\t\t\t\tNom: ") + c.pageName + "<br>\n"), std::string::npos) << page;
  EXPECT_NE(page.find(std::string("\t\t\t\t\t<td><img src=") + c.pageImage + " width=200></td>\n"),
            std::string::npos)
      << page;
}

INSTANTIATE_TEST_SUITE_P(
    Names, HostileName,
    testing::Values(
        NameCase{"x;touch pwned", "x;touch pwned_0.5_5_1", "x;touch pwned", "x;touch%20pwned"},
        NameCase{"a|touch pwned", "a|touch pwned_0.5_5_1", "a|touch pwned", "a|touch%20pwned"},
        NameCase{"$(touch pwned)", "$(touch pwned)_0.5_5_1", "$(touch pwned)", "$(touch%20pwned)"},
        NameCase{"`touch pwned`", "`touch pwned`_0.5_5_1", "`touch pwned`", "`touch%20pwned`"},
        NameCase{"it's \"q\".bmp", "it's \"q\".bmp_0.5_5_1", "it&#39;s &quot;q&quot;.bmp",
                 "it&#39;s%20&quot;q&quot;.bmp"},
        NameCase{"a<b&c>pwned", "a<b&c>pwned_0.5_5_1", "a&lt;b&amp;c&gt;pwned", "a&lt;b&amp;c&gt;pwned"},
        NameCase{"x onerror=alert(1)", "x onerror=alert(1)_0.5_5_1", "x onerror=alert(1)",
                 "x%20onerror=alert(1)"},
        NameCase{"100%.bmp", "100%.bmp_0.5_5_1", "100%.bmp", "100%.bmp"},
        NameCase{"a\tb.bmp", "a\tb.bmp_0.5_5_1", "a\tb.bmp", "a%09b.bmp"}));

// A name that climbs out of the working folder reads the image there, but the
// report folder stays under work/C:/ and nothing is written above work/.
TEST_F(BadInput, NameAboveTheWorkingFolderKeepsTheReportInside) {
  ASSERT_TRUE(test::writeClassImage(root_.file("up .bmp"), {{1, 2}}));
  const Snapshot before = snapshotOf(root_.path());

  analyse("../up .bmp", 2);

  Snapshot after = snapshotOf(root_.path());
  const std::string report = "work/C:/up .bmp_0.5_5_2/";
  for (const char* made :
       {"index.html", "CSS/style.css", "logo.jpg", "origine.bmp", "up .bmp", "resultat.bmp"}) {
    EXPECT_EQ(after.erase(report + made), 1u) << made;
  }
  EXPECT_EQ(after.erase("work/origine.bmp"), 1u);
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace quarvel
