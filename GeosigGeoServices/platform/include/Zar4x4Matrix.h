#pragma once
// An affine transformation in double precision: a 3x3 linear part L and a translation t,
// so that the image of p is L·p + t. Rows and columns 0..3 address the matrix in
// column-vector convention; column 3 holds t and row 3 is always (0, 0, 0, 1).
#include "ZarMathPoint.h"

class Zar4x4Matrix {
 public:
  Zar4x4Matrix();
  explicit Zar4x4Matrix(const ZarMathVectorf& iTranslation);
  explicit Zar4x4Matrix(const ZarMathVector& iTranslation);
  // The transformation taking the unit axes to iAxis0..2 and the origin to iTranslation.
  Zar4x4Matrix(const ZarMathVectorf& iAxis0, const ZarMathVectorf& iAxis1, const ZarMathVectorf& iAxis2,
               const ZarMathVectorf& iTranslation);
  Zar4x4Matrix(const ZarMathVector& iAxis0, const ZarMathVector& iAxis1, const ZarMathVector& iAxis2,
               const ZarMathVector& iTranslation);

  // Same meaning as the axis constructor: the vectors become the columns of L.
  void SetComponents(const ZarMathVectorf& iC1, const ZarMathVectorf& iC2, const ZarMathVectorf& iC3,
                     const ZarMathPointf& iOrigin);
  void SetComponents(const ZarMathVector& iC1, const ZarMathVector& iC2, const ZarMathVector& iC3,
                     const ZarMathPoint& iOrigin);
  // Sets the translation to iFactor · iTranslation.
  void SetTranslation(const ZarMathVectorf& iTranslation, double iFactor);
  void SetTranslation(const ZarMathVector& iTranslation, double iFactor);
  ZarMathVector GetTranslation() const;

  double GetElement(int iRow, int iCol) const;
  // iUpdate = 0 defers the refresh of the derived scaling to a later call with 1.
  // Row 3 is fixed; writing anything but its affine value there is a fatal error.
  void SetElement(int iRow, int iCol, double iValue, int iUpdate);

  // The largest column length of L: exact for a similarity, conservative otherwise.
  double GetScaling() const { return _scaling; }
  bool IsIdentity() const;

  // A * B applies A first, then B.
  Zar4x4Matrix operator*(const Zar4x4Matrix& iSecond) const;
  // Computed in double, rounded to float once per coordinate.
  ZarMathPointf operator*(const ZarMathPointf& iPoint) const;
  ZarMathPoint operator*(const ZarMathPoint& iPoint) const;
  ZarMathVector operator*(const ZarMathVector& iVector) const;

  bool operator==(const Zar4x4Matrix& iOther) const;
  bool operator!=(const Zar4x4Matrix& iOther) const { return !(*this == iOther); }

 private:
  void RefreshScaling();

  double _linear[3][3];
  double _translation[3];
  double _scaling;
};
