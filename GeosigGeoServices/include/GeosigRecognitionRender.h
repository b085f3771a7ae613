#pragma once
// Recognises a rectangular box tessellated as at most twelve triangles, and gives its frame
// (edge directions and centre) and its edge lengths. During the traversal the triangles are
// grouped into at most six face planes, and the shape is rejected as soon as it has too many
// triangles or six planes that are not pairwise parallel or perpendicular; the frame and the
// dimensions are derived from the planes afterwards. One instance serves one recognition.
#include "GeosigRender.h"
#include "ZarMathPlane.h"

class GeosigRecognitionRender : public GeosigRender {
 public:
  GeosigRecognitionRender();
  ~GeosigRecognitionRender() override;

  // 1 when at least one triangle was analysed and the shape was not rejected.
  int IsACuboid();
  // 0, with the frame taking the unit axes to the box's edge directions and the origin to its
  // centre; 1 when the shape was rejected; 10 when an axis lacks two parallel face planes.
  // Also computes the dimensions.
  int GetCuboidPosition(Zar4x4Matrix& oFrame);
  // 0 with the edge lengths along the frame's axes (zeros before GetCuboidPosition);
  // 20, outputs untouched, when the shape was rejected.
  int GetCuboidDimension(double& oD0, double& oD1, double& oD2);
  // Every triangle delivered, degenerate or merged into a face included.
  int GetNumberOfTriangles();

 protected:
  HRESULT AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) override;
  HRESULT AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) override;
  HRESULT AnalyzePoint(ZarMathPointf& ioP) override;

 private:
  static const int _maxTriangles = 12;
  static const int _maxPlanes = 6;

  bool LiesInAKnownPlane(const ZarMathPoint& iPoint, const ZarMathVector& iNormal) const;
  // Each face has one parallel face and four perpendicular ones.
  void CheckPlanesAreABox();

  std::int32_t _triangleCount;
  ZarMathPlane _planes[_maxPlanes];
  std::int32_t _planeUsed[_maxPlanes];
  std::int32_t _planeCount;
  std::int32_t _notACuboid;
  std::int32_t _planesComplete;
  double _dimensions[3];
};
