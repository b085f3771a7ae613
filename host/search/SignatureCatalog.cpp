#include "SignatureCatalog.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <thread>
#include <unordered_map>

#include "CatalogSchema.h"
#include "PackedFloats.h"
#include "SqliteStatement.h"

namespace {

// Parts signed before the asymmetries, or the pitch, were measured hold the terms before them;
// the terms they lack are Unmeasured.
ShapeSignature::Global UnpackTerms(const std::string& iBytes) {
  ShapeSignature::Global terms{};
  std::size_t count = terms.size();
  for (const std::size_t older : {std::size_t(ShapeSignature::AsymmetryX), std::size_t(ShapeSignature::Pitch)})
    if (iBytes.size() == sizeof(float) * older) count = older;
  if (!PackedFloats::Unpack(iBytes, terms.data(), count)) throw CatalogError("a signature's global terms are damaged");
  std::fill(terms.begin() + static_cast<std::ptrdiff_t>(count), terms.end(), ShapeSignature::Unmeasured);
  return terms;
}

// Whether a signature's packed terms are intact and hold every term, which a part signed by an
// older geosig does not: reading its file again repairs or completes it. The pitch is the last
// term measured, so a part that has it has the others.
bool HoldsEveryTerm(const std::string& iBytes) {
  try {
    return UnpackTerms(iBytes)[ShapeSignature::Pitch] != ShapeSignature::Unmeasured;
  } catch (const CatalogError&) {
    return false;
  }
}

// A part's global terms, selected from parts: catalogs of schema version 2 and older hold the
// first ten, without the mirror similarities, which are then measured on the occupancy they hold
// (and versions 3 and 4, without the asymmetries or the pitch, are read by UnpackTerms).
std::string WithTerms(const std::string& iSelect, const std::string& iRest) {
  const std::string oldLength = std::to_string(sizeof(float) * ShapeSignature::MirrorX);
  return iSelect + " CASE WHEN length(terms) = " + oldLength +
         " THEN CAST(terms || (SELECT geosig_mirror_similarities(depth, cells) "
         "FROM occupancies WHERE part = parts.id) AS BLOB) ELSE terms END " +
         iRest;
}

VoxelGrid UnpackGrid(std::int64_t iDepth, const std::string& iBytes) {
  try {
    return VoxelGrid::Unpack(static_cast<unsigned int>(iDepth), iBytes.data(), iBytes.size());
  } catch (const std::invalid_argument& failure) {
    throw CatalogError(std::string("a signature's occupancy is damaged: ") + failure.what());
  }
}

// Ids as a JSON array, which json_each turns into rows: one statement reads any number of parts.
std::string IdList(const std::vector<std::int64_t>& iIds) {
  std::string list = "[";
  for (const std::int64_t id : iIds) list += (list.size() > 1 ? "," : "") + std::to_string(id);
  return list + ']';
}

// Empty text is stored as null: the column has no value.
void BindTextOrNull(SqliteStatement& ioStatement, int iIndex, const std::string& iText) {
  if (iText.empty())
    ioStatement.BindNull(iIndex);
  else
    ioStatement.Bind(iIndex, iText);
}

}  // namespace

SignatureCatalog::SignatureCatalog(const std::string& iPath, Access iAccess) : _path(iPath) {
  struct stat status;
  if (iAccess == Access::Read && ::stat(iPath.c_str(), &status) != 0) throw CatalogError(iPath + ": no such catalog");
  const int flags = iAccess == Access::Read ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  if (sqlite3_open_v2(iPath.c_str(), &_database, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    const std::string reason = _database ? sqlite3_errmsg(_database) : "out of memory";
    sqlite3_close(_database);
    throw CatalogError(iPath + ": " + reason);
  }
  try {
    sqlite3_busy_timeout(_database, BusyTimeoutMs);
    CatalogSchema::AddFunctions(_database);
    Execute("PRAGMA foreign_keys = ON");
    if (iAccess == Access::Write) {
      UseWriteAheadLog();
      CatalogSchema::Upgrade(_database);
    }
    // A catalog of an older version opened for reading is read as it is (WithTerms).
    CatalogSchema::CheckReadable(_database);
  } catch (const CatalogError& failure) {
    sqlite3_close(_database);
    const std::string reason = failure.what();
    // SQLite says "file is not a database" for a file of another kind or a damaged header.
    throw CatalogError(iPath + ": " + (reason == "file is not a database" ? "not a catalog (or corrupt)" : reason));
  }
}

SignatureCatalog::~SignatureCatalog() { sqlite3_close(_database); }

std::string SignatureCatalog::PathKey(const std::string& iPath) {
  return std::filesystem::absolute(iPath).lexically_normal().string();
}

void SignatureCatalog::UseWriteAheadLog() {
  // Two writers opening a new catalog at once both switch it to the log; SQLite refuses the
  // second switch at once, without waiting as it does for other locks, so wait here.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(BusyTimeoutMs);
  for (;;) {
    const int status = sqlite3_exec(_database, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
    if (status == SQLITE_OK) return;
    if (status != SQLITE_BUSY || std::chrono::steady_clock::now() > deadline)
      throw CatalogError(sqlite3_errmsg(_database));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void SignatureCatalog::Execute(const char* iSql) {
  char* message = nullptr;
  if (sqlite3_exec(_database, iSql, nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string reason = message ? message : sqlite3_errmsg(_database);
    sqlite3_free(message);
    throw CatalogError(reason);
  }
}

std::optional<std::pair<std::string, std::string>> SignatureCatalog::Stamp(const std::string& iPath) const {
  SqliteStatement select(_database, "SELECT fingerprint, options, status, terms FROM parts WHERE path = ?");
  select.Bind(1, iPath);
  if (!select.Step()) return std::nullopt;
  if (select.Text(2) == "ok" && !HoldsEveryTerm(select.Blob(3))) return std::nullopt;
  return std::make_pair(select.Text(0), select.Text(1));
}

void SignatureCatalog::Put(const IndexedPart& iPart) { Put(std::vector<IndexedPart>{iPart}); }

void SignatureCatalog::Put(const std::vector<IndexedPart>& iParts) {
  Execute("BEGIN IMMEDIATE");
  try {
    for (const IndexedPart& part : iParts) Insert(part);
    Execute("COMMIT");
  } catch (...) {
    sqlite3_exec(_database, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

void SignatureCatalog::Insert(const IndexedPart& iPart) {
  SqliteStatement(_database, "DELETE FROM parts WHERE path = ?").Bind(1, iPart.path).Run();
  SqliteStatement insert(_database,
                         "INSERT INTO parts(path, fingerprint, size, format, options, status, error, descriptors, "
                         "norm, terms, coarse) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  insert.Bind(1, iPart.path).Bind(3, iPart.size).Bind(5, iPart.options);
  BindTextOrNull(insert, 2, iPart.fingerprint);
  BindTextOrNull(insert, 4, iPart.format);
  insert.Bind(6, std::string(iPart.error ? "failed" : "ok"));
  BindTextOrNull(insert, 7, iPart.error.value_or(""));
  BindTextOrNull(insert, 8, iPart.descriptors);
  if (iPart.signature) {
    // Older geosig searched by the occupancy pooled to 8^3 cells; this one only writes it.
    insert.Bind(9, static_cast<double>(iPart.signature->Norm()))
        .BindBlob(10, PackedFloats::Pack(iPart.signature->Terms()))
        .BindBlob(11, iPart.signature->Occupancy().Pooled(3).Pack());
  } else {
    insert.BindNull(9).BindNull(10).BindNull(11);
  }
  insert.Run();
  if (iPart.signature)
    SqliteStatement(_database, "INSERT INTO occupancies(part, depth, cells) VALUES (?, ?, ?)")
        .Bind(1, static_cast<std::int64_t>(sqlite3_last_insert_rowid(_database)))
        .Bind(2, static_cast<std::int64_t>(iPart.signature->Occupancy().Depth()))
        .BindBlob(3, iPart.signature->Occupancy().Pack())
        .Run();
}

std::size_t SignatureCatalog::RemoveIf(const std::function<bool(const std::string& iPath)>& iGone) {
  Execute("BEGIN IMMEDIATE");
  try {
    std::size_t removed = 0;
    for (const std::string& path : Paths())
      if (iGone(path)) {
        SqliteStatement(_database, "DELETE FROM parts WHERE path = ?").Bind(1, path).Run();
        ++removed;
      }
    Execute("COMMIT");
    return removed;
  } catch (...) {
    sqlite3_exec(_database, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

std::vector<std::string> SignatureCatalog::Paths() const {
  std::vector<std::string> paths;
  SqliteStatement select(_database, "SELECT path FROM parts ORDER BY path");
  while (select.Step()) paths.push_back(select.Text(0));
  return paths;
}

std::vector<IndexedPart> SignatureCatalog::Parts() const {
  std::vector<IndexedPart> parts;
  SqliteStatement select(_database,
                         "SELECT id, path, fingerprint, size, format, options, error FROM parts ORDER BY id");
  while (select.Step()) {
    IndexedPart part;
    part.id = select.Integer(0);
    part.path = select.Text(1);
    part.fingerprint = select.Text(2);
    part.size = select.IsNull(3) ? -1 : select.Integer(3);
    part.format = select.Text(4);
    part.options = select.Text(5);
    if (!select.IsNull(6)) part.error = select.Text(6);
    parts.push_back(std::move(part));
  }
  return parts;
}

std::optional<std::int64_t> SignatureCatalog::SignedPart(const std::string& iPath) const {
  SqliteStatement select(_database, "SELECT id FROM parts WHERE path = ? AND status = 'ok'");
  select.Bind(1, iPath);
  if (!select.Step()) return std::nullopt;
  return select.Integer(0);
}

ShapeSignature SignatureCatalog::SignatureOf(std::int64_t iId) const {
  const std::string sql = WithTerms("SELECT norm,", "FROM parts WHERE id = ? AND status = 'ok'");
  SqliteStatement select(_database, sql.c_str());
  select.Bind(1, iId);
  if (!select.Step()) throw CatalogError(_path + ": no signature for part " + std::to_string(iId));
  return ShapeSignature(static_cast<float>(select.Real(0)), UnpackTerms(select.Blob(1)), Occupancy(iId));
}

std::optional<std::string> SignatureCatalog::SignedPath(std::int64_t iId) const {
  SqliteStatement select(_database, "SELECT path FROM parts WHERE id = ? AND status = 'ok'");
  select.Bind(1, iId);
  if (!select.Step()) return std::nullopt;
  return select.Text(0);
}

std::vector<PartTerms> SignatureCatalog::TermsOf(const std::vector<std::int64_t>& iIds) const {
  const std::string sql = WithTerms(
      "SELECT id, norm,", "FROM parts WHERE status = 'ok' AND id IN (SELECT value FROM json_each(?)) ORDER BY id");
  SqliteStatement select(_database, sql.c_str());
  select.Bind(1, IdList(iIds));
  std::vector<PartTerms> terms;
  while (select.Step())
    terms.push_back({select.Integer(0), static_cast<float>(select.Real(1)), UnpackTerms(select.Blob(2))});
  return terms;
}

std::vector<SignatureSummary> SignatureCatalog::Summaries() const {
  std::vector<SignatureSummary> summaries;
  for (auto& [summary, path] : SignedParts(0)) summaries.push_back(std::move(summary));
  return summaries;
}

std::vector<std::pair<SignatureSummary, std::string>> SignatureCatalog::SignedParts(std::int64_t iAfterId) const {
  std::vector<std::pair<SignatureSummary, std::string>> parts;
  const std::string sql = WithTerms("SELECT id, norm,", ", path FROM parts WHERE status = 'ok' AND id > ? ORDER BY id");
  SqliteStatement select(_database, sql.c_str());
  select.Bind(1, iAfterId);
  while (select.Step()) {
    SignatureSummary summary;
    summary.id = select.Integer(0);
    summary.norm = static_cast<float>(select.Real(1));
    summary.global = UnpackTerms(select.Blob(2));
    parts.emplace_back(std::move(summary), select.Text(3));
  }
  return parts;
}

std::vector<std::int64_t> SignatureCatalog::SignedIds() const {
  std::vector<std::int64_t> ids;
  SqliteStatement select(_database, "SELECT id FROM parts WHERE status = 'ok' ORDER BY id");
  while (select.Step()) ids.push_back(select.Integer(0));
  return ids;
}

void SignatureCatalog::EachSignature(const std::function<void(std::int64_t, const ShapeSignature&)>& iVisit) const {
  const std::string sql = WithTerms("SELECT id, norm,",
                                    ", occupancies.depth, occupancies.cells FROM parts JOIN occupancies ON "
                                    "occupancies.part = parts.id WHERE status = 'ok' ORDER BY id");
  SqliteStatement select(_database, sql.c_str());
  while (select.Step())
    iVisit(select.Integer(0), ShapeSignature(static_cast<float>(select.Real(1)), UnpackTerms(select.Blob(2)),
                                             UnpackGrid(select.Integer(3), select.Blob(4))));
}

std::optional<std::int64_t> SignatureCatalog::Changes() const {
  SqliteStatement exists(_database,
                         "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'catalog_state'");
  exists.Step();
  if (exists.Integer(0) == 0) return std::nullopt;
  SqliteStatement select(_database, "SELECT changes FROM catalog_state");
  if (!select.Step()) return std::nullopt;
  return select.Integer(0);
}

VoxelGrid SignatureCatalog::Occupancy(std::int64_t iId) const {
  SqliteStatement select(_database, "SELECT depth, cells FROM occupancies WHERE part = ?");
  select.Bind(1, iId);
  if (!select.Step()) throw CatalogError(_path + ": no occupancy for part " + std::to_string(iId));
  return UnpackGrid(select.Integer(0), select.Blob(1));
}

std::vector<VoxelGrid> SignatureCatalog::Occupancies(const std::vector<std::int64_t>& iIds) const {
  std::unordered_map<std::int64_t, std::size_t> positions;
  for (std::size_t k = 0; k < iIds.size(); ++k) positions.emplace(iIds[k], k);
  std::vector<std::optional<VoxelGrid>> read(iIds.size());
  SqliteStatement select(_database,
                         "SELECT part, depth, cells FROM occupancies WHERE part IN (SELECT value FROM json_each(?))");
  select.Bind(1, IdList(iIds));
  while (select.Step()) read[positions.at(select.Integer(0))] = UnpackGrid(select.Integer(1), select.Blob(2));
  std::vector<VoxelGrid> occupancies;
  occupancies.reserve(iIds.size());
  for (std::size_t k = 0; k < iIds.size(); ++k) {
    if (!read[k]) throw CatalogError(_path + ": no occupancy for part " + std::to_string(iIds[k]));
    occupancies.push_back(std::move(*read[k]));
  }
  return occupancies;
}

std::vector<std::vector<std::string>> SignatureCatalog::IdenticalFiles() const {
  std::vector<std::vector<std::string>> groups;
  SqliteStatement select(_database,
                         "SELECT fingerprint, path FROM parts WHERE fingerprint IN (SELECT fingerprint FROM parts "
                         "WHERE fingerprint IS NOT NULL GROUP BY fingerprint HAVING count(*) > 1) "
                         "ORDER BY fingerprint, path");
  std::map<std::string, std::vector<std::string>> byFingerprint;
  while (select.Step()) byFingerprint[select.Text(0)].push_back(select.Text(1));
  for (auto& entry : byFingerprint) groups.push_back(std::move(entry.second));
  std::sort(groups.begin(), groups.end());
  return groups;
}
