#pragma once
// The catalog as the service uses it. Every use the service makes of a catalog goes through this class, so that
// what holds the catalog in memory can change without the routes noticing.
//
// Safe from many threads. The catalog is resident (ResidentCatalog): its search index, summaries and paths in
// memory, searched by many requests at once. Refresh, called before each request, looks cheaply whether the
// catalog changed: a commit of `geosig index` is taken into the resident catalog in place (searches wait only for
// the short update), and a new file at the path (another inode) is opened beside the current one and swapped in,
// so that each request sees one state of the catalog. Searches run as many at a time as there are cores, in the
// order they came (SearchGate).
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <utility>

#include "ReportValues.h"
#include "SearchGate.h"
#include "ShapeSignature.h"
#include "SignatureMetric.h"

class ServedCatalog {
 public:
  // What reading a part's model needs: where its file is, and what it held when indexed.
  struct PartFile {
    std::string path;
    std::string fingerprint;
  };

  // Throws CatalogError when the catalog cannot be read.
  explicit ServedCatalog(const std::string& iDatabase);
  ~ServedCatalog();
  ServedCatalog(const ServedCatalog&) = delete;
  ServedCatalog& operator=(const ServedCatalog&) = delete;

  // Picks up what changed since the last call; a catalog that cannot be reloaded leaves the current state
  // served, with a line on standard error.
  void Refresh();

  // The parts that have a signature, which searches compare.
  std::size_t SignedParts() const;
  // {"id", "file", "format", "size", "fingerprint", "descriptors", "signature": {"norm", "terms", "depth",
  // "occupiedCells"}}, or {"id", "file", "error"} for a part that could not be read; none for an unknown id.
  std::optional<Report> Part(std::int64_t iId) const;
  // The file of a part that was read; none for an unknown id or a part that failed.
  std::optional<PartFile> FileOf(std::int64_t iId) const;

  // The iCount parts nearest iQuery, nearest first: each the match object of `geosig query --json` with the
  // part's "id".
  Report Nearest(const ShapeSignature& iQuery, std::size_t iCount, const SignatureMetric& iMetric) const;
  // The same for part iId, which is left out; none when the catalog holds no signature of iId.
  std::optional<Report> Neighbours(std::int64_t iId, std::size_t iCount, const SignatureMetric& iMetric) const;
  // {"identical": groups of files of one fingerprint, "similar": groups of parts linked by matches within
  // iMaxDistance}, each member {"id", "file"}, as `geosig duplicates` groups them.
  Report Duplicates(double iMaxDistance, bool iAnySize) const;

 private:
  struct Snapshot;
  using FileIdentity = std::pair<dev_t, ino_t>;

  std::shared_ptr<Snapshot> Current() const;

  const std::string _database;
  mutable std::shared_mutex _guard;  // over the two members below
  FileIdentity _file;
  std::shared_ptr<Snapshot> _snapshot;
  std::mutex _refreshing;  // one look at a time
  mutable SearchGate _searches;
};
