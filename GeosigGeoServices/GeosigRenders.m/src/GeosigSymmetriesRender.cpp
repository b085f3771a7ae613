#include "GeosigSymmetriesRender.h"

#include <cmath>

static const float initialBoxExtent = 1000.0f;

GeosigSymmetriesRender::GeosigSymmetriesRender()
    : _momentSums{0.0f, 0.0f, 0.0f},
      _boxMin(initialBoxExtent, initialBoxExtent, initialBoxExtent),
      _boxMax(-initialBoxExtent, -initialBoxExtent, -initialBoxExtent) {}

GeosigSymmetriesRender::~GeosigSymmetriesRender() = default;

HRESULT GeosigSymmetriesRender::AnalyzeTriangle(ZarMathPointf& ioP1, ZarMathPointf& ioP2, ZarMathPointf& ioP3) {
  const float area = TriangleArea(ioP1, ioP2, ioP3);
  _momentSums[0] = AddMomentDim(ioP1.x, ioP2.x, ioP3.x) * area + _momentSums[0];
  _momentSums[1] = AddMomentDim(ioP1.y, ioP2.y, ioP3.y) * area + _momentSums[1];
  _momentSums[2] = AddMomentDim(ioP1.z, ioP2.z, ioP3.z) * area + _momentSums[2];
  _nbPoints += 3;
  for (const ZarMathPointf* p : {&ioP1, &ioP2, &ioP3}) {
    if (_boxMin.x > p->x) _boxMin.x = p->x;
    if (_boxMin.y > p->y) _boxMin.y = p->y;
    if (_boxMin.z > p->z) _boxMin.z = p->z;
    if (p->x > _boxMax.x) _boxMax.x = p->x;
    if (p->y > _boxMax.y) _boxMax.y = p->y;
    if (p->z > _boxMax.z) _boxMax.z = p->z;
  }
  return S_OK;
}

HRESULT GeosigSymmetriesRender::AnalyzeLine(ZarMathPointf&, ZarMathPointf&) { return S_OK; }
HRESULT GeosigSymmetriesRender::AnalyzePoint(ZarMathPointf&) { return S_OK; }

static int Sign(float iValue) { return iValue > 0.0f ? 1 : (iValue < 0.0f ? -1 : 0); }

// The triangle is split along t = 0, the pivot p lying alone on its side. Relative to the whole
// triangle's area, T = p⁴ / ((q - p)(r - p)) is 6 times the integral of t² over the pivot's
// part and Q 6 times that over the whole triangle; t·|t| takes the pivot's sign on its part
// and the other sign on the rest, hence sgn(p)·(T - (Q - T)).
static float SplitMoment(float iPivot, float iQ, float iR, float iSquareMean) {
  const float t = iPivot * iPivot * (iPivot * iPivot) / ((iQ - iPivot) * (iR - iPivot));
  return (t + t - iSquareMean) * static_cast<float>(Sign(iPivot));
}

float GeosigSymmetriesRender::AddMomentDim(float iA, float iB, float iC) {
  const float squareMean = iB * iB + iA * iA + iC * iC + iA * iB + iA * iC + iB * iC;
  // Zero is a sign class of its own: a vertex on the plane is not on either side.
  const int signA = Sign(iA), signB = Sign(iB), signC = Sign(iC);
  if (signB != signC) {
    if (signA != signC) return SplitMoment(iC, iA, iB, squareMean);
    return SplitMoment(iB, iA, iC, squareMean);
  }
  if (signA == signB) return static_cast<float>(signA) * squareMean;
  return SplitMoment(iA, iB, iC, squareMean);
}

HRESULT GeosigSymmetriesRender::GetSymmetries(float& oX, float& oY, float& oZ) {
  const float dx = _boxMax.x - _boxMin.x, dy = _boxMax.y - _boxMin.y, dz = _boxMax.z - _boxMin.z;
  const float diagonal = std::sqrt(dx * dx + dy * dy + dz * dz);
  // Moments of t² over an area scale as the fourth power of the size.
  const float scale = static_cast<float>(std::pow(static_cast<double>(diagonal), 4.0));
  float* flags[3] = {&oX, &oY, &oZ};
  for (int c = 0; c < 3; ++c) {
    const double ratio = std::fabs(_momentSums[c] / scale);
    *flags[c] = ratio < 0.0001 ? 1.0f : -1.0f;  // NaN: not symmetric
  }
  return S_OK;
}

HRESULT GeosigSymmetriesRender::GetBB(ZarMathVectorf& oMin, ZarMathVectorf& oMax) {
  oMin = _boxMin;
  oMax = _boxMax;
  return S_OK;
}

HRESULT GeosigSymmetriesRender::GetNbPts(int& oNb) {
  oNb = static_cast<int>(_nbPoints);
  return S_OK;
}

HRESULT GeosigSymmetriesRender::GetMatrix(Zar4x4Matrix& oMatrix) {
  Zar4x4Matrix diagonal;
  float sx = 0.0f, sy = 0.0f, sz = 0.0f;
  GetSymmetries(sx, sy, sz);
  diagonal.SetElement(0, 0, sx, 1);
  diagonal.SetElement(1, 1, sy, 1);
  diagonal.SetElement(2, 2, sz, 1);
  oMatrix = diagonal;
  return S_OK;
}

void GeosigSymmetriesRender::Reset() {
  _momentSums[0] = _momentSums[1] = _momentSums[2] = 0.0f;
  _nbTriangles = _nbLines = _nbPoints = 0;
}
