#include "GeosigPrincipleAxisRender.h"

#include <cmath>
#include <cstdlib>

#include "Geosig3x3Matrix.h"

GeosigPrincipleAxisRender::GeosigPrincipleAxisRender(const int& iNbTriangles, const ZarMathPointf& iReference)
    : _nbSubTriangles(0),
      _secondMoments{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
      _area(0.0f),
      _improvePrecision(0 < iNbTriangles && iNbTriangles < _MaxTrianglesToImprovePrecision),
      _referencePoint(iReference),
      _firstMoments(0.0f, 0.0f, 0.0f) {}

GeosigPrincipleAxisRender::~GeosigPrincipleAxisRender() = default;

HRESULT GeosigPrincipleAxisRender::AnalyzeTriangle(ZarMathPointf& ioP1, ZarMathPointf& ioP2, ZarMathPointf& ioP3) {
  // Every triangle leaves the C runtime's generator in the same state, whatever drew from it
  // before. This reseeding, not the integration, is most of the cost of a triangle.
  std::srand(123456789);
  // Outside precision mode the level is already beyond the deepest subdivided one.
  int level = _improvePrecision ? 0 : _MaxLevel + 1;
  return AnalyzeTriangleRec(ioP1, ioP2, ioP3, level);
}

HRESULT GeosigPrincipleAxisRender::AnalyzeLine(ZarMathPointf&, ZarMathPointf&) { return S_OK; }
HRESULT GeosigPrincipleAxisRender::AnalyzePoint(ZarMathPointf&) { return S_OK; }

HRESULT GeosigPrincipleAxisRender::AnalyzeTriangleRec(ZarMathPointf& ioP1, ZarMathPointf& ioP2, ZarMathPointf& ioP3,
                                                      int& ioLevel) {
  AnalyzeSubTriangle(ioP1, ioP2, ioP3);
  if (ioLevel > _MaxLevel) return S_OK;
  ZarMathPointf m12, m13, m23;
  GetHalf(ioP1, ioP2, m12);
  GetHalf(ioP1, ioP3, m13);
  GetHalf(ioP2, ioP3, m23);
  // The level is never decremented: only the first child of each level is split again,
  // which makes 17 visits per input triangle.
  ++ioLevel;
  AnalyzeTriangleRec(ioP1, m12, m13, ioLevel);
  AnalyzeTriangleRec(m12, ioP2, m23, ioLevel);
  AnalyzeTriangleRec(m13, m23, ioP3, ioLevel);
  AnalyzeTriangleRec(m12, m23, m13, ioLevel);
  return S_OK;
}

HRESULT GeosigPrincipleAxisRender::AnalyzeSubTriangle(ZarMathPointf& ioP1, ZarMathPointf& ioP2, ZarMathPointf& ioP3) {
  ++_nbSubTriangles;
  // Precision mode leaves out every third visit after the third.
  if (_improvePrecision && _nbSubTriangles > 3 && _nbSubTriangles % 3 == 0) return S_OK;
  const ZarMathPointf centroid = TriangleCentroid(ioP1, ioP2, ioP3);
  const float area = TriangleArea(ioP1, ioP2, ioP3);
  _area += area;
  AddContribution(area, ioP1);
  AddContribution(area, ioP2);
  AddContribution(area, ioP3);
  AddContribution(9.0f * area, centroid);
  return S_OK;
}

void GeosigPrincipleAxisRender::AddContribution(float iWeight, const ZarMathPointf& iPoint) {
  const float x = iPoint.x, y = iPoint.y, z = iPoint.z;
  _secondMoments[0] += x * iWeight * x;
  _secondMoments[1] += iWeight * x * y;
  _secondMoments[2] += iWeight * x * z;
  _secondMoments[3] += y * iWeight * y;
  _secondMoments[4] += iWeight * y * z;
  _secondMoments[5] += z * iWeight * z;
  _firstMoments.x += (x - _referencePoint.x) * iWeight;
  _firstMoments.y += (y - _referencePoint.y) * iWeight;
  _firstMoments.z += (z - _referencePoint.z) * iWeight;
}

HRESULT GeosigPrincipleAxisRender::GetHalf(ZarMathPointf& iP1, ZarMathPointf& iP2, ZarMathPointf& oMiddle) {
  oMiddle = ZarMathPointf((iP1.x + iP2.x) * 0.5f, (iP1.y + iP2.y) * 0.5f, (iP1.z + iP2.z) * 0.5f);
  return S_OK;
}

bool GeosigPrincipleAxisRender::OrientsAxes() const {
  return std::fabs(_referencePoint.x - _the34Value) > _epsilon &&
         std::fabs(_referencePoint.y - _the34Value) > _epsilon && std::fabs(_referencePoint.z - _the34Value) > _epsilon;
}

HRESULT GeosigPrincipleAxisRender::GetPrincipalAxis(float& oValue1, ZarMathVectorf& oAxis1, float& oValue2,
                                                    ZarMathVectorf& oAxis2, float& oValue3, ZarMathVectorf& oAxis3) {
  if (!(static_cast<double>(_area) > 1.0e-9) || _nbTriangles == 0) return E_FAIL;
  // The weights add up to 12 times the area.
  const float k = 1.0f / (_area * 12.0f);
  const float* m = _secondMoments;
  Geosig3x3Matrix moments;
  moments.SetCoeff(0, 0, k * m[0]);
  moments.SetCoeff(0, 1, k * m[1]);
  moments.SetCoeff(1, 0, k * m[1]);
  moments.SetCoeff(0, 2, k * m[2]);
  moments.SetCoeff(2, 0, k * m[2]);
  moments.SetCoeff(1, 1, k * m[3]);
  moments.SetCoeff(1, 2, k * m[4]);
  moments.SetCoeff(2, 1, k * m[4]);
  moments.SetCoeff(2, 2, k * m[5]);

  float values[3] = {0.0f, 0.0f, 0.0f};
  ZarMathVectorf axes[3];
  unsigned char status = 0;
  moments.SymDefEigen(values, axes, status);
  if (!status) return E_FAIL;

  ZarMathVectorf& e1 = axes[0];
  ZarMathVectorf& e2 = axes[1];
  ZarMathVectorf& e3 = axes[2];
  if (OrientsAxes()) {
    // The first moments are 12 · area times (barycenter - reference).
    const ZarMathPointf& f = _firstMoments;
    if ((f.y * e1.y + f.x * e1.x + f.z * e1.z) * k < 0.0f) e1 = -e1;
    if ((f.y * e3.y + f.x * e3.x + f.z * e3.z) * k < 0.0f) e3 = -e3;
    e2 = e3 ^ e1;  // right-handed
  }
  oValue1 = values[0];
  oAxis1 = e1;
  oValue2 = values[1];
  oAxis2 = e2;
  oValue3 = values[2];
  oAxis3 = e3;
  return S_OK;
}

HRESULT GeosigPrincipleAxisRender::GetMatrix(Zar4x4Matrix& oMatrix) {
  float value1 = 0.0f, value2 = 0.0f, value3 = 0.0f;
  ZarMathVectorf e1, e2, e3;
  const HRESULT status = GetPrincipalAxis(value1, e1, value2, e2, value3, e3);
  if (ZarFailed(status)) return status;
  // The axes are the rows of the linear part.
  Zar4x4Matrix onAxes;
  onAxes.SetComponents(ZarMathVectorf(e1.x, e2.x, e3.x), ZarMathVectorf(e1.y, e2.y, e3.y),
                       ZarMathVectorf(e1.z, e2.z, e3.z), ZarMathPointf(0.0f, 0.0f, 0.0f));
  oMatrix = onAxes;
  return S_OK;
}

void GeosigPrincipleAxisRender::Reset() {
  for (float& moment : _secondMoments) moment = 0.0f;
  _area = 0.0f;
  _nbSubTriangles = 0;
  _nbTriangles = _nbLines = _nbPoints = 0;
}
