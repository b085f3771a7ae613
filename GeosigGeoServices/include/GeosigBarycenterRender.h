#pragma once
// Area-weighted barycenter (surface centroid) of the tessellated geometry, in world
// coordinates, and the translation that moves it to the origin.
#include "GeosigRender.h"

class GeosigBarycenterRender : public GeosigRender {
 public:
  GeosigBarycenterRender();
  ~GeosigBarycenterRender() override;

  // E_FAIL, output untouched, until a triangle of non-negligible area was analysed.
  HRESULT GetBarycenter(ZarMathPointf& oBarycenter);
  // The translation by minus the barycenter; E_FAIL, output untouched, like GetBarycenter.
  HRESULT GetMatrix(Zar4x4Matrix& oMatrix);
  void Reset();

 protected:
  HRESULT AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) override;
  HRESULT AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) override;
  HRESULT AnalyzePoint(ZarMathPointf& ioP) override;

 private:
  bool HoldsBarycenter() const;
  ZarMathPointf Barycenter() const;

  float _totalArea;
  ZarMathPointf _weightedSum;
};
