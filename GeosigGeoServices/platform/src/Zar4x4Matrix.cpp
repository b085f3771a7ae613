#include "Zar4x4Matrix.h"

#include <algorithm>

#include "ZarSystem.h"

Zar4x4Matrix::Zar4x4Matrix() : _linear{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, _translation{0, 0, 0}, _scaling(1.0) {}

Zar4x4Matrix::Zar4x4Matrix(const ZarMathVectorf& iTranslation) : Zar4x4Matrix(ZarMathVector(iTranslation)) {}

Zar4x4Matrix::Zar4x4Matrix(const ZarMathVector& iTranslation) : Zar4x4Matrix() { SetTranslation(iTranslation, 1.0); }

Zar4x4Matrix::Zar4x4Matrix(const ZarMathVectorf& iAxis0, const ZarMathVectorf& iAxis1, const ZarMathVectorf& iAxis2,
                           const ZarMathVectorf& iTranslation)
    : Zar4x4Matrix(ZarMathVector(iAxis0), ZarMathVector(iAxis1), ZarMathVector(iAxis2), ZarMathVector(iTranslation)) {}

Zar4x4Matrix::Zar4x4Matrix(const ZarMathVector& iAxis0, const ZarMathVector& iAxis1, const ZarMathVector& iAxis2,
                           const ZarMathVector& iTranslation)
    : Zar4x4Matrix() {
  SetComponents(iAxis0, iAxis1, iAxis2, ZarMathPoint(iTranslation.x, iTranslation.y, iTranslation.z));
}

void Zar4x4Matrix::SetComponents(const ZarMathVectorf& iC1, const ZarMathVectorf& iC2, const ZarMathVectorf& iC3,
                                 const ZarMathPointf& iOrigin) {
  SetComponents(ZarMathVector(iC1), ZarMathVector(iC2), ZarMathVector(iC3), ZarMathPoint(iOrigin));
}

void Zar4x4Matrix::SetComponents(const ZarMathVector& iC1, const ZarMathVector& iC2, const ZarMathVector& iC3,
                                 const ZarMathPoint& iOrigin) {
  const ZarMathVector* columns[3] = {&iC1, &iC2, &iC3};
  for (int col = 0; col < 3; ++col) {
    _linear[0][col] = columns[col]->x;
    _linear[1][col] = columns[col]->y;
    _linear[2][col] = columns[col]->z;
  }
  _translation[0] = iOrigin.x;
  _translation[1] = iOrigin.y;
  _translation[2] = iOrigin.z;
  RefreshScaling();
}

void Zar4x4Matrix::SetTranslation(const ZarMathVectorf& iTranslation, double iFactor) {
  SetTranslation(ZarMathVector(iTranslation), iFactor);
}

void Zar4x4Matrix::SetTranslation(const ZarMathVector& iTranslation, double iFactor) {
  _translation[0] = iFactor * iTranslation.x;
  _translation[1] = iFactor * iTranslation.y;
  _translation[2] = iFactor * iTranslation.z;
}

ZarMathVector Zar4x4Matrix::GetTranslation() const { return {_translation[0], _translation[1], _translation[2]}; }

static void CheckIndices(int iRow, int iCol, int iLine) {
  if (iRow < 0 || iRow > 3 || iCol < 0 || iCol > 3)
    ZarFatalError("AssertionFailed:0<=iRow && iRow<4 && 0<=iCol && iCol<4", nullptr, nullptr, nullptr, __FILE__, iLine);
}

double Zar4x4Matrix::GetElement(int iRow, int iCol) const {
  CheckIndices(iRow, iCol, __LINE__);
  if (iRow == 3) return iCol == 3 ? 1.0 : 0.0;
  return iCol == 3 ? _translation[iRow] : _linear[iRow][iCol];
}

void Zar4x4Matrix::SetElement(int iRow, int iCol, double iValue, int iUpdate) {
  CheckIndices(iRow, iCol, __LINE__);
  if (iRow == 3) {
    if (iValue != (iCol == 3 ? 1.0 : 0.0))
      ZarFatalError("AssertionFailed:row 3 of an affine matrix is (0, 0, 0, 1)", nullptr, nullptr, nullptr, __FILE__,
                    __LINE__);
    return;
  }
  if (iCol == 3)
    _translation[iRow] = iValue;
  else
    _linear[iRow][iCol] = iValue;
  if (iUpdate) RefreshScaling();
}

bool Zar4x4Matrix::IsIdentity() const { return *this == Zar4x4Matrix(); }

Zar4x4Matrix Zar4x4Matrix::operator*(const Zar4x4Matrix& iSecond) const {
  // Applying *this first, then iSecond: L = L2·L1, t = L2·t1 + t2.
  Zar4x4Matrix product;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      product._linear[r][c] = iSecond._linear[r][0] * _linear[0][c] + iSecond._linear[r][1] * _linear[1][c] +
                              iSecond._linear[r][2] * _linear[2][c];
    }
    product._translation[r] = iSecond._linear[r][0] * _translation[0] + iSecond._linear[r][1] * _translation[1] +
                              iSecond._linear[r][2] * _translation[2] + iSecond._translation[r];
  }
  product.RefreshScaling();
  return product;
}

ZarMathPoint Zar4x4Matrix::operator*(const ZarMathPoint& p) const {
  return {_linear[0][0] * p.x + _linear[0][1] * p.y + _linear[0][2] * p.z + _translation[0],
          _linear[1][0] * p.x + _linear[1][1] * p.y + _linear[1][2] * p.z + _translation[1],
          _linear[2][0] * p.x + _linear[2][1] * p.y + _linear[2][2] * p.z + _translation[2]};
}

ZarMathPointf Zar4x4Matrix::operator*(const ZarMathPointf& p) const {
  const ZarMathPoint image = *this * ZarMathPoint(p);
  return {static_cast<float>(image.x), static_cast<float>(image.y), static_cast<float>(image.z)};
}

ZarMathVector Zar4x4Matrix::operator*(const ZarMathVector& v) const {
  return {_linear[0][0] * v.x + _linear[0][1] * v.y + _linear[0][2] * v.z,
          _linear[1][0] * v.x + _linear[1][1] * v.y + _linear[1][2] * v.z,
          _linear[2][0] * v.x + _linear[2][1] * v.y + _linear[2][2] * v.z};
}

bool Zar4x4Matrix::operator==(const Zar4x4Matrix& o) const {
  for (int r = 0; r < 3; ++r) {
    if (_translation[r] != o._translation[r]) return false;
    for (int c = 0; c < 3; ++c)
      if (_linear[r][c] != o._linear[r][c]) return false;
  }
  return true;
}

void Zar4x4Matrix::RefreshScaling() {
  double largest = 0.0;
  for (int c = 0; c < 3; ++c) {
    const ZarMathVector column(_linear[0][c], _linear[1][c], _linear[2][c]);
    largest = std::max(largest, column.Norm());
  }
  _scaling = largest;
}
