#ifndef BREVAK_PLATFORM_POSIX_DATABASE_COUNTING_APPEND_H_
#define BREVAK_PLATFORM_POSIX_DATABASE_COUNTING_APPEND_H_

#include <sqlcipher/sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/posix/database/jet_sql.h"
#include "platform/posix/database/replayable_transaction.h"

namespace brevak::posix {

// An append from an attached file run inside a transaction and counted on
// both sides as it runs, so that the counts that verify it read neither
// table a second time:
// - the target's rows: what the table held before the append (after a
//   delete of every row, an empty table costs one page to count) plus the
//   rows the append inserted, where nothing but the append can change the
//   table's rows. The transaction's write lock keeps every other connection
//   from changing the table until it ends.
// - the source's rows: the rows on the backup table's pages as the append
//   reads them (page_cache_tap), which owe nothing to what it inserted. The
//   transaction's read lock on the backup keeps the table as counted until
//   it ends.
// Each figure holds only while nothing else has run on the file since the
// append (the transaction's mark has not moved).
class CountingAppend {
 public:
  // Runs `sql`, the append of `source` (a table of the file attached with
  // the page caches tagged `source_cache_tag`) to `target` (a table of the
  // open file), in `transaction`, which is active.
  CountingAppend(sqlite3* db, ReplayableTransaction& transaction, const std::string& sql,
                 const std::string& target, const jet_sql::StoredTable& source, uint64_t source_cache_tag);

  // The rows of `table` of the open file, when the append knows them now.
  std::optional<int64_t> TargetRows(const ReplayableTransaction& transaction, const std::string& table) const;
  // The rows of `table` of the file attached as `alias`, likewise.
  std::optional<int64_t> SourceRows(const ReplayableTransaction& transaction, const std::string& alias,
                                    const std::string& table) const;

 private:
  std::string target_;
  std::string source_alias_;
  std::string source_;
  std::optional<int64_t> target_rows_;
  std::optional<int64_t> source_rows_;
  uint64_t mark_ = 0;
};

}  // namespace brevak::posix

#endif  // BREVAK_PLATFORM_POSIX_DATABASE_COUNTING_APPEND_H_
