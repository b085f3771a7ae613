#include "ZarTolerance.h"

#include <cstdio>

ZarTolerance::ZarTolerance(double iEpsRelative, double iEpsLength, double iEpsSmall)
    : _epsRelative(iEpsRelative), _epsLength(iEpsLength), _epsSmall(iEpsSmall) {}

double ZarTolerance::EpsLength() const {
  if (_errorState > 0) ZarToleranceError(this);
  return _epsLength;
}

double ZarTolerance::EpsSmall() const {
  if (_errorState > 0) ZarToleranceError(this);
  return _epsSmall;
}

ZarTolerance& ZarGetDefaultTolerance() {
  static ZarTolerance tolerance(1.0e-13, 1.0e-6, 1.0e-6);
  return tolerance;
}

int ZarToleranceError(const ZarTolerance* iTolerance) {
  const int state = iTolerance ? iTolerance->ErrorState() : -1;
  std::fprintf(stderr, "Tolerance in error state %d\n", state);
  return state;
}
