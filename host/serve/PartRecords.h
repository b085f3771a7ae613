#pragma once
// The service's own read-only connection to a catalog, for what the search classes do not give: a part's whole
// record by id, and whether another connection (a `geosig index` run) changed the catalog since the last look.
// Safe from several threads (SQLite serialises the connection).
#include <cstdint>
#include <optional>
#include <string>

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

  // SQLite's data_version: it changes whenever another connection commits.
  std::int64_t DataVersion() const;
  std::optional<PartRecord> Record(std::int64_t iId) const;

 private:
  std::string _path;
  sqlite3* _database = nullptr;
};
