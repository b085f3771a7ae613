#pragma once
// The spacing of features repeated along the x axis of the normalised pose, the part's first
// principal axis: the pins of a header, the terminals of a block, the fins of a heat sink. Two
// parts of one design at different pitches (a 2.54 mm header and a 2.00 mm one) normalise to
// nearly the same shape; their pitch in model units tells them apart.
//
// The surface's area is profiled along x in Bins slices of the cube [-Reach, Reach], the profile
// blurred a little and its autocorrelation searched for the shortest lag that repeats the
// profile about as well as any lag does.
#include <vector>

#include "GeosigRender.h"

class PitchRender : public GeosigRender {
 public:
  static constexpr int Bins = 2048;
  // A lag whose profiles, shifted, correlate less than this (per overlapping slice) is no
  // period: a single part, or an irregular row.
  static constexpr double LeastRepeat = 0.5;

  // Profiles x from -iReach to iReach.
  explicit PitchRender(float iReach);
  // The period along x in the units of the traversed coordinates; 0 where none repeats.
  double Pitch() const;

 protected:
  HRESULT AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) override;
  HRESULT AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) override;
  HRESULT AnalyzePoint(ZarMathPointf& ioP) override;

 private:
  // Each triangle's area spread evenly over the slices it spans, kept as differences between
  // neighbouring slices so that a long triangle costs no more than a short one.
  std::vector<double> _steps;
  double _reach;
  int _first = Bins, _last = -1;  // the slices that any triangle reaches
};
