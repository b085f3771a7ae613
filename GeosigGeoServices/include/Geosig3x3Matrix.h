#pragma once
// A 3x3 matrix in double precision, made for the eigen-decomposition of symmetric positive
// definite matrices such as second-moment matrices. Results of the decomposition are handed
// out in single precision. A plain value: no heap memory, no shared state.
#include "ZarMathPoint.h"

class Geosig3x3Matrix {
 public:
  // Bound on the QR steps of the eigen iteration.
  static const int _MaxIterations;
  // The iteration has converged when no off-diagonal coefficient reaches this fraction of the
  // largest coefficient.
  static const double _convergenceFactor;

  // All coefficients 0.
  Geosig3x3Matrix();
  Geosig3x3Matrix(const Geosig3x3Matrix& iOther);
  virtual ~Geosig3x3Matrix();
  Geosig3x3Matrix& operator=(const Geosig3x3Matrix& iOther);

  // This matrix on the left.
  Geosig3x3Matrix operator*(const Geosig3x3Matrix& iRight);
  void operator+=(const Geosig3x3Matrix& iOther);

  // Indices outside 0..2 are a fatal error.
  void SetCoeff(int iRow, int iCol, int iValue);
  void SetCoeff(int iRow, int iCol, float iValue);
  void SetCoeff(int iRow, int iCol, double iValue);

  void Transpose();
  void ScalarMultiplication(double iFactor);
  double Determinant();
  // The largest coefficient by signed comparison: negative when all coefficients are.
  double InfiniteNorm();
  // 1 when each pair of opposite coefficients differs by strictly less than the largest
  // coefficient times the relative precision, else 0. Never 1 when no coefficient is positive.
  int IsSymmetric();

  // Householder factorisation this = oQ · oR, oQ orthogonal, oR upper triangular up to
  // rounding (its lower coefficients are the computed near-zero values). This matrix is
  // only read. A diagonal matrix gives oQ the identity and oR a copy of itself.
  void QR(Geosig3x3Matrix& oQ, Geosig3x3Matrix& oR);

  // The three eigenvalues in decreasing order, each with its eigenvector (unit length when
  // this class solves it). A symmetric, non-singular matrix is solved here by QR iteration;
  // any other goes to the platform's solver. oStatus is 1 on success; on failure, 0, with
  // oValues and oVectors untouched.
  void SymDefEigen(float* oValues, ZarMathVectorf* oVectors, unsigned char& oStatus);

 private:
  // Unshifted QR iteration, at most _MaxIterations steps: oD receives the quasi-diagonal
  // result, oV the accumulated rotations, whose column k is the eigenvector of oD(k, k).
  void ComputeEigenVectorsSymPosDef(Geosig3x3Matrix& oD, Geosig3x3Matrix& oV);
  // True when every off-diagonal coefficient lies strictly within iThreshold of 0.
  bool IsQuasiDiagonal(double iThreshold) const;

  double _coeff[3][3];
};
