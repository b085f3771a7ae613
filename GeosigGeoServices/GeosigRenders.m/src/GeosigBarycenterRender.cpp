#include "GeosigBarycenterRender.h"

GeosigBarycenterRender::GeosigBarycenterRender() : _totalArea(0.0f), _weightedSum(0.0f, 0.0f, 0.0f) {}

GeosigBarycenterRender::~GeosigBarycenterRender() = default;

HRESULT GeosigBarycenterRender::AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) {
  const ZarMathPointf centroid = TriangleCentroid(ioA, ioB, ioC);
  const float area = TriangleArea(ioA, ioB, ioC);
  _totalArea += area;
  _weightedSum.x += area * centroid.x;
  _weightedSum.y += area * centroid.y;
  _weightedSum.z += area * centroid.z;
  return S_OK;
}

HRESULT GeosigBarycenterRender::AnalyzeLine(ZarMathPointf&, ZarMathPointf&) { return S_OK; }
HRESULT GeosigBarycenterRender::AnalyzePoint(ZarMathPointf&) { return S_OK; }

bool GeosigBarycenterRender::HoldsBarycenter() const {
  // Degenerate triangles add (nearly) no area: they alone give no barycenter.
  return static_cast<double>(_totalArea) > 1e-9 && _nbTriangles > 0;
}

ZarMathPointf GeosigBarycenterRender::Barycenter() const {
  return ZarMathPointf(_weightedSum.x / _totalArea, _weightedSum.y / _totalArea, _weightedSum.z / _totalArea);
}

HRESULT GeosigBarycenterRender::GetBarycenter(ZarMathPointf& oBarycenter) {
  if (!HoldsBarycenter()) return E_FAIL;
  oBarycenter = Barycenter();
  return S_OK;
}

HRESULT GeosigBarycenterRender::GetMatrix(Zar4x4Matrix& oMatrix) {
  if (!HoldsBarycenter()) return E_FAIL;
  const ZarMathPointf p = Barycenter();
  Zar4x4Matrix centring;
  centring.SetTranslation(ZarMathVectorf(-p.x, -p.y, -p.z), 1.0);
  oMatrix = centring;
  return S_OK;
}

void GeosigBarycenterRender::Reset() {
  _totalArea = 0.0f;
  _weightedSum = ZarMathPointf(0.0f, 0.0f, 0.0f);
  _nbTriangles = _nbLines = _nbPoints = 0;
}
