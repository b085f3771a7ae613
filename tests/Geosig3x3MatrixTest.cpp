#include "Geosig3x3Matrix.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

namespace {

using Rows = std::array<double, 9>;

Geosig3x3Matrix Make(const Rows& iRows) {
  Geosig3x3Matrix m;
  for (int k = 0; k < 9; ++k) m.SetCoeff(k / 3, k % 3, iRows[k]);
  return m;
}

// The class has no reader: a coefficient is moved to (0, 0) by selection matrices, the rest
// of the diagonal filled with 1, and read exactly as the determinant.
double Coeff(Geosig3x3Matrix iM, int iRow, int iCol) {
  Geosig3x3Matrix pickRow, pickCol, ones;
  pickRow.SetCoeff(0, iRow, 1);
  pickCol.SetCoeff(iCol, 0, 1);
  ones.SetCoeff(1, 1, 1);
  ones.SetCoeff(2, 2, 1);
  Geosig3x3Matrix isolated = pickRow * iM * pickCol;
  isolated += ones;
  return isolated.Determinant();
}

Rows Read(const Geosig3x3Matrix& iM) {
  Rows rows;
  for (int k = 0; k < 9; ++k) rows[k] = Coeff(iM, k / 3, k % 3);
  return rows;
}

double MaxAbs(const Rows& iRows) {
  double largest = 0.0;
  for (double value : iRows) largest = std::max(largest, std::fabs(value));
  return largest;
}

double MaxAbsDifference(const Rows& iA, const Rows& iB) {
  double largest = 0.0;
  for (int k = 0; k < 9; ++k) largest = std::max(largest, std::fabs(iA[k] - iB[k]));
  return largest;
}

const Rows identity = {1, 0, 0, 0, 1, 0, 0, 0, 1};

struct Eigen3 {
  float values[3] = {-7, -7, -7};
  ZarMathVectorf vectors[3] = {{-7, -7, -7}, {-7, -7, -7}, {-7, -7, -7}};
  unsigned char status = 9;
};

Eigen3 SymDefEigen(const Rows& iRows) {
  Eigen3 e;
  Make(iRows).SymDefEigen(e.values, e.vectors, e.status);
  return e;
}

// |A·v − λ·v| with the single-precision results taken as they are.
double Residual(const Rows& a, float iValue, const ZarMathVectorf& iVector) {
  const double v[3] = {iVector.x, iVector.y, iVector.z};
  double sum = 0.0;
  for (int i = 0; i < 3; ++i) {
    const double r = a[3 * i] * v[0] + a[3 * i + 1] * v[1] + a[3 * i + 2] * v[2] - iValue * v[i];
    sum += r * r;
  }
  return std::sqrt(sum);
}

// Decreasing values, unit orthogonal vectors, and each pair within iResidual·m of A·v = λ·v.
void ExpectEigenDecomposition(const Rows& iA, const Eigen3& iE, double iResidual) {
  ASSERT_EQ(iE.status, 1);
  EXPECT_GE(iE.values[0], iE.values[1]);
  EXPECT_GE(iE.values[1], iE.values[2]);
  const double m = MaxAbs(iA);
  for (int k = 0; k < 3; ++k) {
    EXPECT_LT(Residual(iA, iE.values[k], iE.vectors[k]), iResidual * m) << "pair " << k;
    EXPECT_NEAR(iE.vectors[k].Norm(), 1.0f, 1e-6f);
    for (int l = k + 1; l < 3; ++l) EXPECT_NEAR(iE.vectors[k].Dot(iE.vectors[l]), 0.0f, 1e-6f);
  }
}

void ExpectVector(const ZarMathVectorf& iActual, float iX, float iY, float iZ) {
  EXPECT_EQ(iActual, ZarMathVectorf(iX, iY, iZ));
}

// R·diag(λ)·Rᵀ for a uniformly random rotation R.
Rows WithEigenvalues(std::mt19937& ioRandom, double iL0, double iL1, double iL2) {
  std::normal_distribution<double> normal;
  double q[4];
  double norm = 0.0;
  for (double& c : q) {
    c = normal(ioRandom);
    norm += c * c;
  }
  for (double& c : q) c /= std::sqrt(norm);
  const double w = q[0], x = q[1], y = q[2], z = q[3];
  const double r[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)},
                          {2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)},
                          {2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)}};
  const double l[3] = {iL0, iL1, iL2};
  Rows a{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) a[3 * i + j] += r[i][k] * l[k] * r[j][k];
  return a;
}

TEST(Geosig3x3Matrix, AlgebraWithThisMatrixOnTheLeft) {
  Geosig3x3Matrix a = Make({1, 2, 0, 0, 1, 0, 0, 0, 1});
  Geosig3x3Matrix b = Make({1, 0, 0, 3, 1, 0, 0, 0, 2});
  EXPECT_EQ(Read(a * b), (Rows{7, 2, 0, 3, 1, 0, 0, 0, 2}));
  EXPECT_EQ(Read(b * a), (Rows{1, 2, 0, 3, 7, 0, 0, 0, 2}));

  a += b;
  EXPECT_EQ(Read(a), (Rows{2, 2, 0, 3, 2, 0, 0, 0, 3}));
  a.Transpose();
  EXPECT_EQ(Read(a), (Rows{2, 3, 0, 2, 2, 0, 0, 0, 3}));
  a.ScalarMultiplication(-0.5);
  EXPECT_EQ(Read(a), (Rows{-1, -1.5, 0, -1, -1, 0, 0, 0, -1.5}));

  Geosig3x3Matrix c, d;
  c = d = b;
  c = c;
  EXPECT_EQ(Read(c), Read(b));
  EXPECT_EQ(Read(Geosig3x3Matrix()), Rows{});

  Geosig3x3Matrix overloads;
  overloads.SetCoeff(0, 0, 3);
  overloads.SetCoeff(1, 1, 0.1f);
  overloads.SetCoeff(2, 2, 0.1);
  EXPECT_EQ(Read(overloads), (Rows{3, 0, 0, 0, static_cast<double>(0.1f), 0, 0, 0, 0.1}));
}

TEST(Geosig3x3Matrix, DeterminantAndLargestCoefficient) {
  EXPECT_EQ(Make({2, 0, 1, 1, 3, 2, 1, 1, 4}).Determinant(), 18.0);
  EXPECT_EQ(Make({0, 1, 0, 1, 0, 0, 0, 0, 1}).Determinant(), -1.0);
  // Signed comparison: the largest entry, not the largest magnitude.
  EXPECT_EQ(Make({-1, -1, -1, -1, -1, -1, -1, -1, -1}).InfiniteNorm(), -1.0);
  EXPECT_EQ(Make({-9, -3, -0.5, -4, -8, -2, -7, -6, -5}).InfiniteNorm(), -0.5);
  EXPECT_EQ(Make({-9, 2, 0, 0, 1, 0, 0, 3, -5}).InfiniteNorm(), 3.0);
}

TEST(Geosig3x3Matrix, SymmetryIsStrictAndScalesWithTheLargestCoefficient) {
  EXPECT_EQ(Make(identity).IsSymmetric(), 1);
  EXPECT_EQ(Make({}).IsSymmetric(), 0);
  EXPECT_EQ(Make({-1, -2, -3, -2, -1, -4, -3, -4, -1}).IsSymmetric(), 0);
  // With a largest coefficient of 100 the tolerance is 1e-11.
  EXPECT_EQ(Make({100, 1, 0, 1 + 0.5e-11, 1, 0, 0, 0, 1}).IsSymmetric(), 1);
  EXPECT_EQ(Make({100, 1, 0, 1 + 2e-11, 1, 0, 0, 0, 1}).IsSymmetric(), 0);
  EXPECT_EQ(Make({100, 0, 0, 0, 1, 1, 0, 1.5, 1}).IsSymmetric(), 0);
}

TEST(Geosig3x3Matrix, QRFactorsRandomMatrices) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> coefficient(-1.0, 1.0);
  std::uniform_real_distribution<double> exponent(-6.0, 6.0);
  for (int trial = 0; trial < 200; ++trial) {
    const double scale = std::pow(10.0, exponent(random));
    Rows rows;
    for (double& value : rows) value = scale * coefficient(random);
    Geosig3x3Matrix a = Make(rows);
    Geosig3x3Matrix q, r;
    a.QR(q, r);
    EXPECT_EQ(Read(a), rows) << "the input is only read";

    Geosig3x3Matrix qt(q);
    qt.Transpose();
    EXPECT_LT(MaxAbsDifference(Read(q * qt), identity), 1e-15 * 4);
    EXPECT_LT(MaxAbsDifference(Read(q * r), rows), 1e-15 * 8 * scale);
    const Rows upper = Read(r);
    // The reflections are taken without the sign choice that avoids cancellation, so the
    // coefficients left below the diagonal are larger than rounding alone would leave.
    EXPECT_LT(std::max({std::fabs(upper[3]), std::fabs(upper[6]), std::fabs(upper[7])}), 1e-13 * scale);
    EXPECT_GE(upper[0], 0.0);
  }
}

TEST(Geosig3x3Matrix, QRLeavesDiagonalAndTriangularMatricesAsTheyAre) {
  // Below-diagonal values within the tolerance (largest coefficient × 1e-13) are kept, not zeroed.
  for (const Rows& rows : {Rows{3, 0, 0, 0, -2, 0, 0, 0, 5}, Rows{4, 1, 2, 0, 3, -1, 0, 0, 2},
                           Rows{5, 0, 0, 2e-13, 1, 0, -4e-13, 3e-13, 1}}) {
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

TEST(Geosig3x3Matrix, SymDefEigenOfKnownMatrices) {
  const Rows a = {4, 1, 0.5, 1, 3, 0.2, 0.5, 0.2, 1};
  const Eigen3 e = SymDefEigen(a);
  ExpectEigenDecomposition(a, e, 2e-6);
  EXPECT_NEAR(e.values[0], 4.6943, 1e-4);
  EXPECT_NEAR(e.values[1], 2.3876, 1e-4);
  EXPECT_NEAR(e.values[2], 0.9181, 1e-4);

  const Eigen3 d = SymDefEigen({1, 0, 0, 0, 3, 0, 0, 0, 2});
  ASSERT_EQ(d.status, 1);
  EXPECT_EQ(d.values[0], 3.0f);
  EXPECT_EQ(d.values[1], 2.0f);
  EXPECT_EQ(d.values[2], 1.0f);
  ExpectVector(d.vectors[0], 0, 1, 0);
  ExpectVector(d.vectors[1], 0, 0, 1);
  ExpectVector(d.vectors[2], 1, 0, 0);

  // Off-diagonal terms below 1e-6 of the largest coefficient: converged as it stands.
  const Eigen3 near = SymDefEigen({3, 2e-6, 0, 2e-6, 2, -2e-6, 0, -2e-6, 1});
  EXPECT_EQ(near.values[0], 3.0f);
  EXPECT_EQ(near.values[2], 1.0f);
  ExpectVector(near.vectors[0], 1, 0, 0);
  ExpectVector(near.vectors[1], 0, 1, 0);
}

TEST(Geosig3x3Matrix, EqualEigenvaluesKeepIndexOrder) {
  const Eigen3 same = SymDefEigen(identity);
  ExpectVector(same.vectors[0], 1, 0, 0);
  ExpectVector(same.vectors[1], 0, 1, 0);
  ExpectVector(same.vectors[2], 0, 0, 1);

  const Eigen3 lowPair = SymDefEigen({2, 0, 0, 0, 2, 0, 0, 0, 3});
  ExpectVector(lowPair.vectors[0], 0, 0, 1);
  ExpectVector(lowPair.vectors[1], 1, 0, 0);
  ExpectVector(lowPair.vectors[2], 0, 1, 0);

  const Eigen3 highPair = SymDefEigen({3, 0, 0, 0, 2, 0, 0, 0, 3});
  ExpectVector(highPair.vectors[0], 1, 0, 0);
  ExpectVector(highPair.vectors[1], 0, 0, 1);
  ExpectVector(highPair.vectors[2], 0, 1, 0);
}

TEST(Geosig3x3Matrix, SymDefEigenOfRandomPositiveDefiniteMatrices) {
  // Relative gaps of at least 1 %: the iteration converges, leaving off-diagonal terms below
  // 1e-6 of the largest coefficient, and single precision adds a few 1e-7.
  std::mt19937 random(2024);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::uniform_real_distribution<double> exponent(-8.0, 8.0);
  for (int trial = 0; trial < 300; ++trial) {
    const double scale = std::pow(10.0, exponent(random));
    const double l2 = 1e-4 + unit(random), l1 = l2 * (1.01 + unit(random)), l0 = l1 * (1.01 + unit(random));
    const Rows a = WithEigenvalues(random, scale * l1, scale * l2, scale * l0);
    const Eigen3 e = SymDefEigen(a);
    ExpectEigenDecomposition(a, e, 2e-6);
    EXPECT_NEAR(e.values[0], scale * l0, 1e-6 * scale * l0);
    EXPECT_NEAR(e.values[1], scale * l1, 1e-6 * scale * l0);
    EXPECT_NEAR(e.values[2], scale * l2, 1e-6 * scale * l0);
  }
}

TEST(Geosig3x3Matrix, SymDefEigenOfRepeatedAndNearlyRepeatedEigenvalues) {
  // Within a pair of relative gap g the coupling left by the iteration is at most g/2 of the
  // pair's value, however far from separated the 10000 steps left it: the vectors are then
  // exact for a matrix that close to A, as good as such ill-conditioned vectors can be. Equal
  // values, or gaps of 1 % and more, leave only the convergence threshold.
  std::mt19937 random(77);
  for (double gap : {0.0, 1e-12, 1e-9, 1e-6, 1e-5, 1e-4, 3e-4, 1e-3, 1e-2}) {
    for (int trial = 0; trial < 10; ++trial) {
      const Rows high = WithEigenvalues(random, 2.0, 2.0 * (1 + gap), 0.5);
      ExpectEigenDecomposition(high, SymDefEigen(high), 2e-6 + 0.5 * gap * 2.0 / MaxAbs(high));
      const Rows low = WithEigenvalues(random, 3.0, 1.0 + gap, 1.0);
      ExpectEigenDecomposition(low, SymDefEigen(low), 2e-6 + 0.5 * gap * 1.0 / MaxAbs(low));
    }
  }
}

TEST(Geosig3x3Matrix, NearlyPlanarCovarianceFindsThePlaneNormal) {
  // Points of a tilted 4 x 2 rectangle, lifted off its plane by at most 1e-4.
  const ZarMathVector u(0.6, 0.8, 0), v(-0.48, 0.36, 0.8), normal(0.64, -0.48, 0.6);
  std::mt19937 random(5);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (double thickness : {1e-4, 0.0}) {  // the flat one is singular: the platform solver takes it
    Rows covariance{};
    const int count = 2000;
    for (int n = 0; n < count; ++n) {
      const ZarMathVector p = u * (2 * unit(random)) + v * unit(random) + normal * (thickness * unit(random));
      const double c[3] = {p.x, p.y, p.z};
      for (int k = 0; k < 9; ++k) covariance[k] += c[k / 3] * c[k % 3] / count;
    }
    const Eigen3 e = SymDefEigen(covariance);
    ExpectEigenDecomposition(covariance, e, 2e-6);
    EXPECT_NEAR(std::fabs(e.vectors[2].Dot(ZarMathVectorf(normal))), 1.0f, 1e-6f);
    EXPECT_NEAR(std::fabs(e.vectors[0].Dot(ZarMathVectorf(u))), 1.0f, 1e-2f);
    EXPECT_NEAR(e.values[2], 0.0f, 1e-8f);
  }
}

TEST(Geosig3x3Matrix, SingularOrAsymmetricMatricesGoToThePlatformSolver) {
  // Eigenvalues of equal magnitude and opposite sign stall the unshifted iteration: only the
  // platform solver finds 1, 0 and −1 here.
  const Rows singular = {0, 1, 0, 1, 0, 0, 0, 0, 0};
  const Eigen3 s = SymDefEigen(singular);
  ExpectEigenDecomposition(singular, s, 1e-6);
  EXPECT_NEAR(s.values[0], 1.0f, 1e-6f);
  EXPECT_NEAR(s.values[1], 0.0f, 1e-6f);
  EXPECT_NEAR(s.values[2], -1.0f, 1e-6f);

  const Rows asymmetric = {0, 2, 0, 0.5, 0, 0, 0, 0, 3};
  const Eigen3 n = SymDefEigen(asymmetric);
  ASSERT_EQ(n.status, 1);
  EXPECT_NEAR(n.values[0], 3.0f, 1e-6f);
  EXPECT_NEAR(n.values[1], 1.0f, 1e-6f);
  EXPECT_NEAR(n.values[2], -1.0f, 1e-6f);
  for (int k = 0; k < 3; ++k) EXPECT_LT(Residual(asymmetric, n.values[k], n.vectors[k]), 1e-6);

  // No positive coefficient: never symmetric by the relative test, solved by the platform.
  const Rows negative = {-4, -1, -0.5, -1, -3, -0.2, -0.5, -0.2, -1};
  const Eigen3 g = SymDefEigen(negative);
  ExpectEigenDecomposition(negative, g, 1e-6);
  EXPECT_NEAR(g.values[0], -0.9181, 1e-4);
  EXPECT_NEAR(g.values[2], -4.6943, 1e-4);
}

TEST(Geosig3x3Matrix, ComplexEigenvaluesFailAndLeaveTheOutputs) {
  const Eigen3 e = SymDefEigen({0, -1, 0, 1, 0, 0, 0, 0, 1});
  EXPECT_EQ(e.status, 0);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(e.values[k], -7.0f);
    ExpectVector(e.vectors[k], -7, -7, -7);
  }
}

TEST(Geosig3x3Matrix, IterationStopsAfterExactlyTenThousandSteps) {
  // Each step maps this matrix to itself and multiplies the rotations by the swap of x and y,
  // so the vectors tell the parity of the step count: after an even number they are the axes.
  const Eigen3 e = SymDefEigen({0, 1, 0, 1, 0, 0, 0, 0, 2});
  ASSERT_EQ(e.status, 1);
  EXPECT_EQ(e.values[0], 2.0f);
  EXPECT_EQ(e.values[1], 0.0f);
  EXPECT_EQ(e.values[2], 0.0f);
  ExpectVector(e.vectors[0], 0, 0, 1);
  ExpectVector(e.vectors[1], 1, 0, 0);
  ExpectVector(e.vectors[2], 0, 1, 0);
}

TEST(Geosig3x3MatrixDeathTest, IndicesOutsideTheMatrixAreFatal) {
  const auto report = testing::HasSubstr(
      "AssertionFailed:0<=iRow && iRow<3 && 0<=iCol && iCol<3 at "
      "GeosigGeoServices\\GeosigRenders.m\\src\\Geosig3x3Matrix line 79");
  Geosig3x3Matrix m;
  EXPECT_DEATH(m.SetCoeff(3, 0, 1.0), report);
  EXPECT_DEATH(m.SetCoeff(-1, 0, 1), report);
  EXPECT_DEATH(m.SetCoeff(0, 3, 1.0f), report);
  EXPECT_DEATH(m.SetCoeff(2, -1, 1.0), report);
}

}  // namespace
