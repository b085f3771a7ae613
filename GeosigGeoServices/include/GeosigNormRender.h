#pragma once
// The norm of the tessellated geometry, the largest distance from the world origin to a
// vertex, and the uniform scaling into the unit ball. Sub-trees whose bounding sphere lies
// inside the ball already reached cannot raise the norm and are not decoded.
#include "GeosigRender.h"
#include "ZarMetaClass.h"

class GeosigNormRender : public GeosigRender {
  ZAR_DECLARE_CLASS

 public:
  GeosigNormRender();
  ~GeosigNormRender() override;

  // Always S_OK; 0 before any triangle.
  HRESULT GetNorm(float& oNorm);
  // The scaling by 1 / norm about the origin; E_FAIL, output untouched, when the squared
  // norm does not exceed the default tolerance's small-length factor.
  HRESULT GetMatrix(Zar4x4Matrix& oMatrix);
  // Clears the norm only: the triangle, line and point counters keep running.
  void Reset();

  using GeosigRender::IsDrawable;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, const Zar3DBoundingSphere& iSphere, const ZarRep& iRep,
                 ZarGraphicMaterial* iMaterial) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, const float* iCenter, float iRadius, int iFlag) override;
  using GeosigRender::IsToSmall;
  int IsToSmall(const Zar3DBoundingSphere& iSphere) override;
  using GeosigRender::IsInside;
  int IsInside(const Zar3DBoundingSphere& iSphere) override;

 protected:
  HRESULT AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) override;
  HRESULT AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) override;
  HRESULT AnalyzePoint(ZarMathPointf& ioP) override;

 private:
  void AddPointForNorm(const ZarMathPointf& iPoint);

  // Squared, so that a vertex costs no square root.
  float _maxSquaredNorm;
};
