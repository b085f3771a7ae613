#include "NearFirstOrder.h"

#include <stdexcept>

NearFirstOrder::NearFirstOrder(const std::vector<std::int64_t>& iIds) : _taken(iIds.size(), false) {
  _positions.reserve(iIds.size());
  for (std::size_t k = 0; k < iIds.size(); ++k) _positions.emplace(iIds[k], k);
}

std::size_t NearFirstOrder::Take() {
  const std::lock_guard<std::mutex> guard(_lock);
  while (!_next.empty()) {
    const std::size_t position = _next.back();
    _next.pop_back();
    if (_taken[position]) continue;
    _taken[position] = true;
    return position;
  }
  while (_scanned < _taken.size() && _taken[_scanned]) ++_scanned;
  if (_scanned == _taken.size()) throw std::logic_error("every part is taken");
  _taken[_scanned] = true;
  return _scanned;
}

void NearFirstOrder::Found(const std::vector<std::int64_t>& iNear) {
  const std::lock_guard<std::mutex> guard(_lock);
  for (auto near = iNear.rbegin(); near != iNear.rend(); ++near)
    if (const auto found = _positions.find(*near); found != _positions.end() && !_taken[found->second])
      _next.push_back(found->second);
}
