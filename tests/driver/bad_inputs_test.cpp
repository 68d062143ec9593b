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
#include "model/segmenter.h"
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

  // A stopped run says so in one line on the error stream.
  static void expectStopped(const Outcome& outcome) {
    EXPECT_EQ(outcome.status, 1);
    ASSERT_FALSE(outcome.err.empty());
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
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
  expectStopped(outcome);
  EXPECT_EQ(outcome.out, c.accepted ? kImageOpened : kImagePrompt + kImagePrompt) << c.what;
  EXPECT_LT(largestRequest.load(), std::size_t{1} << 20) << c.what;
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
}

// Grids used below: 2 x 2 {1 2 / 3 4} is stored 3 4, then 1 2; 3 x 2
// {1 2 3 / 4 5 6} has 3 padding bytes a row (78 bytes); 4 x 2 has none (78).
const test::ToneGrid kSquare = {{1, 2}, {3, 4}};
const test::ToneGrid kThreeWide = {{1, 2, 3}, {4, 5, 6}};
const test::ToneGrid kFourWide = {{1, 2, 3, 4}, {5, 6, 7, 8}};

INSTANTIATE_TEST_SUITE_P(
    Files, BadImage,
    testing::Values(
        ImageCase{"missing file", std::nullopt, false, 0, 0}, ImageCase{"empty file", Bytes{}, false, 0, 0},
        ImageCase{"header only", damagedImage({{9}}, 1, 1, 54), false, 0, 0},
        ImageCase{"100000 x 100000 in 60 bytes", damagedImage({{9}}, 100000, 100000, 60), false, 0, 0},
        ImageCase{"46340 x 46340 in 60 bytes", damagedImage({{9}}, 46340, 46340, 60), false, 0, 0},
        ImageCase{"width 0", damagedImage(kSquare, 0, 2, 70), false, 0, 0},
        ImageCase{"height 0", damagedImage(kSquare, 2, 0, 70), false, 0, 0},
        ImageCase{"negative height: top row first", damagedImage(kSquare, 2, -2, 70), true, 3, 4},
        ImageCase{"one byte short of the pixels", damagedImage(kFourWide, 4, 2, 77), false, 0, 0},
        ImageCase{"last row's padding missing", damagedImage(kThreeWide, 3, 2, 75), true, 1, 3},
        ImageCase{"padding and a pixel byte missing", damagedImage(kThreeWide, 3, 2, 74), false, 0, 0},
        ImageCase{"a device that never ends", std::nullopt, false, 0, 0, "/dev/zero"},
        ImageCase{"the working folder", std::nullopt, false, 0, 0, "."}));

struct DescriptorCase {
  const char* what;
  const char* text;
  bool accepted;
  std::vector<float> cluster1;  // descriptors of the clusters 1 and 2
  std::vector<float> cluster2;
};

class BadDescriptors : public BadInput, public testing::WithParamInterface<DescriptorCase> {};

// "nan", "inf" and 1e39 are not numbers to formatted float extraction (the
// last one overflows), so reading stops at them.
TEST_P(BadDescriptors, AreRefusedWithNoClusterTouchedOrHandOutWhatWasRead) {
  const DescriptorCase& c = GetParam();
  ASSERT_TRUE(test::writeTextFile("bad.txt", c.text));
  const Snapshot before = snapshotOf(root_.path());

  const Outcome outcome = run("img.bmp bad.txt\n");
  expectStopped(outcome);
  EXPECT_EQ(outcome.out, c.accepted ? kOpened + kEpsilonQuestion : kImageOpened + kDescriptorPrompt)
      << c.what;
  EXPECT_EQ(snapshotOf(root_.path()), before) << c.what;
  EXPECT_TRUE(segmenter_.clusterAt(0).descriptors().empty()) << c.what;
  EXPECT_EQ(segmenter_.clusterAt(1).descriptors(), c.cluster1) << c.what;
  EXPECT_EQ(segmenter_.clusterAt(2).descriptors(), c.cluster2) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Files, BadDescriptors,
                         testing::Values(DescriptorCase{"empty", "", false, {}, {}},
                                         DescriptorCase{"blanks only", " \n\t\n", false, {}, {}},
                                         DescriptorCase{"N only", "2\n", false, {}, {}},
                                         DescriptorCase{"N = 0", "0 1 2 3\n", false, {}, {}},
                                         DescriptorCase{"runs out early", "2 0.5 0.5 0.5\n", false, {}, {}},
                                         DescriptorCase{"a word first", "two 1 2\n", false, {}, {}},
                                         DescriptorCase{"a word cuts it short", "2 1 x 2\n", false, {}, {}},
                                         DescriptorCase{"a word after enough", "2 1 2 x 3\n", true, {1}, {2}},
                                         DescriptorCase{"nan first", "nan 1 2\n", false, {}, {}},
                                         DescriptorCase{"nan as a value", "2 nan 1 2\n", false, {}, {}},
                                         DescriptorCase{"nan after enough", "2 1 2 nan 4\n", true, {1}, {2}},
                                         DescriptorCase{"inf first", "inf 1 2\n", false, {}, {}},
                                         DescriptorCase{"inf after enough", "2 1 2 inf 4\n", true, {1}, {2}},
                                         DescriptorCase{"1e39 first", "1e39 1 2\n", false, {}, {}},
                                         DescriptorCase{"1e39 as a value", "1 1e39 2\n", false, {}, {}},
                                         DescriptorCase{
                                             "1e39 after enough", "2 1 2 1e39 4\n", true, {1}, {2}}));

struct AnswerCase {
  const char* what;
  std::string answers;  // typed after "img.bmp d.txt"
  int status;
  std::string expectedOut;  // after the two files are opened; for status 0, up to "DCC OK"
  float epsilon;
  int nbPixMin;
};

class BadAnswers : public BadInput, public testing::WithParamInterface<AnswerCase> {};

// A run that stops writes nothing at all; a run that completes writes only
// origine.bmp and the report folder.
TEST_P(BadAnswers, AreAskedAgainAndEndOfInputStopsWithoutWriting) {
  const AnswerCase& c = GetParam();
  const Snapshot before = snapshotOf(root_.path());
  const Outcome outcome = run("img.bmp d.txt " + c.answers);
  if (c.status == 1) {
    expectStopped(outcome);
    EXPECT_EQ(outcome.out, kOpened + c.expectedOut) << c.what;
    EXPECT_EQ(snapshotOf(root_.path()), before) << c.what;
  } else {
    EXPECT_EQ(outcome.status, 0) << c.what;
    EXPECT_EQ(outcome.err, "Rapport: C:/img.bmp_0.5_5_2/index.html\n") << c.what;
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

INSTANTIATE_TEST_SUITE_P(
    Answers, BadAnswers,
    testing::Values(
        AnswerCase{"letters at yes/no", "x y n n", 1, kEpsilonQuestion + kEpsilonQuestion + kUpToCount, 0.5f,
                   5},
        AnswerCase{"empty lines everywhere", "\n\n\nn\n\n\r\n\nn\n\n\n", 1, kUpToCount, 0.5f, 5},
        AnswerCase{"3abc at yes/no: one refusal a character", "3abc n n", 1,
                   kEpsilonQuestion + kEpsilonQuestion + kEpsilonQuestion + kEpsilonQuestion + kUpToCount,
                   0.5f, 5},
        AnswerCase{"3abc for Epsilon: 3 refused, then abc", "o 3abc 0.25 n", 1,
                   kEpsilonQuestion + kEpsilonPrompt + kEpsilonPrompt + kEpsilonPrompt + kNbPixMinQuestion +
                       "DCC OK\n" + kCountPrompt,
                   0.25f, 5},
        AnswerCase{
            "3abc for NbPixMin: 3 kept, abc refused as the count", "n o 3abc", 1,
            kEpsilonQuestion + kNbPixMinQuestion + kNbPixMinPrompt + "DCC OK\n" + kCountPrompt + kCountPrompt,
            0.5f, 3},
        AnswerCase{"very long word for Epsilon", "o " + kLongWord + " 1 n", 1,
                   kEpsilonQuestion + kEpsilonPrompt + kEpsilonPrompt + kNbPixMinQuestion + "DCC OK\n" +
                       kCountPrompt,
                   1.0f, 5},
        AnswerCase{"very long number for NbPixMin", "n o " + kLongNumber + " 0", 1,
                   kEpsilonQuestion + kNbPixMinQuestion + kNbPixMinPrompt + kNbPixMinPrompt + "DCC OK\n" +
                       kCountPrompt,
                   0.5f, 0},
        AnswerCase{"very long word at yes/no", kLongAnswer + " n n", 1,
                   [] {
                     std::string out;
                     for (std::size_t i = 0; i < kLongAnswer.size(); ++i) out += kEpsilonQuestion;
                     return out + kUpToCount;
                   }(),
                   0.5f, 5},
        AnswerCase{"end at the Epsilon question", "", 1, kEpsilonQuestion, 0.5f, 5},
        AnswerCase{"end at the Epsilon value", "o", 1, kEpsilonQuestion + kEpsilonPrompt, 0.5f, 5},
        AnswerCase{"end after a refused Epsilon", "o 2", 1,
                   kEpsilonQuestion + kEpsilonPrompt + kEpsilonPrompt, 2.0f, 5},
        AnswerCase{"end inside a number", "o 1e", 1, kEpsilonQuestion + kEpsilonPrompt, 0.5f, 5},
        AnswerCase{"end at the NbPixMin question", "n", 1, kEpsilonQuestion + kNbPixMinQuestion, 0.5f, 5},
        AnswerCase{"end at the NbPixMin value", "n o", 1,
                   kEpsilonQuestion + kNbPixMinQuestion + kNbPixMinPrompt, 0.5f, 5},
        AnswerCase{"end at the region count", "n n", 1, kUpToCount, 0.5f, 5},
        AnswerCase{"end after a refused count", "n n 4 x", 1, kUpToCount + kCountPrompt + kCountPrompt, 0.5f,
                   5},
        AnswerCase{"letters, then a count", "n n x 2", 0, kEpsilonQuestion + kNbPixMinQuestion, 0.5f, 5},
        AnswerCase{"2abc as the count: abc never read", "n n 2abc", 0, kEpsilonQuestion + kNbPixMinQuestion,
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
  expectStopped(outcome);
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
