#include "CandidateCache.h"

std::vector<std::shared_ptr<const CandidateOccupancy>> CandidateCache::Of(const std::vector<std::int64_t>& iIds,
                                                                          const SignatureCatalog& iCatalog) {
  std::vector<std::shared_ptr<const CandidateOccupancy>> occupancies(iIds.size());
  std::vector<std::int64_t> missing;
  {
    const std::lock_guard<std::mutex> guard(_lock);
    for (std::size_t k = 0; k < iIds.size(); ++k) {
      const auto found = _entries.find(iIds[k]);
      if (found == _entries.end()) {
        missing.push_back(iIds[k]);
        continue;
      }
      _recent.splice(_recent.begin(), _recent, found->second);
      occupancies[k] = found->second->second;
    }
  }
  if (missing.empty()) return occupancies;
  // Read and grown outside the lock: the other threads go on meanwhile.
  std::vector<VoxelGrid> read = iCatalog.Occupancies(missing);
  auto next = read.begin();
  for (auto& occupancy : occupancies)
    if (!occupancy) occupancy = std::make_shared<const CandidateOccupancy>(std::move(*next++));
  if (_capacity == 0) return occupancies;
  const std::lock_guard<std::mutex> guard(_lock);
  for (std::size_t k = 0; k < iIds.size(); ++k) Keep(iIds[k], occupancies[k]);
  return occupancies;
}

void CandidateCache::Keep(std::int64_t iId, const std::shared_ptr<const CandidateOccupancy>& iOccupancy) {
  // Another thread may have kept the same part meanwhile: either copy serves.
  if (_entries.count(iId)) return;
  _recent.emplace_front(iId, iOccupancy);
  _entries[iId] = _recent.begin();
  if (_recent.size() <= _capacity) return;
  _entries.erase(_recent.back().first);
  _recent.pop_back();
}
