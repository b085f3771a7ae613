#include "TriangleCollector.h"

#include <functional>
#include <utility>

std::size_t TriangleCollector::PointHash::operator()(const ZarMathPointf& iPoint) const {
  const std::hash<float> hash;
  return hash(iPoint.x) ^ (hash(iPoint.y) * 31) ^ (hash(iPoint.z) * 961);
}

unsigned int TriangleCollector::VertexIndex(const ZarMathPointf& iPoint) {
  const auto [entry, added] = _vertices.emplace(iPoint, static_cast<unsigned int>(_mesh.VertexCount()));
  if (added) _mesh.vertices.insert(_mesh.vertices.end(), {iPoint.x, iPoint.y, iPoint.z});
  return entry->second;
}

HRESULT TriangleCollector::AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) {
  _mesh.triangles.insert(_mesh.triangles.end(), {VertexIndex(ioA), VertexIndex(ioB), VertexIndex(ioC)});
  return S_OK;
}

HRESULT TriangleCollector::AnalyzeLine(ZarMathPointf&, ZarMathPointf&) { return S_OK; }

HRESULT TriangleCollector::AnalyzePoint(ZarMathPointf&) { return S_OK; }

ZarTessellation TriangleCollector::TakeMesh() {
  _vertices.clear();
  return std::exchange(_mesh, ZarTessellation());
}
