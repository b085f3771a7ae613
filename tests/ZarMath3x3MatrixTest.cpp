#include "ZarMath3x3Matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct Solution {
  int count = -1;
  double values[3] = {7, 7, 7};
  unsigned char multiplicities[3] = {9, 9, 9};
  ZarMathVector vectors[3];
  unsigned char ok = 9;
};

Solution Solve(const ZarMath3x3Matrix& iMatrix) {
  Solution s;
  iMatrix.EigenVectors(s.count, s.values, s.multiplicities, s.vectors, s.ok);
  return s;
}

// |A·v − λ·v| for the matrix given row by row.
double Residual(const double (&a)[9], double iValue, const ZarMathVector& v) {
  const ZarMathVector av(a[0] * v.x + a[1] * v.y + a[2] * v.z, a[3] * v.x + a[4] * v.y + a[5] * v.z,
                         a[6] * v.x + a[7] * v.y + a[8] * v.z);
  return (av - v * iValue).Norm();
}

ZarMath3x3Matrix Make(const double (&a)[9]) {
  return ZarMath3x3Matrix(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
}

TEST(ZarMath3x3Matrix, SymmetricGivesThreeValuesWithOrthonormalVectors) {
  const double a[9] = {4, 1, 0.5, 1, 3, 0.2, 0.5, 0.2, 1};
  const Solution s = Solve(Make(a));
  ASSERT_EQ(s.ok, 1);
  ASSERT_EQ(s.count, 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_LT(Residual(a, s.values[i], s.vectors[i]), 1e-14);
    EXPECT_NEAR(s.vectors[i].Norm(), 1.0, 1e-15);
    EXPECT_EQ(s.multiplicities[i], 1);
    for (int j = i + 1; j < 3; ++j) EXPECT_NEAR(s.vectors[i].Dot(s.vectors[j]), 0.0, 1e-15);
  }
  EXPECT_NEAR(s.values[0] + s.values[1] + s.values[2], 8.0, 1e-14);
}

TEST(ZarMath3x3Matrix, RepeatedValuesAreCountedAndKeepOrthogonalVectors) {
  // Rank one: the value 0 is double, its eigenspace the plane orthogonal to (1, 1, 1).
  const double a[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
  const Solution s = Solve(Make(a));
  ASSERT_EQ(s.count, 3);
  int zeros = 0;
  for (int i = 0; i < 3; ++i) {
    EXPECT_LT(Residual(a, s.values[i], s.vectors[i]), 1e-14);
    const bool isZero = std::fabs(s.values[i]) < 1e-14;
    zeros += isZero;
    EXPECT_EQ(s.multiplicities[i], isZero ? 2 : 1);
  }
  EXPECT_EQ(zeros, 2);
  EXPECT_NEAR(s.vectors[0].Dot(s.vectors[1]), 0.0, 1e-15);

  const double zero[9] = {};
  const Solution z = Solve(Make(zero));
  ASSERT_EQ(z.count, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(z.multiplicities[i], 3);
}

TEST(ZarMath3x3Matrix, AsymmetricWithRealValuesUsesTheGeneralSolver) {
  // Eigenvalues 3, 1 and −1 of a matrix that is far from symmetric.
  const double a[9] = {0, 2, 0, 0.5, 0, 0, 1, 1, 3};
  const Solution s = Solve(Make(a));
  ASSERT_EQ(s.ok, 1);
  ASSERT_EQ(s.count, 3);
  double product = 1.0;
  for (int i = 0; i < 3; ++i) {
    EXPECT_LT(Residual(a, s.values[i], s.vectors[i]), 1e-13);
    EXPECT_NEAR(s.vectors[i].Norm(), 1.0, 1e-15);
    product *= s.values[i];
  }
  EXPECT_NEAR(product, -3.0, 1e-13);
}

TEST(ZarMath3x3Matrix, ComplexPairIsLeftOut) {
  // A quarter turn about z scaled by 2: eigenvalues ±2i and the real 5 along z.
  const double a[9] = {0, -2, 0, 2, 0, 0, 0, 0, 5};
  const Solution s = Solve(Make(a));
  ASSERT_EQ(s.ok, 1);
  ASSERT_EQ(s.count, 1);
  EXPECT_NEAR(s.values[0], 5.0, 1e-14);
  EXPECT_NEAR(std::fabs(s.vectors[0].z), 1.0, 1e-14);
  EXPECT_EQ(s.multiplicities[0], 1);
  EXPECT_EQ(s.values[1], 7.0);  // the slots beyond the count are untouched
}

TEST(ZarMath3x3Matrix, NonFiniteInputFailsAndLeavesOutputs) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double bad : {nan, std::numeric_limits<double>::infinity()}) {
    const Solution s = Solve(ZarMath3x3Matrix(1, 0, 0, 0, 1, 0, 0, 0, bad));
    EXPECT_EQ(s.ok, 0);
    EXPECT_EQ(s.count, 0);
    EXPECT_EQ(s.values[0], 7.0);
    EXPECT_EQ(s.multiplicities[0], 9);
  }
}

}  // namespace
