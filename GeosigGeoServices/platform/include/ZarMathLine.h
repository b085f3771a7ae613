#pragma once
// An infinite line in double precision: an origin and a unit direction. Lines are heap
// objects of the platform (class-level allocator answering null when memory runs out)
// with a virtual destructor, so an owner may hold one through a base pointer.
#include <cstddef>

#include "ZarMathPoint.h"

class ZarMathLine {
 public:
  // iDirection is normalised; a null direction leaves a line reduced to its origin.
  ZarMathLine(const ZarMathPoint& iOrigin, const ZarMathVector& iDirection);
  ZarMathLine(const ZarMathLine& iOther) = default;
  ZarMathLine& operator=(const ZarMathLine& iOther) = default;
  virtual ~ZarMathLine();

  const ZarMathPoint& GetOrigin() const { return _origin; }
  // Unit length, or null for a line reduced to its origin.
  const ZarMathVector& GetDirection() const { return _direction; }

  // Distance from iPoint to its orthogonal projection on the line.
  double DistanceTo(const ZarMathPoint& iPoint) const;
  // The foot of the perpendicular from iPoint.
  void Project(const ZarMathPoint& iPoint, ZarMathPoint& oProjection) const;

  static void* operator new(std::size_t iSize) noexcept;
  static void operator delete(void* iObject) noexcept;

 private:
  ZarMathPoint _origin;
  ZarMathVector _direction;
};
