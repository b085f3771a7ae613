#pragma once
// The service's own read-only connection to a catalog, for what the resident catalog does not hold: a part's whole
// record by id, parts that failed included, and the files of one fingerprint. Safe from several threads (SQLite
// serialises the connection).
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;

// One part as the catalog records it.
struct PartRecord {
  std::int64_t id = 0;
  std::string path;
  std::string fingerprint;
  std::int64_t size = -1;
  std::string format;
  std::optional<std::string> error;
  std::string descriptors;  // the JSON text `describe` reports; empty for a part that failed
};

class PartRecords {
 public:
  // Throws CatalogError when the file cannot be opened.
  explicit PartRecords(const std::string& iDatabase);
  ~PartRecords();
  PartRecords(const PartRecords&) = delete;
  PartRecords& operator=(const PartRecords&) = delete;

  std::optional<PartRecord> Record(std::int64_t iId) const;
  // The groups of at least two files of one fingerprint, each (path, id) sorted by path, groups by their paths,
  // as `geosig duplicates` lists identical files.
  std::vector<std::vector<std::pair<std::string, std::int64_t>>> IdenticalFiles() const;

 private:
  std::string _path;
  sqlite3* _database = nullptr;
};
