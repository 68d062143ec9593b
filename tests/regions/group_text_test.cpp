#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

#include "printed.h"
#include "regions/cluster.h"
#include "regions/region.h"

namespace quarvel {
namespace {

using test::printed;

TEST(GroupText, RegionsAndClusters) {
  EXPECT_EQ(printed(Region()), "Region No: 0\n0 pixels.\n0 descripteurs:\n\n\nContour:\n\n");

  Region region(2);
  region.setDescriptors({0.5f, 0.25f});
  for (const Point& p : {Point(0, 1), Point(2, 0), Point(1, 0)}) region.addPixel(p);
  region.addContourPoint(1, 0);
  region.addContourPoint(0, 1);
  EXPECT_EQ(printed(region),
            "Region No: 2\n3 pixels.\n2 descripteurs:\n0.5 0.25 \n(1,0) (2,0) \n(0,1) \nContour:\n(1,0) "
            "\n(0,1) \n");
  EXPECT_EQ(printed(static_cast<const PixelGroup&>(region)), "2\n");

  Cluster cluster(200);
  cluster.addDescriptor(1.0f);
  cluster.addDescriptor(0.5f);
  for (const Point& p : {Point(0, 2), Point(0, 0), Point(1, 0), Point(1, 0)}) cluster.addPixel(p);
  EXPECT_EQ(printed(cluster),
            "Region No: 200\n3 pixels.\n2 descripteurs:\n1 - 0.5 - \n(0,0) (1,0) \n(0,2) \n");
  EXPECT_EQ(printed(Cluster(7)), "Region No: 7\n0 pixels.\n0 descripteurs:\n\n\n");
}

template <typename Group>
class ReportedInsertion : public testing::Test {};

using PixelGroups = testing::Types<Region, Cluster>;
TYPED_TEST_SUITE(ReportedInsertion, PixelGroups);

TYPED_TEST(ReportedInsertion, ReportsNewAndRepeatedPositions) {
  TypeParam group;
  std::ostringstream captured;
  std::streambuf* const saved = std::cout.rdbuf(captured.rdbuf());
  group.insertPixelReported(Point(4, 2));
  group.insertPixelReported(Point(4, 2));
  std::cout.rdbuf(saved);
  EXPECT_EQ(captured.str(), "insetion de:(4,2)\nerreur d'insertion\n");
  EXPECT_EQ(static_cast<double>(group.pixelCount()), 1.0);
}

}  // namespace
}  // namespace quarvel
