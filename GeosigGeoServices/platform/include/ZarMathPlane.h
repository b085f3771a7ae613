#pragma once
// An infinite plane in double precision, held as a point of the plane (its origin) and a
// unit normal. The default plane is z = 0 through the origin.
#include "ZarMathPoint.h"

class ZarMathPlane {
 public:
  ZarMathPlane();
  // The normal is normalised; a normal that cannot be (null or not finite) leaves the
  // default normal (0, 0, 1), as a default direction does.
  ZarMathPlane(const ZarMathPoint& iOrigin, const ZarMathVector& iNormal);

  const ZarMathPoint& GetOrigin() const { return _origin; }
  const ZarMathVector& GetNormal() const { return _normal; }

  // Never negative, whichever side of the plane the point lies on.
  double DistanceTo(const ZarMathPoint& iPoint) const;
  // The foot of the perpendicular from the point to the plane.
  void Project(const ZarMathPoint& iPoint, ZarMathPoint& oProjection) const;

 private:
  // Signed: positive on the side the normal points to.
  double SignedDistanceTo(const ZarMathPoint& iPoint) const;

  ZarMathPoint _origin;
  ZarMathVector _normal;
};
