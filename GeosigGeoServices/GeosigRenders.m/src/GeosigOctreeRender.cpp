#include "GeosigOctreeRender.h"

#include <new>

#include "ZarTolerance.h"

ZAR_IMPLEMENT_CLASS(GeosigOctreeRender, ZarRender, "GeosigGeoServices", ZarRetrieveMetaClassLegacy)

GeosigOctreeRender::GeosigOctreeRender(const ZarMathPointf& iMin, const ZarMathPointf& iMax, unsigned int iDepth)
    : _octree(nullptr), _min(iMin), _max(iMax), _depth(iDepth) {}

GeosigOctreeRender::~GeosigOctreeRender() { delete _octree; }

HRESULT GeosigOctreeRender::AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) {
  if (!_octree) {
    const float diagonal = _min.DistanceTo(_max);
    const float margin = static_cast<float>(ZarGetDefaultTolerance().EpsSmall()) * diagonal;
    _octree = new (std::nothrow) GeosigOctree();
    if (!_octree) return E_FAIL;
    // A failed creation leaves the octree without storage, which the drawing reports.
    _octree->Create();
    _min.x -= margin;
    _min.y -= margin;
    _min.z -= margin;
    // The maximum side gets 0.9 of the margin, summed in double.
    _max.x = static_cast<float>(static_cast<double>(_max.x) + 0.9 * static_cast<double>(margin));
    _max.y = static_cast<float>(static_cast<double>(_max.y) + 0.9 * static_cast<double>(margin));
    _max.z = static_cast<float>(static_cast<double>(_max.z) + 0.9 * static_cast<double>(margin));
    _octree->SetBoundingBox(_min, _max);
    _octree->SetDepth(_depth);
  }
  return _octree->DrawTriangle(ioA, ioB, ioC);
}

HRESULT GeosigOctreeRender::AnalyzeLine(ZarMathPointf&, ZarMathPointf&) { return S_OK; }

HRESULT GeosigOctreeRender::AnalyzePoint(ZarMathPointf&) { return S_OK; }

HRESULT GeosigOctreeRender::GetOctree(GeosigOctree** oOctree) {
  if (!oOctree) return E_INVALIDARG;
  *oOctree = _octree;
  _octree = nullptr;
  return *oOctree ? S_OK : E_FAIL;
}
