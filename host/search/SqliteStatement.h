#pragma once
// A prepared SQLite statement bound to its connection: parameters are bound by position
// (1-based), Step advances, columns are read by position (0-based). Every failure throws
// CatalogError with the database's own message.
#include <cstdint>
#include <string>

#include "CatalogError.h"

struct sqlite3;
struct sqlite3_stmt;

class SqliteStatement {
 public:
  SqliteStatement(sqlite3* iDatabase, const char* iSql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  SqliteStatement& Bind(int iIndex, std::int64_t iValue);
  SqliteStatement& Bind(int iIndex, double iValue);
  SqliteStatement& Bind(int iIndex, const std::string& iText);
  SqliteStatement& BindBlob(int iIndex, const std::string& iBytes);
  SqliteStatement& BindNull(int iIndex);
  // True while a row is available; false when the statement is done.
  bool Step();
  // Runs a statement that returns no row.
  void Run();

  bool IsNull(int iColumn) const;
  std::int64_t Integer(int iColumn) const;
  double Real(int iColumn) const;
  std::string Text(int iColumn) const;
  std::string Blob(int iColumn) const;

 private:
  void Check(int iStatus) const;

  sqlite3* _database;
  sqlite3_stmt* _statement = nullptr;
};
