#include "VisPrimitiveGroupRep.h"

#include "ZarRender.h"

ZAR_IMPLEMENT_CLASS(VisPrimitiveGroupRep, Zar3DRep, "ZarPlatform", ZarRetrieveMetaClass)

VisPrimitiveGroupRep* VisPrimitiveGroupRep::CreateRep() { return new VisPrimitiveGroupRep(); }

VisPrimitiveGroupRep::~VisPrimitiveGroupRep() {
  for (VisPrimitive* primitive : _primitives) primitive->Release();
}

HRESULT VisPrimitiveGroupRep::AddPrimitive(VisPrimitive& iPrimitive) {
  _primitives.push_back(&iPrimitive);
  iPrimitive.AddRef();
  GeometryChanged();
  return S_OK;
}

Zar3DBoundingSphere VisPrimitiveGroupRep::ComputeBoundingSphere() {
  ZarBoundsf bounds;
  for (const VisPrimitive* primitive : _primitives) primitive->ExtendBounds(bounds);
  return bounds.Sphere();
}

void VisPrimitiveGroupRep::AcceptContent(ZarRender& iRender) {
  for (VisPrimitive* primitive : _primitives) iRender.DrawVisPrimitive(*primitive);
}
