// Batch throughput: a catalog described into JSON lines by 1 and 2 worker processes, in files
// per second of wall time, for meshes alone and for meshes and CAD files mixed.
// bench/batch_jobs.sh measures the same through `geosig batch` on a catalog of STEP parts.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "AppTasks.h"
#include "BatchRecords.h"
#include "DescribeTask.h"
#include "MeshWriters.h"
#include "ModelFileRun.h"
#include "SceneBuilder.h"
#include "TemporaryDirectory.h"

namespace {

const std::string samples = GEOSIG_SAMPLES_DIR;

// Sixteen models of each kind asked for, in a scratch directory that lives as long as the
// benchmark program.
const std::vector<std::string>& ModelFiles(bool iWithCad) {
  static const TemporaryDirectory directory;
  static std::vector<std::string> meshes, mixed;
  std::vector<std::string>& files = iWithCad ? mixed : meshes;
  if (files.empty()) {
    // A sphere of 128 x 128 quadrangles: 32k triangles.
    const ZarTessellation sphere = scene::Sphere(ZarMathPointf(0, 0, 0), 1.0f, 128, 128);
    for (int k = 0; k < 16; ++k) {
      const std::string name = directory.Path((iWithCad ? "mixed-" : "mesh-") + std::to_string(k));
      WriteBinaryStl(name + ".stl", sphere);
      files.push_back(name + ".stl");
      if (iWithCad) {
        std::filesystem::copy_file(samples + "/blocks.step", name + ".step");
        files.push_back(name + ".step");
      }
    }
  }
  return files;
}

void DescribeCatalog(benchmark::State& ioState, bool iWithCad) {
  const std::vector<std::string>& files = ModelFiles(iWithCad);
  ModelFileSet catalog;
  for (const std::string& file : files) catalog.AddPath(file);
  const TemporaryDirectory output;
  ImportOptions options;
  options.parallelTessellation = false;
  const WorkerPool pool(AppWorkers(), CallOf(DescribeTask{options}), WorkerLimits());
  for (auto _ : ioState) {
    BatchRecords records(output.Path("out.jsonl"), false, catalog);
    ModelFileRun run(records, false);
    run.Run(ModelFileRun::OnPool(pool, static_cast<unsigned int>(ioState.range(0))));
    if (run.Failed() > 0) ioState.SkipWithError("a file failed");
  }
  ioState.SetItemsProcessed(static_cast<std::int64_t>(ioState.iterations() * files.size()));
}

void BM_BatchMeshes(benchmark::State& ioState) { DescribeCatalog(ioState, false); }
BENCHMARK(BM_BatchMeshes)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_BatchMeshesAndCad(benchmark::State& ioState) { DescribeCatalog(ioState, true); }
BENCHMARK(BM_BatchMeshesAndCad)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
