#include "Geosig3x3Matrix.h"

#include <cmath>

#include "ZarMath3x3Matrix.h"
#include "ZarSystem.h"
#include "ZarTolerance.h"

const int Geosig3x3Matrix::_MaxIterations = 10000;
const double Geosig3x3Matrix::_convergenceFactor = 1.0e-6;

namespace {

// Indices of three values from the largest to the smallest; equal values keep their order.
void OrderDecreasing(double iL0, double iL1, double iL2, int oOrder[3]) {
  const int iMax = (iL0 >= iL1 && iL0 >= iL2) ? 0 : (iL1 < iL2 ? 2 : 1);
  const int iMin = (iL1 >= iL2 && iL0 >= iL2) ? 2 : (iL0 >= iL1 ? 1 : 0);
  oOrder[0] = iMax;
  oOrder[1] = 3 - iMax - iMin;
  oOrder[2] = iMin;
}

Geosig3x3Matrix Identity() {
  Geosig3x3Matrix identity;
  for (int i = 0; i < 3; ++i) identity.SetCoeff(i, i, 1.0);
  return identity;
}

}  // namespace

Geosig3x3Matrix::Geosig3x3Matrix() : _coeff{{0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}} {}

Geosig3x3Matrix::Geosig3x3Matrix(const Geosig3x3Matrix& iOther) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) _coeff[i][j] = iOther._coeff[i][j];
}

Geosig3x3Matrix::~Geosig3x3Matrix() = default;

Geosig3x3Matrix& Geosig3x3Matrix::operator=(const Geosig3x3Matrix& iOther) {
  if (this != &iOther)
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) _coeff[i][j] = iOther._coeff[i][j];
  return *this;
}

Geosig3x3Matrix Geosig3x3Matrix::operator*(const Geosig3x3Matrix& iRight) {
  Geosig3x3Matrix product;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      double sum = 0.0;
      for (int k = 0; k < 3; ++k) sum += _coeff[i][k] * iRight._coeff[k][j];
      product._coeff[i][j] = sum;
    }
  return product;
}

void Geosig3x3Matrix::operator+=(const Geosig3x3Matrix& iOther) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) _coeff[i][j] += iOther._coeff[i][j];
}

void Geosig3x3Matrix::SetCoeff(int iRow, int iCol, int iValue) { SetCoeff(iRow, iCol, static_cast<double>(iValue)); }

void Geosig3x3Matrix::SetCoeff(int iRow, int iCol, float iValue) { SetCoeff(iRow, iCol, static_cast<double>(iValue)); }

void Geosig3x3Matrix::SetCoeff(int iRow, int iCol, double iValue) {
  // Diagnostics name a fixed location, so that reports stay comparable from one build to the next.
  if (!(0 <= iRow && iRow < 3 && 0 <= iCol && iCol < 3))
    ZarFatalError("AssertionFailed:0<=iRow && iRow<3 && 0<=iCol && iCol<3", nullptr, nullptr, nullptr,
                  "GeosigGeoServices\\GeosigRenders.m\\src\\Geosig3x3Matrix", 79);
  _coeff[iRow][iCol] = iValue;
}

void Geosig3x3Matrix::Transpose() {
  for (int i = 0; i < 3; ++i)
    for (int j = i + 1; j < 3; ++j) {
      const double upper = _coeff[i][j];
      _coeff[i][j] = _coeff[j][i];
      _coeff[j][i] = upper;
    }
}

void Geosig3x3Matrix::ScalarMultiplication(double iFactor) {
  for (auto& row : _coeff)
    for (double& value : row) value *= iFactor;
}

double Geosig3x3Matrix::Determinant() {
  const double(&a)[3][3] = _coeff;
  return a[0][2] * a[1][0] * a[2][1] + (a[0][1] * a[1][2] * a[2][0] + a[0][0] * a[1][1] * a[2][2]) -
         a[2][0] * a[1][1] * a[0][2] - a[2][1] * a[1][2] * a[0][0] - a[1][0] * a[2][2] * a[0][1];
}

double Geosig3x3Matrix::InfiniteNorm() {
  double largest = _coeff[0][0];
  for (const auto& row : _coeff)
    for (double value : row)
      if (value > largest) largest = value;
  return largest;
}

int Geosig3x3Matrix::IsSymmetric() {
  const double tol = InfiniteNorm() * ZarGetDefaultTolerance().EpsRelative();
  const bool symmetric = std::fabs(_coeff[0][1] - _coeff[1][0]) < tol && std::fabs(_coeff[0][2] - _coeff[2][0]) < tol &&
                         std::fabs(_coeff[1][2] - _coeff[2][1]) < tol;
  return symmetric ? 1 : 0;
}

void Geosig3x3Matrix::QR(Geosig3x3Matrix& oQ, Geosig3x3Matrix& oR) {
  const double(&a)[3][3] = _coeff;
  const double tol = InfiniteNorm() * ZarGetDefaultTolerance().EpsRelative();
  Geosig3x3Matrix p = Identity();

  // First reflection: zero the first column below the diagonal.
  if (std::fabs(a[1][0]) > tol || std::fabs(a[2][0]) > tol) {
    const double len1 = std::sqrt(a[1][0] * a[1][0] + a[0][0] * a[0][0] + a[2][0] * a[2][0]);
    const double u[3] = {a[0][0] - len1, a[1][0], a[2][0]};
    const double s = -2.0 / (u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) p._coeff[i][j] += s * u[i] * u[j];
  }

  // Second reflection, on the lower 2x2 block of P·A: zero its (2, 1) coefficient.
  const double(&pc)[3][3] = p._coeff;
  const double b = pc[2][0] * a[0][1] + pc[2][1] * a[1][1] + pc[2][2] * a[2][1];
  if (std::fabs(b) > tol) {
    const double c = pc[1][0] * a[0][1] + pc[1][1] * a[1][1] + pc[1][2] * a[2][1];
    const double len2 = std::sqrt(c * c + b * b);
    const double w[2] = {c - len2, b};
    const double d = w[0] * w[0] + w[1] * w[1];
    Geosig3x3Matrix h = Identity();
    h._coeff[1][1] = 1.0 - (2.0 / d) * w[0] * w[0];
    h._coeff[1][2] = (-2.0 / d) * w[0] * w[1];
    h._coeff[2][1] = h._coeff[1][2];
    h._coeff[2][2] = 1.0 - (2.0 / d) * w[1] * w[1];
    p = h * p;
  }

  // Both results are complete before either output is written, so an output may be this matrix.
  const Geosig3x3Matrix r = p * *this;
  p.Transpose();
  oR = r;
  oQ = p;
}

bool Geosig3x3Matrix::IsQuasiDiagonal(double iThreshold) const {
  const int pairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};
  for (const auto& pair : pairs)
    if (!(std::fabs(_coeff[pair[0]][pair[1]]) < iThreshold && std::fabs(_coeff[pair[1]][pair[0]]) < iThreshold))
      return false;
  return true;
}

void Geosig3x3Matrix::ComputeEigenVectorsSymPosDef(Geosig3x3Matrix& oD, Geosig3x3Matrix& oV) {
  Geosig3x3Matrix a(*this);
  Geosig3x3Matrix v = Identity();
  const double threshold = InfiniteNorm() * _convergenceFactor;
  Geosig3x3Matrix q, r;
  for (int iteration = 0; iteration < _MaxIterations && !a.IsQuasiDiagonal(threshold); ++iteration) {
    a.QR(q, r);
    a = r * q;
    v = v * q;
  }
  oD = a;
  oV = v;
}

void Geosig3x3Matrix::SymDefEigen(float* oValues, ZarMathVectorf* oVectors, unsigned char& oStatus) {
  oStatus = 0;
  const double tol = InfiniteNorm() * ZarGetDefaultTolerance().EpsRelative();
  int order[3];

  if (IsSymmetric() && std::fabs(Determinant()) > tol) {
    Geosig3x3Matrix d, v;
    ComputeEigenVectorsSymPosDef(d, v);
    OrderDecreasing(d._coeff[0][0], d._coeff[1][1], d._coeff[2][2], order);
    for (int k = 0; k < 3; ++k) {
      const int index = order[k];
      oValues[k] = static_cast<float>(d._coeff[index][index]);
      oVectors[k] = ZarMathVectorf(static_cast<float>(v._coeff[0][index]), static_cast<float>(v._coeff[1][index]),
                                   static_cast<float>(v._coeff[2][index]));
    }
    oStatus = 1;
  } else {
    const double(&a)[3][3] = _coeff;
    const ZarMath3x3Matrix platformMatrix(a[0][0], a[0][1], a[0][2], a[1][0], a[1][1], a[1][2], a[2][0], a[2][1],
                                          a[2][2]);
    int count = 0;
    double values[3] = {0.0, 0.0, 0.0};
    unsigned char multiplicities[3] = {0, 0, 0};
    ZarMathVector vectors[3];
    unsigned char solved = 0;
    platformMatrix.EigenVectors(count, values, multiplicities, vectors, solved);
    if (solved && count == 3) {
      OrderDecreasing(values[0], values[1], values[2], order);
      for (int k = 0; k < 3; ++k) {
        oValues[k] = static_cast<float>(values[order[k]]);
        oVectors[k] = ZarMathVectorf(vectors[order[k]]);
      }
      oStatus = 1;
    }
  }
}
