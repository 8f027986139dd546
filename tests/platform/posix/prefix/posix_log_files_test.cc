// The log on real files: appended as given; above the limit cut at the
// oldest entry that starts in the kept part; a failure raised.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/posix/prefix/posix_log_files.h"
#include "platform/runtime_error.h"
#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {
namespace fs = std::filesystem;

const std::u16string kLog = u"C:\\Brevak\\升级日志.txt";

// An entry of `size` bytes: a numbered line, filler lines, the empty line.
std::string Entry(size_t number, size_t size) {
  std::string entry = "entry " + std::to_string(number) + "\r\n";
  while (entry.size() + 70 < size) entry += std::string(60, 'x') + "\r\n";
  return entry + std::string(size - entry.size() - 4, 'y') + "\r\n\r\n";
}

TEST(LogKeptFromTest, KeepsTheNewestEntriesThatFitAndNeverCutsOne) {
  struct Case { std::vector<size_t> sizes; size_t kept_from; };  // an entry index; SIZE_MAX: nothing cut
  const Case cases[] = {{std::vector<size_t>(1024, 1024), SIZE_MAX},  // exactly at the limit
                        {std::vector<size_t>(1049, 1000), 525},       // 524712 bytes before the end
                        {std::vector<size_t>(1025, 1024), 513},       // an entry starts at the kept part's first byte
                        {{600000, 600000}, 1},                        // the last entry alone is larger than the part
                        {{1100000}, 0}};
  for (const Case& c : cases) {
    std::string log;
    std::vector<size_t> starts;
    for (size_t i = 0; i < c.sizes.size(); ++i) starts.push_back(log.size()), log += Entry(i, c.sizes[i]);
    EXPECT_EQ(LogKeptFrom(log), c.kept_from == SIZE_MAX ? 0 : starts[c.kept_from]) << c.sizes.size() << " entries";
  }
}

TEST(PosixLogFilesTest, AppendsAsGivenAndAboveTheLimitKeepsTheNewestEntriesWhole) {
  testing::TempPrefix prefix;
  PosixLogFiles files{WinePrefix(prefix.root())};
  fs::create_directories(prefix.OnDriveC("Brevak"));
  const fs::path host = prefix.OnDriveC("Brevak/升级日志.txt");
  std::string all;
  for (size_t i = 0; all.size() <= kLogTrimAbove; ++i) {
    all += Entry(i, 3000);
    files.AppendEntry(kLog, Entry(i, 3000));
    if (all.size() <= kLogTrimAbove) {
      ASSERT_EQ(fs::file_size(host), all.size()) << "cut too early";
    }
  }
  EXPECT_EQ(testing::ReadFile(host).substr(0, 6), "entry ");
  const std::string kept = testing::ReadFile(host);
  EXPECT_GT(kept.size(), kLogKeep - 3000);
  EXPECT_EQ(kept, all.substr(all.size() - std::min(kept.size(), all.size())));
  EXPECT_FALSE(fs::exists(prefix.OnDriveC("Brevak/升级日志.txt.new")));
  EXPECT_THROW(files.AppendEntry(u"C:\\no such folder\\升级日志.txt", Entry(1, 100)), RunTimeError);
}

// The earlier log takes the new name only when no file has it; a missing
// earlier log is no failure.
TEST(PosixLogFilesTest, RenamesTheEarlierLogButNeverOverAFile) {
  struct Case { std::string earlier, taken, earlier_after, new_after; };  // "": no such file
  const Case cases[] = {{"earlier", "", "", "earlier"}, {"earlier", "taken", "earlier", "taken"}, {"", "", "", ""}};
  for (const Case& c : cases) {
    testing::TempPrefix prefix;
    fs::create_directories(prefix.OnDriveC("Brevak"));
    const fs::path files[] = {prefix.OnDriveC("Brevak/升级记录.txt"), prefix.OnDriveC("Brevak/升级日志.txt")};
    if (!c.earlier.empty()) testing::WriteFile(files[0], c.earlier);
    if (!c.taken.empty()) testing::WriteFile(files[1], c.taken);
    PosixLogFiles{WinePrefix(prefix.root())}.RenameUnlessTaken(u"C:\\Brevak\\升级记录.txt", kLog);
    const auto read = [](const fs::path& file) { return fs::exists(file) ? testing::ReadFile(file) : ""; };
    EXPECT_EQ(read(files[0]) + "|" + read(files[1]), c.earlier_after + "|" + c.new_after) << c.earlier << c.taken;
  }
}

}  // namespace
}  // namespace brevak::posix
