#include "platform/posix/database/sqlcipher_file.h"

#include <gtest/gtest.h>

#include "platform/posix/database/jet_errors.h"
#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {

// SQLite would take an empty file for an empty database; Jet refuses it,
// and any file no whole number of pages long, opened or attached, with a
// password or without.
TEST(SqlCipherFileTest, AFileThatIsNoWholeNumberOfPagesIsAnUnrecognizedDatabase) {
  const testing::TempPrefix prefix;
  sqlite3* attaching = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &attaching), SQLITE_OK);
  for (const size_t size : {size_t{0}, size_t{100}, size_t{4097}}) {
    const std::filesystem::path host = prefix.OnDriveC("data.car");
    testing::WriteFile(host, std::string(size, 'x'));
    for (const std::string password : {"", "mqzvtw"}) {
      SCOPED_TRACE(std::to_string(size) + " bytes, password '" + password + "'");
      const auto expect_unrecognized = [](const auto& open) {
        try {
          open();
          ADD_FAILURE() << "opened";
        } catch (const RunTimeError& e) {
          EXPECT_EQ(e.number(), jet_error::kGeneralFailure);
          EXPECT_EQ(e.description(), u"Unrecognized database format 'C:\\data.car'.");
        }
      };
      expect_unrecognized([&] { sqlite3_close_v2(OpenDatabaseFile(host, u"C:\\data.car", password)); });
      expect_unrecognized([&] { AttachDatabaseFile(attaching, host, u"C:\\data.car", "old", password); });
    }
  }
  sqlite3_close_v2(attaching);
}

}  // namespace
}  // namespace brevak::posix
