#include "ZarMathLine.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ZarMathLine, ProjectsOntoTheInfiniteLineWhateverTheDirectionLength) {
  ZarMathPoint foot;
  const ZarMathLine vertical(ZarMathPoint(1, 1, 0), ZarMathVector(0, 0, 10));
  vertical.Project(ZarMathPoint(4, 5, -7), foot);  // behind the origin: the line goes on
  EXPECT_EQ(foot, ZarMathPoint(1, 1, -7));
  EXPECT_EQ(vertical.DistanceTo(ZarMathPoint(4, 5, -7)), 5.0);

  const ZarMathLine oblique(ZarMathPoint(0, 0, 0), ZarMathVector(1, 1, 0));
  oblique.Project(ZarMathPoint(2, 0, 3), foot);
  EXPECT_NEAR(foot.x, 1.0, 1e-15);
  EXPECT_NEAR(foot.y, 1.0, 1e-15);
  EXPECT_EQ(foot.z, 0.0);
  EXPECT_NEAR(oblique.DistanceTo(ZarMathPoint(2, 0, 3)), std::sqrt(11.0), 1e-15);

  // A null direction reduces the line to its origin.
  const ZarMathLine point(ZarMathPoint(1, 2, 3), ZarMathVector(0, 0, 0));
  point.Project(ZarMathPoint(4, 6, 3), foot);
  EXPECT_EQ(foot, ZarMathPoint(1, 2, 3));
  EXPECT_EQ(point.DistanceTo(ZarMathPoint(4, 6, 3)), 5.0);
}

}  // namespace
