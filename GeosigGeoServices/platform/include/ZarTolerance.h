#pragma once
// The platform's default tolerance: relative precision, smallest significant length and
// small-length factor, with an error state that the guarded accessors report.

class ZarTolerance {
 public:
  ZarTolerance(double iEpsRelative, double iEpsLength, double iEpsSmall);

  // Read directly, without the error guard.
  double EpsRelative() const { return _epsRelative; }
  // Guarded: when the error state is positive, ZarToleranceError is called first;
  // the value is returned anyway.
  double EpsLength() const;
  double EpsSmall() const;

  int ErrorState() const { return _errorState; }
  void SetErrorState(int iState) { _errorState = iState; }

 private:
  int _errorState = 0;
  double _epsRelative;
  double _epsLength;
  double _epsSmall;
};

// The one process-wide default tolerance: ε_rel 1e-13, ε_len 1e-6, ε_small 1e-6.
ZarTolerance& ZarGetDefaultTolerance();

// Reports a tolerance in an error state on standard error; returns that state.
int ZarToleranceError(const ZarTolerance* iTolerance);
