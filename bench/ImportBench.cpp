// Importer throughput, from a file on disk to the representation tree, in triangles per
// second, beside the time `geosig describe` then spends on the descriptors of that tree.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "Descriptors.h"
#include "GeosigCountRender.h"
#include "MeshWriters.h"
#include "ModelImporter.h"

namespace {

const std::string samples = GEOSIG_SAMPLES_DIR;

// A torus (radii 2 and 0.5) in iSectors x iSectors / 2 quadrangles of two triangles each.
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

// A file in the temporary directory, removed when the benchmark is over.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& iExtension)
      : _path("/tmp/geosig-bench-" + std::to_string(getpid()) + iExtension) {}
  ~ScratchFile() { std::remove(_path.c_str()); }
  const std::string& Path() const { return _path; }

 private:
  std::string _path;
};

int TriangleCount(ZarRep& ioRoot) {
  GeosigCountRender render;
  render.Traverse(ioRoot);
  int triangles = 0;
  render.GetTriangleNumber(triangles);
  return triangles;
}

void ImportRepeatedly(benchmark::State& ioState, const std::string& iPath, const ImportOptions& iOptions) {
  const ModelImporter importer(iOptions);
  int triangles = 0;
  for (auto _ : ioState) {
    ImportedModel model = importer.Import(iPath);
    benchmark::DoNotOptimize(model.root.get());
    ioState.PauseTiming();
    triangles = TriangleCount(*model.root);
    ioState.ResumeTiming();
  }
  ioState.SetItemsProcessed(static_cast<std::int64_t>(ioState.iterations()) * triangles);
  ioState.counters["triangles"] = triangles;
}

void BM_ImportBinaryStl(benchmark::State& ioState) {
  const ScratchFile file(".stl");
  WriteBinaryStl(file.Path(), Torus(static_cast<unsigned int>(ioState.range(0))));
  ImportRepeatedly(ioState, file.Path(), ImportOptions());
}
BENCHMARK(BM_ImportBinaryStl)->Arg(64)->Arg(512)->Unit(benchmark::kMillisecond);

void BM_ImportObj(benchmark::State& ioState) {
  const ScratchFile file(".obj");
  WriteObj(file.Path(), "torus", Torus(static_cast<unsigned int>(ioState.range(0))));
  ImportRepeatedly(ioState, file.Path(), ImportOptions());
}
BENCHMARK(BM_ImportObj)->Arg(64)->Arg(512)->Unit(benchmark::kMillisecond);

void BM_ImportGlb(benchmark::State& ioState) {
  const ScratchFile file(".glb");
  GltfNode node;
  node.mesh = 0;
  WriteGlb(file.Path(), {{"torus", Torus(static_cast<unsigned int>(ioState.range(0)))}}, {node});
  ImportRepeatedly(ioState, file.Path(), ImportOptions());
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
  const ScratchFile file(".stl");
  WriteBinaryStl(file.Path(), Torus(static_cast<unsigned int>(ioState.range(0))));
  const ImportedModel model = ModelImporter().Import(file.Path());
  const int triangles = TriangleCount(*model.root);
  for (auto _ : ioState) benchmark::DoNotOptimize(DescribeModel(*model.root));
  ioState.SetItemsProcessed(static_cast<std::int64_t>(ioState.iterations()) * triangles);
  ioState.counters["triangles"] = triangles;
}
BENCHMARK(BM_DescribeImportedTree)->Arg(64)->Arg(512)->Unit(benchmark::kMillisecond);

}  // namespace
