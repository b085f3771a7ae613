#include "SignedUploads.h"

SignedUploads::SignedUploads(std::size_t iCapacity) : _capacity(iCapacity) {}

std::shared_ptr<const IndexedPart> SignedUploads::Find(const std::string& iKey) const {
  const std::lock_guard<std::mutex> lock(_mutex);
  const auto found = _byKey.find(iKey);
  if (found == _byKey.end()) return nullptr;
  _recent.splice(_recent.begin(), _recent, found->second);
  return found->second->second;
}

void SignedUploads::Keep(const std::string& iKey, std::shared_ptr<const IndexedPart> iPart) const {
  const std::lock_guard<std::mutex> lock(_mutex);
  const auto found = _byKey.find(iKey);
  if (found != _byKey.end()) {
    found->second->second = std::move(iPart);
    _recent.splice(_recent.begin(), _recent, found->second);
    return;
  }
  _recent.emplace_front(iKey, std::move(iPart));
  _byKey.emplace(iKey, _recent.begin());
  if (_recent.size() > _capacity) {
    _byKey.erase(_recent.back().first);
    _recent.pop_back();
  }
}
