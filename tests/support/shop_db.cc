#include "support/shop_db.h"

#include <sqlcipher/sqlite3.h>

#include <memory>
#include <stdexcept>

namespace brevak::testing {
namespace fs = std::filesystem;
namespace {

struct CloseDb {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DbHandle = std::unique_ptr<sqlite3, CloseDb>;

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
  throw std::runtime_error(what + ": " + (db != nullptr ? sqlite3_errmsg(db) : "out of memory"));
}

std::string QuoteLiteral(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') quoted += '\'';
    quoted += c;
  }
  return quoted + "'";
}

void Exec(sqlite3* db, const std::string& sql) {
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail(db, sql);
}

DbHandle OpenDb(const fs::path& file, const std::string& password, int flags) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
  DbHandle db(raw);
  if (rc != SQLITE_OK) Fail(raw, "cannot open " + file.string());
  if (!password.empty()) Exec(raw, "PRAGMA key = " + QuoteLiteral(password));
  return db;
}

ShopCell CellOf(sqlite3_stmt* statement, int column) {
  if (sqlite3_column_type(statement, column) == SQLITE_NULL) return std::nullopt;
  const void* bytes = sqlite3_column_blob(statement, column);
  const int size = sqlite3_column_bytes(statement, column);
  return bytes == nullptr ? std::string() : std::string(static_cast<const char*>(bytes), size);
}

}  // namespace

void MakeShopDb(const fs::path& file, const std::string& password, const std::string& script) {
  if (fs::exists(file)) throw std::runtime_error(file.string() + " exists already");
  if (file.has_parent_path()) fs::create_directories(file.parent_path());
  DbHandle db = OpenDb(file, password, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  Exec(db.get(), script);
}

void ChangeShopDb(const fs::path& file, const std::string& password, const std::string& script) {
  DbHandle db = OpenDb(file, password, SQLITE_OPEN_READWRITE);
  Exec(db.get(), script);
}

std::vector<ShopRow> QueryShopDb(const fs::path& file, const std::string& password,
                                 const std::string& query) {
  DbHandle db = OpenDb(file, password, SQLITE_OPEN_READONLY);
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db.get(), query.c_str(), -1, &raw, nullptr) != SQLITE_OK) Fail(db.get(), query);
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
  std::vector<ShopRow> rows;
  int rc;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    ShopRow row;
    for (int column = 0; column < sqlite3_column_count(raw); ++column) row.push_back(CellOf(raw, column));
    rows.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) Fail(db.get(), query);
  return rows;
}

}  // namespace brevak::testing
