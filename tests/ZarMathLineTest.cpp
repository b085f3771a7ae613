#include "ZarMathLine.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ZarMathLine, ProjectsOntoTheInfiniteLineWhateverTheDirectionLength) {
  const struct {
    ZarMathLine line;
    ZarMathPoint point, foot;
    double distance;
  } cases[] = {{ZarMathLine(ZarMathPoint(1, 1, 0), ZarMathVector(0, 0, 10)), {4, 5, -7}, {1, 1, -7}, 5},  // behind
               {ZarMathLine(ZarMathPoint(0, 0, 0), ZarMathVector(1, 1, 0)), {2, 0, 3}, {1, 1, 0}, std::sqrt(11.0)},
               // A null direction reduces the line to its origin.
               {ZarMathLine(ZarMathPoint(1, 2, 3), ZarMathVector(0, 0, 0)), {4, 6, 3}, {1, 2, 3}, 5}};
  for (const auto& c : cases) {
    ZarMathPoint foot;
    c.line.Project(c.point, foot);
    EXPECT_LT(ZarMathVector(foot, c.foot).Norm(), 1e-15) << c.point.x;
    EXPECT_NEAR(c.line.DistanceTo(c.point), c.distance, 1e-15) << c.point.x;
  }
}

}  // namespace
