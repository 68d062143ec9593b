#include <gtest/gtest.h>

#include <sstream>

#include "printed.h"
#include "regions/pixel_record.h"

namespace quarvel {
namespace {

using test::printed;

PixelRecord recordOf(double tone, double regionNumber) {
  PixelRecord record;
  record.setTone(tone);
  record.setRegionNumber(regionNumber);
  return record;
}

TEST(PixelRecord, WritesThePresentValuesOnly) {
  PixelRecord record;
  EXPECT_EQ(printed(record), "");
  record.setRegionNumber(4);
  EXPECT_EQ(printed(record), "r:4");
  EXPECT_EQ(printed(recordOf(7.5, 2)), "t:7.5r:2");
  record.replaceRegionNumber(nullptr);
  record.setTone(200);
  EXPECT_EQ(printed(record), "t:200");
}

TEST(PixelRecord, OwnsItsValuesAlone) {
  PixelRecord record;
  record.setRegionNumber(5);
  LabelValue* const held = record.regionNumber();
  record.setRegionNumber(7);
  EXPECT_EQ(record.regionNumber(), held);
  EXPECT_EQ(held->value(), 7.0);

  const PixelRecord original = recordOf(12, 3);
  PixelRecord copy(original), assigned;
  assigned = original;
  EXPECT_NE(copy.tone(), original.tone());
  EXPECT_NE(assigned.regionNumber(), original.regionNumber());
  copy.setTone(40);
  assigned.setRegionNumber(9);
  EXPECT_EQ(printed(original), "t:12r:3");
  const PixelRecord& alias = assigned;
  assigned = alias;
  EXPECT_EQ(printed(assigned), "t:12r:9");
  assigned = PixelRecord();
  EXPECT_EQ(printed(assigned), "");
}

TEST(PixelRecord, ReplaceTakesNewValuesAndKeepsTheSameOne) {
  PixelRecord record = recordOf(12, 3);
  LabelValue* const held = record.tone();
  record.replaceTone(held);
  EXPECT_EQ(record.tone(), held);
  EXPECT_EQ(held->value(), 12.0);
  auto* const fresh = new LabelValue(4);
  record.replaceRegionNumber(fresh);
  record.replaceRegionNumber(fresh);
  EXPECT_EQ(record.regionNumber(), fresh);
  EXPECT_EQ(printed(record), "t:12r:4");
}

TEST(LabelValue, ReadsAndWritesWithTheStreamFormatAndKeepsItsValueOnABadRead) {
  EXPECT_EQ(printed(LabelValue(3.0)), "3");
  LabelValue value(1.0);
  std::istringstream in("2.5 oops");
  in >> value >> value;
  EXPECT_TRUE(in.fail());
  EXPECT_EQ(value.value(), 2.5);
}

}  // namespace
}  // namespace quarvel
