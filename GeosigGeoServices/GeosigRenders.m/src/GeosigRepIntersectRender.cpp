#include "GeosigRepIntersectRender.h"

ZAR_IMPLEMENT_CLASS(GeosigRepIntersectRender, ZarRender, "GeosigGeoServices", ZarRetrieveMetaClassLegacy)

GeosigRepIntersectRender::GeosigRepIntersectRender(ZarMathLine& iLine)
    : _line(new ZarMathLine(iLine)), _minDistance(-1.0), _currentDistance(-1.0) {}

GeosigRepIntersectRender::~GeosigRepIntersectRender() { delete _line; }

void GeosigRepIntersectRender::Reset(ZarMathLine* iLine) {
  if (iLine) {
    // Copied before the old line goes, so that a render may be reset with its own line.
    ZarMathLine* copy = new ZarMathLine(*iLine);
    delete _line;
    _line = copy;
  }
  ClearResult();
}

void GeosigRepIntersectRender::ClearResult() {
  _pointOnLine = _nearestPoint = ZarMathPointf(0.0f, 0.0f, 0.0f);
  _currentPoint = _currentProjection = ZarMathPoint(0.0, 0.0, 0.0);
  _minDistance = _currentDistance = -1.0;
}

HRESULT GeosigRepIntersectRender::AnalyzePoint(ZarMathPointf& ioP) {
  if (!_line) return E_FAIL;
  _currentPoint = ZarMathPoint(ioP);
  _currentDistance = _line->DistanceTo(_currentPoint);
  // Strict: among vertices at the same distance the first one analysed stays.
  if (_minDistance < 0.0 || _minDistance > _currentDistance) {
    _nearestPoint = ioP;
    _line->Project(_currentPoint, _currentProjection);
    _minDistance = _currentDistance;
    _pointOnLine = ZarMathPointf(static_cast<float>(_currentProjection.x), static_cast<float>(_currentProjection.y),
                                 static_cast<float>(_currentProjection.z));
  }
  return S_OK;
}

HRESULT GeosigRepIntersectRender::AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) {
  if (!_line) return E_FAIL;
  const HRESULT status = AnalyzePoint(ioA);
  if (status < 0) return status;
  return AnalyzePoint(ioB);
}

HRESULT GeosigRepIntersectRender::AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) {
  if (!_line) return E_FAIL;
  HRESULT status = AnalyzePoint(ioA);
  if (status < 0) return status;
  status = AnalyzePoint(ioB);
  if (status < 0) return status;
  return AnalyzePoint(ioC);
}

HRESULT GeosigRepIntersectRender::GetResult(ZarMathPoint& oPointOnLine, ZarMathPoint& oNearestPoint,
                                            double& oDistance) const {
  if (_minDistance < 0.0) return E_FAIL;
  oPointOnLine = ZarMathPoint(_pointOnLine);
  oNearestPoint = ZarMathPoint(_nearestPoint);
  oDistance = _minDistance;
  return S_OK;
}

int GeosigRepIntersectRender::Get3DLODNumber(const Zar3DBoundingSphere& iSphere, int iLevelCount,
                                             const float* const iSags) {
  return ZarRender::Get3DLODNumber(iSphere, iLevelCount, iSags);
}
