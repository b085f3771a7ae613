// The cost of reading in a worker process: one small mesh described in this process, and in a
// worker forked for it, as describe and the one-file commands do.
#include <benchmark/benchmark.h>

#include <string>

#include "FileDescription.h"
#include "IsolatedRun.h"

namespace {

const std::string peg = std::string(GEOSIG_SAMPLES_DIR) + "/peg.stl";

void BM_DescribeInProcess(benchmark::State& ioState) {
  for (auto _ : ioState) benchmark::DoNotOptimize(DescribeFileRecord(peg, ImportOptions()));
}
BENCHMARK(BM_DescribeInProcess)->Unit(benchmark::kMillisecond);

void BM_DescribeInWorker(benchmark::State& ioState) {
  for (auto _ : ioState) benchmark::DoNotOptimize(RunIsolated(peg, WorkerLimits(), DescribingTask(ImportOptions())));
}
BENCHMARK(BM_DescribeInWorker)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
