#pragma once
// How far the tessellated surface is from symmetric about each coordinate plane x = 0, y = 0
// and z = 0 of the world frame, as a continuous measure: for each coordinate c, the surface
// integral of c·|c| over that of c², 0 for a surface symmetric about the plane c = 0 and 1 for
// one wholly on one side of it. Summed in double, so that a symmetric surface of a million
// triangles still comes out near 0, and the measure moves little when the frame turns a little.
#include <array>

#include "GeosigRender.h"

class MirrorMomentsRender : public GeosigRender {
 public:
  std::array<double, 3> Asymmetries() const;

 protected:
  HRESULT AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) override;
  HRESULT AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) override;
  HRESULT AnalyzePoint(ZarMathPointf& ioP) override;

 private:
  std::array<double, 3> _signedSquares{};  // of c·|c|
  std::array<double, 3> _squares{};        // of c²
};
