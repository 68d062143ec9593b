#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "model/segmenter.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace quarvel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using test::TempFolder;
using test::WorkingFolder;

const Bytes kLogo = {0xFF, 0xD8, 0xFF, 0xE0, 'l', 'o', 'g', 'o'};
const Bytes kOrigine = {'B', 'M', 1, 2, 3};

std::set<std::string> entriesOf(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

std::string readText(const fs::path& path) {
  const Bytes bytes = test::readBytes(path.string());
  return std::string(bytes.begin(), bytes.end());
}

// Runs the two outputs of the end of an analysis for an image stored in the
// working folder under the given name, as the dialogue does: the report with
// the prefix "C:", then the result picture into it.
void runOutputs(const std::string& imageName) {
  Segmenter segmenter;
  ASSERT_TRUE(segmenter.openImage(imageName));
  EXPECT_TRUE(segmenter.writeHtmlReport("C:"));
  EXPECT_TRUE(segmenter.writeResultBitmap("resultat.bmp", "C:"));
}

class ReportNameTest : public testing::TestWithParam<std::string> {};

// Names that a command interpreter would read as commands, redirections or
// quoting reach the filesystem only as names.
TEST_P(ReportNameTest, FillsTheFolderNamedAfterTheImageAndNothingElse) {
  const std::string name = GetParam();
  TempFolder folder;
  WorkingFolder inside(folder.path());
  ASSERT_TRUE(test::writeBytes("logo.jpg", kLogo));
  ASSERT_TRUE(test::writeBytes("origine.bmp", kOrigine));
  ASSERT_TRUE(test::writeClassImage(name, {{1, 2, 2}, {1, 1, 2}}));
  runOutputs(name);

  const fs::path report = fs::path("C:") / (name + "_0.5_5_5");
  EXPECT_EQ(entriesOf("."), (std::set<std::string>{"C:", "logo.jpg", "origine.bmp", name}));
  EXPECT_EQ(entriesOf("C:"), (std::set<std::string>{name + "_0.5_5_5"}));
  EXPECT_EQ(entriesOf(report),
            (std::set<std::string>{"CSS", "index.html", "logo.jpg", "origine.bmp", "resultat.bmp", name}));
  EXPECT_EQ(entriesOf(report / "CSS"), (std::set<std::string>{"style.css"}));
  EXPECT_EQ(test::readBytes((report / "logo.jpg").string()), kLogo);
  EXPECT_EQ(test::readBytes((report / "origine.bmp").string()), kOrigine);
  EXPECT_EQ(test::readBytes((report / name).string()), test::readBytes(name));
  EXPECT_EQ(test::readBytes((report / "resultat.bmp").string()).size(), test::readBytes(name).size());
  EXPECT_EQ(readText(report / "CSS" / "style.css").rfind("body {\n", 0), 0u);
  EXPECT_NE(readText(report / "index.html").find("<title>"), std::string::npos);
  // Names arrive in UTF-8 and the page says so.
  EXPECT_NE(readText(report / "index.html").find("content='text/html; charset=utf-8'"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Names, ReportNameTest,
                         testing::Values("photo.bmp", "a.bmp;touch pwned", "$(touch pwned).bmp",
                                         "`touch pwned`.bmp", "x.bmp|touch pwned&", "<b>'q\".bmp", "a b.bmp",
                                         "x.bmp>pwned", "chat_\xC3\xA9t\xC3\xA9.bmp"));

TEST(ReportFolderTest, NameWithUpwardPartsStaysInsideThePrefixFolder) {
  TempFolder folder;
  ASSERT_TRUE(test::writeClassImage(folder.file("up.bmp"), {{1, 2}, {2, 1}}));
  const fs::path work = fs::path(folder.path()) / "a" / "b";
  fs::create_directories(work);
  WorkingFolder inside(work.string());
  runOutputs("../../up.bmp");

  EXPECT_EQ(entriesOf(folder.path()), (std::set<std::string>{"a", "up.bmp"}));
  EXPECT_EQ(entriesOf(fs::path(folder.path()) / "a"), (std::set<std::string>{"b"}));
  const fs::path report = work / "C:" / "up.bmp_0.5_5_5";
  EXPECT_EQ(entriesOf(report), (std::set<std::string>{"CSS", "index.html", "resultat.bmp", "up.bmp"}));
  const std::string page = readText(report / "index.html");
  EXPECT_NE(page.find("  <title>../../up.bmp_0.5_5_5</title>\n"), std::string::npos);
  EXPECT_NE(page.find("\t\t\t\t\t<td><img src=up.bmp width=200></td>\n"), std::string::npos);
}

}  // namespace
}  // namespace quarvel
