#include "CatalogSchema.h"

#include <sqlite3.h>

#include <regex>
#include <sstream>

#include "CatalogError.h"
#include "CatalogSchemaSql.h"
#include "PackedFloats.h"
#include "ShapeSignature.h"
#include "SqliteStatement.h"

namespace {

void Execute(sqlite3* iDatabase, const std::string& iSql) {
  char* message = nullptr;
  if (sqlite3_exec(iDatabase, iSql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string reason = message ? message : sqlite3_errmsg(iDatabase);
    sqlite3_free(message);
    throw CatalogError(reason);
  }
}

bool HasTable(sqlite3* iDatabase, const char* iName) {
  SqliteStatement exists(iDatabase, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?");
  exists.Bind(1, std::string(iName)).Step();
  return exists.Integer(0) > 0;
}

void MirrorSimilarities(sqlite3_context* ioContext, int, sqlite3_value** iArguments) {
  const auto* cells = sqlite3_value_blob(iArguments[1]);
  const auto length = static_cast<std::size_t>(sqlite3_value_bytes(iArguments[1]));
  try {
    const VoxelGrid occupancy =
        VoxelGrid::Unpack(static_cast<unsigned int>(sqlite3_value_int(iArguments[0])), cells, length);
    const std::string packed = PackedFloats::Pack(ShapeSignature::MirrorSimilarities(occupancy));
    sqlite3_result_blob(ioContext, packed.data(), static_cast<int>(packed.size()), SQLITE_TRANSIENT);
  } catch (const std::exception& failure) {
    sqlite3_result_error(ioContext, (std::string("an occupancy is damaged: ") + failure.what()).c_str(), -1);
  }
}

}  // namespace

void CatalogSchema::AddFunctions(sqlite3* iDatabase) {
  if (sqlite3_create_function(iDatabase, "geosig_mirror_similarities", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                              MirrorSimilarities, nullptr, nullptr) != SQLITE_OK)
    throw CatalogError(sqlite3_errmsg(iDatabase));
}

const std::vector<std::pair<int, std::string>>& CatalogSchema::Migrations() {
  static const std::vector<std::pair<int, std::string>> sections = [] {
    std::vector<std::pair<int, std::string>> found;
    const std::regex heading(R"(^-- version (\d+)\s*$)");
    std::istringstream text(catalogSchemaSql);
    for (std::string line; std::getline(text, line);) {
      std::smatch match;
      if (std::regex_match(line, match, heading))
        found.emplace_back(std::stoi(match[1]), "");
      else if (!found.empty())
        found.back().second += line + '\n';
    }
    return found;
  }();
  return sections;
}

int CatalogSchema::Latest() { return Migrations().back().first; }

int CatalogSchema::VersionOf(sqlite3* iDatabase) {
  SqliteStatement userVersion(iDatabase, "PRAGMA user_version");
  userVersion.Step();
  if (const std::int64_t version = userVersion.Integer(0); version > 0) return static_cast<int>(version);
  SqliteStatement objects(iDatabase, "SELECT count(*) FROM sqlite_master");
  objects.Step();
  if (objects.Integer(0) == 0) return 0;
  if (!HasTable(iDatabase, "schema_version")) throw CatalogError("not a geosig catalog (no schema version)");
  SqliteStatement version(iDatabase, "SELECT max(version) FROM schema_version");
  if (!version.Step() || version.IsNull(0)) throw CatalogError("not a geosig catalog (no schema version)");
  return static_cast<int>(version.Integer(0));
}

void CatalogSchema::CheckReadable(sqlite3* iDatabase) {
  const int version = VersionOf(iDatabase);
  if (version == 0) throw CatalogError("not a geosig catalog (no schema version)");
  if (version > Latest())
    throw CatalogError("written by a newer geosig (schema version " + std::to_string(version) + "; this one reads " +
                       std::to_string(Latest()) + ")");
}

void CatalogSchema::Upgrade(sqlite3* iDatabase) {
  // Read again under the write lock: another writer may have upgraded it meanwhile.
  Execute(iDatabase, "BEGIN IMMEDIATE");
  try {
    const int version = VersionOf(iDatabase);
    if (version > 0) CheckReadable(iDatabase);
    for (const auto& [section, sql] : Migrations())
      if (section > version) Execute(iDatabase, sql);
    if (version < Latest()) Execute(iDatabase, "PRAGMA user_version = " + std::to_string(Latest()));
    Execute(iDatabase, "COMMIT");
  } catch (...) {
    sqlite3_exec(iDatabase, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}
