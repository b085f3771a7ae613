#include "ZarMathLine.h"

#include <gtest/gtest.h>

#include <cmath>

#include "SceneBuilder.h"

namespace {

TEST(ZarMathLine, ProjectsOntoTheInfiniteLineWhateverTheDirectionLength) {
  const ZarMathLine line(ZarMathPoint(1, 1, 0), ZarMathVector(0, 0, 10));
  ZarMathPoint foot;
  line.Project(ZarMathPoint(4, 5, -7), foot);  // behind the origin: the line goes on
  EXPECT_EQ(foot, ZarMathPoint(1, 1, -7));
  EXPECT_EQ(line.DistanceTo(ZarMathPoint(4, 5, -7)), 5.0);
  EXPECT_EQ(line.GetDirection().z, 1.0);
}

TEST(ZarMathLine, ObliqueLineGivesTheFootOfThePerpendicular) {
  const ZarMathLine line(ZarMathPoint(0, 0, 0), ZarMathVector(1, 1, 0));
  const ZarMathPoint p(2, 0, 3);
  ZarMathPoint foot;
  line.Project(p, foot);
  EXPECT_NEAR(foot.x, 1.0, 1e-15);
  EXPECT_NEAR(foot.y, 1.0, 1e-15);
  EXPECT_EQ(foot.z, 0.0);
  EXPECT_NEAR(line.DistanceTo(p), std::sqrt(11.0), 1e-15);
  // The foot lies on the line and the offset is orthogonal to it.
  EXPECT_NEAR((p - foot).Dot(line.GetDirection()), 0.0, 1e-15);
  EXPECT_NEAR(line.DistanceTo(foot), 0.0, 1e-15);
}

TEST(ZarMathLine, ANullDirectionReducesTheLineToItsOrigin) {
  const ZarMathLine line(ZarMathPoint(1, 2, 3), ZarMathVector(0, 0, 0));
  ZarMathPoint foot;
  line.Project(ZarMathPoint(4, 6, 3), foot);
  EXPECT_EQ(foot, ZarMathPoint(1, 2, 3));
  EXPECT_EQ(line.DistanceTo(ZarMathPoint(4, 6, 3)), 5.0);
}

TEST(ZarMathLine, CopiesAreIndependent) {
  ZarMathLine original(ZarMathPoint(0, 0, 0), ZarMathVector(1, 0, 0));
  const ZarMathLine copy(original);
  original = ZarMathLine(ZarMathPoint(0, 0, 0), ZarMathVector(0, 1, 0));
  EXPECT_EQ(copy.DistanceTo(ZarMathPoint(3, 2, 0)), 2.0);
  EXPECT_EQ(original.DistanceTo(ZarMathPoint(3, 2, 0)), 3.0);
}

TEST(ZarMathLine, HeapLinesComeFromThePlatformAllocator) {
  const ZarMathLine line(ZarMathPoint(0, 0, 0), ZarMathVector(1, 0, 0));
  ZarMathLine* copy = new ZarMathLine(line);
  ASSERT_NE(copy, nullptr);
  delete copy;
  ScopedAllocationFailure noMemory(0);
  EXPECT_EQ(new ZarMathLine(line), nullptr);
}

}  // namespace
