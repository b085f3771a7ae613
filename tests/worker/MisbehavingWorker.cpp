// geosig_test_worker: a worker program whose one task, "misbehave", does to the worker what its
// item names, so that the tests of the worker pool and the fork server can crash, hang and swell
// workers on purpose without a damaged model file.
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <stdexcept>
#include <string>

#include "WorkerServer.h"

namespace {

std::string Misbehave(const std::string& iItem) {
  if (iItem == "crash") std::raise(SIGSEGV);
  if (iItem == "exit") _exit(3);
  if (iItem == "throw") throw std::runtime_error("cannot read it");
  if (iItem == "hang")
    for (;;) pause();
  if (iItem == "swell") {
    // Touched, so that it is resident; never freed, until the pool kills the worker.
    for (int chunk = 0; chunk < 64; ++chunk) {
      char* block = new char[64 << 20];
      std::memset(block, chunk, 64 << 20);
    }
    return "never stopped";
  }
  if (iItem == "large") return std::string(3 << 20, 'x');
  return "read " + iItem;
}

}  // namespace

int main() {
  TaskRegistry tasks;
  tasks.Add("misbehave", [](const std::string&) { return TaskRegistry::Task(Misbehave); });
  return ServeWorkers(tasks, "geosig_test_worker");
}
