#include "SignedUploads.h"

#include <exception>

SignedUploads::SignedUploads(std::size_t iCapacity) : _capacity(iCapacity) {}

std::shared_ptr<const IndexedPart> SignedUploads::Signed(const std::string& iKey, const Read& iRead) const {
  std::unique_lock<std::mutex> lock(_mutex);
  if (const auto found = _byKey.find(iKey); found != _byKey.end()) {
    _recent.splice(_recent.begin(), _recent, found->second);
    const std::shared_future<std::shared_ptr<const IndexedPart>> kept = found->second->part;
    lock.unlock();  // its read may still be under way
    return kept.get();
  }
  std::promise<std::shared_ptr<const IndexedPart>> reading;
  const std::uint64_t serial = ++_serial;
  _recent.push_front({iKey, reading.get_future().share(), serial});
  _byKey.emplace(iKey, _recent.begin());
  if (_recent.size() > _capacity) {
    _byKey.erase(_recent.back().key);
    _recent.pop_back();
  }
  lock.unlock();
  try {
    std::shared_ptr<const IndexedPart> part = iRead();
    reading.set_value(part);
    return part;
  } catch (...) {
    reading.set_exception(std::current_exception());
    Forget(iKey, serial);
    throw;
  }
}

void SignedUploads::Forget(const std::string& iKey, std::uint64_t iSerial) const {
  const std::lock_guard<std::mutex> lock(_mutex);
  const auto found = _byKey.find(iKey);
  if (found == _byKey.end() || found->second->serial != iSerial) return;
  _recent.erase(found->second);
  _byKey.erase(found);
}
