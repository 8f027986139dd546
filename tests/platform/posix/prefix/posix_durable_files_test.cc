// The durable record on real files. (The one-copy lock and a database held
// by another program: tests/blackbox/interrupted_update_test.cc.)
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/prefix/posix_durable_files.h"
#include "platform/posix/text/utf.h"
#include "platform/runtime_error.h"
#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {
namespace fs = std::filesystem;

TEST(PosixDurableFilesTest, ReplacedWholeReadBackAndRemoved) {
  testing::TempPrefix prefix;
  PosixDurableFiles files{WinePrefix(prefix.root())};
  const std::u16string path = u"C:\\Brevak\\upgrade-in-progress.brevak";
  fs::create_directories(prefix.OnDriveC("Brevak"));
  EXPECT_EQ(files.ReadText(path), std::nullopt);
  files.WriteText(path, u"C:\\Brevak\\20121225051422");
  files.WriteText(path, u"C:\\升级 备份\\20121225051423");
  EXPECT_EQ(testing::ReadFile(prefix.OnDriveC("Brevak/upgrade-in-progress.brevak")), "C:\\升级 备份\\20121225051423\r\n");
  EXPECT_EQ(files.ReadText(path), u"C:\\升级 备份\\20121225051423\r\n");
  files.Remove(path);
  files.Remove(path);
  EXPECT_TRUE(fs::is_empty(prefix.OnDriveC("Brevak")));
  EXPECT_THROW(files.WriteText(u"C:\\no such folder\\x", u"x"), RunTimeError);
}

// What a write cut off before its rename left (NAME.new, whole or torn) is
// never read as the record, and goes with the next read or removal; the
// record beside it is untouched by a read.
TEST(PosixDurableFilesTest, AnUnfinishedWritesLeftoverGoesWithTheNextReadOrRemoval) {
  struct Case { const char* record; const char* leftover; bool remove; };
  const Case cases[] = {
      {nullptr, "C:\\Brevak\\20121225051423\r\n", false}, {nullptr, "C:\\Bre", true},
      {"C:\\Brevak\\20121225051422\r\n", "C:\\Brevak\\2012", false},
      {"C:\\Brevak\\20121225051422\r\n", "", true},
  };
  for (const Case& c : cases) {
    testing::TempPrefix prefix;
    PosixDurableFiles files{WinePrefix(prefix.root())};
    const std::u16string path = u"C:\\Brevak\\upgrade-in-progress.brevak";
    fs::create_directories(prefix.OnDriveC("Brevak"));
    if (c.record != nullptr) testing::WriteFile(prefix.OnDriveC("Brevak/upgrade-in-progress.brevak"), c.record);
    testing::WriteFile(prefix.OnDriveC("Brevak/upgrade-in-progress.brevak.new"), c.leftover);
    if (c.remove) {
      files.Remove(path);
      EXPECT_TRUE(fs::is_empty(prefix.OnDriveC("Brevak"))) << c.leftover;
      continue;
    }
    const std::optional<std::u16string> read = files.ReadText(path);
    EXPECT_EQ(read.has_value(), c.record != nullptr) << c.leftover;
    EXPECT_FALSE(fs::exists(prefix.OnDriveC("Brevak/upgrade-in-progress.brevak.new"))) << c.leftover;
    EXPECT_EQ(fs::exists(prefix.OnDriveC("Brevak/upgrade-in-progress.brevak")), c.record != nullptr);
    if (read) {
      EXPECT_EQ(*read, Utf8ToUtf16(c.record));
    }
  }
}

}  // namespace
}  // namespace brevak::posix
