#include "ZarMathLine.h"

#include "ZarBaseUnknown.h"

ZarMathLine::ZarMathLine(const ZarMathPoint& iOrigin, const ZarMathVector& iDirection)
    : _origin(iOrigin), _direction(iDirection) {
  if (ZarFailed(_direction.Normalize())) _direction = ZarMathVector(0.0, 0.0, 0.0);
}

ZarMathLine::~ZarMathLine() = default;

double ZarMathLine::DistanceTo(const ZarMathPoint& iPoint) const {
  ZarMathPoint foot;
  Project(iPoint, foot);
  return iPoint.DistanceTo(foot);
}

void ZarMathLine::Project(const ZarMathPoint& iPoint, ZarMathPoint& oProjection) const {
  oProjection = _origin + _direction * (iPoint - _origin).Dot(_direction);
}

// Mathematical objects come from the one platform allocator, so that they fail like every
// other platform object when memory runs out.
void* ZarMathLine::operator new(std::size_t iSize) noexcept { return ZarBaseUnknown::operator new(iSize); }
void ZarMathLine::operator delete(void* iObject) noexcept { ZarBaseUnknown::operator delete(iObject); }
