// Keys derived once and given to SQLCipher raw, on real keyed files: with
// SQLCipher's settings as the raw keys were derived, and after SQLCipher's
// defaults changed, where a raw key no longer opens a new file and the
// password must.
#include "platform/posix/database/derived_key.h"

#include <sqlcipher/sqlite3.h>

#include <string>

#include <gtest/gtest.h>

#include "platform/posix/database/posix_data_file_use.h"
#include "platform/posix/database/sqlcipher_connection.h"
#include "support/shop_db.h"
#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {

constexpr char kPassword[] = "mqzvtw";
const char kTable[] = "CREATE TABLE main (ID INTEGER PRIMARY KEY, Plate TEXT);";

// Runs one statement on a fresh connection: true when it ran.
bool RunOnce(const std::filesystem::path& file, const std::string& sql, sqlite3** kept = nullptr) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  const bool ran = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  if (kept != nullptr) {
    *kept = db;
  } else {
    sqlite3_close_v2(db);
  }
  return ran;
}

// SQLCipher's default key derivation for new connections, for the process.
void SetDefaultKdfIterations(const std::string& iterations) {
  ASSERT_TRUE(RunOnce(":memory:", "PRAGMA cipher_default_kdf_iter = " + iterations));
}

TEST(DerivedKeyTest, EveryKeyedFileOpensAttachesAndShowsItsUse) {
  testing::TempPrefix scratch;
  testing::MakeShopDb(scratch.OnDriveC("first.car"), kPassword, kTable);
  ASSERT_TRUE(RawKeyFor(scratch.OnDriveC("first.car"), kPassword));  // SQLCipher's settings read now
  struct Case {
    const char* name;
    const char* default_kdf_iterations;  // empty: as they were
    bool raw_key_opens;
  };
  const Case cases[] = {{"SQLCipher's settings", "", true}, {"SQLCipher's defaults changed since", "4000", false}};
  for (const Case& c : cases) {
    if (*c.default_kdf_iterations != '\0') {
      SetDefaultKdfIterations(c.default_kdf_iterations);
    }
    testing::TempPrefix prefix;
    const WinePrefix wine(prefix.root());
    const auto installed = prefix.OnDriveC("Brevak/Customerdata.car");
    const auto backup = prefix.OnDriveC("Brevak/20261210010000/Customerdata.car");
    testing::MakeShopDb(installed, kPassword, kTable);
    testing::MakeShopDb(backup, kPassword, std::string(kTable) + "INSERT INTO main VALUES (1, '京A1'), (2, 'B');");
    const std::string raw = RawKeyFor(backup, kPassword).value_or("");
    EXPECT_EQ(RunOnce(backup, "PRAGMA key = \"" + raw + "\"; SELECT count(*) FROM sqlite_master"), c.raw_key_opens)
        << c.name;

    SqlCipherConnection conn(wine);
    conn.SetProvider(u"Microsoft.Jet.OLEDB.4.0");
    conn.Open(u"Data Source =C:\\Brevak\\Customerdata.car;Jet OLEDB:Database Password=mqzvtw");
    conn.Execute(u"Insert into [main] Select * From [;database=C:\\Brevak\\20261210010000\\Customerdata.car;pwd=mqzvtw].main");
    EXPECT_EQ(conn.ExecuteCount(u"select count(*) from [main]"), 2) << c.name;
    conn.Close();

    PosixDataFileUse use(wine);
    EXPECT_FALSE(use.InUse(u"C:\\Brevak\\Customerdata.car", u"mqzvtw")) << c.name;
    sqlite3* holder = nullptr;
    EXPECT_TRUE(RunOnce(installed, "PRAGMA key = 'mqzvtw'; BEGIN IMMEDIATE", &holder)) << c.name;
    EXPECT_TRUE(use.InUse(u"C:\\Brevak\\Customerdata.car", u"mqzvtw")) << c.name;
    sqlite3_close_v2(holder);
    if (*c.default_kdf_iterations != '\0') SetDefaultKdfIterations("64000");
  }
}

}  // namespace
}  // namespace brevak::posix
