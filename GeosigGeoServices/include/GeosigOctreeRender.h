#pragma once
// Voxelises the triangles of a representation into an octree over a given box and depth.
// The octree is built at the first triangle, on the box widened by a margin proportional to
// its diagonal, and belongs to the render until GetOctree hands it over.
#include "GeosigOctree.h"
#include "GeosigRender.h"

class GeosigOctreeRender : public GeosigRender {
  ZAR_DECLARE_CLASS

 public:
  GeosigOctreeRender(const ZarMathPointf& iMin, const ZarMathPointf& iMax, unsigned int iDepth);
  ~GeosigOctreeRender() override;

  // Hands the octree over: the caller destroys it. E_FAIL, storing null, when no triangle
  // arrived since construction or the last hand-over; E_INVALIDARG for a null argument.
  HRESULT GetOctree(GeosigOctree** oOctree);

 protected:
  // E_FAIL when the octree's storage ran out.
  HRESULT AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) override;
  // Segments and points have no surface to voxelise.
  HRESULT AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) override;
  HRESULT AnalyzePoint(ZarMathPointf& ioP) override;

 private:
  GeosigOctree* _octree;
  ZarMathPointf _min;  // widened in place each time an octree is built
  ZarMathPointf _max;
  unsigned int _depth;
};
