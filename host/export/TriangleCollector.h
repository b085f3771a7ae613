#pragma once
// Gathers the triangles of a representation into one indexed mesh, in the frame the
// traversal delivers them. Vertices with the same coordinates become one vertex; segments
// and points are left out.
#include <unordered_map>

#include "GeosigRender.h"
#include "ZarTessellation.h"

class TriangleCollector : public GeosigRender {
 public:
  // The triangles gathered so far; the collector starts again empty.
  ZarTessellation TakeMesh();

 protected:
  HRESULT AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) override;
  HRESULT AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) override;
  HRESULT AnalyzePoint(ZarMathPointf& ioP) override;

 private:
  struct PointHash {
    std::size_t operator()(const ZarMathPointf& iPoint) const;
  };

  unsigned int VertexIndex(const ZarMathPointf& iPoint);

  ZarTessellation _mesh;
  std::unordered_map<ZarMathPointf, unsigned int, PointHash> _vertices;
};
