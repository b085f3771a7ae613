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
  unsigned char multiplicities[3] = {};
  ZarMathVector vectors[3];
  unsigned char ok = 9;

  explicit Solution(const Rows& a) {
    ZarMath3x3Matrix(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8])
        .EigenVectors(count, values, multiplicities, vectors, ok);
  }
};

// Singular and asymmetric matrices come here from the library's own solver, whose tests cover
// them: here, the complex pairs it leaves out and the input it refuses.
TEST(ZarMath3x3Matrix, ComplexPairsAreLeftOutAndNonFiniteInputFails) {
  // A quarter turn about z scaled by 2: eigenvalues ±2i and the real 5 along z.
  const Solution turn(Rows{0, -2, 0, 2, 0, 0, 0, 0, 5});
  ASSERT_EQ(turn.ok, 1);
  ASSERT_EQ(turn.count, 1);
  EXPECT_NEAR(turn.values[0], 5.0, 1e-14);
  EXPECT_NEAR(std::fabs(turn.vectors[0].z), 1.0, 1e-14);
  EXPECT_EQ(turn.values[1], 7.0);  // the slots beyond the count are untouched

  for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    const Solution failed(Rows{1, 0, 0, 0, 1, 0, 0, 0, bad});
    EXPECT_EQ(failed.ok, 0);
    EXPECT_EQ(failed.count, 0);
    EXPECT_EQ(failed.values[0], 7.0);
  }
}

}  // namespace
