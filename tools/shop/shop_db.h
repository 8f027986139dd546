#ifndef BREVAK_TOOLS_SHOP_SHOP_DB_H_
#define BREVAK_TOOLS_SHOP_SHOP_DB_H_

#include <sqlcipher/sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace brevak::shop {

// One prepared statement; finalized when it goes out of scope.
class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // The bind calls keep no copy: the bytes must live until Step() returns.
  void BindNull(int index);
  void BindInt(int index, int64_t value);
  void BindReal(int index, double value);
  void BindText(int index, std::string_view text);
  void BindBlob(int index, std::string_view bytes);
  // True while a row is ready; false when the statement is done.
  bool Step();
  void Reset();

  int64_t ColumnInt(int column);
  std::string ColumnText(int column);
  // Blob bytes or text bytes, as stored.
  std::string ColumnBytes(int column);
  int ColumnType(int column);
  int ColumnCount();

 private:
  void Check(int rc);
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// An open SQLite file, keyed with SQLCipher when a key is given. Failures
// throw std::runtime_error naming the file and SQLite's message.
class ShopDb {
 public:
  // An empty key opens a plain SQLite file. With `create` false a missing
  // file is an error. A wrong key surfaces at the first read.
  ShopDb(const std::filesystem::path& file, const std::string& key, bool create);
  ~ShopDb();
  ShopDb(const ShopDb&) = delete;
  ShopDb& operator=(const ShopDb&) = delete;

  void Exec(std::string_view sql);
  sqlite3* handle() const { return db_; }
  const std::filesystem::path& file() const { return file_; }

 private:
  std::filesystem::path file_;
  sqlite3* db_ = nullptr;
};

// "name" with inner quotes doubled: any table or field name, `main` included.
std::string QuoteName(std::string_view name);
// 'text' with inner quotes doubled.
std::string QuoteText(std::string_view text);

}  // namespace brevak::shop

#endif  // BREVAK_TOOLS_SHOP_SHOP_DB_H_
