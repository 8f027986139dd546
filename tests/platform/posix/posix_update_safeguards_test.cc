// The Linux stand-ins of the update's safeguards on real files: the
// one-copy lock, a database held by another connection, the durable record.
#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "platform/posix/posix_data_file_use.h"
#include "platform/posix/posix_durable_files.h"
#include "platform/posix/posix_instance_lock.h"
#include "platform/runtime_error.h"
#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {
namespace fs = std::filesystem;
using testing::TempPrefix;

// A connection to `file`, created when missing, keyed when `key` is given.
sqlite3* Connect(const fs::path& file, const std::string& key) {
  fs::create_directories(file.parent_path());
  sqlite3* db = nullptr;
  sqlite3_open(file.c_str(), &db);
  if (!key.empty()) sqlite3_exec(db, ("PRAGMA key = '" + key + "'").c_str(), nullptr, nullptr, nullptr);
  return db;
}

TEST(PosixInstanceLockTest, OneHolderAtATimeAndADeadHolderNeverBlocks) {
  TempPrefix prefix;
  const WinePrefix wine(prefix.root());
  const auto entries = [&] {
    std::set<fs::path> names;
    for (const auto& entry : fs::recursive_directory_iterator(prefix.root())) names.insert(entry.path());
    return names;
  };
  const std::set<fs::path> before = entries();
  {
    PosixInstanceLock first(wine);
    PosixInstanceLock second(wine);
    EXPECT_TRUE(first.TryLock());
    EXPECT_TRUE(first.TryLock());
    EXPECT_FALSE(second.TryLock());
  }
  const pid_t child = fork();
  if (child == 0) {
    PosixInstanceLock dying(wine);
    _exit(dying.TryLock() ? 0 : 1);  // ends holding the lock
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  PosixInstanceLock after(wine);
  EXPECT_TRUE(after.TryLock());
  EXPECT_EQ(entries(), before);  // the lock leaves nothing behind
}

// Whether each file counts as in use while another connection holds it
// in each way.
TEST(PosixDataFileUseTest, InUseWhileAnotherConnectionHoldsTheWriteLock) {
  TempPrefix prefix;
  const WinePrefix wine(prefix.root());
  PosixDataFileUse use(wine);
  struct Case { const char* name; const char* key; };
  for (const Case& c : {Case{"Customerdata.car", "mqzvtw"}, Case{"Addr.mdb", ""}}) {
    const fs::path file = prefix.OnDriveC(std::string("Brevak/") + c.name);
    sqlite3* other = Connect(file, c.key);
    ASSERT_EQ(sqlite3_exec(other, "CREATE TABLE t(x); INSERT INTO t VALUES (1);", nullptr, nullptr, nullptr),
              SQLITE_OK);
    const std::u16string path = u"C:\\Brevak\\" + std::u16string(c.name[0] == 'C' ? u"Customerdata.car" : u"Addr.mdb");
    const std::u16string password = c.key[0] != 0 ? u"mqzvtw" : u"";
    EXPECT_FALSE(use.InUse(path, password)) << c.name << ": open, no transaction";
    ASSERT_EQ(sqlite3_exec(other, "BEGIN; SELECT * FROM t;", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_FALSE(use.InUse(path, password)) << c.name << ": reading";
    ASSERT_EQ(sqlite3_exec(other, "INSERT INTO t VALUES (2);", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_TRUE(use.InUse(path, password)) << c.name << ": uncommitted change";
    ASSERT_EQ(sqlite3_exec(other, "COMMIT;", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_FALSE(use.InUse(path, password)) << c.name << ": committed";
    sqlite3_close(other);
  }
  EXPECT_FALSE(use.InUse(u"C:\\Brevak\\missing.mdb", u""));
}

TEST(PosixDurableFilesTest, ReplacedWholeReadBackAndRemoved) {
  TempPrefix prefix;
  PosixDurableFiles files{WinePrefix(prefix.root())};
  const std::u16string path = u"C:\\Program Files\\Brevak\\upgrade-in-progress.brevak";
  fs::create_directories(prefix.OnDriveC("Program Files/Brevak"));
  EXPECT_EQ(files.ReadText(path), std::nullopt);
  files.WriteText(path, u"C:\\Program Files\\Brevak\\20121225051422");
  files.WriteText(path, u"C:\\升级 备份\\20121225051423");
  EXPECT_EQ(files.ReadText(path), u"C:\\升级 备份\\20121225051423\r\n");
  EXPECT_TRUE(files.FileExists(path));
  EXPECT_FALSE(files.FileExists(u"C:\\Program Files\\Brevak"));
  EXPECT_EQ(testing::ReadFile(prefix.OnDriveC("Program Files/Brevak/upgrade-in-progress.brevak")),
            "C:\\升级 备份\\20121225051423\r\n");
  files.Remove(path);
  files.Remove(path);
  EXPECT_FALSE(files.FileExists(path));
  EXPECT_TRUE(fs::is_empty(prefix.OnDriveC("Program Files/Brevak")));
  EXPECT_THROW(files.WriteText(u"C:\\no such folder\\x", u"x"), RunTimeError);
}

}  // namespace
}  // namespace brevak::posix
