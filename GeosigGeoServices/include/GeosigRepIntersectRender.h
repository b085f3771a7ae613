#pragma once
// Finds where a line meets the tessellated geometry, in the sense of the vertex closest to
// it: over every vertex of the triangles, segments and points delivered, it keeps the one
// nearest to the line, with its orthogonal projection onto the line and the distance. Only
// vertices count: a line through the interior of a triangle reports its nearest corner.
#include "GeosigRender.h"
#include "ZarMathLine.h"

class GeosigRepIntersectRender : public GeosigRender {
  ZAR_DECLARE_CLASS

 public:
  // The render works on its own copy of iLine.
  explicit GeosigRepIntersectRender(ZarMathLine& iLine);
  ~GeosigRepIntersectRender() override;

  // E_FAIL, leaving the outputs as they were, when no vertex was analysed.
  HRESULT GetResult(ZarMathPoint& oPointOnLine, ZarMathPoint& oNearestPoint, double& oDistance) const;
  // Clears the result; with a line, switches to a copy of it, with null keeps the current one.
  // The base counters are left as they are.
  void Reset(ZarMathLine* iLine);

 protected:
  HRESULT AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) override;
  HRESULT AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) override;
  HRESULT AnalyzePoint(ZarMathPointf& ioP) override;
  // Lets the platform choose the level of detail instead of always the finest.
  int Get3DLODNumber(const Zar3DBoundingSphere& iSphere, int iLevelCount, const float* const iSags) override;

 private:
  void ClearResult();

  ZarMathLine* _line;
  ZarMathPointf _pointOnLine;
  ZarMathPointf _nearestPoint;
  double _minDistance;
  ZarMathPoint _currentPoint;
  ZarMathPoint _currentProjection;
  double _currentDistance;
};
