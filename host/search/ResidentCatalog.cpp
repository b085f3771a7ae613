#include "ResidentCatalog.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "AxisMap.h"
#include "CandidateCache.h"
#include "CatalogReaders.h"
#include "NearFirstOrder.h"
#include "NearestMatches.h"
#include "OnAllCores.h"
#include "SavedSearchIndex.h"
#include "SearchIndex.h"
#include "SignatureCatalog.h"

namespace {

// Candidates re-ranked by the exact distance for k matches.
constexpr std::size_t CandidateFloor = 100;
constexpr std::size_t CandidatesPerMatch = 10;
// Candidates of a part's links in Duplicates: near-identical parts are the index's nearest.
constexpr std::size_t DuplicateCandidates = 2 * CandidateFloor;
// Candidates kept between the searches of Duplicates (about 14 KB each): a family's members are
// searched one after another and share most of their candidates.
constexpr std::size_t DuplicateCandidatesKept = 4096;
// Candidates whose occupancies are read, and measured, together.
constexpr std::size_t MeasuredTogether = 16;
// Parts whose signatures are read and indexed together when the index is built.
constexpr std::size_t BuildBatch = 20000;

// Counts a query among those running while it lives.
class QueryCount {
 public:
  explicit QueryCount(std::atomic<unsigned int>& ioRunning) : _running(ioRunning), _alone(++ioRunning == 1) {}
  ~QueryCount() { --_running; }
  QueryCount(const QueryCount&) = delete;
  QueryCount& operator=(const QueryCount&) = delete;

  bool Alone() const { return _alone; }

 private:
  std::atomic<unsigned int>& _running;
  bool _alone;
};

}  // namespace

class ResidentCatalog::State {
 public:
  struct Part {
    ShapeKey key;
    std::string path;
  };

  explicit State(const std::string& iDatabase) : database(iDatabase), readers(iDatabase) {}

  std::string database;
  CatalogReaders readers;
  // Until the catalog is loaded whole: the saved index, searched in place.
  std::unique_ptr<SavedSearchIndex> saved;
  std::once_flag loading;
  std::atomic<bool> loaded{false};
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

  // Loads every part's terms and path and the index, once.
  void Load() {
    std::call_once(loading, [&] {
      LoadWhole();
      loaded = true;
    });
  }

  void LoadWhole() {
    const CatalogReaders::Lent catalog = readers.Borrow();
    changes = catalog->Changes();
    Take(catalog->SignedParts(0), {});
    std::string reason;
    std::optional<SearchIndex::Saved> stored = SearchIndex::Load(database, reason);
    bool changed = true;
    if (stored) {
      index = std::move(stored->index);
      const auto [added, removed] = Reconcile(*catalog);
      changed = added + removed > 0;
      if (changed)
        note = "the search index was brought up to date: " + std::to_string(added) + " parts added, " +
               std::to_string(removed) + " removed";
    } else {
      IndexAll(*catalog);
      note = reason + ": built for " + std::to_string(parts.size()) + " parts";
    }
    if (!changed) return;
    try {
      index.Save(database, changes);
    } catch (const std::exception& failure) {
      note += "; not saved: " + std::string(failure.what());
    }
  }

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

  static std::out_of_range NoPart(std::int64_t iId) {
    return std::out_of_range("no part " + std::to_string(iId) + " with a signature");
  }

  const Part& PartOf(std::int64_t iId) const {
    const auto found = parts.find(iId);
    if (found == parts.end()) throw NoPart(iId);
    return found->second;
  }

  // The path of part iId, held or read.
  std::string PathOf(std::int64_t iId) const {
    if (loaded) return PartOf(iId).path;
    if (std::optional<std::string> path = readers.Borrow()->SignedPath(iId)) return *path;
    throw NoPart(iId);
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

  // A candidate, the lower bound of its distance to the query and its key.
  struct Bounded {
    double bound;
    std::int64_t id;
    ShapeKey key;
  };

  // The index's candidates for iQuery, with their keys: held, or read from the catalog while
  // it is not loaded.
  std::vector<std::pair<std::int64_t, ShapeKey>> Candidates(const ShapeSignature& iQuery, std::size_t iCount,
                                                            bool iAnySize) const {
    std::vector<std::pair<std::int64_t, ShapeKey>> keyed;
    if (loaded) {
      for (const std::int64_t id : index.Candidates(iQuery, iCount, iAnySize))
        if (const auto found = parts.find(id); found != parts.end()) keyed.emplace_back(id, found->second.key);
      return keyed;
    }
    for (const PartTerms& part : readers.Borrow()->TermsOf(saved->Candidates(iQuery, iCount, iAnySize)))
      keyed.emplace_back(part.id, ShapeKey::Of(part.global, part.norm));
    return keyed;
  }

  // The iCount nearest by the exact distance among the index's candidates, skipping those whose
  // distance is known to exceed iCutoff. With iSpread the candidates read together are measured
  // on all cores; some may then be measured that one by one would have been passed over, which
  // changes no answer, as their bound exceeds the distances kept.
  std::vector<SignatureMatch> Nearest(const ShapeSignature& iQuery, std::size_t iCount, const SignatureMetric& iMetric,
                                      std::int64_t iExcluded, MirrorPolicy iMirrors, std::size_t iCandidates,
                                      double iCutoff, bool iSpread, CandidateCache& ioCandidates) const {
    const ShapeKey query = ShapeKey::Of(iQuery.Terms(), iQuery.Norm());
    // The shape and size parts bound the combined distance from below, cheaply: candidates are
    // measured in the order of that bound, until it passes the k-th distance found.
    std::vector<Bounded> bounded;
    for (const auto& [id, key] : Candidates(iQuery, iCandidates, iMetric.Weights().size == 0.0)) {
      if (id == iExcluded) continue;
      const double bound =
          iMetric.Combine(0.0, SignatureMetric::ShapeDistance(query, key), SignatureMetric::SizeDistance(query, key));
      if (bound <= iCutoff) bounded.push_back({bound, id, key});
    }
    std::sort(bounded.begin(), bounded.end(), [](const Bounded& iA, const Bounded& iB) {
      return iA.bound != iB.bound ? iA.bound < iB.bound : iA.id < iB.id;
    });
    if (bounded.empty() || iCount == 0) return {};
    const OccupancyPoses poses(iQuery.Occupancy());
    NearestMatches nearest(iCount);
    const auto passed = [&](const Bounded& iCandidate) { return iCandidate.bound > nearest.Limit(); };
    const auto keep = [&](const SignatureMatch& iMatch) {
      if (iMatch.distance.combined > iCutoff) return;
      if (iMatch.distance.mirrored && iMirrors == MirrorPolicy::Exclude) return;
      nearest.Offer(iMatch);
    };
    // A candidate whose distance is above this can change no answer: its depth views are not made.
    const auto limit = [&] { return std::min(iCutoff, nearest.Limit()); };
    const CatalogReaders::Lent reader = readers.Borrow();
    std::vector<std::int64_t> batch;
    std::vector<std::optional<SignatureMatch>> measured;
    for (std::size_t first = 0; first < bounded.size() && !passed(bounded[first]); first += MeasuredTogether) {
      const std::size_t count = std::min(MeasuredTogether, bounded.size() - first);
      batch.clear();
      for (std::size_t k = first; k < first + count; ++k) batch.push_back(bounded[k].id);
      const std::vector<std::shared_ptr<const CandidateOccupancy>> occupancies = ioCandidates.Of(batch, *reader);
      measured.assign(count, std::nullopt);
      const auto measure = [&](std::size_t k, double iLimit) {
        const Bounded& candidate = bounded[first + k];
        if (std::optional<DistanceParts> distance =
                iMetric.MeasureWithin(poses, query, candidate.key, *occupancies[k], iLimit))
          measured[k] = SignatureMatch{candidate.id, *distance, SignatureMetric::Scale(query, candidate.key)};
      };
      if (iSpread && !InsideOnAllCores()) {
        const double batchLimit = limit();  // only falls as the batch is kept
        OnAllCores(count, [&](std::size_t k) { measure(k, batchLimit); });
        for (const std::optional<SignatureMatch>& match : measured)
          if (match) keep(*match);
        continue;
      }
      for (std::size_t k = 0; k < count && !passed(bounded[first + k]); ++k) {
        measure(k, limit());
        if (measured[k]) keep(*measured[k]);
      }
    }
    return nearest.Take();
  }
};

ResidentCatalog::ResidentCatalog(const std::string& iDatabase, Loading iLoading)
    : _database(iDatabase), _state(std::make_unique<State>(iDatabase)) {
  if (iLoading == Loading::OnDemand) {
    std::string reason;
    _state->changes = _state->readers.Borrow()->Changes();
    _state->saved = SavedSearchIndex::Open(iDatabase, _state->changes, reason);
    if (_state->saved) return;
  }
  _state->Load();
}

ResidentCatalog::~ResidentCatalog() = default;

std::size_t ResidentCatalog::Size() const {
  const std::shared_lock<std::shared_mutex> guard(_lock);
  _state->Load();
  return _state->parts.size();
}

std::vector<std::int64_t> ResidentCatalog::Ids() const {
  const std::shared_lock<std::shared_mutex> guard(_lock);
  _state->Load();
  return _state->order;
}

std::vector<SignatureMatch> ResidentCatalog::Query(const ShapeSignature& iQuery, std::size_t iCount,
                                                   const SignatureMetric& iMetric, bool iExact, std::int64_t iExcluded,
                                                   MirrorPolicy iMirrors) const {
  const std::shared_lock<std::shared_mutex> guard(_lock);
  if (iExact) {
    _state->Load();
    return _state->Exact()->Nearest(iQuery, iCount, iMetric, iExcluded, iMirrors);
  }
  CandidateCache unkept(0);
  // A query spreads over the cores only when it runs alone: queries at once (a service's
  // clients) keep the cores busy already, and spreading each would only add threads.
  const QueryCount running(_queries);
  return _state->Nearest(iQuery, iCount, iMetric, iExcluded, iMirrors,
                         std::max(CandidateFloor, CandidatesPerMatch * iCount), std::numeric_limits<double>::infinity(),
                         running.Alone(), unkept);
}

std::vector<SignatureMatch> ResidentCatalog::Neighbours(std::int64_t iId, std::size_t iCount,
                                                        const SignatureMetric& iMetric, bool iExact,
                                                        MirrorPolicy iMirrors) const {
  return Query(SignatureOf(iId), iCount, iMetric, iExact, iId, iMirrors);
}

std::vector<std::vector<std::int64_t>> ResidentCatalog::Duplicates(double iMaxDistance, const SignatureMetric& iMetric,
                                                                   bool iExact) const {
  return DuplicateGroups(DuplicateLinks(Ids(), iMaxDistance, iMetric, iExact));
}

std::vector<ResidentCatalog::Link> ResidentCatalog::DuplicateLinks(const std::vector<std::int64_t>& iIds,
                                                                   double iMaxDistance, const SignatureMetric& iMetric,
                                                                   bool iExact) const {
  const std::shared_lock<std::shared_mutex> guard(_lock);
  _state->Load();
  for (const std::int64_t id : iIds) _state->PartOf(id);  // an unknown id is refused before any work
  std::vector<std::vector<std::int64_t>> linked(iIds.size());
  const std::shared_ptr<const SimilaritySearch> exact = iExact ? _state->Exact() : nullptr;
  NearFirstOrder order(iIds);
  CandidateCache candidates(DuplicateCandidatesKept);
  OnAllCores(iIds.size(), [&](std::size_t) {
    const std::size_t k = order.Take();
    const ShapeSignature signature = _state->readers.Borrow()->SignatureOf(iIds[k]);
    const std::vector<SignatureMatch> matches =
        exact ? exact->Nearest(signature, LinksPerPart, iMetric, iIds[k], MirrorPolicy::Exclude)
              : _state->Nearest(signature, LinksPerPart, iMetric, iIds[k], MirrorPolicy::Exclude, DuplicateCandidates,
                                iMaxDistance, false, candidates);
    for (const SignatureMatch& match : matches)
      if (match.distance.combined <= iMaxDistance) linked[k].push_back(match.id);
    order.Found(linked[k]);
  });
  std::vector<Link> links;
  for (std::size_t k = 0; k < iIds.size(); ++k)
    for (const std::int64_t other : linked[k]) links.emplace_back(iIds[k], other);
  return links;
}

std::vector<std::vector<std::int64_t>> ResidentCatalog::DuplicateGroups(const std::vector<Link>& iLinks) const {
  std::unordered_map<std::int64_t, std::int64_t> leader;
  const auto root = [&](std::int64_t iPart) {
    leader.try_emplace(iPart, iPart);
    while (leader[iPart] != iPart) iPart = leader[iPart] = leader[leader[iPart]];
    return iPart;
  };
  for (const auto& [a, b] : iLinks) leader[root(a)] = root(b);
  const std::shared_lock<std::shared_mutex> guard(_lock);
  std::unordered_map<std::int64_t, std::vector<std::pair<std::string, std::int64_t>>> members;  // by root, with paths
  for (const auto& entry : leader) members[root(entry.first)].emplace_back(_state->PathOf(entry.first), entry.first);
  std::vector<std::vector<std::pair<std::string, std::int64_t>>> named;
  for (auto& entry : members)
    if (entry.second.size() > 1) {
      std::sort(entry.second.begin(), entry.second.end());
      named.push_back(std::move(entry.second));
    }
  std::sort(named.begin(), named.end(), [](const auto& iA, const auto& iB) { return iA.front() < iB.front(); });
  std::vector<std::vector<std::int64_t>> groups;
  for (const auto& group : named) {
    groups.emplace_back();
    for (const auto& member : group) groups.back().push_back(member.second);
  }
  return groups;
}

ShapeSignature ResidentCatalog::SignatureOf(std::int64_t iId) const {
  PathOf(iId);
  return _state->readers.Borrow()->SignatureOf(iId);
}

std::string ResidentCatalog::PathOf(std::int64_t iId) const {
  const std::shared_lock<std::shared_mutex> guard(_lock);
  return _state->PathOf(iId);
}

std::optional<std::int64_t> ResidentCatalog::IdOf(const std::string& iPath) const {
  const std::shared_lock<std::shared_mutex> guard(_lock);
  if (!_state->loaded) return _state->readers.Borrow()->SignedPart(iPath);
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
    if (!_state->loaded) {
      _state->Load();
      return true;
    }
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
