// Keys derived once and given to SQLCipher raw, on real keyed files: with
// the settings the raw keys were derived with, and after SQLCipher's
// defaults changed, where a raw key no longer opens a new file and the
// password must.
#include "platform/posix/database/derived_key.h"

#include <sqlcipher/sqlite3.h>

#include <gtest/gtest.h>

#include "platform/posix/database/posix_data_file_use.h"
#include "platform/posix/database/sqlcipher_connection.h"
#include "support/shop_db.h"
#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {

// Runs `sql` on a new connection to `file`, left open in `*kept` if given.
bool RunOnce(const std::filesystem::path& file, const std::string& sql, sqlite3** kept = nullptr) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  const bool ran = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  if (kept == nullptr) sqlite3_close_v2(db); else *kept = db;
  return ran;
}

TEST(DerivedKeyTest, EveryKeyedFileOpensAttachesAndShowsItsUse) {
  const char table[] = "CREATE TABLE main (ID INTEGER PRIMARY KEY, Plate TEXT);";
  testing::TempPrefix scratch;
  testing::MakeShopDb(scratch.OnDriveC("first.car"), "mqzvtw", table);
  ASSERT_TRUE(RawKeyFor(scratch.OnDriveC("first.car"), "mqzvtw"));  // SQLCipher's settings read now
  for (const std::string iterations : {"64000", "4000"}) {  // SQLCipher 3's default, then another
    ASSERT_TRUE(RunOnce(":memory:", "PRAGMA cipher_default_kdf_iter = " + iterations));
    testing::TempPrefix prefix;
    const WinePrefix wine(prefix.root());
    const auto installed = prefix.OnDriveC("Brevak/Customerdata.car");
    const auto backup = prefix.OnDriveC("Brevak/20261210010000/Customerdata.car");
    testing::MakeShopDb(installed, "mqzvtw", table);
    testing::MakeShopDb(backup, "mqzvtw", std::string(table) + "INSERT INTO main VALUES (1, '京A1'), (2, 'B');");
    const std::string raw = RawKeyFor(backup, "mqzvtw").value_or("");
    EXPECT_EQ(RunOnce(backup, "PRAGMA key = \"" + raw + "\"; SELECT count(*) FROM sqlite_master"),
              iterations == "64000");

    SqlCipherConnection conn(wine);
    conn.SetProvider(u"Microsoft.Jet.OLEDB.4.0");
    conn.Open(u"Data Source =C:\\Brevak\\Customerdata.car;Jet OLEDB:Database Password=mqzvtw");
    conn.Execute(u"Insert into [main] Select * From [;database=C:\\Brevak\\20261210010000\\Customerdata.car;pwd=mqzvtw].main");
    EXPECT_EQ(conn.ExecuteCount(u"select count(*) from [main]"), 2) << iterations;
    conn.Close();

    PosixDataFileUse use(wine);
    EXPECT_FALSE(use.InUse(u"C:\\Brevak\\Customerdata.car", u"mqzvtw")) << iterations;
    sqlite3* holder = nullptr;
    EXPECT_TRUE(RunOnce(installed, "PRAGMA key = 'mqzvtw'; BEGIN IMMEDIATE", &holder));
    EXPECT_TRUE(use.InUse(u"C:\\Brevak\\Customerdata.car", u"mqzvtw")) << iterations;
    sqlite3_close_v2(holder);
  }
  RunOnce(":memory:", "PRAGMA cipher_default_kdf_iter = 64000");
}

}  // namespace
}  // namespace brevak::posix
