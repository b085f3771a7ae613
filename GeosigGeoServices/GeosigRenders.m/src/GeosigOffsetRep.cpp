#include "GeosigOffsetRep.h"

ZAR_IMPLEMENT_CLASS(GeosigOffsetRep, Zar3DFinalBagRep, "GeosigGeoServices", ZarRetrieveMetaClass)

GeosigOffsetRep::GeosigOffsetRep(float iSize) : _size(iSize < 0.0f ? 0.0f : iSize) {}

GeosigOffsetRep::~GeosigOffsetRep() = default;

void GeosigOffsetRep::SetOffset(float iOffset) {
  if (!(iOffset > 0.0f) || !(_size > 0.0f)) return;
  const double factor = (_size + iOffset) / _size;
  Zar4x4Matrix scaling;
  // The scaling the matrix derives is refreshed once, with the last coefficient.
  scaling.SetElement(0, 0, factor, 0);
  scaling.SetElement(1, 1, factor, 0);
  scaling.SetElement(2, 2, factor, 1);
  SetMatrix(scaling);
}
