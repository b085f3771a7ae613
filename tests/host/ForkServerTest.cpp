// The fork server behind every worker process: a caller whose threads hold locks and allocate
// while workers are forked gets every answer; a killed server is started again and its workers
// end with it; runs leave no descriptor and no zombie behind.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "AppTasks.h"
#include "DescribeTask.h"
#include "FileDescription.h"
#include "ForkServer.h"
#include "IsolatedRun.h"
#include "ReportChecks.h"

namespace {

const TaskCall misbehave = {"misbehave", ""};

ForkServer& TestWorkers() { return ForkServer::Of(GEOSIG_TEST_WORKER); }

// The outcome of one item run alone.
WorkerOutcome RunOne(const std::string& iItem, const TaskCall& iTask = misbehave,
                     const WorkerLimits& iLimits = WorkerLimits()) {
  WorkerOutcome outcome;
  WorkerPool(TestWorkers(), iTask, iLimits).Run({iItem}, 1, [&](const WorkerOutcome& iOutcome) { outcome = iOutcome; });
  return outcome;
}

std::size_t OpenDescriptors(const std::string& iProcess) {
  const auto entries = std::filesystem::directory_iterator("/proc/" + iProcess + "/fd");
  return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

// The children of process iProcess, as /proc lists them.
std::vector<std::string> Children(pid_t iProcess) {
  const std::string process = std::to_string(iProcess);
  std::ifstream list("/proc/" + process + "/task/" + process + "/children");
  std::vector<std::string> children;
  for (std::string child; list >> child;) children.push_back(child);
  return children;
}

TEST(ForkServer, AThreadedCallerGetsEveryAnswerWhileItsThreadsHoldLocksAndAllocate) {
  const std::string peg = Sample("peg.stl");
  const std::string expected = ReportText(DescribeFileRecord(peg, ImportOptions()).record);
  // Threads that take a lock of their own and the allocator's all the time, as an interpreter's
  // helper threads do: a worker forked from this process at the wrong moment would wait forever.
  std::atomic<bool> done{false};
  std::mutex theirs;
  std::vector<std::thread> busy;
  for (int k = 0; k < 3; ++k)
    busy.emplace_back([&] {
      while (!done) {
        const std::lock_guard<std::mutex> lock(theirs);
        std::vector<std::string> garbage;
        for (int size = 1; size < 4096; size *= 2) garbage.emplace_back(size, 'x');
      }
    });
  // Far above what a describe of a small mesh takes, even on a loaded machine: only a worker
  // that never answers reaches it.
  WorkerLimits limits;
  limits.seconds = 60;
  const TaskCall describe = CallOf(DescribeTask{ImportOptions()});
  constexpr int callers = 4, calls = 8;
  std::vector<std::string> answers(callers * calls);
  std::vector<std::thread> calling;
  for (int caller = 0; caller < callers; ++caller)
    calling.emplace_back([&, caller] {
      for (int call = 0; call < calls; ++call) {
        std::string& answer = answers[caller * calls + call];
        try {
          answer = ReportText(RunIsolated(peg, limits, describe));
        } catch (const std::exception& failure) {
          answer = failure.what();
        }
      }
    });
  for (std::thread& thread : calling) thread.join();
  done = true;
  for (std::thread& thread : busy) thread.join();
  for (const std::string& answer : answers) EXPECT_EQ(answer, expected);
}

TEST(ForkServer, StaysSingleThreadedWithEveryLibraryLinked) {
  RunIsolated(Sample("brick.obj"), WorkerLimits(), CallOf(DescribeTask{ImportOptions()}));
  std::ifstream status("/proc/" + std::to_string(AppWorkers().ServerPid()) + "/status");
  std::string line;
  while (std::getline(status, line) && line.rfind("Threads:", 0) != 0) {
  }
  EXPECT_EQ(line, "Threads:\t1");
}

TEST(ForkServer, IsStartedAgainAfterBeingKilledAndTakesItsWorkersWithIt) {
  EXPECT_EQ(RunOne("a").value, "read a");
  const pid_t first = TestWorkers().ServerPid();
  ASSERT_GT(first, 0);
  kill(first, SIGKILL);
  EXPECT_EQ(RunOne("b").value, "read b");
  const pid_t second = TestWorkers().ServerPid();
  EXPECT_NE(second, first);
  // The dead server was reaped, not left a zombie.
  EXPECT_TRUE(kill(first, 0) == -1 && errno == ESRCH);

  // A worker whose server is killed under it ends with it, and its item says so. The pool ticks
  // only once the worker holds its item; a server killed before it had handed the worker over
  // would be started again, and the worker would come from the new one.
  WorkerOutcome hung;
  bool killed = false;
  WorkerPool(TestWorkers(), misbehave, WorkerLimits())
      .Run(
          {"hang"}, 1, [&](const WorkerOutcome& iOutcome) { hung = iOutcome; },
          [&] {
            if (!std::exchange(killed, true)) kill(second, SIGKILL);
          });
  EXPECT_FALSE(hung.succeeded);
  EXPECT_EQ(hung.value, "the reader crashed (signal 9)");
  EXPECT_EQ(RunOne("c").value, "read c");
}

TEST(ForkServer, RunsLeaveNoDescriptorAndNoZombie) {
  EXPECT_EQ(RunOne("a").value, "read a");
  const std::string server = std::to_string(TestWorkers().ServerPid());
  const std::size_t ours = OpenDescriptors("self"), its = OpenDescriptors(server);
  for (int run = 0; run < 10; ++run) {
    WorkerLimits limits;
    limits.seconds = 30;
    std::size_t outcomes = 0;
    WorkerPool(TestWorkers(), misbehave, limits)
        .Run({"a", "crash", "throw", "exit", "b", "large"}, 3, [&](const WorkerOutcome&) { ++outcomes; });
    EXPECT_EQ(outcomes, 6u);
  }
  EXPECT_EQ(OpenDescriptors("self"), ours);
  EXPECT_EQ(OpenDescriptors(server), its);
  EXPECT_EQ(Children(TestWorkers().ServerPid()), std::vector<std::string>());
  EXPECT_LE(waitpid(-1, nullptr, WNOHANG), 0);
}

TEST(ForkServer, ATaskTheWorkerProgramDoesNotHaveFailsEachItemWithTheReason) {
  const WorkerOutcome outcome = RunOne("a", {"no-such-task", ""});
  EXPECT_FALSE(outcome.succeeded);
  EXPECT_EQ(outcome.value, "the worker program has no task 'no-such-task'");
}

TEST(ForkServer, TheWorkerProgramRefusesToBeRunByHand) {
  const CommandResult result = RunCommand("/bin/sh", {"-c", std::string(GEOSIG_WORKER_PROGRAM) + " </dev/null"});
  EXPECT_EQ(result.exitStatus, 2);
  EXPECT_EQ(result.err, "geosig-worker: geosig starts this program for its worker processes; it is not run by hand\n");
}

}  // namespace
