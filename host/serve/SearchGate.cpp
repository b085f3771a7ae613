#include "SearchGate.h"

#include <algorithm>

SearchGate::SearchGate(unsigned int iWidth) : _width(std::max(1u, iWidth)) {}

SearchGate::Pass SearchGate::Enter() {
  std::unique_lock<std::mutex> lock(_mutex);
  if (_running < _width && _waiting.empty()) {
    ++_running;
    return Pass(*this);
  }
  Waiter waiter;
  _waiting.push_back(&waiter);
  waiter.turn.wait(lock, [&] { return waiter.admitted; });
  return Pass(*this);
}

std::size_t SearchGate::Waiting() const {
  const std::lock_guard<std::mutex> lock(_mutex);
  return _waiting.size();
}

void SearchGate::Leave() {
  const std::lock_guard<std::mutex> lock(_mutex);
  if (_waiting.empty()) {
    --_running;
    return;
  }
  // The turn passes to the first waiter as it is: the number running stays the same.
  Waiter& next = *_waiting.front();
  _waiting.pop_front();
  next.admitted = true;
  next.turn.notify_one();
}
