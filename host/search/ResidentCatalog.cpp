#include "ResidentCatalog.h"

#include <algorithm>
#include <limits>
#include <mutex>
#include <numeric>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "AxisMap.h"
#include "CatalogReaders.h"
#include "OnAllCores.h"
#include "SearchIndex.h"
#include "SignatureCatalog.h"

namespace {

// Candidates re-ranked by the exact distance for k matches.
constexpr std::size_t CandidateFloor = 100;
constexpr std::size_t CandidatesPerMatch = 10;
// Candidates of a part's links in Duplicates: near-identical parts are the index's nearest.
constexpr std::size_t DuplicateCandidates = 2 * CandidateFloor;
// Parts whose signatures are read and indexed together when the index is built.
constexpr std::size_t BuildBatch = 20000;

bool Nearer(const SignatureMatch& iA, const SignatureMatch& iB) {
  return iA.distance.combined != iB.distance.combined ? iA.distance.combined < iB.distance.combined : iA.id < iB.id;
}

}  // namespace

class ResidentCatalog::State {
 public:
  struct Part {
    ShapeKey key;
    std::string path;
  };

  explicit State(const std::string& iDatabase) : readers(iDatabase) {}

  CatalogReaders readers;
  SearchIndex index;
  std::unordered_map<std::int64_t, Part> parts;
  std::unordered_map<std::string, std::int64_t> ids;
  std::vector<std::int64_t> order;  // ids in order
  std::int64_t lastId = 0;
  std::optional<std::int64_t> changes;
  std::string note;
  // The exhaustive search, made when first asked for.
  mutable std::mutex exactLock;
  mutable std::shared_ptr<const SimilaritySearch> exact;

  // Holds the parts added (recorded after lastId) and forgets those removed; the index is left
  // to Reconcile.
  void Take(std::vector<std::pair<SignatureSummary, std::string>> iAdded, const std::vector<std::int64_t>& iRemoved) {
    for (const std::int64_t id : iRemoved) {
      const auto found = parts.find(id);
      if (found == parts.end()) continue;
      ids.erase(found->second.path);
      parts.erase(found);
    }
    if (!iRemoved.empty()) {
      const std::unordered_set<std::int64_t> gone(iRemoved.begin(), iRemoved.end());
      order.erase(std::remove_if(order.begin(), order.end(), [&](std::int64_t iId) { return gone.count(iId) > 0; }),
                  order.end());
    }
    for (auto& [summary, path] : iAdded) {
      ids[path] = summary.id;
      order.push_back(summary.id);
      lastId = std::max(lastId, summary.id);
      parts[summary.id] = {ShapeKey::Of(summary.global, summary.norm), std::move(path)};
    }
    const std::lock_guard<std::mutex> guard(exactLock);
    exact.reset();
  }

  // Brings the index to the parts held: drops what is gone, adds what is missing.
  std::pair<std::size_t, std::size_t> Reconcile(const SignatureCatalog& iCatalog) {
    std::vector<std::int64_t> gone;
    for (const std::int64_t id : index.Ids())
      if (!parts.count(id)) gone.push_back(id);
    index.Remove(gone);
    std::vector<std::int64_t> missing;
    for (const std::int64_t id : order)
      if (!index.Holds(id)) missing.push_back(id);
    if (missing.size() > parts.size() / 2) {
      index = SearchIndex();
      IndexAll(iCatalog);
    } else {
      for (std::size_t first = 0; first < missing.size(); first += BuildBatch) {
        std::vector<std::pair<std::int64_t, ShapeSignature>> batch;
        for (std::size_t k = first; k < std::min(missing.size(), first + BuildBatch); ++k)
          batch.emplace_back(missing[k], iCatalog.SignatureOf(missing[k]));
        index.Add(batch);
      }
    }
    return {missing.size(), gone.size()};
  }

  void IndexAll(const SignatureCatalog& iCatalog) {
    std::vector<std::pair<std::int64_t, ShapeSignature>> batch;
    iCatalog.EachSignature([&](std::int64_t iId, const ShapeSignature& iSignature) {
      if (!parts.count(iId)) return;
      batch.emplace_back(iId, iSignature);
      if (batch.size() == BuildBatch) index.Add(batch), batch.clear();
    });
    index.Add(batch);
  }

  const Part& PartOf(std::int64_t iId) const {
    const auto found = parts.find(iId);
    if (found == parts.end()) throw std::out_of_range("no part " + std::to_string(iId) + " with a signature");
    return found->second;
  }

  std::shared_ptr<const SimilaritySearch> Exact() const {
    const std::lock_guard<std::mutex> guard(exactLock);
    if (!exact) {
      std::vector<SignatureSummary> summaries = readers.Borrow()->Summaries();
      summaries.erase(std::remove_if(summaries.begin(), summaries.end(),
                                     [&](const SignatureSummary& iPart) { return parts.count(iPart.id) == 0; }),
                      summaries.end());
      exact = std::make_shared<const SimilaritySearch>(
          summaries, [this](std::int64_t iId) { return readers.Borrow()->Occupancy(iId); });
    }
    return exact;
  }

  // The query's dilated occupancy in each turn of SignatureMetric::Turns that its comparison
  // with one of the candidates allows (the four sign turns, unless axes are ambiguous); the
  // other positions hold an empty grid, never compared.
  std::vector<VoxelGrid> QueryTurns(const ShapeSignature& iQuery, const ShapeKey& iKey,
                                    const std::vector<std::pair<double, std::int64_t>>& iCandidates) const {
    static const std::vector<AxisMap> allTurns = AxisMap::Turns(true, true);
    std::vector<bool> needed(allTurns.size(), false);
    for (const auto& candidate : iCandidates)
      for (const std::size_t turn : SignatureMetric::AllowedTurns(iKey, parts.at(candidate.second).key))
        needed[turn] = true;
    const VoxelGrid dilated = iQuery.Occupancy().Dilated();
    std::vector<VoxelGrid> turns;
    turns.reserve(allTurns.size());
    for (std::size_t turn = 0; turn < allTurns.size(); ++turn)
      turns.push_back(needed[turn] ? dilated.Mapped(allTurns[turn]) : VoxelGrid(dilated.Depth()));
    return turns;
  }

  // The iCount nearest by the exact distance among the index's candidates, skipping those whose
  // distance is known to exceed iCutoff.
  std::vector<SignatureMatch> Nearest(const ShapeSignature& iQuery, std::size_t iCount, const SignatureMetric& iMetric,
                                      std::int64_t iExcluded, std::size_t iCandidates, double iCutoff) const {
    const ShapeKey query = ShapeKey::Of(iQuery.Terms(), iQuery.Norm());
    // The shape and size parts bound the combined distance from below, cheaply: candidates are
    // measured in the order of that bound, until it passes the k-th distance found.
    std::vector<std::pair<double, std::int64_t>> bounded;
    for (const std::int64_t id : index.Candidates(iQuery, iCandidates, iMetric.Weights().size == 0.0)) {
      if (id == iExcluded) continue;
      const auto found = parts.find(id);
      if (found == parts.end()) continue;
      const ShapeKey& key = found->second.key;
      const double bound =
          iMetric.Combine(0.0, SignatureMetric::ShapeDistance(query, key), SignatureMetric::SizeDistance(query, key));
      if (bound <= iCutoff) bounded.emplace_back(bound, id);
    }
    std::sort(bounded.begin(), bounded.end());
    std::vector<SignatureMatch> matches;
    if (bounded.empty() || iCount == 0) return matches;
    const std::vector<VoxelGrid> turns = QueryTurns(iQuery, query, bounded);
    const CatalogReaders::Lent reader = readers.Borrow();
    for (const auto& [bound, id] : bounded) {
      if (matches.size() == iCount && bound > matches.front().distance.combined) break;
      const SignatureMatch match{id, iMetric.Measure(turns, query, parts.at(id).key, reader->Occupancy(id).Dilated())};
      if (match.distance.combined > iCutoff) continue;
      if (matches.size() < iCount) {
        matches.push_back(match);
        std::push_heap(matches.begin(), matches.end(), Nearer);
      } else if (Nearer(match, matches.front())) {
        std::pop_heap(matches.begin(), matches.end(), Nearer);
        matches.back() = match;
        std::push_heap(matches.begin(), matches.end(), Nearer);
      }
    }
    std::sort_heap(matches.begin(), matches.end(), Nearer);
    return matches;
  }
};

ResidentCatalog::ResidentCatalog(const std::string& iDatabase)
    : _database(iDatabase), _state(std::make_unique<State>(iDatabase)) {
  const CatalogReaders::Lent catalog = _state->readers.Borrow();
  _state->changes = catalog->Changes();
  _state->Take(catalog->SignedParts(0), {});
  std::string reason;
  std::optional<SearchIndex::Saved> saved = SearchIndex::Load(iDatabase, reason);
  bool changed = true;
  if (saved) {
    _state->index = std::move(saved->index);
    const auto [added, removed] = _state->Reconcile(*catalog);
    changed = added + removed > 0;
    if (changed)
      _state->note = "the search index was brought up to date: " + std::to_string(added) + " parts added, " +
                     std::to_string(removed) + " removed";
  } else {
    _state->IndexAll(*catalog);
    _state->note = reason + ": built for " + std::to_string(_state->parts.size()) + " parts";
  }
  if (!changed) return;
  try {
    _state->index.Save(iDatabase, _state->changes);
  } catch (const std::exception& failure) {
    _state->note += "; not saved: " + std::string(failure.what());
  }
}

ResidentCatalog::~ResidentCatalog() = default;

std::size_t ResidentCatalog::Size() const {
  const std::shared_lock<std::shared_mutex> guard(_lock);
  return _state->parts.size();
}

std::vector<std::int64_t> ResidentCatalog::Ids() const {
  const std::shared_lock<std::shared_mutex> guard(_lock);
  return _state->order;
}

std::vector<SignatureMatch> ResidentCatalog::Query(const ShapeSignature& iQuery, std::size_t iCount,
                                                   const SignatureMetric& iMetric, bool iExact,
                                                   std::int64_t iExcluded) const {
  const std::shared_lock<std::shared_mutex> guard(_lock);
  if (iExact) return _state->Exact()->Nearest(iQuery, iCount, iMetric, iExcluded);
  return _state->Nearest(iQuery, iCount, iMetric, iExcluded, std::max(CandidateFloor, CandidatesPerMatch * iCount),
                         std::numeric_limits<double>::infinity());
}

std::vector<SignatureMatch> ResidentCatalog::Neighbours(std::int64_t iId, std::size_t iCount,
                                                        const SignatureMetric& iMetric, bool iExact) const {
  return Query(SignatureOf(iId), iCount, iMetric, iExact, iId);
}

std::vector<std::vector<std::int64_t>> ResidentCatalog::Duplicates(double iMaxDistance, const SignatureMetric& iMetric,
                                                                   bool iExact) const {
  const std::shared_lock<std::shared_mutex> guard(_lock);
  const std::vector<std::int64_t>& order = _state->order;
  std::unordered_map<std::int64_t, std::size_t> indexOf;
  for (std::size_t k = 0; k < order.size(); ++k) indexOf[order[k]] = k;
  std::vector<std::vector<std::int64_t>> links(order.size());
  const std::shared_ptr<const SimilaritySearch> exact = iExact ? _state->Exact() : nullptr;
  OnAllCores(order.size(), [&](std::size_t k) {
    const ShapeSignature signature = _state->readers.Borrow()->SignatureOf(order[k]);
    const std::vector<SignatureMatch> matches =
        exact ? exact->Nearest(signature, LinksPerPart, iMetric, order[k])
              : _state->Nearest(signature, LinksPerPart, iMetric, order[k], DuplicateCandidates, iMaxDistance);
    for (const SignatureMatch& match : matches)
      if (match.distance.combined <= iMaxDistance) links[k].push_back(match.id);
  });
  std::vector<std::size_t> leader(order.size());
  std::iota(leader.begin(), leader.end(), 0);
  const auto root = [&](std::size_t iPart) {
    while (leader[iPart] != iPart) iPart = leader[iPart] = leader[leader[iPart]];
    return iPart;
  };
  for (std::size_t k = 0; k < order.size(); ++k)
    for (const std::int64_t linked : links[k]) leader[root(indexOf.at(linked))] = root(k);
  std::unordered_map<std::size_t, std::vector<std::int64_t>> members;
  for (std::size_t k = 0; k < order.size(); ++k) members[root(k)].push_back(order[k]);
  std::vector<std::vector<std::int64_t>> groups;
  const auto byPath = [&](std::int64_t iA, std::int64_t iB) {
    return _state->PartOf(iA).path < _state->PartOf(iB).path;
  };
  for (auto& entry : members)
    if (entry.second.size() > 1) {
      std::sort(entry.second.begin(), entry.second.end(), byPath);
      groups.push_back(std::move(entry.second));
    }
  std::sort(groups.begin(), groups.end(),
            [&](const std::vector<std::int64_t>& iA, const std::vector<std::int64_t>& iB) {
              return byPath(iA.front(), iB.front());
            });
  return groups;
}

ShapeSignature ResidentCatalog::SignatureOf(std::int64_t iId) const {
  {
    const std::shared_lock<std::shared_mutex> guard(_lock);
    _state->PartOf(iId);
  }
  return _state->readers.Borrow()->SignatureOf(iId);
}

std::string ResidentCatalog::PathOf(std::int64_t iId) const {
  const std::shared_lock<std::shared_mutex> guard(_lock);
  return _state->PartOf(iId).path;
}

std::optional<std::int64_t> ResidentCatalog::IdOf(const std::string& iPath) const {
  const std::shared_lock<std::shared_mutex> guard(_lock);
  const auto found = _state->ids.find(iPath);
  if (found == _state->ids.end()) return std::nullopt;
  return found->second;
}

bool ResidentCatalog::Refresh() {
  const CatalogReaders::Lent catalog = _state->readers.Borrow();
  const std::optional<std::int64_t> changes = catalog->Changes();
  {
    const std::shared_lock<std::shared_mutex> guard(_lock);
    if (changes && changes == _state->changes) return false;
  }
  const std::vector<std::int64_t> signedIds = catalog->SignedIds();
  const std::unordered_set<std::int64_t> present(signedIds.begin(), signedIds.end());
  const std::unique_lock<std::shared_mutex> guard(_lock);
  std::vector<std::int64_t> removed;
  for (const std::int64_t id : _state->order)
    if (!present.count(id)) removed.push_back(id);
  std::vector<std::pair<SignatureSummary, std::string>> added = catalog->SignedParts(_state->lastId);
  _state->changes = changes;
  if (removed.empty() && added.empty()) return false;
  _state->Take(std::move(added), removed);
  const auto [indexed, dropped] = _state->Reconcile(*catalog);
  _state->note =
      "the catalog changed: " + std::to_string(indexed) + " parts added, " + std::to_string(dropped) + " removed";
  return true;
}

std::string ResidentCatalog::Note() const {
  const std::shared_lock<std::shared_mutex> guard(_lock);
  return _state->note;
}
