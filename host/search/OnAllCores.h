#pragma once
// Runs iWork(k) for every k in [0, iCount), spread over a thread per core; the first exception
// thrown stops the others taking more work and is rethrown once all have stopped. Work given
// from within such work runs on its caller's thread: the cores are busy already.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// True on a thread doing the work of OnAllCores.
inline bool& InsideOnAllCores() {
  thread_local bool inside = false;
  return inside;
}

template <class Work>
void OnAllCores(std::size_t iCount, const Work& iWork) {
  if (InsideOnAllCores()) {
    for (std::size_t k = 0; k < iCount; ++k) iWork(k);
    return;
  }
  const std::size_t threads = std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), iCount);
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::mutex failureLock;
  const auto run = [&] {
    InsideOnAllCores() = true;
    try {
      for (std::size_t k = next++; k < iCount; k = next++) iWork(k);
    } catch (...) {
      const std::lock_guard<std::mutex> guard(failureLock);
      if (!failure) failure = std::current_exception();
      next = iCount;
    }
    InsideOnAllCores() = false;
  };
  std::vector<std::thread> workers;
  for (std::size_t t = 1; t < threads; ++t) workers.emplace_back(run);
  run();
  for (std::thread& worker : workers) worker.join();
  if (failure) std::rethrow_exception(failure);
}
