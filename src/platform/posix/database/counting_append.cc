#include "platform/posix/database/counting_append.h"

#include "platform/posix/database/page_cache_tap.h"
#include "platform/posix/database/sqlcipher_statement.h"
#include "platform/posix/database/stored_tables.h"

namespace brevak::posix {
namespace {

// 0, a page no table has, when the table is not found.
uint32_t RootPage(sqlite3* db, const std::string& schema, const std::string& table) {
  SqliteStatement find(db, "SELECT rootpage FROM " + QuoteIdentifier(schema) +
                               ".sqlite_master WHERE type = 'table' AND name = ?1");
  find.BindText(1, table);
  return find.Step() ? static_cast<uint32_t>(std::stoul(find.ColumnText(0))) : 0;
}

// True when the rows an append reports as inserted are exactly what the
// table grew by. sqlite3_changes() leaves out what triggers do and the rows
// a REPLACE conflict clause deletes; a table that may have either is
// counted. The test for REPLACE reads the table's whole definition, so a
// field or a default that merely contains the word only costs the count.
bool InsertsCountExactly(sqlite3* db, const std::string& table) {
  SqliteStatement check(db,
                        "SELECT NOT EXISTS (SELECT 1 FROM \"main\".sqlite_master WHERE type = 'trigger'"
                        " AND tbl_name = ?1 COLLATE NOCASE)"
                        " AND NOT EXISTS (SELECT 1 FROM sqlite_temp_master WHERE type = 'trigger'"
                        " AND tbl_name = ?1 COLLATE NOCASE)"
                        " AND EXISTS (SELECT 1 FROM \"main\".sqlite_master WHERE type = 'table' AND name = ?1"
                        " AND sql LIKE 'CREATE TABLE%' AND sql NOT LIKE '%REPLACE%')");
  check.BindText(1, table);
  return check.Step() && check.ColumnText(0) == "1";
}

}  // namespace

CountingAppend::CountingAppend(sqlite3* db, ReplayableTransaction& transaction, const std::string& sql,
                               const std::string& target, const jet_sql::StoredTable& source,
                               uint64_t source_cache_tag)
    : target_(target), source_alias_(source.schema), source_(source.name) {
  std::optional<int64_t> before;
  if (InsertsCountExactly(db, target)) before = stored_tables::CountRows(db, "main", target);
  page_cache_tap::LeafRowCount read(source_cache_tag, RootPage(db, source.schema, source.name));
  transaction.Run(db, sql);
  mark_ = transaction.mark();
  if (sqlite3_get_autocommit(db)) return;
  if (before) target_rows_ = *before + sqlite3_changes(db);
  source_rows_ = read.Rows();
}

std::optional<int64_t> CountingAppend::TargetRows(const ReplayableTransaction& transaction,
                                                  const std::string& table) const {
  if (transaction.mark() != mark_ || table != target_) return std::nullopt;
  return target_rows_;
}

std::optional<int64_t> CountingAppend::SourceRows(const ReplayableTransaction& transaction,
                                                  const std::string& alias, const std::string& table) const {
  if (transaction.mark() != mark_ || alias != source_alias_ || table != source_) return std::nullopt;
  return source_rows_;
}

}  // namespace brevak::posix
