#include "ZarMathPlane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(ZarMathPlane, DefaultIsTheXyPlaneThroughTheOrigin) {
  const ZarMathPlane plane;
  EXPECT_EQ(plane.GetOrigin(), ZarMathPoint(0, 0, 0));
  EXPECT_EQ(plane.GetNormal().z, 1.0);
  EXPECT_EQ(plane.GetNormal().x, 0.0);
  EXPECT_EQ(plane.GetNormal().y, 0.0);
  EXPECT_EQ(plane.DistanceTo(ZarMathPoint(3, -4, -2.5)), 2.5);
}

TEST(ZarMathPlane, KeepsItsOriginAndAUnitNormal) {
  const ZarMathPlane plane(ZarMathPoint(1, 2, 3), ZarMathVector(0, 3, 4));
  EXPECT_EQ(plane.GetOrigin(), ZarMathPoint(1, 2, 3));
  EXPECT_NEAR(plane.GetNormal().x, 0.0, 1e-15);
  EXPECT_NEAR(plane.GetNormal().y, 0.6, 1e-15);
  EXPECT_NEAR(plane.GetNormal().z, 0.8, 1e-15);
}

TEST(ZarMathPlane, NormalsAtTheEdgesOfTheDoubleRangeKeepTheirDirection) {
  const ZarMathPlane huge(ZarMathPoint(), ZarMathVector(3e200, 4e200, 0));
  EXPECT_NEAR(huge.GetNormal().x, 0.6, 1e-15);
  EXPECT_NEAR(huge.GetNormal().y, 0.8, 1e-15);
  const ZarMathPlane tiny(ZarMathPoint(), ZarMathVector(0, -3e-200, 4e-200));
  EXPECT_NEAR(tiny.GetNormal().y, -0.6, 1e-15);
  EXPECT_NEAR(tiny.GetNormal().z, 0.8, 1e-15);
}

TEST(ZarMathPlane, NormalsWithoutADirectionLeaveTheDefaultNormal) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const ZarMathVector& normal : {ZarMathVector(0, 0, 0), ZarMathVector(nan, 1, 0), ZarMathVector(inf, 0, 0)}) {
    const ZarMathPlane plane(ZarMathPoint(0, 0, 5), normal);
    EXPECT_EQ(plane.GetNormal().z, 1.0);
    EXPECT_EQ(plane.DistanceTo(ZarMathPoint(9, 9, 7)), 2.0);
  }
}

TEST(ZarMathPlane, DistanceIsTheSameOnBothSides) {
  const ZarMathPlane plane(ZarMathPoint(1, 1, 1), ZarMathVector(1, 1, 0));
  const double offset = std::sqrt(2.0);
  EXPECT_NEAR(plane.DistanceTo(ZarMathPoint(2, 2, 7)), offset, 1e-15);
  EXPECT_NEAR(plane.DistanceTo(ZarMathPoint(0, 0, -7)), offset, 1e-15);
  EXPECT_EQ(plane.DistanceTo(ZarMathPoint(2, 0, 42)), 0.0);
}

TEST(ZarMathPlane, ProjectionIsTheFootOfThePerpendicular) {
  const ZarMathPlane plane(ZarMathPoint(0, 0, 2), ZarMathVector(0, 0, -7));
  ZarMathPoint foot;
  plane.Project(ZarMathPoint(3, 4, 10), foot);
  EXPECT_EQ(foot, ZarMathPoint(3, 4, 2));

  const ZarMathPlane tilted(ZarMathPoint(1, 0, 0), ZarMathVector(1, 1, 1));
  const ZarMathPoint p(5, -2, 3);
  tilted.Project(p, foot);
  EXPECT_NEAR(tilted.DistanceTo(foot), 0.0, 1e-14);
  const ZarMathVector along(foot, p);
  EXPECT_NEAR(along.Norm(), tilted.DistanceTo(p), 1e-14);
  EXPECT_NEAR(std::fabs(along.Dot(tilted.GetNormal())), along.Norm(), 1e-14);  // perpendicular
}

}  // namespace
