#include "ZarMathPlane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

void ExpectNormal(const ZarMathPlane& iPlane, double iX, double iY, double iZ) {
  EXPECT_NEAR(iPlane.GetNormal().x, iX, 1e-15);
  EXPECT_NEAR(iPlane.GetNormal().y, iY, 1e-15);
  EXPECT_NEAR(iPlane.GetNormal().z, iZ, 1e-15);
}

TEST(ZarMathPlane, KeepsItsOriginAndAUnitNormalAtTheEdgesOfTheDoubleRange) {
  ExpectNormal(ZarMathPlane(), 0, 0, 1);
  const ZarMathPlane plane(ZarMathPoint(1, 2, 3), ZarMathVector(0, 3, 4));
  EXPECT_EQ(plane.GetOrigin(), ZarMathPoint(1, 2, 3));
  ExpectNormal(plane, 0, 0.6, 0.8);
  ExpectNormal(ZarMathPlane(ZarMathPoint(), ZarMathVector(3e200, 4e200, 0)), 0.6, 0.8, 0);
  ExpectNormal(ZarMathPlane(ZarMathPoint(), ZarMathVector(0, -3e-200, 4e-200)), 0, -0.6, 0.8);
  // Normals without a direction leave the default normal.
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  for (const ZarMathVector& normal : {ZarMathVector(0, 0, 0), ZarMathVector(nan, 1, 0), ZarMathVector(inf, 0, 0)})
    ExpectNormal(ZarMathPlane(ZarMathPoint(0, 0, 5), normal), 0, 0, 1);
}

TEST(ZarMathPlane, DistanceIsUnsignedAndProjectionIsTheFootOfThePerpendicular) {
  const ZarMathPlane plane(ZarMathPoint(1, 1, 1), ZarMathVector(1, 1, 0));
  EXPECT_NEAR(plane.DistanceTo(ZarMathPoint(2, 2, 7)), std::sqrt(2.0), 1e-15);
  EXPECT_NEAR(plane.DistanceTo(ZarMathPoint(0, 0, -7)), std::sqrt(2.0), 1e-15);
  EXPECT_EQ(plane.DistanceTo(ZarMathPoint(2, 0, 42)), 0.0);

  ZarMathPoint foot;
  ZarMathPlane(ZarMathPoint(0, 0, 2), ZarMathVector(0, 0, -7)).Project(ZarMathPoint(3, 4, 10), foot);
  EXPECT_EQ(foot, ZarMathPoint(3, 4, 2));
  const ZarMathPlane tilted(ZarMathPoint(1, 0, 0), ZarMathVector(1, 1, 1));
  const ZarMathPoint p(5, -2, 3);
  tilted.Project(p, foot);
  EXPECT_NEAR(tilted.DistanceTo(foot), 0.0, 1e-14);
  const ZarMathVector along(foot, p);
  EXPECT_NEAR(std::fabs(along.Dot(tilted.GetNormal())), tilted.DistanceTo(p), 1e-14);  // perpendicular
  EXPECT_NEAR(along.Norm(), tilted.DistanceTo(p), 1e-14);
}

}  // namespace
