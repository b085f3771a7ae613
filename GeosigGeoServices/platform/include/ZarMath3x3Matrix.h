#pragma once
// A general 3x3 matrix in double precision, stored row by row, with an eigen solver.
#include "ZarMathPoint.h"

class ZarMath3x3Matrix {
 public:
  ZarMath3x3Matrix(double iA00, double iA01, double iA02, double iA10, double iA11, double iA12, double iA20,
                   double iA21, double iA22);

  // Real eigenvalues with their unit eigenvectors: oValues[i] belongs to oVectors[i], in no
  // particular order. oCount is the number of real eigenvalues (3, or 1 when the other two
  // are a complex pair). oMultiplicities[i] is how many of the reported values equal
  // oValues[i] within the relative precision, itself included. oOk is 0 when the solver
  // failed or the matrix holds a value that is not finite; oCount is then 0 and the arrays
  // are left as they were. A matrix symmetric within the relative precision is solved as a
  // symmetric one: three real values and orthonormal vectors. Otherwise, for a defective
  // matrix (fewer independent eigenvectors than values), vectors of a repeated value may be
  // parallel.
  void EigenVectors(int& oCount, double* oValues, unsigned char* oMultiplicities, ZarMathVector* oVectors,
                    unsigned char& oOk) const;

 private:
  bool IsSymmetric(double iTolerance) const;
  double LargestMagnitude() const;

  double _coeff[3][3];
};
