// Triangles per second of each descriptor render over a full traversal of one large face,
// beside a loop that only reads the same triangles and a render whose hooks do nothing (the
// cost of the traversal and the face decoding alone).
#include <benchmark/benchmark.h>

#include "GeosigBarycenterRender.h"
#include "GeosigNormRender.h"
#include "GeosigPrincipleAxisRender.h"
#include "GeosigRecognitionRender.h"
#include "GeosigSymmetriesRender.h"
#include "SceneBuilder.h"

namespace {

// About 260 000 triangles.
const ZarTessellation& LargeMesh() {
  static const ZarTessellation mesh = scene::Sphere({0.3f, -0.2f, 0.1f}, 2.0f, 512, 256);
  return mesh;
}

void SetTrianglesPerSecond(benchmark::State& ioState) {
  ioState.SetItemsProcessed(static_cast<int64_t>(ioState.iterations()) *
                            static_cast<int64_t>(LargeMesh().triangles.size() / 3));
}

void ReadTrianglesOnly(benchmark::State& ioState) {
  const ZarTessellation& mesh = LargeMesh();
  const float* vertices = mesh.vertices.data();
  for (auto _ : ioState)
    for (unsigned int index : mesh.triangles) {
      ZarMathPointf vertex(vertices + 3 * index);
      benchmark::DoNotOptimize(vertex);
    }
  SetTrianglesPerSecond(ioState);
}
BENCHMARK(ReadTrianglesOnly)->Unit(benchmark::kMillisecond);

class NullRender : public GeosigRender {
 protected:
  HRESULT AnalyzeTriangle(ZarMathPointf&, ZarMathPointf&, ZarMathPointf&) override { return S_OK; }
  HRESULT AnalyzeLine(ZarMathPointf&, ZarMathPointf&) override { return S_OK; }
  HRESULT AnalyzePoint(ZarMathPointf&) override { return S_OK; }
};

template <class Render>
void TraverseLargeFace(benchmark::State& ioState) {
  ZarRef<ZarSurfacicRep> surface = scene::Surface(LargeMesh());
  for (auto _ : ioState) {
    Render render;
    render.Traverse(*surface);
    benchmark::DoNotOptimize(render.GetTrianglesCount());
  }
  SetTrianglesPerSecond(ioState);
}
BENCHMARK_TEMPLATE(TraverseLargeFace, NullRender)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(TraverseLargeFace, GeosigBarycenterRender)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(TraverseLargeFace, GeosigNormRender)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(TraverseLargeFace, GeosigPrincipleAxisRender)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(TraverseLargeFace, GeosigSymmetriesRender)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(TraverseLargeFace, GeosigRecognitionRender)->Unit(benchmark::kMillisecond);

}  // namespace
