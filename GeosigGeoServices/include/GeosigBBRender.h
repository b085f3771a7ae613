#pragma once
// Axis-aligned bounding box of the tessellated geometry, in world coordinates, and the
// bounding cube derived from it. Sub-trees whose bounding sphere lies strictly inside the
// box already gathered cannot change it and are not decoded.
#include "GeosigRender.h"

class GeosigBBRender : public GeosigRender {
 public:
  GeosigBBRender();
  ~GeosigBBRender() override;

  // E_FAIL, with both outputs (0, 0, 0), when no triangle was analysed.
  HRESULT GetBoundingBox(ZarMathPointf& oMin, ZarMathPointf& oMax);
  // Same centre as the box, edge equal to its largest extent.
  HRESULT GetBoundingCube(ZarMathPointf& oMin, ZarMathPointf& oMax);
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
  void AddPointForBB(const ZarMathPointf& iPoint);

  ZarMathPointf _bbMin;
  ZarMathPointf _bbMax;
  bool _bbHasData;
};
