#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "model/segmenter.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace quarvel {
namespace {

using Blocks = std::map<double, std::vector<float>>;

struct HandOutCase {
  const char* what;
  const char* fileText;  // null: no file at all
  std::vector<double> clusterKeys;
  bool accepted;
  Blocks expected;  // clusters not listed receive nothing
  DescriptorRefusal refusal = DescriptorRefusal::None;
};

class DescriptorHandOut : public testing::TestWithParam<HandOutCase> {};

TEST_P(DescriptorHandOut, GivesEachClusterFromKeyOneItsBlockOrTouchesNothing) {
  const HandOutCase& c = GetParam();
  test::TempFolder folder;
  if (c.fileText != nullptr) {
    ASSERT_TRUE(test::writeTextFile(folder.file("d.txt"), c.fileText));
  }
  Segmenter segmenter;
  for (double key : c.clusterKeys) segmenter.insertCluster(key, Cluster(key));

  DescriptorFailure failure;
  EXPECT_EQ(segmenter.openDescriptors(folder.file("d.txt"), failure), c.accepted) << c.what;
  EXPECT_EQ(failure.refusal, c.refusal) << c.what;
  for (double key : c.clusterKeys) {
    const auto it = c.expected.find(key);
    const std::vector<float> expected = it == c.expected.end() ? std::vector<float>{} : it->second;
    EXPECT_EQ(segmenter.clusterAt(key).descriptors(), expected) << c.what << ", cluster " << key;
  }
}

const char* const kThreeBlocks = "3\n0.1 0.2\n0.3 0.4\n0.5 0.6\n";

INSTANTIATE_TEST_SUITE_P(
    Files, DescriptorHandOut,
    testing::Values(
        HandOutCase{"values 1 to 3",
                    kThreeBlocks,
                    {1, 2, 3},
                    true,
                    {{1, {0.1f, 0.2f}}, {2, {0.3f, 0.4f}}, {3, {0.5f, 0.6f}}}},
        HandOutCase{"tone 0 takes none",
                    kThreeBlocks,
                    {0, 1, 2, 3},
                    true,
                    {{1, {0.1f, 0.2f}}, {2, {0.3f, 0.4f}}, {3, {0.5f, 0.6f}}}},
        HandOutCase{"matched by rank",
                    kThreeBlocks,
                    {1, 5, 9},
                    true,
                    {{1, {0.1f, 0.2f}}, {5, {0.3f, 0.4f}}, {9, {0.5f, 0.6f}}}},
        HandOutCase{"left-overs ignored", kThreeBlocks, {1}, true, {{1, {0.1f, 0.2f}}}},
        HandOutCase{"block 2.5 rounds up to 3", "2 1 2 3 4 5", {1}, true, {{1, {1, 2, 3}}}},
        HandOutCase{"reading stops at a word", "2 1 2 x 3 4", {1, 2}, true, {{1, {1}}, {2, {2}}}},
        HandOutCase{"no key 1", "2 1 2 3 4", {0, 2}, true, {}},
        HandOutCase{"negative block count", "-2 1 2 3 4", {1, 2}, true, {}},
        HandOutCase{"block count alone", "4", {1}, false, {}, DescriptorRefusal::OnlyCount},
        HandOutCase{"block count 0", "0 1 2", {1}, false, {}, DescriptorRefusal::ZeroBlocks},
        HandOutCase{
            "values run out", "2 0.1 0.2 0.3 0.4", {1, 2, 3}, false, {}, DescriptorRefusal::TooFewValues},
        HandOutCase{
            "rounded-up blocks run out", "2 1 2 3 4 5", {1, 2}, false, {}, DescriptorRefusal::TooFewValues},
        HandOutCase{"starts with a word", "x 1 2", {1}, false, {}, DescriptorRefusal::NoNumber},
        HandOutCase{"empty file", "", {1}, false, {}, DescriptorRefusal::NoNumber},
        HandOutCase{"no file", nullptr, {1}, false, {}, DescriptorRefusal::CannotOpen}));

}  // namespace
}  // namespace quarvel
