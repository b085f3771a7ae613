#pragma once
// The scene-graph render: a visitor that the platform drives through a representation tree.
// Traverse() walks the tree depth first; on the way it asks the culling questions below,
// brackets transformed sub-trees with PushMatrix/PopMatrix and calls one drawing operation
// per graphic primitive. The base answers every question with "draw" and draws nothing.
#include <list>

#include "Zar4x4Matrix.h"
#include "ZarBaseUnknown.h"
#include "ZarBounding.h"
#include "ZarGraphicAttributeSet.h"

class ZarSupport;
class ZarRep;
class ZarVizVertexBuffer;
class ZarViz3DFace;
class ZarViz3DLine;
class ZarViz3DEdge;
class ZarViz3DMarker;
class ZarVizDynamicPrimitive;
class ZarDynamicGP;
class VisPrimitive;
class Zar3DFaceGP;
class Zar3DPlanarFaceGP;
class Zar3DLineGP;
class Zar3DPolylineGP;
class Zar3DBoundingGP;
class Zar3DCylinderGP;
class Zar3DCurvedPipeGP;
class Zar3DEdgeGP;
class Zar3DMarkerGP;

class ZarRender : public ZarBaseUnknown {
  ZAR_DECLARE_CLASS

 public:
  explicit ZarRender(ZarSupport& iSupport);
  ~ZarRender() override;

  // Walks iRep and its sub-tree with this render.
  void Traverse(ZarRep& iRep);

  ZarSupport& GetSupport() const { return _support; }

  // Transformation bracketing: iMatrix is the sub-tree's own transformation.
  virtual ZarRender* PushMatrix(Zar4x4Matrix& iMatrix);
  virtual void PopMatrix(ZarRender* iRender);

  // Culling questions: 1 = draw / inside / too small / seen, 0 = no.
  virtual int IsDrawable(const std::list<int>& iLayers);
  virtual int IsDrawable(int iLayer);
  virtual int IsDrawable(const ZarGraphicAttributeSet& iAttr);
  virtual int IsDrawable(const ZarGraphicAttributeSet& iAttr, const std::list<int>& iLayers);
  virtual int IsDrawable(const ZarGraphicAttributeSet& iAttr, const std::list<int>& iLayers, int iFlag);
  virtual int IsDrawable(const ZarGraphicAttributeSet& iAttr, const Zar3DBoundingSphere& iSphere, const ZarRep& iRep,
                         ZarGraphicMaterial* iMaterial);
  virtual int IsDrawable(const ZarGraphicAttributeSet& iAttr, const ZarRep& iRep, ZarGraphicMaterial* iMaterial);
  virtual int IsDrawable(const ZarGraphicAttributeSet& iAttr, int iFlag);
  virtual int IsDrawable(const ZarGraphicAttributeSet& iAttr, int iFlag1, int iFlag2);
  virtual int IsDrawable(const ZarGraphicAttributeSet& iAttr, ZarGraphicMaterial* iMaterial);
  virtual int IsDrawable(const ZarGraphicAttributeSet& iAttr, const float* iCenter, float iRadius, int iFlag);
  virtual int IsDrawable(const ZarGraphicAttributeSet& iAttr, const Zar2DBoundingBox& iBox, const ZarRep& iRep);
  virtual int IsDrawable(const ZarGraphicAttributeSet& iAttr, const Zar2DBoundingBox& iBox, int iFlag);
  virtual int IsDrawable(const ZarVizAttribute& iAttr, int iFlag);
  virtual int IsInside(const Zar2DBoundingBox& iBox);
  virtual int IsInside(const Zar3DBoundingSphere& iSphere);
  virtual int IsToSmall(const Zar2DBoundingBox& iBox);
  virtual int IsToSmall(const Zar3DBoundingSphere& iSphere);
  virtual int IsSeen(const float* iMin, const float* iMax);

  // Level of detail: 0 is the finest of iLevelCount levels. iSags, when given, holds the sag
  // of each level; the base chooses the coarsest level within the model sag.
  virtual int Get3DLODNumber(const Zar3DBoundingSphere& iSphere, int iLevelCount, const float* const iSags);
  virtual float Get3DModelCulling(const Zar3DBoundingSphere& iSphere) const;
  virtual float Get3DModelSag(const Zar3DBoundingSphere& iSphere) const;
  void SetModelCulling(float iCulling) { _modelCulling = iCulling; }
  void SetModelSag(float iSag) { _modelSag = iSag; }

  virtual void SetCurrentAttribute(const ZarGraphicAttributeSet& iAttr);
  const ZarGraphicAttributeSet& GetCurrentAttribute() const { return _currentAttribute; }
  // Records the buffer that face primitives index into; returns the previous one.
  virtual ZarVizVertexBuffer* SetCurrentVertexBuffer(ZarVizVertexBuffer* iBuffer);

  // A notification, once per representation reached, before its content.
  virtual void DrawRepresentation(ZarRep& iRep);

  virtual void Draw3DFace(Zar3DFaceGP& iFace);
  virtual void Draw3DPlanarFace(Zar3DPlanarFaceGP& iFace);
  virtual void DrawZarViz3DFace(ZarViz3DFace* iFace);
  virtual void DrawVisPrimitive(VisPrimitive& iPrimitive);
  virtual void Draw3DLine(Zar3DLineGP& iLine);
  virtual void DrawZarViz3DLine(ZarViz3DLine* iLine);
  virtual void Draw3DCylinder(Zar3DCylinderGP& iCylinder, int iMode);
  virtual void Draw3DCurvedPipe(Zar3DCurvedPipeGP& iPipe);
  virtual void Draw3DEdge(Zar3DEdgeGP& iEdge);
  virtual void Draw3DMarker(Zar3DMarkerGP& iMarker);
  virtual void DrawZarViz3DEdge(ZarViz3DEdge* iEdge);
  virtual void DrawZarViz3DMarker(ZarViz3DMarker* iMarker);
  virtual void DrawZarVizDynamicPrimitive(ZarVizDynamicPrimitive& iPrimitive);
  virtual void DrawDynamicGP(ZarDynamicGP& iPrimitive);
  virtual void Draw3DPolyline(Zar3DPolylineGP& iPolyline);
  virtual void Draw3DBoundinGP(Zar3DBoundingGP& iPrimitive);

 protected:
  ZarVizVertexBuffer* GetCurrentVertexBuffer() const { return _currentVertexBuffer; }

 private:
  ZarSupport& _support;
  ZarGraphicAttributeSet _currentAttribute;
  ZarVizVertexBuffer* _currentVertexBuffer = nullptr;
  float _modelCulling = 0.0f;
  float _modelSag = 0.0f;
};
