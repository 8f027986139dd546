// The durable record on real files. (The one-copy lock and a database held
// by another program: tests/blackbox/interrupted_update_test.cc.)
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/prefix/posix_durable_files.h"
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

}  // namespace
}  // namespace brevak::posix
