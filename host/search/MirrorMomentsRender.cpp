#include "MirrorMomentsRender.h"

#include <algorithm>
#include <cmath>

namespace {

struct Moments {
  double signedSquare;  // the integral of t·|t| over the triangle, over its area
  double square;        // that of t²
};

// For t linear over a triangle with vertex values a, b, c. The mean of t² is
// (a² + b² + c² + ab + bc + ca) / 6. Where t changes sign, the vertex alone on its side, at
// value p, cuts off a triangle of area fraction p² / ((p - q)(p - r)) whose mean of t² is p² / 6.
Moments TriangleMoments(double iA, double iB, double iC) {
  std::array<double, 3> t = {iA, iB, iC};
  std::sort(t.begin(), t.end());
  const double square = (t[0] * t[0] + t[1] * t[1] + t[2] * t[2] + t[0] * t[1] + t[1] * t[2] + t[0] * t[2]) / 6.0;
  if (t[0] >= 0.0) return {square, square};
  if (t[2] <= 0.0) return {-square, square};
  if (t[1] >= 0.0) {
    const double cut = t[0] * t[0] * t[0] * t[0] / (6.0 * (t[1] - t[0]) * (t[2] - t[0]));
    return {square - 2.0 * cut, square};
  }
  const double cut = t[2] * t[2] * t[2] * t[2] / (6.0 * (t[2] - t[0]) * (t[2] - t[1]));
  return {2.0 * cut - square, square};
}

}  // namespace

HRESULT MirrorMomentsRender::AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) {
  const double ux = double(ioB.x) - ioA.x, uy = double(ioB.y) - ioA.y, uz = double(ioB.z) - ioA.z;
  const double vx = double(ioC.x) - ioA.x, vy = double(ioC.y) - ioA.y, vz = double(ioC.z) - ioA.z;
  const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
  const double area = 0.5 * std::sqrt(nx * nx + ny * ny + nz * nz);
  const std::array<Moments, 3> moments = {TriangleMoments(ioA.x, ioB.x, ioC.x), TriangleMoments(ioA.y, ioB.y, ioC.y),
                                          TriangleMoments(ioA.z, ioB.z, ioC.z)};
  for (int c = 0; c < 3; ++c) {
    _signedSquares[c] += area * moments[c].signedSquare;
    _squares[c] += area * moments[c].square;
  }
  return S_OK;
}

HRESULT MirrorMomentsRender::AnalyzeLine(ZarMathPointf&, ZarMathPointf&) { return S_OK; }

HRESULT MirrorMomentsRender::AnalyzePoint(ZarMathPointf&) { return S_OK; }

std::array<double, 3> MirrorMomentsRender::Asymmetries() const {
  std::array<double, 3> asymmetries{};
  // A surface flat in the plane has no extent across it: nothing to mirror, symmetric.
  for (int c = 0; c < 3; ++c)
    asymmetries[c] = _squares[c] > 0.0 ? std::min(1.0, std::fabs(_signedSquares[c]) / _squares[c]) : 0.0;
  return asymmetries;
}
