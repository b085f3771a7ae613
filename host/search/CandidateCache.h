#pragma once
// The candidates' occupancies that a run of searches has read, the most recently used kept up
// to a count. Searches for parts near one another (the members of a family of near-identical
// parts) share most of their candidates, which are then read, grown and viewed once. Safe to
// use from several threads.
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "CandidateOccupancy.h"
#include "SignatureCatalog.h"

class CandidateCache {
 public:
  // A cache that keeps none reads every candidate every time.
  explicit CandidateCache(std::size_t iCapacity) : _capacity(iCapacity) {}

  // The occupancies of parts iIds (distinct), in their order: kept, or read from iCatalog
  // together and kept.
  std::vector<std::shared_ptr<const CandidateOccupancy>> Of(const std::vector<std::int64_t>& iIds,
                                                            const SignatureCatalog& iCatalog);

 private:
  using Entry = std::pair<std::int64_t, std::shared_ptr<const CandidateOccupancy>>;

  void Keep(std::int64_t iId, const std::shared_ptr<const CandidateOccupancy>& iOccupancy);

  std::size_t _capacity;
  std::mutex _lock;
  std::list<Entry> _recent;  // the most recently used first
  std::unordered_map<std::int64_t, std::list<Entry>::iterator> _entries;
};
