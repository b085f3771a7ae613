#include "ZarMath3x3Matrix.h"

#include <Eigen/Eigenvalues>
#include <algorithm>
#include <cmath>
#include <complex>

#include "ZarTolerance.h"

ZarMath3x3Matrix::ZarMath3x3Matrix(double iA00, double iA01, double iA02, double iA10, double iA11, double iA12,
                                   double iA20, double iA21, double iA22)
    : _coeff{{iA00, iA01, iA02}, {iA10, iA11, iA12}, {iA20, iA21, iA22}} {}

double ZarMath3x3Matrix::LargestMagnitude() const {
  double largest = 0.0;
  for (const auto& row : _coeff)
    for (double value : row) largest = std::max(largest, std::fabs(value));
  return largest;
}

bool ZarMath3x3Matrix::IsSymmetric(double iTolerance) const {
  return std::fabs(_coeff[0][1] - _coeff[1][0]) <= iTolerance && std::fabs(_coeff[0][2] - _coeff[2][0]) <= iTolerance &&
         std::fabs(_coeff[1][2] - _coeff[2][1]) <= iTolerance;
}

void ZarMath3x3Matrix::EigenVectors(int& oCount, double* oValues, unsigned char* oMultiplicities,
                                    ZarMathVector* oVectors, unsigned char& oOk) const {
  oCount = 0;
  oOk = 0;
  Eigen::Matrix3d a;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      if (!std::isfinite(_coeff[i][j])) return;
      a(i, j) = _coeff[i][j];
    }
  const double tolerance = ZarGetDefaultTolerance().EpsRelative() * LargestMagnitude();

  double values[3];
  Eigen::Matrix3d vectors;
  int count = 0;
  if (IsSymmetric(tolerance)) {
    // The symmetric part, so that an asymmetry within the tolerance does not favour a triangle.
    const Eigen::Matrix3d symmetric = 0.5 * (a + a.transpose());
    const Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> solver(symmetric);
    if (solver.info() != Eigen::Success) return;
    for (; count < 3; ++count) values[count] = solver.eigenvalues()(count);
    vectors = solver.eigenvectors();
  } else {
    const Eigen::EigenSolver<Eigen::Matrix3d> solver(a);
    if (solver.info() != Eigen::Success) return;
    const Eigen::Matrix3cd complexVectors = solver.eigenvectors();
    for (int k = 0; k < 3; ++k) {
      const std::complex<double> value = solver.eigenvalues()(k);
      if (std::fabs(value.imag()) > tolerance) continue;
      values[count] = value.real();
      vectors.col(count) = complexVectors.col(k).real().normalized();
      ++count;
    }
  }

  for (int k = 0; k < count; ++k) {
    oValues[k] = values[k];
    oVectors[k] = ZarMathVector(vectors(0, k), vectors(1, k), vectors(2, k));
    oMultiplicities[k] = static_cast<unsigned char>(
        std::count_if(values, values + count, [&](double other) { return std::fabs(other - values[k]) <= tolerance; }));
  }
  oCount = count;
  oOk = 1;
}
