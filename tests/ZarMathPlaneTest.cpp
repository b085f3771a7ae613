#include "ZarMathPlane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(ZarMathPlane, UnitNormalAtTheEdgesOfTheDoubleRangeUnsignedDistanceAndPerpendicularFoot) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  // Normals without a direction leave the default normal.
  const std::pair<ZarMathVector, ZarMathVector> normals[] = {
      {{0, 3, 4}, {0, 0.6, 0.8}}, {{3e200, 4e200, 0}, {0.6, 0.8, 0}}, {{0, -3e-200, 4e-200}, {0, -0.6, 0.8}},
      {{0, 0, 0}, {0, 0, 1}},     {{nan, 1, 0}, {0, 0, 1}},           {{inf, 0, 0}, {0, 0, 1}}};
  for (const auto& [given, unit] : normals)
    EXPECT_LT((ZarMathPlane(ZarMathPoint(1, 2, 3), given).GetNormal() - unit).Norm(), 1e-15) << given.x;
  EXPECT_EQ(ZarMathPlane(ZarMathPoint(1, 2, 3), ZarMathVector(0, 3, 4)).GetOrigin(), ZarMathPoint(1, 2, 3));

  const ZarMathPlane plane(ZarMathPoint(1, 1, 1), ZarMathVector(1, 1, 0));
  EXPECT_NEAR(plane.DistanceTo(ZarMathPoint(2, 2, 7)), std::sqrt(2.0), 1e-15);
  EXPECT_NEAR(plane.DistanceTo(ZarMathPoint(0, 0, -7)), std::sqrt(2.0), 1e-15);
  const ZarMathPlane tilted(ZarMathPoint(1, 0, 0), ZarMathVector(1, 1, 1));
  const ZarMathPoint p(5, -2, 3);
  ZarMathPoint foot;
  tilted.Project(p, foot);
  EXPECT_NEAR(tilted.DistanceTo(foot), 0.0, 1e-14);
  const ZarMathVector along(foot, p);
  EXPECT_NEAR(std::fabs(along.Dot(tilted.GetNormal())), tilted.DistanceTo(p), 1e-14);  // perpendicular
  EXPECT_NEAR(along.Norm(), tilted.DistanceTo(p), 1e-14);
}

}  // namespace
