#include "ZarSurfacicRep.h"

#include <limits>

#include "ZarRender.h"

ZAR_IMPLEMENT_CLASS(ZarSurfacicRep, Zar3DRep, "ZarPlatform", ZarRetrieveMetaClass)

ZarSurfacicRep* ZarSurfacicRep::CreateRep() { return new ZarSurfacicRep(); }

ZarSurfacicRep::~ZarSurfacicRep() {
  for (std::vector<ZarGraphicPrimitive*>& level : _levels)
    for (ZarGraphicPrimitive* primitive : level) primitive->Release();
}

HRESULT ZarSurfacicRep::AddPrimitive(ZarGraphicPrimitive& iPrimitive, int iLevel) {
  if (iLevel < 0 || iLevel > GetLODCount()) return E_INVALIDARG;
  if (iLevel == GetLODCount()) {
    _levels.emplace_back();
    _levelSags.push_back(std::numeric_limits<float>::infinity());
  }
  _levels[iLevel].push_back(&iPrimitive);
  iPrimitive.AddRef();
  GeometryChanged();
  return S_OK;
}

HRESULT ZarSurfacicRep::SetLevelSag(int iLevel, float iSag) {
  if (iLevel < 0 || iLevel >= GetLODCount()) return E_INVALIDARG;
  _levelSags[iLevel] = iSag;
  return S_OK;
}

int ZarSurfacicRep::GetGeomElementCount() const {
  return _levels.empty() ? 0 : static_cast<int>(_levels.front().size());
}

ZarGraphicPrimitive* ZarSurfacicRep::GetGeomElement(int iIndex) const {
  if (iIndex < 0 || iIndex >= GetGeomElementCount()) return nullptr;
  return _levels.front()[iIndex];
}

HRESULT ZarSurfacicRep::SetEditMode(int iMode) {
  _editMode = iMode;
  return S_OK;
}

Zar3DBoundingSphere ZarSurfacicRep::ComputeBoundingSphere() {
  ZarBoundsf bounds;
  if (!_levels.empty())
    for (const ZarGraphicPrimitive* primitive : _levels.front()) primitive->ExtendBounds(bounds);
  return bounds.Sphere();
}

void ZarSurfacicRep::AcceptContent(ZarRender& iRender) {
  if (_levels.empty()) return;
  int level = iRender.Get3DLODNumber(GetBoundingSphere(), GetLODCount(), _levelSags.data());
  if (level < 0) level = 0;
  if (level >= GetLODCount()) level = GetLODCount() - 1;
  const ZarGraphicAttributeSet& attributes = GetAttributeSet();
  for (ZarGraphicPrimitive* primitive : _levels[level])
    if (iRender.IsDrawable(attributes)) primitive->Draw(iRender);
}
