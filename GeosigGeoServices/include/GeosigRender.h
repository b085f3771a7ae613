#pragma once
// The abstract base of every analysis render. It answers the platform's culling questions so
// that every 3D element is visited at full detail and 2D elements are skipped, keeps the
// stack of accumulated transformations, decodes faces, visualization primitives, lines and
// bounding primitives into world-space triangles, segments and points, and hands them to
// the hooks that each concrete render implements.
#include <cstdint>
#include <list>

#include "Zar4x4Matrix.h"
#include "ZarMathPoint.h"
#include "ZarRender.h"

// One pushed transformation: the accumulated matrix at this depth.
struct GeosigMatrixNode {
  Zar4x4Matrix _matrix;
  GeosigMatrixNode* _next;
};

class GeosigRender : public ZarRender {
 public:
  GeosigRender();
  ~GeosigRender() override;
  GeosigRender(const GeosigRender&) = delete;
  GeosigRender& operator=(const GeosigRender&) = delete;

  ZarRender* PushMatrix(Zar4x4Matrix& iMatrix) override;
  void PopMatrix(ZarRender* iRender) override;

  using ZarRender::IsDrawable;
  int IsDrawable(const std::list<int>& iLayers) override;
  int IsDrawable(int iLayer) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, const std::list<int>& iLayers, int iFlag) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, const Zar3DBoundingSphere& iSphere, const ZarRep& iRep,
                 ZarGraphicMaterial* iMaterial) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, const ZarRep& iRep, ZarGraphicMaterial* iMaterial) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, int iFlag) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, int iFlag1, int iFlag2) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, ZarGraphicMaterial* iMaterial) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, const float* iCenter, float iRadius, int iFlag) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, const Zar2DBoundingBox& iBox, const ZarRep& iRep) override;
  int IsDrawable(const ZarGraphicAttributeSet& iAttr, const Zar2DBoundingBox& iBox, int iFlag) override;
  int IsInside(const Zar2DBoundingBox& iBox) override;
  int IsInside(const Zar3DBoundingSphere& iSphere) override;
  int IsToSmall(const Zar2DBoundingBox& iBox) override;
  int IsToSmall(const Zar3DBoundingSphere& iSphere) override;
  int IsSeen(const float* iMin, const float* iMax) override;
  int Get3DLODNumber(const Zar3DBoundingSphere& iSphere, int iLevelCount, const float* const iSags) override;
  float Get3DModelCulling(const Zar3DBoundingSphere& iSphere) const override;
  float Get3DModelSag(const Zar3DBoundingSphere& iSphere) const override;

  void Draw3DFace(Zar3DFaceGP& iFace) override;
  void Draw3DPlanarFace(Zar3DPlanarFaceGP& iFace) override;
  void DrawZarViz3DFace(ZarViz3DFace* iFace) override;
  void DrawVisPrimitive(VisPrimitive& iPrimitive) override;
  void Draw3DLine(Zar3DLineGP& iLine) override;
  void DrawZarViz3DLine(ZarViz3DLine* iLine) override;
  void Draw3DCylinder(Zar3DCylinderGP& iCylinder, int iMode) override;
  void Draw3DCurvedPipe(Zar3DCurvedPipeGP& iPipe) override;
  void Draw3DEdge(Zar3DEdgeGP& iEdge) override;
  void Draw3DMarker(Zar3DMarkerGP& iMarker) override;
  void DrawZarViz3DEdge(ZarViz3DEdge* iEdge) override;
  void DrawZarViz3DMarker(ZarViz3DMarker* iMarker) override;
  void DrawZarVizDynamicPrimitive(ZarVizDynamicPrimitive& iPrimitive) override;
  void DrawDynamicGP(ZarDynamicGP& iPrimitive) override;
  void Draw3DPolyline(Zar3DPolylineGP& iPolyline) override;
  void Draw3DBoundinGP(Zar3DBoundingGP& iPrimitive) override;

  virtual std::uint32_t GetTrianglesCount();

 protected:
  // The hooks: points are in the world frame; a negative status stops the current primitive.
  virtual HRESULT AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) = 0;
  virtual HRESULT AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) = 0;
  virtual HRESULT AnalyzePoint(ZarMathPointf& ioP) = 0;

  // Shared by the renders that prune with a bounding sphere: the answers to the sphere
  // questions, in terms of the render's own centre-and-radius IsDrawable.
  int IsSphereDrawable(const ZarGraphicAttributeSet& iAttr, const Zar3DBoundingSphere& iSphere);
  int IsSphereTooSmall(const Zar3DBoundingSphere& iSphere);
  // A sphere of the representation being visited, brought into the world frame: the centre
  // by the top matrix, the radius by its scaling (double product rounded to float).
  void SphereToWorld(const float* iCenter, float iRadius, ZarMathPointf& oCenter, float& oRadius) const;

  // The measures shared by the area-weighted renders, in float: the area by Heron's formula
  // (zero or nearly so for a degenerate triangle) and the centroid.
  static float TriangleArea(const ZarMathPointf& iA, const ZarMathPointf& iB, const ZarMathPointf& iC);
  static ZarMathPointf TriangleCentroid(const ZarMathPointf& iA, const ZarMathPointf& iB, const ZarMathPointf& iC);

  GeosigMatrixNode* _matrixStack;
  std::uint32_t _nbTriangles;
  std::uint32_t _nbLines;
  std::uint32_t _nbPoints;

 private:
  void ProjectPoint(ZarMathPointf& ioPoint);
  HRESULT ProcessTriangle3D(const float* iA, const float* iB, const float* iC);
  void DrawGenericFace(const float* iVertices, unsigned int iVertexFloatCount, const void* iTriangles,
                       unsigned int iNbTriangles, const void* iStrips, unsigned int iNbStrips,
                       const unsigned int* iStripCounts, const void* iFans, unsigned int iNbFans,
                       const unsigned int* iFanCounts, unsigned int& iIndexType, int iVertexNumbers);
  void DrawGenericFace(const float* iVertices, int iVertexFloatCount, const int* iTriangles, int iNbTriangles,
                       const int* iStrips, int iNbStrips, const int* iStripCounts, const int* iFans, int iNbFans,
                       const int* iFanCounts);
  HRESULT DrawSegments(const float* iPoints, std::uint32_t iCount, bool iIndependent, bool iClosed);
};
