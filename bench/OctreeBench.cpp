// Voxelisation speed and storage: a sphere and a real-size mesh (a knotted tube of 262k
// triangles) at depths 6, 8 and 10, through the octree directly and through a traversal.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "GeosigBBRender.h"
#include "GeosigOctreeLeafWalk.h"
#include "GeosigOctreeRender.h"
#include "Zar3DFaceGP.h"
#include "ZarRef.h"
#include "ZarSurfacicRep.h"

namespace {

const double pi = 3.14159265358979323846;

// A closed grid of rows x columns vertices, wrapped in both directions, two triangles per cell.
ZarTessellation WrappedGrid(unsigned int iRows, unsigned int iColumns, std::vector<float> iVertices) {
  ZarTessellation mesh;
  mesh.vertices = std::move(iVertices);
  for (unsigned int i = 0; i < iRows; ++i)
    for (unsigned int j = 0; j < iColumns; ++j) {
      const unsigned int a = i * iColumns + j, b = i * iColumns + (j + 1) % iColumns;
      const unsigned int c = (i + 1) % iRows * iColumns + j, d = (i + 1) % iRows * iColumns + (j + 1) % iColumns;
      mesh.triangles.insert(mesh.triangles.end(), {a, b, d, a, d, c});
    }
  return mesh;
}

// A unit sphere: latitude rings between the poles, closed by fans of triangles at both poles.
ZarTessellation Sphere(unsigned int iRings, unsigned int iSegments) {
  ZarTessellation mesh;
  mesh.vertices = {0, 0, 1};
  for (unsigned int i = 1; i < iRings; ++i) {
    const double polar = pi * i / iRings;
    for (unsigned int j = 0; j < iSegments; ++j) {
      const double azimuth = 2 * pi * j / iSegments;
      mesh.vertices.insert(mesh.vertices.end(), {static_cast<float>(std::sin(polar) * std::cos(azimuth)),
                                                 static_cast<float>(std::sin(polar) * std::sin(azimuth)),
                                                 static_cast<float>(std::cos(polar))});
    }
  }
  mesh.vertices.insert(mesh.vertices.end(), {0, 0, -1});
  const unsigned int south = static_cast<unsigned int>(mesh.VertexCount() - 1);
  const auto ring = [iSegments](unsigned int i, unsigned int j) { return 1 + (i - 1) * iSegments + j % iSegments; };
  for (unsigned int j = 0; j < iSegments; ++j) {
    mesh.triangles.insert(mesh.triangles.end(), {0, ring(1, j), ring(1, j + 1)});
    mesh.triangles.insert(mesh.triangles.end(), {south, ring(iRings - 1, j + 1), ring(iRings - 1, j)});
    for (unsigned int i = 1; i + 1 < iRings; ++i)
      mesh.triangles.insert(mesh.triangles.end(), {ring(i, j), ring(i + 1, j), ring(i + 1, j + 1), ring(i, j),
                                                   ring(i + 1, j + 1), ring(i, j + 1)});
  }
  return mesh;
}

// A tube of radius 0.25 around a trefoil knot, with a ripple on its surface.
ZarTessellation KnottedTube(unsigned int iAlong, unsigned int iAround) {
  const auto curve = [](double t) {
    return std::vector<double>{std::sin(t) + 2 * std::sin(2 * t), std::cos(t) - 2 * std::cos(2 * t), -std::sin(3 * t)};
  };
  std::vector<float> vertices;
  for (unsigned int i = 0; i < iAlong; ++i) {
    const double t = 2 * pi * i / iAlong, dt = 1e-4;
    const std::vector<double> p = curve(t), q = curve(t + dt);
    double tangent[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
    const double length = std::sqrt(tangent[0] * tangent[0] + tangent[1] * tangent[1] + tangent[2] * tangent[2]);
    for (double& c : tangent) c /= length;
    // A frame around the tangent: the z axis made orthogonal to it, and their cross product.
    double normal[3] = {-tangent[2] * tangent[0], -tangent[2] * tangent[1], 1 - tangent[2] * tangent[2]};
    const double normalLength = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
    for (double& c : normal) c /= normalLength;
    const double binormal[3] = {tangent[1] * normal[2] - tangent[2] * normal[1],
                                tangent[2] * normal[0] - tangent[0] * normal[2],
                                tangent[0] * normal[1] - tangent[1] * normal[0]};
    for (unsigned int j = 0; j < iAround; ++j) {
      const double angle = 2 * pi * j / iAround;
      const double radius = 0.25 * (1 + 0.05 * std::sin(40 * t) * std::cos(6 * angle));
      for (int a = 0; a < 3; ++a)
        vertices.push_back(
            static_cast<float>(p[a] + radius * (std::cos(angle) * normal[a] + std::sin(angle) * binormal[a])));
    }
  }
  return WrappedGrid(iAlong, iAround, std::move(vertices));
}

const ZarTessellation& SphereMesh() {
  static const ZarTessellation mesh = Sphere(128, 256);  // 65k triangles
  return mesh;
}

const ZarTessellation& KnotMesh() {
  static const ZarTessellation mesh = KnottedTube(2048, 64);  // 262,144 triangles
  return mesh;
}

// The bounding cube of the mesh, as a host would ask for it.
void BoundingCube(ZarSurfacicRep& iSurface, ZarMathPointf& oMin, ZarMathPointf& oMax) {
  GeosigBBRender bounds;
  bounds.Traverse(iSurface);
  bounds.GetBoundingCube(oMin, oMax);
}

ZarRef<ZarSurfacicRep> SurfaceOf(const ZarTessellation& iMesh) {
  ZarRef<Zar3DFaceGP> face(new Zar3DFaceGP(iMesh));
  ZarRef<ZarSurfacicRep> surface(ZarSurfacicRep::CreateRep());
  surface->AddPrimitive(*face);
  return surface;
}

void DrawAll(GeosigOctree& ioOctree, const ZarTessellation& iMesh) {
  const std::vector<float>& v = iMesh.vertices;
  for (std::size_t t = 0; t + 2 < iMesh.triangles.size(); t += 3)
    ioOctree.DrawTriangle(ZarMathPointf(&v[3 * iMesh.triangles[t]]), ZarMathPointf(&v[3 * iMesh.triangles[t + 1]]),
                          ZarMathPointf(&v[3 * iMesh.triangles[t + 2]]));
}

// The octree alone, fed with the mesh's triangles.
void DrawTriangles(benchmark::State& ioState, const ZarTessellation& iMesh) {
  const unsigned int depth = static_cast<unsigned int>(ioState.range(0));
  ZarRef<ZarSurfacicRep> surface = SurfaceOf(iMesh);
  ZarMathPointf low, high;
  BoundingCube(*surface, low, high);
  GeosigOctree octree;
  octree.SetDepth(depth);
  for (auto _ : ioState) {
    octree.SetBoundingBox(low, high);
    octree.Create();
    DrawAll(octree, iMesh);
    benchmark::ClobberMemory();
  }
  const double triangles = static_cast<double>(iMesh.triangles.size() / 3);
  double leaves = 0;
  GeosigOctreeLeafWalk walk(octree);
  walk.Run([&leaves](const GeosigOctreeLeafWalk::Leaf&) {
    ++leaves;
    return S_OK;
  });
  ioState.counters["triangles/s"] = benchmark::Counter(triangles, benchmark::Counter::kIsIterationInvariantRate);
  ioState.counters["leaves"] = leaves;
  ioState.counters["bytes/leaf"] = static_cast<double>(walk.StorageBytes()) / leaves;
}

// A traversal with the octree render: face decoding and transformation included.
void RenderSurface(benchmark::State& ioState, const ZarTessellation& iMesh) {
  const unsigned int depth = static_cast<unsigned int>(ioState.range(0));
  ZarRef<ZarSurfacicRep> surface = SurfaceOf(iMesh);
  ZarMathPointf low, high;
  BoundingCube(*surface, low, high);
  for (auto _ : ioState) {
    GeosigOctreeRender render(low, high, depth);
    render.Traverse(*surface);
    GeosigOctree* octree = nullptr;
    render.GetOctree(&octree);
    delete octree;
  }
  ioState.counters["triangles/s"] = benchmark::Counter(static_cast<double>(iMesh.triangles.size() / 3),
                                                       benchmark::Counter::kIsIterationInvariantRate);
}

void BM_OctreeSphere(benchmark::State& ioState) { DrawTriangles(ioState, SphereMesh()); }
void BM_OctreeKnot(benchmark::State& ioState) { DrawTriangles(ioState, KnotMesh()); }
void BM_OctreeRenderSphere(benchmark::State& ioState) { RenderSurface(ioState, SphereMesh()); }
void BM_OctreeRenderKnot(benchmark::State& ioState) { RenderSurface(ioState, KnotMesh()); }

BENCHMARK(BM_OctreeSphere)->Arg(6)->Arg(8)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OctreeKnot)->Arg(6)->Arg(8)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OctreeRenderSphere)->Arg(6)->Arg(8)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OctreeRenderKnot)->Arg(6)->Arg(8)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
