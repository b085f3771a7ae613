#include "ZarMathPlane.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(ZarMathPlane, UnitNormalAtTheEdgesOfTheDoubleRange) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  // Normals without a direction leave the default normal.
  const std::pair<ZarMathVector, ZarMathVector> normals[] = {
      {{0, 3, 4}, {0, 0.6, 0.8}}, {{3e200, 4e200, 0}, {0.6, 0.8, 0}}, {{0, -3e-200, 4e-200}, {0, -0.6, 0.8}},
      {{0, 0, 0}, {0, 0, 1}},     {{nan, 1, 0}, {0, 0, 1}},           {{inf, 0, 0}, {0, 0, 1}}};
  for (const auto& [given, unit] : normals)
    EXPECT_LT((ZarMathPlane(ZarMathPoint(1, 2, 3), given).GetNormal() - unit).Norm(), 1e-15) << given.x;
  EXPECT_EQ(ZarMathPlane(ZarMathPoint(1, 2, 3), ZarMathVector(0, 3, 4)).GetOrigin(), ZarMathPoint(1, 2, 3));
}

}  // namespace
