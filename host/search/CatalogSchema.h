#pragma once
// The versions of a catalog's tables, all written in CatalogSchema.sql as numbered sections: a
// catalog of version v is brought to the latest by running the sections after v, in order, in
// one transaction. The version is kept in PRAGMA user_version; catalogs of version 1 predate
// that and hold it in their schema_version table.
#include <string>
#include <utility>
#include <vector>

struct sqlite3;

class CatalogSchema {
 public:
  // The sections of CatalogSchema.sql: (version, SQL), in order.
  static const std::vector<std::pair<int, std::string>>& Migrations();
  static int Latest();

  // The version of the open database: 0 for an empty one. Throws CatalogError for a database
  // that is not a catalog.
  static int VersionOf(sqlite3* iDatabase);
  // Gives the connection the functions that the sections, and the reading of older catalogs
  // as they are, call: geosig_mirror_similarities(depth, cells), the packed floats of
  // ShapeSignature::MirrorSimilarities of an occupancy. Throws CatalogError when it cannot.
  static void AddFunctions(sqlite3* iDatabase);
  // Creates or upgrades the catalog to the latest version. Throws CatalogError for a catalog
  // of a newer version or one that cannot be written.
  static void Upgrade(sqlite3* iDatabase);
  // Throws CatalogError unless this program reads the catalog: one of its version or older.
  static void CheckReadable(sqlite3* iDatabase);
};
