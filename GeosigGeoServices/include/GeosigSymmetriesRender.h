#pragma once
// Mirror symmetry of the tessellated surface about each coordinate plane x = 0, y = 0 and
// z = 0 of the world frame. For each coordinate c it accumulates 6 times the surface
// integral of c·|c|, which vanishes for a surface symmetric about the plane c = 0, and
// compares it with the fourth power of the diagonal of the vertices' box.
#include "GeosigRender.h"

class GeosigSymmetriesRender : public GeosigRender {
 public:
  GeosigSymmetriesRender();
  ~GeosigSymmetriesRender() override;

  // Each flag is 1.0 for a symmetry plane, -1.0 otherwise.
  HRESULT GetSymmetries(float& oX, float& oY, float& oZ);
  // The box starts at ±1000, not at ±infinity, and is kept across Reset.
  HRESULT GetBB(ZarMathVectorf& oMin, ZarMathVectorf& oMax);
  // Three per analysed triangle.
  HRESULT GetNbPts(int& oNb);
  // The diagonal of the three flags.
  HRESULT GetMatrix(Zar4x4Matrix& oMatrix);
  // Clears the sums and the counters, not the box.
  void Reset();

 protected:
  HRESULT AnalyzeTriangle(ZarMathPointf& ioP1, ZarMathPointf& ioP2, ZarMathPointf& ioP3) override;
  HRESULT AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) override;
  HRESULT AnalyzePoint(ZarMathPointf& ioP) override;

 private:
  friend class GeosigSymmetriesRenderProbe;  // lets tests check the moment arithmetic

  // 6 times the mean of t·|t| over a triangle whose vertices have coordinates a, b, c
  // along one axis.
  float AddMomentDim(float iA, float iB, float iC);

  float _momentSums[3];
  ZarMathVectorf _boxMin;
  ZarMathVectorf _boxMax;
};
