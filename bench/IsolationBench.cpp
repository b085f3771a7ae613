// The cost of reading in a worker process: one small mesh described in this process, and in a
// worker of geosig-worker forked for it, as describe, the one-file commands and the Python
// module do; a worker by itself; and the worker program's start, paid once by each process
// (the command line pays it on every run; bench/isolation.py times both paths end to end).
#include <benchmark/benchmark.h>

#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "AppTasks.h"
#include "DescribeTask.h"
#include "FileDescription.h"
#include "IsolatedRun.h"
#include "WorkerExecutable.h"

namespace {

const std::string peg = std::string(GEOSIG_SAMPLES_DIR) + "/peg.stl";

void BM_DescribeInProcess(benchmark::State& ioState) {
  for (auto _ : ioState) benchmark::DoNotOptimize(DescribeFileRecord(peg, ImportOptions()));
}
BENCHMARK(BM_DescribeInProcess)->Unit(benchmark::kMillisecond);

void BM_DescribeInWorker(benchmark::State& ioState) {
  const TaskCall describe = CallOf(DescribeTask{ImportOptions()});
  for (auto _ : ioState) benchmark::DoNotOptimize(RunIsolated(peg, WorkerLimits(), describe));
}
BENCHMARK(BM_DescribeInWorker)->UseRealTime()->Unit(benchmark::kMillisecond);

// What a worker costs by itself: forked by the server, handed over, told a task it does not have,
// answering with that failure, and reaped.
void BM_EmptyTaskInWorker(benchmark::State& ioState) {
  const WorkerPool pool(AppWorkers(), {"none", ""}, WorkerLimits());
  for (auto _ : ioState) pool.Run({peg}, 1, [](const WorkerOutcome& iOutcome) { benchmark::DoNotOptimize(iOutcome); });
}
BENCHMARK(BM_EmptyTaskInWorker)->UseRealTime()->Unit(benchmark::kMillisecond);

// The worker program started and ended: what the first isolated call of a process adds (exec, the
// loader binding every library, the server's start), without a worker.
void BM_WorkerProgramStart(benchmark::State& ioState) {
  const std::string program = WorkerExecutable();
  for (auto _ : ioState) {
    int control[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, control) != 0) ioState.SkipWithError("no socket");
    const pid_t server = fork();
    if (server == 0) {
      dup2(control[1], STDIN_FILENO);
      execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(control[1]);
    // Closing the control socket at once: the server exits as soon as it is up and reads it.
    close(control[0]);
    waitpid(server, nullptr, 0);
  }
}
BENCHMARK(BM_WorkerProgramStart)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
