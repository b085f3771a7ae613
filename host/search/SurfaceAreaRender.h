#pragma once
// The area of the tessellated surface, summed over the triangles the traversal delivers in
// the world frame, by the same Heron's formula the area-weighted renders use.
#include "GeosigRender.h"

class SurfaceAreaRender : public GeosigRender {
 public:
  double Area() const { return _area; }

 protected:
  HRESULT AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) override;
  HRESULT AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) override;
  HRESULT AnalyzePoint(ZarMathPointf& ioP) override;

 private:
  double _area = 0.0;
};
