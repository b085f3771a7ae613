#pragma once
// Builds small scenes (faces, surfacic reps, bags with matrices) so that scenario tests read
// like the use case, and a render that records what the decoders hand on.
#include <initializer_list>
#include <ostream>
#include <vector>

#include "GeosigRender.h"
#include "VisPrimitiveGroupRep.h"
#include "Zar3DBagRep.h"
#include "Zar3DFaceGP.h"
#include "ZarRef.h"
#include "ZarSurfacicRep.h"
#include "ZarTessellation.h"

namespace scene {

// The 12 triangles of an axis-aligned box, wound outwards.
ZarTessellation Box(const ZarMathPointf& iMin, const ZarMathPointf& iMax);
// A closed UV sphere: iSlices meridians (even, so the mesh is symmetric about the three
// coordinate planes through its centre) and iStacks bands, wound outwards.
ZarTessellation Sphere(const ZarMathPointf& iCenter, float iRadius, unsigned int iSlices, unsigned int iStacks);
// A torus (radii 2 and 0.5) in iSectors x iSectors / 2 quadrangles of two triangles each.
ZarTessellation Torus(unsigned int iSectors);
// A single triangle.
ZarTessellation Triangle(const ZarMathPointf& iA, const ZarMathPointf& iB, const ZarMathPointf& iC);

// Pseudo-random vertices in [-iExtent, iExtent]^3 joined by all three kinds of topology
// (independent triangles, fans, strips of varied lengths); the same seed gives the same patch.
ZarTessellation RandomPatch(unsigned int iSeed, unsigned int iVertexCount, float iExtent);

// x, y, z of each point in turn, as primitives take them.
std::vector<float> Coordinates(std::initializer_list<ZarMathPointf> iPoints);

ZarRef<Zar3DFaceGP> Face(const ZarTessellation& iTessellation);
// A surfacic rep holding the given primitives.
ZarRef<ZarSurfacicRep> Surface(std::initializer_list<ZarGraphicPrimitive*> iPrimitives);
ZarRef<ZarSurfacicRep> Surface(const ZarTessellation& iTessellation);
// A slow representation holding the given visualization primitives.
ZarRef<VisPrimitiveGroupRep> VisGroup(std::initializer_list<VisPrimitive*> iPrimitives);
// A bag holding the children, with a matrix when one is given.
ZarRef<Zar3DBagRep> Bag(std::initializer_list<ZarRep*> iChildren);
ZarRef<Zar3DBagRep> Bag(const Zar4x4Matrix& iMatrix, std::initializer_list<ZarRep*> iChildren);

// Traverses a surface holding one face of the tessellation with the render.
void TraverseSurface(ZarRender& iRender, const ZarTessellation& iTessellation);

Zar4x4Matrix Translation(double iX, double iY, double iZ);
Zar4x4Matrix Scaling(double iFactor);
// Rotation by iRadians about the unit axis (iX, iY, iZ).
Zar4x4Matrix Rotation(double iX, double iY, double iZ, double iRadians);

}  // namespace scene

// Makes the platform allocator fail once iCount further allocations have succeeded, for as
// long as it lives.
struct ScopedAllocationFailure {
  explicit ScopedAllocationFailure(long iCount) { ZarBaseUnknown::FailAllocationsAfter(iCount); }
  ~ScopedAllocationFailure() { ZarBaseUnknown::FailAllocationsAfter(-1); }
  ScopedAllocationFailure(const ScopedAllocationFailure&) = delete;
  ScopedAllocationFailure& operator=(const ScopedAllocationFailure&) = delete;
};

struct RecordedTriangle {
  ZarMathPointf a, b, c;
  bool operator==(const RecordedTriangle& o) const { return a == o.a && b == o.b && c == o.c; }
};
struct RecordedLine {
  ZarMathPointf a, b;
  bool operator==(const RecordedLine& o) const { return a == o.a && b == o.b; }
};

// Readable failure messages.
void PrintTo(const ZarMathPointf& iPoint, std::ostream* oStream);
void PrintTo(const RecordedTriangle& iTriangle, std::ostream* oStream);
void PrintTo(const RecordedLine& iLine, std::ostream* oStream);

// Records every triangle, segment and point, and can fail a chosen call of each hook.
class RecordingRender : public GeosigRender {
 public:
  std::vector<RecordedTriangle> triangles;
  std::vector<RecordedLine> lines;
  std::vector<ZarMathPointf> points;
  // 1-based call numbers that return E_FAIL; 0 = never; failAll makes every call fail.
  std::size_t failTriangleCall = 0, failLineCall = 0, failPointCall = 0;
  bool failAll = false;

  std::uint32_t Triangles() const { return _nbTriangles; }
  std::uint32_t Lines() const { return _nbLines; }
  std::uint32_t Points() const { return _nbPoints; }
  const GeosigMatrixNode* Stack() const { return _matrixStack; }

  // Lets tests reach the decoders as the platform would.
  using GeosigRender::DrawZarViz3DFace;

 protected:
  HRESULT AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) override;
  HRESULT AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) override;
  HRESULT AnalyzePoint(ZarMathPointf& ioP) override;
};
