#pragma once
// A catalog kept in memory for searching: the approximate index (see SearchIndex), each
// part's global terms, size and path. A search reads only the full occupancies of the
// candidates it re-ranks by the exact distance; the exact search (iExact) reads every part's
// terms again when first asked, and keeps them until the next change. Const members may be
// called from any number of threads at once; Refresh may run while they do (it waits for the
// searches in progress and they for it).
//
// Loaded whole (the default), the index saved beside the database is loaded on opening and
// checked against the catalog: parts added or removed since (by any geosig, older ones
// included) are added to or dropped from it, and a missing or unreadable index is built. The
// index is then saved again when the catalog's directory is writable; Note() tells what was
// done. Loaded on demand, for a process that asks a few questions, nothing is loaded while the
// saved index reflects the catalog: searches walk its graph in place (SavedSearchIndex) and
// read the terms and paths of their candidates; what needs every part (Size, Ids, the
// exhaustive search, Duplicates, a Refresh that finds changes) loads the catalog whole first.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <string>
#include <utility>
#include <vector>

#include "ShapeSignature.h"
#include "SignatureMetric.h"
#include "SimilaritySearch.h"

class ResidentCatalog {
 public:
  enum class Loading { Whole, OnDemand };

  // Throws CatalogError when the catalog cannot be read.
  explicit ResidentCatalog(const std::string& iDatabase, Loading iLoading = Loading::Whole);
  ~ResidentCatalog();
  ResidentCatalog(const ResidentCatalog&) = delete;
  ResidentCatalog& operator=(const ResidentCatalog&) = delete;

  // The parts with a signature.
  std::size_t Size() const;
  // The ids of the parts with a signature, in the order they were indexed.
  std::vector<std::int64_t> Ids() const;

  // The iCount parts nearest to iQuery, nearest first, ties by id, without iExcluded, and
  // without mirror images when iMirrors says so. With iExact every part is a candidate
  // (SimilaritySearch) instead of the index's. Throws
  // CatalogError when an occupancy cannot be read.
  std::vector<SignatureMatch> Query(const ShapeSignature& iQuery, std::size_t iCount, const SignatureMetric& iMetric,
                                    bool iExact = false, std::int64_t iExcluded = -1,
                                    MirrorPolicy iMirrors = MirrorPolicy::Flag) const;
  // The iCount parts nearest to part iId, without itself. Throws std::out_of_range for an id
  // without a signature.
  std::vector<SignatureMatch> Neighbours(std::int64_t iId, std::size_t iCount, const SignatureMetric& iMetric,
                                         bool iExact = false, MirrorPolicy iMirrors = MirrorPolicy::Flag) const;
  // Groups of at least two parts linked, directly or through others, by a combined distance of
  // at most iMaxDistance, each part to its LinksPerPart nearest; a mirror image is no
  // duplicate. Ids sorted by path within each group, groups by their first path.
  static constexpr std::size_t LinksPerPart = 32;
  std::vector<std::vector<std::int64_t>> Duplicates(double iMaxDistance, const SignatureMetric& iMetric,
                                                    bool iExact = false) const;
  // Duplicates in pieces, to share the search among processes or machines: the links from
  // parts iIds to their near-identical parts (throws std::out_of_range for an id without a
  // signature), then the groups that all the pieces' links make.
  using Link = std::pair<std::int64_t, std::int64_t>;
  std::vector<Link> DuplicateLinks(const std::vector<std::int64_t>& iIds, double iMaxDistance,
                                   const SignatureMetric& iMetric, bool iExact = false) const;
  std::vector<std::vector<std::int64_t>> DuplicateGroups(const std::vector<Link>& iLinks) const;

  // The signature of part iId, read from the catalog. Throws std::out_of_range for an id
  // without a signature.
  ShapeSignature SignatureOf(std::int64_t iId) const;
  // The path the catalog holds for part iId; throws std::out_of_range for an unknown id.
  std::string PathOf(std::int64_t iId) const;
  // The id of the part with a signature at iPath, given in the catalog's form
  // (SignatureCatalog::PathKey).
  std::optional<std::int64_t> IdOf(const std::string& iPath) const;

  // Picks up the changes made to the catalog since it was opened or last refreshed; true when
  // there were some. Cheap when there were none: one read of the catalog's change counter.
  bool Refresh();
  // What opening or the last refresh did to the saved index, for a note to the user; empty
  // when it was loaded as it was.
  std::string Note() const;

 private:
  class State;

  std::string _database;
  mutable std::shared_mutex _lock;                // shared by searches, exclusive for Refresh
  mutable std::atomic<unsigned int> _queries{0};  // running
  std::unique_ptr<State> _state;
};
