#include "GeosigBBRender.h"

static const float positiveInfinite = static_cast<float>(ZarMathInfinite);
static const float negativeInfinite = static_cast<float>(-ZarMathInfinite);

GeosigBBRender::GeosigBBRender()
    : _bbMin(positiveInfinite, positiveInfinite, positiveInfinite),
      _bbMax(negativeInfinite, negativeInfinite, negativeInfinite),
      _bbHasData(false) {}

GeosigBBRender::~GeosigBBRender() = default;

HRESULT GeosigBBRender::AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) {
  // The first vertex replaces the infinite initial box, whatever its values.
  if (!_bbHasData) {
    _bbMin = ioA;
    _bbMax = ioA;
    _bbHasData = true;
  }
  AddPointForBB(ioA);
  AddPointForBB(ioB);
  AddPointForBB(ioC);
  return S_OK;
}

HRESULT GeosigBBRender::AnalyzeLine(ZarMathPointf&, ZarMathPointf&) { return S_OK; }
HRESULT GeosigBBRender::AnalyzePoint(ZarMathPointf&) { return S_OK; }

void GeosigBBRender::AddPointForBB(const ZarMathPointf& iPoint) {
  // When a comparison is false (including NaN on either side) the point's value is taken.
  _bbMin.x = _bbMin.x < iPoint.x ? _bbMin.x : iPoint.x;
  _bbMin.y = _bbMin.y < iPoint.y ? _bbMin.y : iPoint.y;
  _bbMin.z = _bbMin.z < iPoint.z ? _bbMin.z : iPoint.z;
  _bbMax.x = _bbMax.x > iPoint.x ? _bbMax.x : iPoint.x;
  _bbMax.y = _bbMax.y > iPoint.y ? _bbMax.y : iPoint.y;
  _bbMax.z = _bbMax.z > iPoint.z ? _bbMax.z : iPoint.z;
}

HRESULT GeosigBBRender::GetBoundingBox(ZarMathPointf& oMin, ZarMathPointf& oMax) {
  if (!_bbHasData) {
    oMin = oMax = ZarMathPointf(0.0f, 0.0f, 0.0f);
    return E_FAIL;
  }
  oMin = _bbMin;
  oMax = _bbMax;
  return S_OK;
}

HRESULT GeosigBBRender::GetBoundingCube(ZarMathPointf& oMin, ZarMathPointf& oMax) {
  const HRESULT status = GetBoundingBox(oMin, oMax);
  if (status < 0) return status;
  const float dx = oMax.x - oMin.x, dy = oMax.y - oMin.y, dz = oMax.z - oMin.z;
  const float dxy = dy > dx ? dy : dx;
  const float side = dz > dxy ? dz : dxy;
  float* minimum[3] = {&oMin.x, &oMin.y, &oMin.z};
  float* maximum[3] = {&oMax.x, &oMax.y, &oMax.z};
  const float extent[3] = {dx, dy, dz};
  for (int k = 0; k < 3; ++k) {
    const float half = (side - extent[k]) * 0.5f;
    *minimum[k] -= half;
    *maximum[k] += half;
  }
  return S_OK;
}

void GeosigBBRender::Reset() {
  _bbMin = ZarMathPointf(positiveInfinite, positiveInfinite, positiveInfinite);
  _bbMax = ZarMathPointf(negativeInfinite, negativeInfinite, negativeInfinite);
  _bbHasData = false;
  _nbTriangles = _nbLines = _nbPoints = 0;
}

int GeosigBBRender::IsDrawable(const ZarGraphicAttributeSet&, const float* iCenter, float iRadius, int) {
  ZarMathPointf c;
  float r = 0.0f;
  SphereToWorld(iCenter, iRadius, c, r);
  const bool strictlyInside = c.x - r > _bbMin.x && c.y - r > _bbMin.y && c.z - r > _bbMin.z && _bbMax.x > c.x + r &&
                              _bbMax.y > c.y + r && _bbMax.z > c.z + r;
  return strictlyInside ? 0 : 1;
}

int GeosigBBRender::IsDrawable(const ZarGraphicAttributeSet& iAttr, const Zar3DBoundingSphere& iSphere, const ZarRep&,
                               ZarGraphicMaterial*) {
  return IsSphereDrawable(iAttr, iSphere);
}

int GeosigBBRender::IsToSmall(const Zar3DBoundingSphere& iSphere) { return IsSphereTooSmall(iSphere); }

int GeosigBBRender::IsInside(const Zar3DBoundingSphere& iSphere) { return IsToSmall(iSphere); }
