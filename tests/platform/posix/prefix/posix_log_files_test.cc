// The log on real files: appended as given, cut at an entry when it grows
// too large, failures raised as run-time errors.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/posix/prefix/posix_log_files.h"
#include "platform/runtime_error.h"
#include "support/temp_prefix.h"
#include "support/unprivileged.h"

namespace brevak::posix {
namespace {
namespace fs = std::filesystem;

const std::u16string kLog = u"C:\\Brevak\\升级记录.txt";

std::string Entry(size_t number, size_t size) {
  const std::string head = "entry " + std::to_string(number) + "\r\n";
  return head + std::string(size - head.size() - 4, 'x') + "\r\n\r\n";
}

TEST(PosixLogFilesTest, AppendsCreatingTheFileAndKeepsWhatWasThere) {
  testing::TempPrefix prefix;
  PosixLogFiles files{WinePrefix(prefix.root())};
  fs::create_directories(prefix.OnDriveC("Brevak"));
  files.AppendEntry(kLog, "\xc9\xfd\xbc\xb6\r\n\r\n");  // GBK bytes pass as they are
  files.AppendEntry(kLog, Entry(2, 100));
  EXPECT_EQ(testing::ReadFile(prefix.OnDriveC("Brevak/升级记录.txt")), "\xc9\xfd\xbc\xb6\r\n\r\n" + Entry(2, 100));
}

TEST(PosixLogFilesTest, ALogAboveTheLimitKeepsItsNewestEntriesWhole) {
  testing::TempPrefix prefix;
  PosixLogFiles files{WinePrefix(prefix.root())};
  fs::create_directories(prefix.OnDriveC("Brevak"));
  std::string all;
  for (size_t i = 0; all.size() + 3000 <= kLogTrimAbove; ++i) {
    files.AppendEntry(kLog, Entry(i, 3000));
    all += Entry(i, 3000);
  }
  const fs::path host = prefix.OnDriveC("Brevak/升级记录.txt");
  ASSERT_EQ(testing::ReadFile(host), all);  // not above the limit yet: nothing cut
  files.AppendEntry(kLog, Entry(9999, 3000));
  all += Entry(9999, 3000);

  const std::string kept = testing::ReadFile(host);
  EXPECT_LE(kept.size(), kLogKeep);
  EXPECT_GT(kept.size(), kLogKeep - 3000);
  EXPECT_EQ(kept, all.substr(all.size() - kept.size()));
  EXPECT_TRUE(kept.starts_with("entry ")) << kept.substr(0, 20);
  EXPECT_FALSE(fs::exists(prefix.OnDriveC("Brevak/升级记录.txt.new")));
}

TEST(PosixLogFilesTest, AFileThatCannotBeWrittenRaisesARunTimeError) {
  testing::TempPrefix prefix;
  fs::create_directories(prefix.OnDriveC("Brevak"));
  fs::permissions(prefix.OnDriveC("Brevak"), fs::perms::all);
  PosixLogFiles files{WinePrefix(prefix.root())};
  EXPECT_THROW(files.AppendEntry(u"C:\\no such folder\\升级记录.txt", Entry(1, 100)), RunTimeError);
  fs::permissions(prefix.OnDriveC("Brevak"), fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read |
                                                 fs::perms::group_exec | fs::perms::others_exec);
  const int outcome = testing::RunUnprivileged([&] {
    try {
      files.AppendEntry(kLog, Entry(1, 100));
    } catch (const RunTimeError& e) {
      return e.number() == vb_error::kPermissionDenied ? 0 : 2;
    }
    return 1;
  });
  EXPECT_EQ(outcome, 0);
}

}  // namespace
}  // namespace brevak::posix
