#include "ZarRender.h"

#include "ZarRep.h"
#include "ZarSupport.h"

ZAR_IMPLEMENT_CLASS(ZarRender, ZarBaseUnknown, "ZarPlatform", ZarRetrieveMetaClass)

ZarRender::ZarRender(ZarSupport& iSupport) : _support(iSupport) { _support.AddRef(); }

ZarRender::~ZarRender() { _support.Release(); }

void ZarRender::Traverse(ZarRep& iRep) { iRep.Accept(*this); }

ZarRender* ZarRender::PushMatrix(Zar4x4Matrix&) { return this; }
void ZarRender::PopMatrix(ZarRender*) {}

int ZarRender::IsDrawable(const std::list<int>&) { return 1; }
int ZarRender::IsDrawable(int) { return 1; }
int ZarRender::IsDrawable(const ZarGraphicAttributeSet&) { return 1; }
int ZarRender::IsDrawable(const ZarGraphicAttributeSet&, const std::list<int>&) { return 1; }
int ZarRender::IsDrawable(const ZarGraphicAttributeSet&, const std::list<int>&, int) { return 1; }
int ZarRender::IsDrawable(const ZarGraphicAttributeSet&, const Zar3DBoundingSphere&, const ZarRep&,
                          ZarGraphicMaterial*) {
  return 1;
}
int ZarRender::IsDrawable(const ZarGraphicAttributeSet&, const ZarRep&, ZarGraphicMaterial*) { return 1; }
int ZarRender::IsDrawable(const ZarGraphicAttributeSet&, int) { return 1; }
int ZarRender::IsDrawable(const ZarGraphicAttributeSet&, int, int) { return 1; }
int ZarRender::IsDrawable(const ZarGraphicAttributeSet&, ZarGraphicMaterial*) { return 1; }
int ZarRender::IsDrawable(const ZarGraphicAttributeSet&, const float*, float, int) { return 1; }
int ZarRender::IsDrawable(const ZarGraphicAttributeSet&, const Zar2DBoundingBox&, const ZarRep&) { return 1; }
int ZarRender::IsDrawable(const ZarGraphicAttributeSet&, const Zar2DBoundingBox&, int) { return 1; }
int ZarRender::IsDrawable(const ZarVizAttribute&, int) { return 1; }
int ZarRender::IsInside(const Zar2DBoundingBox&) { return 1; }
int ZarRender::IsInside(const Zar3DBoundingSphere&) { return 1; }
int ZarRender::IsToSmall(const Zar2DBoundingBox&) { return 0; }
int ZarRender::IsToSmall(const Zar3DBoundingSphere&) { return 0; }
int ZarRender::IsSeen(const float*, const float*) { return 1; }

// The coarsest level whose sag the model sag tolerates; the finest without sags.
int ZarRender::Get3DLODNumber(const Zar3DBoundingSphere& iSphere, int iLevelCount, const float* const iSags) {
  if (!iSags) return 0;
  const float tolerated = Get3DModelSag(iSphere);
  int level = 0;
  for (int l = 1; l < iLevelCount; ++l)
    if (iSags[l] <= tolerated) level = l;
  return level;
}
float ZarRender::Get3DModelCulling(const Zar3DBoundingSphere&) const { return _modelCulling; }
float ZarRender::Get3DModelSag(const Zar3DBoundingSphere&) const { return _modelSag; }

void ZarRender::SetCurrentAttribute(const ZarGraphicAttributeSet& iAttr) { _currentAttribute = iAttr; }

ZarVizVertexBuffer* ZarRender::SetCurrentVertexBuffer(ZarVizVertexBuffer* iBuffer) {
  ZarVizVertexBuffer* previous = _currentVertexBuffer;
  _currentVertexBuffer = iBuffer;
  return previous;
}

void ZarRender::DrawRepresentation(ZarRep&) {}

// The base render draws nothing: drawing is what concrete renders are for.
void ZarRender::Draw3DFace(Zar3DFaceGP&) {}
void ZarRender::Draw3DPlanarFace(Zar3DPlanarFaceGP&) {}
void ZarRender::DrawZarViz3DFace(ZarViz3DFace*) {}
void ZarRender::DrawVisPrimitive(VisPrimitive&) {}
void ZarRender::Draw3DLine(Zar3DLineGP&) {}
void ZarRender::DrawZarViz3DLine(ZarViz3DLine*) {}
void ZarRender::Draw3DCylinder(Zar3DCylinderGP&, int) {}
void ZarRender::Draw3DCurvedPipe(Zar3DCurvedPipeGP&) {}
void ZarRender::Draw3DEdge(Zar3DEdgeGP&) {}
void ZarRender::Draw3DMarker(Zar3DMarkerGP&) {}
void ZarRender::DrawZarViz3DEdge(ZarViz3DEdge*) {}
void ZarRender::DrawZarViz3DMarker(ZarViz3DMarker*) {}
void ZarRender::DrawZarVizDynamicPrimitive(ZarVizDynamicPrimitive&) {}
void ZarRender::DrawDynamicGP(ZarDynamicGP&) {}
void ZarRender::Draw3DPolyline(Zar3DPolylineGP&) {}
void ZarRender::Draw3DBoundinGP(Zar3DBoundingGP&) {}
