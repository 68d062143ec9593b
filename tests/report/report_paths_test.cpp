#include "report/report_paths.h"

#include <gtest/gtest.h>

#include <string>

namespace quarvel {
namespace {

struct FolderCase {
  const char* prefix;
  const char* imageName;
  float epsilon;
  char separator;
  const char* directoryName;
  const char* folder;
};

class ReportFolderTest : public testing::TestWithParam<FolderCase> {};

TEST_P(ReportFolderTest, NamesTheRunAndStaysInsideThePrefixFolder) {
  const FolderCase& c = GetParam();
  const std::string directoryName = reportDirectory(c.imageName, c.epsilon, 5, 12);
  EXPECT_EQ(directoryName, c.directoryName);
  EXPECT_EQ(reportFolderPath(c.prefix, directoryName, c.separator), c.folder);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ReportFolderTest,
    testing::Values(
        FolderCase{"C:", "photo.bmp", 0.5f, '/', "photo.bmp_0.5_5_12", "C:/photo.bmp_0.5_5_12"},
        FolderCase{"C:", "photo.bmp", 1.0f, '/', "photo.bmp_1_5_12", "C:/photo.bmp_1_5_12"},
        FolderCase{"", "photo.bmp", 0.25f, '/', "photo.bmp_0.25_5_12", "photo.bmp_0.25_5_12"},
        FolderCase{"C:", "../../x.bmp", 0.5f, '/', "../../x.bmp_0.5_5_12", "C:/x.bmp_0.5_5_12"},
        FolderCase{"C:", "/data/x.bmp", 0.5f, '/', "/data/x.bmp_0.5_5_12", "C:/data/x.bmp_0.5_5_12"},
        FolderCase{"", "a//b/./../../../c.bmp", 0.5f, '/', "a//b/./../../../c.bmp_0.5_5_12",
                   "c.bmp_0.5_5_12"},
        // The suffix lands on the last part, which is then an ordinary name.
        FolderCase{"C:", "pics/..", 0.5f, '/', "pics/.._0.5_5_12", "C:/pics/.._0.5_5_12"},
        // A backslash is a separator of the prefix, but part of the image name.
        FolderCase{"C:\\out", "a\\b.bmp", 0.5f, '/', "a\\b.bmp_0.5_5_12", "C:/out/a\\b.bmp_0.5_5_12"},
        FolderCase{"C:", "..\\x.bmp", 0.5f, '\\', "..\\x.bmp_0.5_5_12", "C:\\x.bmp_0.5_5_12"},
        FolderCase{"C:", "a.bmp;$(rm -rf x)", 0.5f, '/', "a.bmp;$(rm -rf x)_0.5_5_12",
                   "C:/a.bmp;$(rm -rf x)_0.5_5_12"}));

struct ComponentCase {
  const char* path;
  char separator;
  const char* expected;
};

class LastComponentTest : public testing::TestWithParam<ComponentCase> {};

TEST_P(LastComponentTest, IsTheFileNameOfThePath) {
  EXPECT_EQ(lastComponent(GetParam().path, GetParam().separator), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, LastComponentTest,
                         testing::Values(ComponentCase{"photo.bmp", '/', "photo.bmp"},
                                         ComponentCase{"/data/x.bmp", '/', "x.bmp"},
                                         ComponentCase{"pics/", '/', ""},
                                         ComponentCase{"a\\b.bmp", '/', "a\\b.bmp"},
                                         ComponentCase{"a/b\\c.bmp", '\\', "c.bmp"}));

}  // namespace
}  // namespace quarvel
