// DescribeMesh on a large mesh from one thread and from two at once. Describing shares nothing
// between threads, so two threads should get through nearly twice the triangles per second.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "MeshArrays.h"
#include "SceneBuilder.h"

namespace {

// About two million triangles, read by every thread.
const ZarTessellation& LargeTorus() {
  static const ZarTessellation torus = scene::Torus(1414);
  return torus;
}

void BM_DescribeMesh(benchmark::State& ioState) {
  const ZarTessellation& torus = LargeTorus();
  const MeshArrays mesh{torus.vertices.data(), torus.vertices.size() / 3, torus.triangles.data(),
                        torus.triangles.size() / 3};
  for (auto _ : ioState) {
    Outcome<Descriptors> described = DescribeMesh(mesh);
    benchmark::DoNotOptimize(described);
  }
  ioState.SetItemsProcessed(static_cast<std::int64_t>(ioState.iterations() * mesh.triangleCount));
}
BENCHMARK(BM_DescribeMesh)->Threads(1)->Threads(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
