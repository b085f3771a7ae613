#include "Zar3DRep.h"

#include "ZarRender.h"

ZAR_IMPLEMENT_CLASS(Zar3DRep, ZarRep, "ZarPlatform", ZarRetrieveMetaClass)

const Zar3DBoundingSphere& Zar3DRep::GetBoundingSphere() {
  if (!_sphereValid) {
    _sphere = ComputeBoundingSphere();
    _sphere.fixedSize = _fixedSize;
    _sphereValid = true;
  }
  return _sphere;
}

void Zar3DRep::SetFixedSize(float iSize) {
  _fixedSize = iSize;
  _sphere.fixedSize = iSize;
}

void Zar3DRep::GeometryChanged() {
  _sphereValid = false;
  ZarRep::GeometryChanged();
}

void Zar3DRep::Accept(ZarRender& iRender) {
  const Zar3DBoundingSphere& sphere = GetBoundingSphere();
  if (sphere.IsEmpty()) return;
  if (!iRender.IsDrawable(GetAttributeSet(), sphere, *this, nullptr)) return;
  if (iRender.IsToSmall(sphere)) return;
  iRender.DrawRepresentation(*this);
  AcceptContent(iRender);
}
