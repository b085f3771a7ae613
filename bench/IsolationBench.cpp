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

// What a worker costs by itself: forked, given an item, answering, and reaped.
void BM_EmptyTaskInWorker(benchmark::State& ioState) {
  const WorkerPool pool([](const std::string& iItem) { return iItem; }, WorkerLimits());
  for (auto _ : ioState) pool.Run({peg}, 1, [](const WorkerOutcome& iOutcome) { benchmark::DoNotOptimize(iOutcome); });
}
BENCHMARK(BM_EmptyTaskInWorker)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
