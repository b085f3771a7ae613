#include "ZarBounding.h"

#include <cmath>

Zar3DBoundingSphere ZarBoundsf::Sphere() const {
  Zar3DBoundingSphere sphere;
  if (empty) return sphere;
  double squaredHalfDiagonal = 0.0;
  for (int k = 0; k < 3; ++k) {
    const double half = (static_cast<double>(max[k]) - min[k]) * 0.5;
    sphere.center[k] = static_cast<float>(min[k] + half);
    squaredHalfDiagonal += half * half;
  }
  // The rounded centre may sit off the true centre by one ulp per axis: pad for it.
  double slack = 0.0;
  for (int k = 0; k < 3; ++k) slack += std::fabs(static_cast<double>(sphere.center[k])) * 1.2e-7;
  sphere.radius = std::nextafter(static_cast<float>(std::sqrt(squaredHalfDiagonal) + slack), HUGE_VALF);
  sphere.flags = Zar3DBoundingSphere::StateValid;
  return sphere;
}
