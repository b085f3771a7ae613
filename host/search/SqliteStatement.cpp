#include "SqliteStatement.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(sqlite3* iDatabase, const char* iSql) : _database(iDatabase) {
  Check(sqlite3_prepare_v2(iDatabase, iSql, -1, &_statement, nullptr));
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(_statement); }

void SqliteStatement::Check(int iStatus) const {
  if (iStatus != SQLITE_OK && iStatus != SQLITE_ROW && iStatus != SQLITE_DONE)
    throw CatalogError(sqlite3_errmsg(_database));
}

SqliteStatement& SqliteStatement::Bind(int iIndex, std::int64_t iValue) {
  Check(sqlite3_bind_int64(_statement, iIndex, iValue));
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int iIndex, double iValue) {
  Check(sqlite3_bind_double(_statement, iIndex, iValue));
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int iIndex, const std::string& iText) {
  Check(sqlite3_bind_text(_statement, iIndex, iText.data(), static_cast<int>(iText.size()), SQLITE_TRANSIENT));
  return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int iIndex, const std::string& iBytes) {
  Check(sqlite3_bind_blob(_statement, iIndex, iBytes.data(), static_cast<int>(iBytes.size()), SQLITE_TRANSIENT));
  return *this;
}

SqliteStatement& SqliteStatement::BindNull(int iIndex) {
  Check(sqlite3_bind_null(_statement, iIndex));
  return *this;
}

bool SqliteStatement::Step() {
  const int status = sqlite3_step(_statement);
  Check(status);
  return status == SQLITE_ROW;
}

void SqliteStatement::Run() {
  while (Step()) {
  }
}

bool SqliteStatement::IsNull(int iColumn) const { return sqlite3_column_type(_statement, iColumn) == SQLITE_NULL; }

std::int64_t SqliteStatement::Integer(int iColumn) const { return sqlite3_column_int64(_statement, iColumn); }

double SqliteStatement::Real(int iColumn) const { return sqlite3_column_double(_statement, iColumn); }

std::string SqliteStatement::Text(int iColumn) const {
  const unsigned char* text = sqlite3_column_text(_statement, iColumn);
  return text ? std::string(reinterpret_cast<const char*>(text),
                            static_cast<std::size_t>(sqlite3_column_bytes(_statement, iColumn)))
              : std::string();
}

std::string SqliteStatement::Blob(int iColumn) const {
  const void* bytes = sqlite3_column_blob(_statement, iColumn);
  return bytes ? std::string(static_cast<const char*>(bytes),
                             static_cast<std::size_t>(sqlite3_column_bytes(_statement, iColumn)))
               : std::string();
}
