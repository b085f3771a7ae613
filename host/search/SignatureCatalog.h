#pragma once
// The index of a catalog of model files: an SQLite database holding, per file, its path, its
// SHA-256 fingerprint, size, format and the tessellation options it was read with, then
// either its descriptors and shape signature or the reason it could not be read. One writer
// at a time (SQLite's lock, waited for up to BusyTimeoutMs); readers are never blocked (the
// write-ahead log). Each change is one transaction, so a stopped run loses nothing finished.
// The tables are described in docs/geosig-search.md.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CatalogError.h"
#include "ShapeSignature.h"
#include "SimilaritySearch.h"

struct sqlite3;

// One file as the catalog holds it.
struct IndexedPart {
  std::int64_t id = 0;  // given by the catalog
  std::string path;
  std::string fingerprint;  // empty when the file could not be read
  std::int64_t size = -1;   // bytes; -1 when unknown
  std::string format;
  std::string options;
  std::optional<std::string> error;
  std::string descriptors;  // the JSON object `describe` reports
  std::optional<ShapeSignature> signature;
};

// A part's size and global terms, without its occupancy.
struct PartTerms {
  std::int64_t id = 0;
  float norm = 0.0f;
  ShapeSignature::Global global{};
};

class SignatureCatalog {
 public:
  static constexpr int BusyTimeoutMs = 60000;

  enum class Access { Read, Write };

  // Read: the catalog must exist; one of an older schema is read as it is. Write: it is created
  // when missing, or brought to the latest schema (CatalogSchema). Throws CatalogError for a
  // missing file (Read), a file that is no catalog or is corrupt, or a catalog written by a
  // newer schema.
  SignatureCatalog(const std::string& iPath, Access iAccess);
  ~SignatureCatalog();
  SignatureCatalog(const SignatureCatalog&) = delete;
  SignatureCatalog& operator=(const SignatureCatalog&) = delete;

  // The form a file's path is kept in: absolute and without . or .., so that runs from other
  // directories find the same record.
  static std::string PathKey(const std::string& iPath);

  // The fingerprint and options the file at iPath was indexed with, if it was and its signature
  // is intact and holds every term geosig measures (any other is signed again).
  std::optional<std::pair<std::string, std::string>> Stamp(const std::string& iPath) const;
  // Adds the part or replaces the record of its path.
  void Put(const IndexedPart& iPart);
  // The same for several parts in one transaction: all or none.
  void Put(const std::vector<IndexedPart>& iParts);
  // Removes the parts whose path iGone picks, in one transaction: iGone is asked under the write
  // lock, about every path the catalog holds then, so that no other writer's part goes unseen.
  // Returns how many were removed.
  std::size_t RemoveIf(const std::function<bool(const std::string& iPath)>& iGone);

  std::vector<std::string> Paths() const;
  // Every part, without descriptors and signature, in id order.
  std::vector<IndexedPart> Parts() const;
  // The id of the part indexed at iPath with a signature, if there is one.
  std::optional<std::int64_t> SignedPart(const std::string& iPath) const;
  ShapeSignature SignatureOf(std::int64_t iId) const;
  // The path of part iId when it has a signature.
  std::optional<std::string> SignedPath(std::int64_t iId) const;
  // The terms of those of iIds that have a signature, in id order, read in one pass.
  std::vector<PartTerms> TermsOf(const std::vector<std::int64_t>& iIds) const;

  std::vector<SignatureSummary> Summaries() const;
  // The summaries and paths of the parts with a signature whose id is above iAfterId, in id
  // order: ids grow as parts are recorded, so these are the parts recorded since.
  std::vector<std::pair<SignatureSummary, std::string>> SignedParts(std::int64_t iAfterId) const;
  // The ids of the parts with a signature, in order.
  std::vector<std::int64_t> SignedIds() const;
  // Every part's signature, in id order, read in one pass.
  void EachSignature(const std::function<void(std::int64_t, const ShapeSignature&)>& iVisit) const;
  // How many times parts were added, replaced or removed, by any geosig since the count began;
  // none for a catalog of version 1 opened for reading.
  std::optional<std::int64_t> Changes() const;
  VoxelGrid Occupancy(std::int64_t iId) const;
  // The occupancies of parts iIds, in that order, read in one pass. Throws CatalogError when one
  // is missing.
  std::vector<VoxelGrid> Occupancies(const std::vector<std::int64_t>& iIds) const;
  // Paths of the files that share a fingerprint, each group in path order, the groups in
  // order of their first path.
  std::vector<std::vector<std::string>> IdenticalFiles() const;

 private:
  void UseWriteAheadLog();
  void Execute(const char* iSql);
  void Insert(const IndexedPart& iPart);

  std::string _path;
  sqlite3* _database = nullptr;
};
