#include "ZarMath3x3Matrix.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

namespace {

using Rows = std::array<double, 9>;

// The real eigenpairs of a matrix given row by row; the outputs start from marker values.
struct Solution {
  int count = -1;
  double values[3] = {7, 7, 7};
  unsigned char multiplicities[3] = {9, 9, 9};
  ZarMathVector vectors[3];
  unsigned char ok = 9;

  explicit Solution(const Rows& a) {
    ZarMath3x3Matrix(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8])
        .EigenVectors(count, values, multiplicities, vectors, ok);
  }
};

// Each pair found satisfies A·v = λ·v with a unit v.
void ExpectPairs(const Rows& a, const Solution& s, double iResidual) {
  for (int i = 0; i < s.count; ++i) {
    const ZarMathVector& v = s.vectors[i];
    const ZarMathVector av(a[0] * v.x + a[1] * v.y + a[2] * v.z, a[3] * v.x + a[4] * v.y + a[5] * v.z,
                           a[6] * v.x + a[7] * v.y + a[8] * v.z);
    EXPECT_LT((av - v * s.values[i]).Norm(), iResidual) << i;
    EXPECT_NEAR(v.Norm(), 1.0, 1e-15);
  }
}

// Singular and asymmetric matrices come here from the library's own solver, whose tests cover them.
TEST(ZarMath3x3Matrix, RepeatedValuesAreCounted) {
  // Rank one: the value 0 is double, its eigenspace the plane orthogonal to (1, 1, 1).
  const Rows ones = {1, 1, 1, 1, 1, 1, 1, 1, 1};
  const Solution s(ones);
  ASSERT_EQ(s.count, 3);
  ExpectPairs(ones, s, 1e-14);
  int zeros = 0;
  for (int i = 0; i < 3; ++i) {
    const bool isZero = std::fabs(s.values[i]) < 1e-14;
    zeros += isZero;
    EXPECT_EQ(s.multiplicities[i], isZero ? 2 : 1);
  }
  EXPECT_EQ(zeros, 2);
  const Solution zero(Rows{});
  for (int i = 0; i < 3; ++i) EXPECT_EQ(zero.multiplicities[i], 3);
}

TEST(ZarMath3x3Matrix, ComplexPairsAreLeftOutAndNonFiniteInputFails) {
  // A quarter turn about z scaled by 2: eigenvalues ±2i and the real 5 along z.
  const Solution s(Rows{0, -2, 0, 2, 0, 0, 0, 0, 5});
  ASSERT_EQ(s.ok, 1);
  ASSERT_EQ(s.count, 1);
  EXPECT_NEAR(s.values[0], 5.0, 1e-14);
  EXPECT_NEAR(std::fabs(s.vectors[0].z), 1.0, 1e-14);
  EXPECT_EQ(s.values[1], 7.0);  // the slots beyond the count are untouched

  for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    const Solution f(Rows{1, 0, 0, 0, 1, 0, 0, 0, bad});
    EXPECT_EQ(f.ok, 0);
    EXPECT_EQ(f.count, 0);
    EXPECT_EQ(f.values[0], 7.0);
  }
}

}  // namespace
