#include "ZarMathPlane.h"

#include <cmath>

ZarMathPlane::ZarMathPlane() : _origin(0.0, 0.0, 0.0), _normal(0.0, 0.0, 1.0) {}

ZarMathPlane::ZarMathPlane(const ZarMathPoint& iOrigin, const ZarMathVector& iNormal)
    : _origin(iOrigin), _normal(0.0, 0.0, 1.0) {
  // Scaled by its largest component first, so that neither a tiny nor a huge normal loses its
  // direction to underflow or overflow; a NaN component makes the length NaN and is refused.
  const double largest = std::fmax(std::fabs(iNormal.x), std::fmax(std::fabs(iNormal.y), std::fabs(iNormal.z)));
  if (!(largest > 0.0) || !std::isfinite(largest)) return;
  ZarMathVector unit(iNormal.x / largest, iNormal.y / largest, iNormal.z / largest);
  if (ZarSucceeded(unit.Normalize())) _normal = unit;
}

double ZarMathPlane::SignedDistanceTo(const ZarMathPoint& iPoint) const {
  return ZarMathVector(_origin, iPoint).Dot(_normal);
}

double ZarMathPlane::DistanceTo(const ZarMathPoint& iPoint) const { return std::fabs(SignedDistanceTo(iPoint)); }

void ZarMathPlane::Project(const ZarMathPoint& iPoint, ZarMathPoint& oProjection) const {
  oProjection = iPoint + _normal * (-SignedDistanceTo(iPoint));
}
