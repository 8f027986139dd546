#include "shop/shop_db.h"

#include <stdexcept>

namespace brevak::shop {
namespace {

std::string Quote(std::string_view text, char quote) {
  std::string out(1, quote);
  for (char c : text) {
    out += c;
    if (c == quote) out += c;
  }
  out += quote;
  return out;
}

}  // namespace

std::string QuoteName(std::string_view name) { return Quote(name, '"'); }
std::string QuoteText(std::string_view text) { return Quote(text, '\''); }

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
  Check(sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr));
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::Check(int rc) {
  if (rc != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db_));
}

void Statement::BindNull(int index) { Check(sqlite3_bind_null(stmt_, index)); }
void Statement::BindInt(int index, int64_t value) { Check(sqlite3_bind_int64(stmt_, index, value)); }
void Statement::BindReal(int index, double value) { Check(sqlite3_bind_double(stmt_, index, value)); }

void Statement::BindText(int index, std::string_view text) {
  Check(sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC));
}

void Statement::BindBlob(int index, std::string_view bytes) {
  Check(sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC));
}

bool Statement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  throw std::runtime_error(sqlite3_errmsg(db_));
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

int64_t Statement::ColumnInt(int column) { return sqlite3_column_int64(stmt_, column); }
int Statement::ColumnType(int column) { return sqlite3_column_type(stmt_, column); }
int Statement::ColumnCount() { return sqlite3_column_count(stmt_); }

std::string Statement::ColumnText(int column) {
  const unsigned char* text = sqlite3_column_text(stmt_, column);
  return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

std::string Statement::ColumnBytes(int column) {
  const void* bytes = sqlite3_column_blob(stmt_, column);
  const int size = sqlite3_column_bytes(stmt_, column);
  return bytes ? std::string(static_cast<const char*>(bytes), size) : std::string();
}

ShopDb::ShopDb(const std::filesystem::path& file, const std::string& key, bool create) : file_(file) {
  const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
  if (sqlite3_open_v2(file.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    throw std::runtime_error(file.string() + ": " + message);
  }
  if (!key.empty()) Exec("PRAGMA key = " + QuoteText(key));
}

ShopDb::~ShopDb() { sqlite3_close(db_); }

void ShopDb::Exec(std::string_view sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error ? error : sqlite3_errmsg(db_);
    sqlite3_free(error);
    throw std::runtime_error(file_.string() + ": " + message);
  }
}

}  // namespace brevak::shop
