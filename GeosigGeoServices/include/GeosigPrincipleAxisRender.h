#pragma once
// Principal axes of inertia of the tessellated surface. Every triangle adds its area-weighted
// second moments about the world origin, integrated with the rule that weighs each vertex by
// 1 and the centroid by 9 (exact for second moments); the normalised moment matrix is then
// diagonalised. The axes come in decreasing order of their values and, unless the reference
// point is the sentinel, the first and third point from the reference point towards the
// barycenter of the integrated surface.
//
// For representations of very few triangles a precision mode also integrates a fixed
// pattern of sub-triangles of each triangle.
#include "GeosigRender.h"

class GeosigPrincipleAxisRender : public GeosigRender {
 public:
  // Deepest level still subdivided in precision mode.
  static const int _MaxLevel = 3;
  // Precision mode is on for 0 < triangle count < this.
  static const int _MaxTrianglesToImprovePrecision = 12;
  // A reference point with any coordinate equal to this (within _epsilon) disables the
  // orientation of the axes.
  static constexpr float _the34Value = 34.343433f;
  static constexpr float _epsilon = 1.0e-8f;

  // iNbTriangles: the number of triangles the host expects, which decides the precision mode;
  // iReference: the point the axes are oriented from.
  explicit GeosigPrincipleAxisRender(const int& iNbTriangles = -1,
                                     const ZarMathPointf& iReference = ZarMathPointf(0.0f, 0.0f, 0.0f));
  ~GeosigPrincipleAxisRender() override;

  // The values in decreasing order with their unit axes; E_FAIL, outputs untouched, without
  // area or when the eigen-decomposition fails.
  HRESULT GetPrincipalAxis(float& oValue1, ZarMathVectorf& oAxis1, float& oValue2, ZarMathVectorf& oAxis2,
                           float& oValue3, ZarMathVectorf& oAxis3);
  // The rotation taking the world frame onto the axes (axis k becomes coordinate k); no
  // translation. Fails as GetPrincipalAxis.
  HRESULT GetMatrix(Zar4x4Matrix& oMatrix);
  // Restarts the area, the second moments and the counters; the first moments, which orient
  // the axes, keep accumulating.
  void Reset();

 protected:
  HRESULT AnalyzeTriangle(ZarMathPointf& ioP1, ZarMathPointf& ioP2, ZarMathPointf& ioP3) override;
  HRESULT AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) override;
  HRESULT AnalyzePoint(ZarMathPointf& ioP) override;

 private:
  // ioLevel is shared by the whole recursion of one input triangle.
  HRESULT AnalyzeTriangleRec(ZarMathPointf& ioP1, ZarMathPointf& ioP2, ZarMathPointf& ioP3, int& ioLevel);
  HRESULT AnalyzeSubTriangle(ZarMathPointf& ioP1, ZarMathPointf& ioP2, ZarMathPointf& ioP3);
  void AddContribution(float iWeight, const ZarMathPointf& iPoint);
  HRESULT GetHalf(ZarMathPointf& iP1, ZarMathPointf& iP2, ZarMathPointf& oMiddle);
  bool OrientsAxes() const;

  int _nbSubTriangles;
  float _secondMoments[6];  // xx, xy, xz, yy, yz, zz
  float _area;
  bool _improvePrecision;
  ZarMathPointf _referencePoint;
  ZarMathPointf _firstMoments;  // three sums of (p - reference) · weight
};
