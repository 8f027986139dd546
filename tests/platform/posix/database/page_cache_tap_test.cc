#include "platform/posix/database/page_cache_tap.h"

#include <sqlcipher/sqlite3.h>

#include <utility>

#include <gtest/gtest.h>

#include "support/shop_db.h"
#include "support/temp_prefix.h"

namespace brevak::posix::page_cache_tap {
namespace {
namespace fs = std::filesystem;

// Rows 1..last of table T, with `text` as V.
std::string Fill(int last, const std::string& text) {
  return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(last) +
         ") INSERT INTO T SELECT i, " + text + " FROM n;";
}

class PageCacheTapTest : public ::testing::Test {
 protected:
  void TearDown() override { sqlite3_close_v2(db_); }

  // The installation's side: a plain file with T (ID, V) empty, and `backup`
  // attached as bak with its own tag.
  void Open(const fs::path& backup, const std::string& password) {
    testing::MakeShopDb(prefix_.OnDriveC("main.db"), "", "CREATE TABLE T (ID INTEGER PRIMARY KEY, V);");
    ASSERT_EQ(sqlite3_open_v2(prefix_.OnDriveC("main.db").c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    tag_ = NewTag();
    const TagScope tagged(tag_);
    Exec("ATTACH '" + backup.string() + "' AS bak KEY '" + password + "'");
    Exec("PRAGMA bak.mmap_size = 0");
  }

  void Exec(const std::string& sql) {
    ASSERT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql << ": " << sqlite3_errmsg(db_);
  }

  int64_t Number(const std::string& sql) {
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db_, sql.c_str(), -1, &query, nullptr);
    const int64_t value = sqlite3_step(query) == SQLITE_ROW ? sqlite3_column_int64(query, 0) : -1;
    sqlite3_finalize(query);
    return value;
  }

  // The tap's count of the rows `sql` reads from bak.T.
  std::optional<int64_t> Counted(const std::string& sql, uint64_t tag) {
    LeafRowCount count(tag, static_cast<uint32_t>(Number("SELECT rootpage FROM bak.sqlite_master WHERE name = 'T'")));
    Exec(sql);
    return count.Rows();
  }

  testing::TempPrefix prefix_;
  sqlite3* db_ = nullptr;
  uint64_t tag_ = 0;
};

// Whatever the table's shape, and whether the append moves records whole
// or field by field, the rows read are the rows the backup table holds.
TEST_F(PageCacheTapTest, CountsTheRowsAnAppendReads) {
  ASSERT_TRUE(Installed());
  const std::string table = "CREATE TABLE T (ID INTEGER PRIMARY KEY, V);";
  const struct { const char* what; std::string password, script; } cases[] = {
      {"an empty table", "", table},
      {"one leaf", "", table + Fill(12, "'x'")},
      {"a tree of three levels", "", "PRAGMA page_size = 1024;" + table + Fill(20000, "printf('%060d', i)")},
      {"rows on overflow pages", "", table + Fill(300, "randomblob(5000)")},
      {"gaps in the row numbers", "", table + Fill(3000, "i") + "DELETE FROM T WHERE ID % 7 = 0;"},
      {"a keyed file", "mqzvtw", table + Fill(6000, "printf('客户%040d', i)")},
      {"a keyed file with an index", "mqzvtw",
       table + "CREATE INDEX TV ON T (V);" + Fill(4000, "hex(randomblob(20))")},
  };
  for (const auto& c : cases) {
    const fs::path backup = prefix_.OnDriveC(std::string(c.what) + ".db");
    testing::MakeShopDb(backup, c.password, c.script);
    Open(backup, c.password);
    const int64_t rows = Number("SELECT count(*) FROM bak.T");
    EXPECT_EQ(Counted("INSERT INTO main.T SELECT * FROM bak.T", tag_), rows) << c.what << ", whole records";
    Exec("DELETE FROM main.T");
    EXPECT_EQ(Counted("INSERT INTO main.T (ID, V) SELECT ID, V FROM bak.T", tag_), rows) << c.what << ", by field";
    sqlite3_close_v2(std::exchange(db_, nullptr));
    fs::remove(prefix_.OnDriveC("main.db"));
  }
}

// Where the count cannot stand for the table's rows, it gives none, and the
// table must be counted.
TEST_F(PageCacheTapTest, GivesNoCountForWhatItDidNotWatch) {
  const fs::path backup = prefix_.OnDriveC("backup.db");
  testing::MakeShopDb(backup, "", "CREATE TABLE T (ID INTEGER PRIMARY KEY, V); CREATE TABLE U (ID, V);" +
                                      Fill(500, "i") + "INSERT INTO U SELECT * FROM T;");
  Open(backup, "");
  EXPECT_EQ(Counted("INSERT INTO main.T SELECT * FROM bak.T", tag_ + 1), std::nullopt) << "another file's tag";
  Exec("DELETE FROM main.T");
  EXPECT_EQ(Counted("INSERT INTO main.T SELECT * FROM bak.U", tag_), std::nullopt) << "another table";
  EXPECT_EQ(Counted("SELECT count(*) FROM main.T", tag_), std::nullopt) << "the installation's file";
}

}  // namespace
}  // namespace brevak::posix::page_cache_tap
