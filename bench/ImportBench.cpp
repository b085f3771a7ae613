// Importer throughput, from a file on disk to the representation tree, in triangles per
// second, beside the time `geosig describe` then spends on the descriptors of that tree.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "Descriptors.h"
#include "MeshWriters.h"
#include "ModelImporter.h"
#include "SceneBuilder.h"
#include "TemporaryDirectory.h"

namespace {

const std::string samples = GEOSIG_SAMPLES_DIR;

// The triangles of a model, each instance of a shared part counted, as `geosig describe` counts them.
int TrianglesOf(const ImportedModel& iModel) { return DescribeModel(*iModel.root)->triangles; }

void ImportRepeatedly(benchmark::State& ioState, const std::string& iPath, const ImportOptions& iOptions) {
  const ModelImporter importer(iOptions);
  const int triangles = TrianglesOf(importer.Import(iPath));
  for (auto _ : ioState) {
    ImportedModel model = importer.Import(iPath);
    benchmark::DoNotOptimize(model.root.get());
  }
  ioState.SetItemsProcessed(static_cast<std::int64_t>(ioState.iterations()) * triangles);
  ioState.counters["triangles"] = triangles;
}

void BM_ImportBinaryStl(benchmark::State& ioState) {
  const TemporaryDirectory directory;
  const std::string path = directory.Path("torus.stl");
  WriteBinaryStl(path, scene::Torus(static_cast<unsigned int>(ioState.range(0))));
  ImportRepeatedly(ioState, path, ImportOptions());
}
BENCHMARK(BM_ImportBinaryStl)->Arg(64)->Arg(512)->Unit(benchmark::kMillisecond);

void BM_ImportObj(benchmark::State& ioState) {
  const TemporaryDirectory directory;
  const std::string path = directory.Path("torus.obj");
  WriteObj(path, "torus", scene::Torus(static_cast<unsigned int>(ioState.range(0))));
  ImportRepeatedly(ioState, path, ImportOptions());
}
BENCHMARK(BM_ImportObj)->Arg(64)->Arg(512)->Unit(benchmark::kMillisecond);

void BM_ImportGlb(benchmark::State& ioState) {
  const TemporaryDirectory directory;
  const std::string path = directory.Path("torus.glb");
  ExportNode node;
  node.mesh = 0;
  WriteGlb(path, {{"torus", scene::Torus(static_cast<unsigned int>(ioState.range(0)))}}, {node});
  ImportRepeatedly(ioState, path, ImportOptions());
}
BENCHMARK(BM_ImportGlb)->Arg(64)->Arg(512)->Unit(benchmark::kMillisecond);

// The CAD reader tessellates on import: the argument k sets a deflection of 10^-k.
void BM_ImportStep(benchmark::State& ioState) {
  ImportOptions options;
  options.absoluteDeflection = std::pow(10.0, -static_cast<double>(ioState.range(0)));
  ImportRepeatedly(ioState, samples + "/peg.step", options);
}
BENCHMARK(BM_ImportStep)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_ImportStepAssembly(benchmark::State& ioState) {
  ImportRepeatedly(ioState, samples + "/blocks.step", ImportOptions());
}
BENCHMARK(BM_ImportStepAssembly)->Unit(benchmark::kMillisecond);

// Every descriptor that `geosig describe` reports, on the imported torus.
void BM_DescribeImportedTree(benchmark::State& ioState) {
  const TemporaryDirectory directory;
  const std::string path = directory.Path("torus.stl");
  WriteBinaryStl(path, scene::Torus(static_cast<unsigned int>(ioState.range(0))));
  const ImportedModel model = ModelImporter().Import(path);
  const int triangles = TrianglesOf(model);
  for (auto _ : ioState) benchmark::DoNotOptimize(DescribeModel(*model.root));
  ioState.SetItemsProcessed(static_cast<std::int64_t>(ioState.iterations()) * triangles);
  ioState.counters["triangles"] = triangles;
}
BENCHMARK(BM_DescribeImportedTree)->Arg(64)->Arg(512)->Unit(benchmark::kMillisecond);

}  // namespace
