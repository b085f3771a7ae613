#include "Geosig3x3Matrix.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "SceneBuilder.h"

namespace {

using Rows = std::array<double, 9>;
using Vectors = std::array<ZarMathVectorf, 3>;

Geosig3x3Matrix Make(const Rows& iRows) {
  Geosig3x3Matrix m;
  for (int k = 0; k < 9; ++k) m.SetCoeff(k / 3, k % 3, iRows[k]);
  return m;
}

// The class has no reader: a coefficient is moved to (0, 0) by selection matrices, the rest
// of the diagonal filled with 1, and read exactly as the determinant.
Rows Read(const Geosig3x3Matrix& iM) {
  Rows rows;
  for (int k = 0; k < 9; ++k) {
    Geosig3x3Matrix pickRow, pickCol, ones, m(iM);
    pickRow.SetCoeff(0, k / 3, 1);
    pickCol.SetCoeff(k % 3, 0, 1);
    ones.SetCoeff(1, 1, 1);
    ones.SetCoeff(2, 2, 1);
    Geosig3x3Matrix isolated = pickRow * m * pickCol;
    isolated += ones;
    rows[k] = isolated.Determinant();
  }
  return rows;
}

// The largest coefficient of |A − B|, of |A| by default.
double MaxAbsDifference(const Rows& iA, const Rows& iB = Rows{}) {
  double largest = 0.0;
  for (int k = 0; k < 9; ++k) largest = std::max(largest, std::fabs(iA[k] - iB[k]));
  return largest;
}

const Rows identity = {1, 0, 0, 0, 1, 0, 0, 0, 1};

struct Eigen3 {
  float values[3] = {-7, -7, -7};
  Vectors vectors = {ZarMathVectorf(-7, -7, -7), ZarMathVectorf(-7, -7, -7), ZarMathVectorf(-7, -7, -7)};
  unsigned char status = 9;
  explicit Eigen3(const Rows& iRows) { Make(iRows).SymDefEigen(values, vectors.data(), status); }
};

// |A·v − λ·v| with the single-precision results taken as they are.
double Residual(const Rows& a, float iValue, const ZarMathVectorf& iVector) {
  const double v[3] = {iVector.x, iVector.y, iVector.z};
  double sum = 0.0;
  for (int i = 0; i < 3; ++i)
    sum += std::pow(a[3 * i] * v[0] + a[3 * i + 1] * v[1] + a[3 * i + 2] * v[2] - iValue * v[i], 2);
  return std::sqrt(sum);
}

// Decreasing values, unit orthogonal vectors, and each residual within iResidual times the
// largest coefficient.
void ExpectEigenDecomposition(const Rows& a, const Eigen3& iE, double iResidual) {
  ASSERT_EQ(iE.status, 1);
  EXPECT_GE(iE.values[0], iE.values[1]);
  EXPECT_GE(iE.values[1], iE.values[2]);
  for (int k = 0; k < 3; ++k) {
    EXPECT_LT(Residual(a, iE.values[k], iE.vectors[k]), iResidual * MaxAbsDifference(a)) << "pair " << k;
    EXPECT_NEAR(iE.vectors[k].Norm(), 1.0f, 1e-6f);
    for (int l = k + 1; l < 3; ++l) EXPECT_NEAR(iE.vectors[k].Dot(iE.vectors[l]), 0.0f, 1e-6f);
  }
}

// R·diag(λ)·Rᵀ for a random rotation R.
Rows WithEigenvalues(std::mt19937& ioRandom, double iL0, double iL1, double iL2) {
  std::normal_distribution<double> normal;
  ZarMathVector axis(normal(ioRandom), normal(ioRandom), normal(ioRandom));
  axis.Normalize();
  const Zar4x4Matrix r = scene::Rotation(axis.x, axis.y, axis.z, 3 * normal(ioRandom));
  const double l[3] = {iL0, iL1, iL2};
  Rows a{};
  for (int k = 0; k < 27; ++k) a[k / 3] += r.GetElement(k / 9, k % 3) * l[k % 3] * r.GetElement(k / 3 % 3, k % 3);
  return a;
}

TEST(Geosig3x3Matrix, AlgebraDeterminantAndLargestCoefficient) {
  Geosig3x3Matrix a = Make({1, 2, 0, 0, 1, 0, 0, 0, 1}), b = Make({1, 0, 0, 3, 1, 0, 0, 0, 2});
  EXPECT_EQ(Read(a * b), (Rows{7, 2, 0, 3, 1, 0, 0, 0, 2}));  // this matrix on the left
  a += b;
  a.Transpose();
  a.ScalarMultiplication(-0.5);
  EXPECT_EQ(Read(a), (Rows{-1, -1.5, 0, -1, -1, 0, 0, 0, -1.5}));

  EXPECT_EQ(Make({2, 0, 1, 1, 3, 2, 1, 1, 4}).Determinant(), 18.0);
  // Signed comparison: the largest entry, not the largest magnitude.
  EXPECT_EQ(Make({-9, -3, -0.5, -4, -8, -2, -7, -6, -5}).InfiniteNorm(), -0.5);
  EXPECT_EQ(Make({-9, 2, 0, 0, 1, 0, 0, 3, -5}).InfiniteNorm(), 3.0);
}

TEST(Geosig3x3Matrix, SymmetryIsStrictAndScalesWithTheLargestCoefficient) {
  EXPECT_EQ(Make(identity).IsSymmetric(), 1);
  EXPECT_EQ(Make({}).IsSymmetric(), 0);
  EXPECT_EQ(Make({-1, -2, -3, -2, -1, -4, -3, -4, -1}).IsSymmetric(), 0);
  EXPECT_EQ(Make({1, 1e-13, 0, 0, 1, 0, 0, 0, 1}).IsSymmetric(), 0);  // a difference equal to the tolerance
  // With a largest coefficient of 100 the tolerance is 1e-11.
  EXPECT_EQ(Make({100, 1, 0, 1 + 0.5e-11, 1, 0, 0, 0, 1}).IsSymmetric(), 1);
  EXPECT_EQ(Make({100, 1, 0, 1 + 2e-11, 1, 0, 0, 0, 1}).IsSymmetric(), 0);
}

TEST(Geosig3x3Matrix, QRFactorsRandomMatricesAndLeavesTriangularOnesAsTheyAre) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> coefficient(-1.0, 1.0), exponent(-6.0, 6.0);
  for (int trial = 0; trial < 200; ++trial) {
    const double scale = std::pow(10.0, exponent(random));
    Rows rows;
    for (double& value : rows) value = scale * coefficient(random);
    Geosig3x3Matrix a = Make(rows), q, r;
    a.QR(q, r);
    EXPECT_EQ(Read(a), rows) << "the input is only read";
    Geosig3x3Matrix qt(q);
    qt.Transpose();
    EXPECT_LT(MaxAbsDifference(Read(q * qt), identity), 4e-15);
    EXPECT_LT(MaxAbsDifference(Read(q * r), rows), 8e-15 * scale);
    const Rows upper = Read(r);
    // The reflections are taken without the sign choice that avoids cancellation, so the
    // coefficients left below the diagonal are larger than rounding alone would leave.
    EXPECT_LT(std::max({std::fabs(upper[3]), std::fabs(upper[6]), std::fabs(upper[7])}), 1e-13 * scale);
    EXPECT_GE(upper[0], 0.0);
  }
  // Below-diagonal values within the tolerance (largest coefficient × 1e-13) are kept, not zeroed.
  for (const Rows& rows : {Rows{3, 0, 0, 0, -2, 0, 0, 0, 5}, Rows{5, 0, 0, 2e-13, 1, 0, -4e-13, 3e-13, 1}}) {
    Geosig3x3Matrix q, r;
    Make(rows).QR(q, r);
    EXPECT_EQ(Read(q), identity);
    EXPECT_EQ(Read(r), rows);
  }
  // Only the second reflection runs: its diagonal coefficient comes out non-negative.
  Geosig3x3Matrix q, r;
  Make({2, 1, 1, 0, -3, 1, 0, 4, 1}).QR(q, r);
  const Rows upper = Read(r);
  EXPECT_EQ(upper[0], 2.0);
  EXPECT_NEAR(upper[4], 5.0, 1e-15);
  EXPECT_NEAR(upper[7], 0.0, 1e-15);
}

TEST(Geosig3x3Matrix, SymDefEigenOfKnownMatricesAndOrderOfEqualValues) {
  const ZarMathVectorf x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
  const struct {
    Rows rows;
    std::array<float, 3> values;
    Vectors vectors;
  } cases[] = {{{1, 0, 0, 0, 3, 0, 0, 0, 2}, {3, 2, 1}, {y, z, x}},
               // Off-diagonal terms below 1e-6 of the largest coefficient: converged as it stands.
               {{3, 2e-6, 0, 2e-6, 2, -2e-6, 0, -2e-6, 1}, {3, 2, 1}, {x, y, z}},
               // Equal values keep the order of their indices.
               {identity, {1, 1, 1}, {x, y, z}},
               {{2, 0, 0, 0, 2, 0, 0, 0, 3}, {3, 2, 2}, {z, x, y}},
               {{3, 0, 0, 0, 2, 0, 0, 0, 3}, {3, 3, 2}, {x, z, y}}};
  for (const auto& c : cases) {
    const Eigen3 d(c.rows);
    ASSERT_EQ(d.status, 1);
    EXPECT_EQ((std::array<float, 3>{d.values[0], d.values[1], d.values[2]}), c.values);
    EXPECT_EQ(d.vectors, c.vectors);
  }
}

TEST(Geosig3x3Matrix, SymDefEigenOfRandomSeparatedRepeatedNearlyRepeatedAndNearlyPlanarCases) {
  // Relative gaps of at least 1 %: the iteration converges, leaving off-diagonal terms below
  // 1e-6 of the largest coefficient, and single precision adds a few 1e-7.
  std::mt19937 random(2024);
  std::uniform_real_distribution<double> unit(0.0, 1.0), exponent(-8.0, 8.0);
  for (int trial = 0; trial < 300; ++trial) {
    const double scale = std::pow(10.0, exponent(random));
    const double l2 = 1e-4 + unit(random), l1 = l2 * (1.01 + unit(random)), l0 = l1 * (1.01 + unit(random));
    const Rows a = WithEigenvalues(random, scale * l1, scale * l2, scale * l0);
    const Eigen3 e(a);
    ExpectEigenDecomposition(a, e, 2e-6);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(e.values[k], scale * (k ? k == 1 ? l1 : l2 : l0), 1e-6 * scale * l0);
  }
  // Within a pair of relative gap g the coupling left by the iteration is at most g/2 of the
  // pair's value, however far from separated the 10000 steps left it: the vectors are then
  // exact for a matrix that close to A, as good as such ill-conditioned vectors can be.
  for (double gap : {0.0, 1e-12, 1e-9, 1e-6, 1e-5, 1e-4, 3e-4, 1e-3, 1e-2}) {
    for (int trial = 0; trial < 10; ++trial) {
      const Rows high = WithEigenvalues(random, 2.0, 2.0 * (1 + gap), 0.5);
      ExpectEigenDecomposition(high, Eigen3(high), 2e-6 + 0.5 * gap * 2.0 / MaxAbsDifference(high));
      const Rows low = WithEigenvalues(random, 3.0, 1.0 + gap, 1.0);
      ExpectEigenDecomposition(low, Eigen3(low), 2e-6 + 0.5 * gap * 1.0 / MaxAbsDifference(low));
    }
  }
  // Nearly planar covariances, as of a 4 x 2 rectangle lifted off its plane by 1e-4: the
  // smallest value, some 3e-9, still comes with the plane's normal.
  for (int trial = 0; trial < 20; ++trial) {
    const Rows planar = WithEigenvalues(random, 4.0 / 3, 1.0 / 3, 3e-9);
    const Eigen3 e(planar);
    ExpectEigenDecomposition(planar, e, 2e-6);
    EXPECT_NEAR(e.values[2], 3e-9, 1e-9);
  }
}

TEST(Geosig3x3Matrix, SingularAsymmetricOrNegativeMatricesGoToThePlatformSolver) {
  // Values of equal magnitude and opposite sign stall the unshifted iteration: only the
  // platform solver finds 1, 0 and −1 for the singular one. The asymmetric one has 3, 1 and −1;
  // the one without a positive coefficient is never symmetric by the relative test.
  const std::pair<Rows, std::array<double, 3>> cases[] = {
      {{0, 1, 0, 1, 0, 0, 0, 0, 0}, {1, 0, -1}},
      {{0, 2, 0, 0.5, 0, 0, 0, 0, 3}, {3, 1, -1}},
      {{-4, -1, -0.5, -1, -3, -0.2, -0.5, -0.2, -1}, {-0.9181, -2.3876, -4.6943}}};
  for (const auto& [rows, values] : cases) {
    const Eigen3 e(rows);
    ASSERT_EQ(e.status, 1);
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(e.values[k], values[k], 1e-4) << k;
      EXPECT_LT(Residual(rows, e.values[k], e.vectors[k]), 1e-6) << k;
    }
  }
}

TEST(Geosig3x3Matrix, ComplexEigenvaluesFailAndTheIterationStopsAfterTenThousandSteps) {
  const Eigen3 complex({0, -1, 0, 1, 0, 0, 0, 0, 1});
  EXPECT_EQ(complex.status, 0);
  EXPECT_EQ(complex.values[0], -7.0f);
  EXPECT_EQ(complex.vectors[2], ZarMathVectorf(-7, -7, -7));

  // Each step maps this matrix to itself and multiplies the rotations by the swap of x and y,
  // so the vectors tell the parity of the step count: after an even number they are the axes.
  const Eigen3 e({0, 1, 0, 1, 0, 0, 0, 0, 2});
  ASSERT_EQ(e.status, 1);
  EXPECT_EQ(e.values[0], 2.0f);
  EXPECT_EQ(e.values[1] + e.values[2], 0.0f);
  EXPECT_EQ(e.vectors, (Vectors{ZarMathVectorf(0, 0, 1), ZarMathVectorf(1, 0, 0), ZarMathVectorf(0, 1, 0)}));
}

TEST(Geosig3x3MatrixDeathTest, IndicesOutsideTheMatrixAreFatal) {
  const auto report = testing::HasSubstr(
      "AssertionFailed:0<=iRow && iRow<3 && 0<=iCol && iCol<3 at "
      "GeosigGeoServices\\GeosigRenders.m\\src\\Geosig3x3Matrix line 79");
  Geosig3x3Matrix m;
  for (const auto& [row, col] : {std::pair<int, int>{3, 0}, {-1, 0}, {0, 3}, {2, -1}})
    EXPECT_DEATH(m.SetCoeff(row, col, 1.0), report) << row << ", " << col;
}

}  // namespace
