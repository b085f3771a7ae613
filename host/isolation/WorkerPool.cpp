#include "WorkerPool.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <sstream>

#include "WorkerProcess.h"

namespace {

using Clock = std::chrono::steady_clock;

// How often the workers' memory is sampled, and the tick's period.
constexpr std::chrono::milliseconds samplingPeriod(20), tickPeriod(250);

// A limit as people write it: 120, 0.5.
std::string LimitText(double iValue) {
  std::ostringstream text;
  text << iValue;
  return text.str();
}

}  // namespace

WorkerPool::WorkerPool(ForkServer& iServer, TaskCall iTask, const WorkerLimits& iLimits)
    : _server(iServer), _task(std::move(iTask)), _limits(iLimits) {}

void WorkerPool::Run(const std::vector<std::string>& iItems, unsigned int iWorkers, const Collect& iCollect,
                     const Tick& iTick) const {
  if (iItems.empty()) return;
  const std::size_t slots = std::clamp<std::size_t>(iWorkers, 1, iItems.size());
  const auto timeLimit = std::chrono::duration<double>(_limits.seconds);
  const double memoryLimit = _limits.gibibytes * 1073741824.0;
  const std::string tooLong = "reading took longer than " + LimitText(_limits.seconds) + " s";
  const std::string tooLarge = "reading needed more than " + LimitText(_limits.gibibytes) + " GiB";

  std::vector<std::unique_ptr<WorkerProcess>> workers(slots);
  std::size_t next = 0, finished = 0;
  const auto giveNext = [&](WorkerProcess& ioWorker) {
    ioWorker.Give(next, iItems[next]);
    ++next;
  };
  // Starts a worker in the slot on the next item.
  const auto staff = [&](std::size_t iSlot) {
    workers[iSlot].reset();
    workers[iSlot] = std::make_unique<WorkerProcess>(_server, _task);
    giveNext(*workers[iSlot]);
  };
  for (std::size_t slot = 0; slot < slots; ++slot) staff(slot);

  auto lastTick = Clock::now();
  std::vector<pollfd> watched;
  while (finished < iItems.size()) {
    watched.clear();
    for (const std::unique_ptr<WorkerProcess>& worker : workers)
      if (worker) watched.push_back({worker->Socket(), POLLIN, 0});
    poll(watched.data(), watched.size(), static_cast<int>(samplingPeriod.count()));

    for (std::size_t slot = 0; slot < slots; ++slot) {
      WorkerProcess* worker = workers[slot].get();
      if (!worker) continue;
      std::optional<WorkerOutcome> outcome = worker->Receive();
      if (!outcome && Clock::now() - worker->Started() > timeLimit) {
        outcome = WorkerOutcome{*worker->Item(), false, tooLong};
        worker->Kill();
      } else if (!outcome && static_cast<double>(worker->ResidentBytes()) > memoryLimit) {
        outcome = WorkerOutcome{*worker->Item(), false, tooLarge};
        worker->Kill();
      }
      if (!outcome) continue;
      ++finished;
      // The next item goes to the same worker if it is still there, else to a fresh one.
      if (next == iItems.size())
        workers[slot].reset();
      else if (worker->Running())
        giveNext(*worker);
      else
        staff(slot);
      iCollect(*outcome);
    }
    if (iTick && Clock::now() - lastTick >= tickPeriod) {
      lastTick = Clock::now();
      iTick();
    }
  }
}
