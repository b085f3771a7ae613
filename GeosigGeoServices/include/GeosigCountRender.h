#pragma once
// Counts the triangles of a representation and its slow representations (those held as
// visualization primitive groups). With a limit set, it answers "do not draw" to the
// platform's drawing questions once a count has gone beyond its limit, so that a host
// learns cheaply whether a model exceeds a budget: a count above its limit means it does.
#include "GeosigRender.h"

class GeosigCountRender : public GeosigRender {
 public:
  // A limit of 0 or less means no limit.
  explicit GeosigCountRender(int iMaxTriangles = 0);
  GeosigCountRender(int iMaxTriangles, int iMaxSlowReps);
  ~GeosigCountRender() override;

  HRESULT GetTriangleNumber(int& oNumber) const;
  HRESULT GetSlowRepNumber(int& oNumber) const;
  void SetMaxNumberOfTrianglesToCount(int iMax);
  void SetMaxNumberOfSlowRepToCount(int iMax);
  // Clears both counts and the base counters, and sets both limits.
  void Reset(int iMaxTriangles, int iMaxSlowReps);

  // Counts the triangles of the primitive's topology without decoding them.
  void Draw3DBoundinGP(Zar3DBoundingGP& iPrimitive) override;
  void Draw3DFace(Zar3DFaceGP& iFace) override;
  void Draw3DPlanarFace(Zar3DPlanarFaceGP& iFace) override;
  void Draw3DCylinder(Zar3DCylinderGP& iCylinder, int iMode) override;
  void Draw3DCurvedPipe(Zar3DCurvedPipeGP& iPipe) override;
  // Counts slow representations.
  void DrawRepresentation(ZarRep& iRep) override;

  // Counting needs no coordinates: no matrix is kept.
  ZarRender* PushMatrix(Zar4x4Matrix& iMatrix) override;
  void PopMatrix(ZarRender* iRender) override;

  // The limit test answers these questions; none of them makes the attribute set current.
  using GeosigRender::IsDrawable;
  int IsDrawable(int iLayer) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, const Zar2DBoundingBox& iBox, const ZarRep& iRep) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, const Zar2DBoundingBox& iBox, int iFlag) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, const Zar3DBoundingSphere& iSphere, const ZarRep& iRep,
                 ZarGraphicMaterial* iMaterial) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, const ZarRep& iRep, ZarGraphicMaterial* iMaterial) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, int iFlag) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, int iFlag1, int iFlag2) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, ZarGraphicMaterial* iMaterial) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, const float* iCenter, float iRadius, int iFlag) override;
  int IsInside(const Zar2DBoundingBox& iBox) override;
  int IsInside(const Zar3DBoundingSphere& iSphere) override;
  int IsToSmall(const Zar2DBoundingBox& iBox) override;
  int IsToSmall(const Zar3DBoundingSphere& iSphere) override;
  int IsSeen(const float* iMin, const float* iMax) override;

 protected:
  HRESULT AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) override;
  HRESULT AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) override;
  HRESULT AnalyzePoint(ZarMathPointf& ioP) override;

 private:
  // 1 while both counts are within their limits, else 0.
  int IsWithinLimits() const;

  int _triangleNumber;
  int _maxNumberOfTrianglesToCount;
  int _slowRepNumber;
  int _maxNumberOfSlowRepToCount;
};
