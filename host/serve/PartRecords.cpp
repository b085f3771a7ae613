#include "PartRecords.h"

#include <sqlite3.h>

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

std::int64_t PartRecords::DataVersion() const {
  SqliteStatement version(_database, "PRAGMA data_version");
  version.Step();
  return version.Integer(0);
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
