#include "GeosigCountRender.h"

#include <cstdint>

#include "VisPrimitiveGroupRep.h"
#include "Zar3DBoundingGP.h"
#include "Zar3DCurvedPipeGP.h"
#include "Zar3DCylinderGP.h"
#include "Zar3DFaceGP.h"
#include "Zar3DPlanarFaceGP.h"
#include "ZarRep.h"

namespace {

// Triangles of runs (strips or fans) of the given vertex counts: a run of c vertices has c - 2.
std::uint32_t RunTriangles(const int* iCounts, int iNbRuns) {
  std::uint32_t triangles = 0;
  if (!iCounts) return 0;
  for (int r = 0; r < iNbRuns; ++r)
    if (iCounts[r] > 2) triangles += static_cast<std::uint32_t>(iCounts[r]) - 2u;
  return triangles;
}

// Counts wrap around modulo 2^32 instead of overflowing.
int WrappingSum(int iCount, std::uint32_t iAdded) {
  return static_cast<int>(static_cast<std::uint32_t>(iCount) + iAdded);
}

}  // namespace

GeosigCountRender::GeosigCountRender(int iMaxTriangles) : GeosigCountRender(iMaxTriangles, 0) {}

GeosigCountRender::GeosigCountRender(int iMaxTriangles, int iMaxSlowReps)
    : _triangleNumber(0),
      _maxNumberOfTrianglesToCount(iMaxTriangles),
      _slowRepNumber(0),
      _maxNumberOfSlowRepToCount(iMaxSlowReps) {}

GeosigCountRender::~GeosigCountRender() = default;

HRESULT GeosigCountRender::GetTriangleNumber(int& oNumber) const {
  oNumber = _triangleNumber;
  return S_OK;
}

HRESULT GeosigCountRender::GetSlowRepNumber(int& oNumber) const {
  oNumber = _slowRepNumber;
  return S_OK;
}

void GeosigCountRender::SetMaxNumberOfTrianglesToCount(int iMax) { _maxNumberOfTrianglesToCount = iMax; }
void GeosigCountRender::SetMaxNumberOfSlowRepToCount(int iMax) { _maxNumberOfSlowRepToCount = iMax; }

void GeosigCountRender::Reset(int iMaxTriangles, int iMaxSlowReps) {
  _maxNumberOfTrianglesToCount = iMaxTriangles;
  _triangleNumber = 0;
  _slowRepNumber = 0;
  _nbTriangles = _nbLines = _nbPoints = 0;
  _maxNumberOfSlowRepToCount = iMaxSlowReps;
}

HRESULT GeosigCountRender::AnalyzeTriangle(ZarMathPointf&, ZarMathPointf&, ZarMathPointf&) {
  _triangleNumber = WrappingSum(_triangleNumber, 1);
  return S_OK;
}

HRESULT GeosigCountRender::AnalyzeLine(ZarMathPointf&, ZarMathPointf&) { return S_OK; }
HRESULT GeosigCountRender::AnalyzePoint(ZarMathPointf&) { return S_OK; }

void GeosigCountRender::Draw3DBoundinGP(Zar3DBoundingGP& iPrimitive) {
  int flag = 0, vertexSize = 0, normalSize = 0, nbTriangles = 0, nbStrips = 0, nbFans = 0;
  const float *vertices = nullptr, *normals = nullptr;
  const int *triangles = nullptr, *strips = nullptr, *stripCounts = nullptr, *fans = nullptr, *fanCounts = nullptr;
  iPrimitive.GetArrays(&flag, &vertices, &vertexSize, &normals, &normalSize, &triangles, &nbTriangles, &strips,
                       &nbStrips, &stripCounts, &fans, &nbFans, &fanCounts, nullptr, nullptr, nullptr);
  const std::uint32_t stripTriangles = RunTriangles(stripCounts, nbStrips);
  const std::uint32_t fanTriangles = RunTriangles(fanCounts, nbFans);
  _triangleNumber =
      WrappingSum(_triangleNumber, fanTriangles + stripTriangles + static_cast<std::uint32_t>(nbTriangles));
  iPrimitive.Clear(&flag, &vertices, &vertexSize, &normals, &normalSize, &triangles, &nbTriangles, &strips, &nbStrips,
                   &stripCounts, &fans, &nbFans, &fanCounts);
}

void GeosigCountRender::Draw3DFace(Zar3DFaceGP& iFace) { Draw3DBoundinGP(iFace); }
void GeosigCountRender::Draw3DPlanarFace(Zar3DPlanarFaceGP& iFace) { Draw3DBoundinGP(iFace); }
void GeosigCountRender::Draw3DCylinder(Zar3DCylinderGP& iCylinder, int) { Draw3DBoundinGP(iCylinder); }
void GeosigCountRender::Draw3DCurvedPipe(Zar3DCurvedPipeGP& iPipe) { Draw3DBoundinGP(iPipe); }

void GeosigCountRender::DrawRepresentation(ZarRep& iRep) {
  if (iRep.ViewMode(256, nullptr)) return;
  if (!iRep.IsA3DRep()) return;
  if (iRep.IsAKindOf(VisPrimitiveGroupRep::ClassName())) _slowRepNumber = WrappingSum(_slowRepNumber, 1);
}

ZarRender* GeosigCountRender::PushMatrix(Zar4x4Matrix&) { return this; }
void GeosigCountRender::PopMatrix(ZarRender*) {}

int GeosigCountRender::IsWithinLimits() const {
  if (_maxNumberOfTrianglesToCount >= 1 && _triangleNumber > _maxNumberOfTrianglesToCount) return 0;
  if (_maxNumberOfSlowRepToCount >= 1) return _slowRepNumber <= _maxNumberOfSlowRepToCount ? 1 : 0;
  return 1;
}

int GeosigCountRender::IsDrawable(int) { return IsWithinLimits(); }
int GeosigCountRender::IsDrawable(const ZarGraphicAttributeSet&) { return IsWithinLimits(); }
int GeosigCountRender::IsDrawable(const ZarGraphicAttributeSet&, const Zar2DBoundingBox&, const ZarRep&) {
  return IsWithinLimits();
}
int GeosigCountRender::IsDrawable(const ZarGraphicAttributeSet&, const Zar2DBoundingBox&, int) {
  return IsWithinLimits();
}
int GeosigCountRender::IsDrawable(const ZarGraphicAttributeSet&, const Zar3DBoundingSphere&, const ZarRep&,
                                  ZarGraphicMaterial*) {
  return IsWithinLimits();
}
int GeosigCountRender::IsDrawable(const ZarGraphicAttributeSet&, const ZarRep&, ZarGraphicMaterial*) {
  return IsWithinLimits();
}
int GeosigCountRender::IsDrawable(const ZarGraphicAttributeSet&, int) { return IsWithinLimits(); }
int GeosigCountRender::IsDrawable(const ZarGraphicAttributeSet&, int, int) { return IsWithinLimits(); }
int GeosigCountRender::IsDrawable(const ZarGraphicAttributeSet&, ZarGraphicMaterial*) { return IsWithinLimits(); }
int GeosigCountRender::IsDrawable(const ZarGraphicAttributeSet&, const float*, float, int) { return IsWithinLimits(); }

int GeosigCountRender::IsInside(const Zar2DBoundingBox&) { return 0; }
int GeosigCountRender::IsInside(const Zar3DBoundingSphere&) { return 0; }
int GeosigCountRender::IsToSmall(const Zar2DBoundingBox&) { return 0; }
int GeosigCountRender::IsToSmall(const Zar3DBoundingSphere&) { return 0; }
int GeosigCountRender::IsSeen(const float*, const float*) { return 1; }
