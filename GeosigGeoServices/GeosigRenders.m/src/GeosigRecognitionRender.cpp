#include "GeosigRecognitionRender.h"

#include <cmath>

// A point closer than this to a plane lies in it; an absolute length, the shapes expected
// being of ordinary size.
static const double inPlaneDistance = 0.01;
// Absolute cosines above these make two normals parallel.
static const double parallelCosine = 0.99;
static const double pairedFaceCosine = 0.999;
static const double boxCosineSumTolerance = 0.01;

static double AbsoluteCosine(const ZarMathVector& iU, const ZarMathVector& iV) { return std::fabs(iU.Dot(iV)); }

GeosigRecognitionRender::GeosigRecognitionRender()
    : _triangleCount(0),
      _planeUsed{0, 0, 0, 0, 0, 0},
      _planeCount(0),
      _notACuboid(0),
      _planesComplete(0),
      _dimensions{0.0, 0.0, 0.0} {}

GeosigRecognitionRender::~GeosigRecognitionRender() = default;

HRESULT GeosigRecognitionRender::AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) {
  if (_triangleCount >= _maxTriangles) _notACuboid = 1;
  if (!_notACuboid && !_planesComplete) {
    ZarMathVectorf normal = (ioB - ioA) ^ (ioC - ioA);
    if (normal.Norm() != 0.0f) {  // degenerate triangles add no plane
      normal.Normalize();
      const ZarMathPoint origin(ioA);
      ZarMathVector unitNormal(normal);
      unitNormal.Normalize();
      const ZarMathPlane plane(origin, unitNormal);
      if (_planeCount == 0 || !LiesInAKnownPlane(origin, plane.GetNormal())) {
        _planes[_planeCount] = plane;
        _planeUsed[_planeCount] = 1;
        ++_planeCount;
        if (_planeCount == _maxPlanes) CheckPlanesAreABox();
      }
    }
  }
  ++_triangleCount;
  return S_OK;
}

HRESULT GeosigRecognitionRender::AnalyzeLine(ZarMathPointf&, ZarMathPointf&) { return S_OK; }
HRESULT GeosigRecognitionRender::AnalyzePoint(ZarMathPointf&) { return S_OK; }

bool GeosigRecognitionRender::LiesInAKnownPlane(const ZarMathPoint& iPoint, const ZarMathVector& iNormal) const {
  // Only the new triangle's first vertex is tested.
  for (int i = 0; i < _maxPlanes; ++i)
    if (_planeUsed[i] && _planes[i].DistanceTo(iPoint) < inPlaneDistance &&
        AbsoluteCosine(iNormal, _planes[i].GetNormal()) > parallelCosine)
      return true;
  return false;
}

void GeosigRecognitionRender::CheckPlanesAreABox() {
  for (int i = 0; i < _maxPlanes && !_notACuboid; ++i) {
    double cosineSum = 0.0;
    for (int j = 0; j < _maxPlanes; ++j)
      if (j != i) cosineSum += AbsoluteCosine(_planes[i].GetNormal(), _planes[j].GetNormal());
    if (std::fabs(cosineSum - 1.0) > boxCosineSumTolerance) _notACuboid = 1;
  }
  _planesComplete = 1;
}

int GeosigRecognitionRender::IsACuboid() { return _triangleCount != 0 && !_notACuboid ? 1 : 0; }

int GeosigRecognitionRender::GetCuboidPosition(Zar4x4Matrix& oFrame) {
  if (_notACuboid) return 1;

  // Two axes from the face normals, each turned so that its dominant component is positive
  // and filed under that component (x before y before z on ties).
  ZarMathDirectionf axes[3];
  bool axisSet[3] = {false, false, false};
  int axesFromFaces = 0;
  for (int slot = 0; slot < _maxPlanes && axesFromFaces < 2; ++slot) {
    const ZarMathVector& m = _planes[slot].GetNormal();
    bool parallelToAnAxis = false;
    for (int k = 0; k < 3; ++k)
      if (axisSet[k] && AbsoluteCosine(m, ZarMathVector(ZarMathVectorf(axes[k]))) > parallelCosine)
        parallelToAnAxis = true;
    if (parallelToAnAxis) continue;
    const double ax = std::fabs(m.x), ay = std::fabs(m.y), az = std::fabs(m.z);
    int k = -1;
    double dominant = 0.0;
    if (ax >= ay && ax >= az && !axisSet[0]) {
      k = 0;
      dominant = m.x;
    } else if (ay >= ax && ay >= az && !axisSet[1]) {
      k = 1;
      dominant = m.y;
    } else if (!axisSet[2]) {
      k = 2;
      dominant = m.z;
    }
    if (k < 0) continue;
    axes[k] = ZarMathDirectionf(ZarMathVectorf(dominant < 0.0 ? -m : m));
    axisSet[k] = true;
    ++axesFromFaces;
  }
  // The missing axis completes a right-handed frame.
  for (int k = 0; k < 3; ++k)
    if (!axisSet[k]) {
      axes[k] = ZarMathDirectionf(axes[(k + 1) % 3] ^ axes[(k + 2) % 3]);
      axisSet[k] = true;
    }

  // Along each axis: the first two faces parallel to it, the plane halfway between them and
  // their distance.
  ZarMathPlane centrePlanes[3];
  for (int k = 0; k < 3; ++k) {
    ZarMathVector d{ZarMathVectorf(axes[k])};
    d.Normalize();
    int faces[2] = {-1, -1};
    int found = 0;
    for (int slot = 0; slot < _maxPlanes && found < 2; ++slot)
      if (AbsoluteCosine(_planes[slot].GetNormal(), d) > pairedFaceCosine) faces[found++] = slot;
    if (found < 2) return 10;
    const ZarMathPoint& o0 = _planes[faces[0]].GetOrigin();
    const ZarMathPoint& o1 = _planes[faces[1]].GetOrigin();
    const ZarMathVector& w = _planes[faces[0]].GetNormal();
    const double half = ZarMathVector(o0, o1).Dot(w) * 0.5;
    centrePlanes[k] = ZarMathPlane(o0 + w * half, d);
    _dimensions[k] = std::fabs(2.0 * half);
  }

  // The centre lies on the three centre planes.
  ZarMathPoint centre(0.0, 0.0, 0.0);
  for (const ZarMathPlane& plane : centrePlanes) plane.Project(centre, centre);

  oFrame = Zar4x4Matrix(
      ZarMathVectorf(axes[0]), ZarMathVectorf(axes[1]), ZarMathVectorf(axes[2]),
      ZarMathVectorf(static_cast<float>(centre.x), static_cast<float>(centre.y), static_cast<float>(centre.z)));
  return 0;
}

int GeosigRecognitionRender::GetCuboidDimension(double& oD0, double& oD1, double& oD2) {
  if (_notACuboid) return 20;
  oD0 = _dimensions[0];
  oD1 = _dimensions[1];
  oD2 = _dimensions[2];
  return 0;
}

int GeosigRecognitionRender::GetNumberOfTriangles() { return _triangleCount; }
