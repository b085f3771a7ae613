#include "GeosigNormRender.h"

#include <cmath>

#include "ZarTolerance.h"

ZAR_IMPLEMENT_CLASS(GeosigNormRender, ZarRender, "GeosigGeoServices", ZarRetrieveMetaClassLegacy)

GeosigNormRender::GeosigNormRender() : _maxSquaredNorm(0.0f) {}

GeosigNormRender::~GeosigNormRender() = default;

HRESULT GeosigNormRender::AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) {
  AddPointForNorm(ioA);
  AddPointForNorm(ioB);
  AddPointForNorm(ioC);
  return S_OK;
}

HRESULT GeosigNormRender::AnalyzeLine(ZarMathPointf&, ZarMathPointf&) { return S_OK; }
HRESULT GeosigNormRender::AnalyzePoint(ZarMathPointf&) { return S_OK; }

void GeosigNormRender::AddPointForNorm(const ZarMathPointf& iPoint) {
  const float squaredNorm = iPoint.x * iPoint.x + iPoint.y * iPoint.y + iPoint.z * iPoint.z;
  if (squaredNorm > _maxSquaredNorm) _maxSquaredNorm = squaredNorm;  // NaN leaves the maximum
}

HRESULT GeosigNormRender::GetNorm(float& oNorm) {
  oNorm = std::sqrt(std::fabs(_maxSquaredNorm));
  return S_OK;
}

HRESULT GeosigNormRender::GetMatrix(Zar4x4Matrix& oMatrix) {
  const float epsSmall = static_cast<float>(ZarGetDefaultTolerance().EpsSmall());
  if (!(_maxSquaredNorm > epsSmall)) return E_FAIL;
  const double scale = 1.0f / std::sqrt(std::fabs(_maxSquaredNorm));
  Zar4x4Matrix scaling;
  scaling.SetElement(0, 0, scale, 0);
  scaling.SetElement(1, 1, scale, 0);
  scaling.SetElement(2, 2, scale, 1);
  oMatrix = scaling;
  return S_OK;
}

void GeosigNormRender::Reset() { _maxSquaredNorm = 0.0f; }

int GeosigNormRender::IsDrawable(const ZarGraphicAttributeSet&, const float* iCenter, float iRadius, int) {
  ZarMathPointf center;
  float radius = 0.0f;
  SphereToWorld(iCenter, iRadius, center, radius);
  const float reach = center.DistanceTo(ZarMathPointf(0.0f, 0.0f, 0.0f)) + radius;
  // Skipped only when the whole sphere lies strictly inside the ball; NaN draws.
  return reach * reach < _maxSquaredNorm ? 0 : 1;
}

int GeosigNormRender::IsDrawable(const ZarGraphicAttributeSet& iAttr, const Zar3DBoundingSphere& iSphere, const ZarRep&,
                                 ZarGraphicMaterial*) {
  return IsSphereDrawable(iAttr, iSphere);
}

int GeosigNormRender::IsToSmall(const Zar3DBoundingSphere& iSphere) { return IsSphereTooSmall(iSphere); }

int GeosigNormRender::IsInside(const Zar3DBoundingSphere& iSphere) { return IsToSmall(iSphere); }
