#include "PartRecords.h"

#include <sqlite3.h>

#include <algorithm>
#include <map>

#include "CatalogError.h"
#include "SignatureCatalog.h"
#include "SqliteStatement.h"

PartRecords::PartRecords(const std::string& iDatabase) : _path(iDatabase) {
  if (sqlite3_open_v2(iDatabase.c_str(), &_database, SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX, nullptr) !=
      SQLITE_OK) {
    const std::string reason = _database ? sqlite3_errmsg(_database) : "out of memory";
    sqlite3_close(_database);
    throw CatalogError(iDatabase + ": " + reason);
  }
  sqlite3_busy_timeout(_database, SignatureCatalog::BusyTimeoutMs);
}

PartRecords::~PartRecords() { sqlite3_close(_database); }

std::vector<std::vector<std::pair<std::string, std::int64_t>>> PartRecords::IdenticalFiles() const {
  SqliteStatement select(_database,
                         "SELECT fingerprint, path, id FROM parts WHERE fingerprint IN (SELECT fingerprint FROM parts "
                         "WHERE fingerprint IS NOT NULL GROUP BY fingerprint HAVING count(*) > 1) "
                         "ORDER BY fingerprint, path");
  std::map<std::string, std::vector<std::pair<std::string, std::int64_t>>> byFingerprint;
  while (select.Step()) byFingerprint[select.Text(0)].emplace_back(select.Text(1), select.Integer(2));
  std::vector<std::vector<std::pair<std::string, std::int64_t>>> groups;
  for (auto& entry : byFingerprint) groups.push_back(std::move(entry.second));
  std::sort(groups.begin(), groups.end());
  return groups;
}

std::optional<PartRecord> PartRecords::Record(std::int64_t iId) const {
  SqliteStatement select(_database,
                         "SELECT path, fingerprint, size, format, status, error, descriptors FROM parts WHERE id = ?");
  select.Bind(1, iId);
  if (!select.Step()) return std::nullopt;
  PartRecord record;
  record.id = iId;
  record.path = select.Text(0);
  if (!select.IsNull(1)) record.fingerprint = select.Text(1);
  if (!select.IsNull(2)) record.size = select.Integer(2);
  if (!select.IsNull(3)) record.format = select.Text(3);
  if (select.Text(4) != "ok") record.error = select.IsNull(5) ? "not read" : select.Text(5);
  if (!select.IsNull(6)) record.descriptors = select.Text(6);
  return record;
}
