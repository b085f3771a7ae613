// The worker pool with tasks that misbehave on purpose: each item gets exactly one outcome,
// a crashed, stuck or swelling worker costs its item alone and is replaced.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "ForkServer.h"
#include "WorkerPool.h"

namespace {

// The test worker program's task that does what each item names ("crash", "exit", "throw",
// "hang", "swell", "large") and answers "read ITEM" to any other.
const TaskCall misbehave = {"misbehave", ""};

ForkServer& TestWorkers() { return ForkServer::Of(GEOSIG_TEST_WORKER); }

WorkerPool Misbehaving(const WorkerLimits& iLimits) { return WorkerPool(TestWorkers(), misbehave, iLimits); }

// The outcomes of a run by item, each item once.
std::map<std::string, WorkerOutcome> RunAll(const std::vector<std::string>& iItems, unsigned int iWorkers,
                                            const WorkerLimits& iLimits = WorkerLimits()) {
  std::map<std::string, WorkerOutcome> outcomes;
  Misbehaving(iLimits).Run(iItems, iWorkers, [&](const WorkerOutcome& iOutcome) {
    EXPECT_TRUE(outcomes.emplace(iItems.at(iOutcome.index), iOutcome).second) << "twice: " << iOutcome.index;
  });
  EXPECT_EQ(outcomes.size(), iItems.size());
  return outcomes;
}

// No worker outlives a run: the fork server, the only child, has none left, and no child of the
// caller's is a zombie.
void ExpectNoChildLeft() {
  const std::string server = std::to_string(TestWorkers().ServerPid());
  std::ifstream children("/proc/" + server + "/task/" + server + "/children");
  std::string child;
  EXPECT_FALSE(children >> child) << "worker " << child << " outlived its run";
  EXPECT_LE(waitpid(-1, nullptr, WNOHANG), 0);
}

TEST(WorkerPool, EachItemGetsItsPayloadOrItsFailureWhateverTheWorkers) {
  const std::vector<std::string> items = {"a", "b", "throw", "c", "large", "d", "e"};
  for (unsigned int workers : {1u, 3u, 20u}) {
    SCOPED_TRACE(workers);
    std::map<std::string, WorkerOutcome> outcomes = RunAll(items, workers);
    EXPECT_EQ(outcomes["a"].value, "read a");
    EXPECT_TRUE(outcomes["e"].succeeded);
    EXPECT_FALSE(outcomes["throw"].succeeded);
    EXPECT_EQ(outcomes["throw"].value, "cannot read it");
    EXPECT_EQ(outcomes["large"].value, std::string(3 << 20, 'x'));  // many reads of the socket
  }
  ExpectNoChildLeft();
}

TEST(WorkerPool, OneWorkerGivesTheItemsBackInOrder) {
  std::vector<std::size_t> order;
  Misbehaving(WorkerLimits()).Run({"a", "crash", "b", "c"}, 1, [&](const WorkerOutcome& iOutcome) {
    order.push_back(iOutcome.index);
  });
  EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2, 3}));
}

TEST(WorkerPool, CrashExitHangAndSwellCostTheirItemAloneAndSayWhich) {
  WorkerLimits limits;
  limits.seconds = 4;  // long enough to swell past the memory limit on a busy machine
  limits.gibibytes = 0.5;
  // Two workers, so that the replacements also serve the good items after them.
  std::map<std::string, WorkerOutcome> outcomes =
      RunAll({"crash", "a", "exit", "b", "hang", "c", "swell", "d", "throw", "e"}, 2, limits);
  EXPECT_EQ(outcomes["crash"].value, "the reader crashed (signal 11)");
  EXPECT_EQ(outcomes["exit"].value, "the reader exited (status 3)");
  EXPECT_EQ(outcomes["hang"].value, "reading took longer than 4 s");
  EXPECT_EQ(outcomes["swell"].value, "reading needed more than 0.5 GiB");
  for (const char* item : {"crash", "exit", "hang", "swell"}) EXPECT_FALSE(outcomes[item].succeeded) << item;
  for (const char* item : {"a", "b", "c", "d", "e"}) EXPECT_EQ(outcomes[item].value, "read " + std::string(item));
  ExpectNoChildLeft();
}

TEST(WorkerPool, WhatTheCollectorThrowsStopsTheRunAndEndsTheWorkers) {
  std::size_t collected = 0;
  const WorkerPool pool = Misbehaving(WorkerLimits());
  EXPECT_THROW(pool.Run({"a", "hang", "b", "c", "d"}, 2,
                        [&](const WorkerOutcome&) {
                          if (++collected == 2) throw std::runtime_error("disk full");
                        }),
               std::runtime_error);
  EXPECT_EQ(collected, 2u);
  ExpectNoChildLeft();
}

TEST(WorkerPool, TicksWhileAnItemTakesLong) {
  WorkerLimits limits;
  limits.seconds = 1;
  int ticks = 0;
  Misbehaving(limits).Run(
      {"hang"}, 1, [](const WorkerOutcome&) {}, [&] { ++ticks; });
  EXPECT_GE(ticks, 2);
}

}  // namespace
