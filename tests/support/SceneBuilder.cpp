#include "SceneBuilder.h"

#include <cmath>
#include <random>

namespace scene {

ZarTessellation Box(const ZarMathPointf& iMin, const ZarMathPointf& iMax) {
  ZarTessellation box;
  for (int k = 0; k < 8; ++k)  // corner k takes the maximum along x, y, z for bits 0, 1, 2
    box.vertices.insert(box.vertices.end(),
                        {k & 1 ? iMax.x : iMin.x, k & 2 ? iMax.y : iMin.y, k & 4 ? iMax.z : iMin.z});
  box.triangles = {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 1, 5, 0, 5, 4,   // z = min, z = max, y = min
                   2, 6, 7, 2, 7, 3, 0, 4, 6, 0, 6, 2, 1, 3, 7, 1, 7, 5};  // y = max, x = min, x = max
  return box;
}

ZarTessellation Torus(unsigned int iSectors) {
  const unsigned int around = iSectors, across = iSectors / 2;
  ZarTessellation torus;
  for (unsigned int i = 0; i < around; ++i)
    for (unsigned int j = 0; j < across; ++j) {
      const double u = 2 * M_PI * i / around, v = 2 * M_PI * j / across, r = 2 + 0.5 * std::cos(v);
      torus.vertices.insert(torus.vertices.end(),
                            {static_cast<float>(r * std::cos(u)), static_cast<float>(r * std::sin(u)),
                             static_cast<float>(0.5 * std::sin(v))});
    }
  for (unsigned int i = 0; i < around; ++i)
    for (unsigned int j = 0; j < across; ++j) {
      const unsigned int a = i * across + j, b = ((i + 1) % around) * across + j;
      const unsigned int c = ((i + 1) % around) * across + (j + 1) % across, d = i * across + (j + 1) % across;
      torus.triangles.insert(torus.triangles.end(), {a, b, c, a, c, d});
    }
  return torus;
}

ZarTessellation Sphere(const ZarMathPointf& iCenter, float iRadius, unsigned int iSlices, unsigned int iStacks) {
  const double pi = 3.14159265358979323846;
  ZarTessellation sphere;
  const auto addVertex = [&](double iPolar, double iAzimuth) {
    sphere.vertices.push_back(iCenter.x + static_cast<float>(iRadius * std::sin(iPolar) * std::cos(iAzimuth)));
    sphere.vertices.push_back(iCenter.y + static_cast<float>(iRadius * std::sin(iPolar) * std::sin(iAzimuth)));
    sphere.vertices.push_back(iCenter.z + static_cast<float>(iRadius * std::cos(iPolar)));
  };
  addVertex(0.0, 0.0);  // north pole: vertex 0
  for (unsigned int ring = 1; ring < iStacks; ++ring)
    for (unsigned int j = 0; j < iSlices; ++j) addVertex(pi * ring / iStacks, 2.0 * pi * j / iSlices);
  addVertex(pi, 0.0);  // south pole: the last vertex
  const unsigned int south = static_cast<unsigned int>(sphere.VertexCount()) - 1;
  const auto at = [&](unsigned int iRing, unsigned int iSlice) { return 1 + (iRing - 1) * iSlices + iSlice % iSlices; };
  for (unsigned int j = 0; j < iSlices; ++j) {
    sphere.triangles.insert(sphere.triangles.end(), {0, at(1, j), at(1, j + 1)});
    for (unsigned int ring = 1; ring + 1 < iStacks; ++ring)
      sphere.triangles.insert(sphere.triangles.end(), {at(ring, j), at(ring + 1, j), at(ring + 1, j + 1), at(ring, j),
                                                       at(ring + 1, j + 1), at(ring, j + 1)});
    sphere.triangles.insert(sphere.triangles.end(), {south, at(iStacks - 1, j + 1), at(iStacks - 1, j)});
  }
  return sphere;
}

ZarTessellation Triangle(const ZarMathPointf& iA, const ZarMathPointf& iB, const ZarMathPointf& iC) {
  ZarTessellation triangle;
  triangle.vertices = {iA.x, iA.y, iA.z, iB.x, iB.y, iB.z, iC.x, iC.y, iC.z};
  triangle.triangles = {0, 1, 2};
  return triangle;
}

ZarTessellation RandomPatch(unsigned int iSeed, unsigned int iVertexCount, float iExtent) {
  std::mt19937 generator(iSeed);
  std::uniform_real_distribution<float> coordinate(-iExtent, iExtent);
  std::uniform_int_distribution<unsigned int> vertex(0, iVertexCount - 1);
  std::uniform_int_distribution<unsigned int> runLength(3, 9);
  ZarTessellation patch;
  for (unsigned int k = 0; k < 3 * iVertexCount; ++k) patch.vertices.push_back(coordinate(generator));
  // About a third of the vertices in each kind of topology.
  for (unsigned int k = 0; k < iVertexCount / 3; ++k) patch.triangles.push_back(vertex(generator));
  patch.triangles.resize(patch.triangles.size() - patch.triangles.size() % 3);
  auto addRuns = [&](std::vector<unsigned int>& oCounts, std::vector<unsigned int>& oIndices) {
    while (oIndices.size() < iVertexCount / 3) {
      const unsigned int length = runLength(generator);
      oCounts.push_back(length);
      for (unsigned int k = 0; k < length; ++k) oIndices.push_back(vertex(generator));
    }
  };
  addRuns(patch.fanCounts, patch.fans);
  addRuns(patch.stripCounts, patch.strips);
  return patch;
}

std::vector<float> Coordinates(std::initializer_list<ZarMathPointf> iPoints) {
  std::vector<float> coordinates;
  for (const ZarMathPointf& p : iPoints) coordinates.insert(coordinates.end(), {p.x, p.y, p.z});
  return coordinates;
}

ZarRef<Zar3DFaceGP> Face(const ZarTessellation& iTessellation) {
  return ZarRef<Zar3DFaceGP>(new Zar3DFaceGP(iTessellation));
}

ZarRef<ZarSurfacicRep> Surface(std::initializer_list<ZarGraphicPrimitive*> iPrimitives) {
  ZarRef<ZarSurfacicRep> surface(ZarSurfacicRep::CreateRep());
  for (ZarGraphicPrimitive* primitive : iPrimitives) surface->AddPrimitive(*primitive);
  return surface;
}

ZarRef<ZarSurfacicRep> Surface(const ZarTessellation& iTessellation) {
  ZarRef<Zar3DFaceGP> face = Face(iTessellation);
  return Surface({face.get()});
}

ZarRef<VisPrimitiveGroupRep> VisGroup(std::initializer_list<VisPrimitive*> iPrimitives) {
  ZarRef<VisPrimitiveGroupRep> group(VisPrimitiveGroupRep::CreateRep());
  for (VisPrimitive* primitive : iPrimitives) group->AddPrimitive(*primitive);
  return group;
}

ZarRef<Zar3DBagRep> Bag(std::initializer_list<ZarRep*> iChildren) {
  ZarRef<Zar3DBagRep> bag(Zar3DBagRep::CreateRep());
  for (ZarRep* child : iChildren) bag->AddChild(*child);
  return bag;
}

ZarRef<Zar3DBagRep> Bag(const Zar4x4Matrix& iMatrix, std::initializer_list<ZarRep*> iChildren) {
  ZarRef<Zar3DBagRep> bag = Bag(iChildren);
  bag->SetMatrix(iMatrix);
  return bag;
}

void TraverseSurface(ZarRender& iRender, const ZarTessellation& iTessellation) {
  ZarRef<ZarSurfacicRep> surface = Surface(iTessellation);
  iRender.Traverse(*surface);
}

Zar4x4Matrix Translation(double iX, double iY, double iZ) { return Zar4x4Matrix(ZarMathVector(iX, iY, iZ)); }

Zar4x4Matrix Scaling(double iFactor) {
  return Zar4x4Matrix(ZarMathVector(iFactor, 0, 0), ZarMathVector(0, iFactor, 0), ZarMathVector(0, 0, iFactor),
                      ZarMathVector(0, 0, 0));
}

Zar4x4Matrix Rotation(double iX, double iY, double iZ, double iRadians) {
  // Rodrigues: the images of the unit axes are the columns.
  const double c = std::cos(iRadians), s = std::sin(iRadians), t = 1.0 - c;
  const ZarMathVector column0(t * iX * iX + c, t * iX * iY + s * iZ, t * iX * iZ - s * iY);
  const ZarMathVector column1(t * iX * iY - s * iZ, t * iY * iY + c, t * iY * iZ + s * iX);
  const ZarMathVector column2(t * iX * iZ + s * iY, t * iY * iZ - s * iX, t * iZ * iZ + c);
  return Zar4x4Matrix(column0, column1, column2, ZarMathVector(0, 0, 0));
}

}  // namespace scene

HRESULT RecordingRender::AnalyzeTriangle(ZarMathPointf& ioA, ZarMathPointf& ioB, ZarMathPointf& ioC) {
  triangles.push_back({ioA, ioB, ioC});
  return (failAll || triangles.size() == failTriangleCall) ? E_FAIL : S_OK;
}

HRESULT RecordingRender::AnalyzeLine(ZarMathPointf& ioA, ZarMathPointf& ioB) {
  lines.push_back({ioA, ioB});
  return (failAll || lines.size() == failLineCall) ? E_FAIL : S_OK;
}

HRESULT RecordingRender::AnalyzePoint(ZarMathPointf& ioP) {
  points.push_back(ioP);
  return (failAll || points.size() == failPointCall) ? E_FAIL : S_OK;
}

void PrintTo(const ZarMathPointf& iPoint, std::ostream* oStream) {
  *oStream << '(' << iPoint.x << ", " << iPoint.y << ", " << iPoint.z << ')';
}
void PrintTo(const RecordedTriangle& iTriangle, std::ostream* oStream) {
  for (const ZarMathPointf* p : {&iTriangle.a, &iTriangle.b, &iTriangle.c}) PrintTo(*p, oStream);
}
void PrintTo(const RecordedLine& iLine, std::ostream* oStream) {
  PrintTo(iLine.a, oStream);
  PrintTo(iLine.b, oStream);
}
