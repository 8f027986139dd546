#ifndef BREVAK_TESTS_SUPPORT_BLACKBOX_TABLES_H_
#define BREVAK_TESTS_SUPPORT_BLACKBOX_TABLES_H_

// Reading a shop's database files after the tool has run: row digests to
// compare a table with its counterpart in another file, and the engine's
// own integrity check. Files are opened read-write, as the application
// opens them, so that a hot journal left by a killed writer is rolled back
// first. An empty key opens a plain SQLite file.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "shop/shop_db.h"

namespace brevak::testing {

struct TableDigest {
  int64_t rows = 0;
  std::string hash;  // over every cell of the chosen fields, in row order
  bool operator==(const TableDigest&) const = default;
};

// One database file, opened once: with a key each opening costs a key
// derivation, so a reader serves every question about the file.
class DbReader {
 public:
  DbReader(const std::filesystem::path& file, const std::string& key);

  // The digest of `fields` (all fields when empty) of `table`, rows in
  // rowid order, every cell's type and exact bytes included.
  TableDigest Digest(const std::string& table, const std::vector<std::string>& fields = {});
  std::vector<std::string> Tables();
  bool HasTable(const std::string& table);
  std::vector<std::string> Fields(const std::string& table);
  // Column `column` of every row `query` returns, as text (NULL as "NULL").
  std::vector<std::string> Column(const std::string& query, int column = 0);
  // The rows of PRAGMA integrity_check joined by '\n': "ok" when sound.
  std::string IntegrityCheck();
  void Exec(const std::string& sql);

 private:
  shop::ShopDb db_;
};

// One-question shorthands that open the file for it.
std::vector<std::string> FieldNames(const std::filesystem::path& file, const std::string& key,
                                    const std::string& table);
std::vector<std::string> QueryColumn(const std::filesystem::path& file, const std::string& key,
                                     const std::string& query);
std::string IntegrityCheck(const std::filesystem::path& file, const std::string& key);
void ExecSql(const std::filesystem::path& file, const std::string& key, const std::string& sql);

// Leaves `file` as a writer killed half-way through a transaction leaves
// it: a child process runs `sql` in a transaction small enough in memory
// that its changes reach the file, then dies without committing, so a hot
// rollback journal stays beside the file.
void LeaveHotJournal(const std::filesystem::path& file, const std::string& key, const std::string& sql);

}  // namespace brevak::testing

#endif  // BREVAK_TESTS_SUPPORT_BLACKBOX_TABLES_H_
