// The durable record on real files. (The one-copy lock and a database held
// by another program: tests/blackbox/interrupted_update_test.cc.)
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>

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

// Only a regular file of at most 64 KiB is read: a pipe (which would
// hang), a device, a link or a folder in its place is refused at once.
TEST(PosixDurableFilesTest, AnythingButASmallRegularFileIsRefusedUnread) {
  const std::vector<std::pair<const char*, std::function<void(const fs::path&)>>> cases = {
      {"fifo", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
      {"link to a device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
      {"link to a file", [](const fs::path& p) { testing::WriteFile(p.string() + "x", "kind=update"); fs::create_symlink(p.string() + "x", p); }},
      {"folder", [](const fs::path& p) { fs::create_directory(p); }},
      {"65537 bytes", [](const fs::path& p) { testing::WriteFile(p, std::string(65537, 'x')); }},
  };
  for (const auto& [name, make] : cases) {
    testing::TempPrefix prefix;
    PosixDurableFiles files{WinePrefix(prefix.root())};
    fs::create_directories(prefix.OnDriveC("Brevak"));
    make(prefix.OnDriveC("Brevak/upgrade-in-progress.brevak"));
    EXPECT_THROW(files.ReadText(u"C:\\Brevak\\upgrade-in-progress.brevak"), RunTimeError) << name;
  }
  testing::TempPrefix prefix;
  fs::create_directories(prefix.OnDriveC("Brevak"));
  testing::WriteFile(prefix.OnDriveC("Brevak/upgrade-in-progress.brevak"), std::string(65536, 'x'));
  EXPECT_EQ(PosixDurableFiles{WinePrefix(prefix.root())}.ReadText(u"C:\\Brevak\\upgrade-in-progress.brevak")->size(), 65536u);
}

}  // namespace
}  // namespace brevak::posix
