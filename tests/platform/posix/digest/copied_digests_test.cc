// The digest a copy reads back as it writes, handed to the file digests:
// only for the file the copy wrote, once, and only while nothing has
// changed the file since; whatever happens to the file, the digest given
// is that of what the file holds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/posix/digest/copied_digests.h"
#include "platform/posix/prefix/posix_file_digests.h"
#include "platform/posix/shell_copy/file_copier.h"
#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {

namespace fs = std::filesystem;
using testing::TempPrefix;
using testing::WriteFile;

// More than one chunk of the copier, of varied bytes.
std::string Contents() {
  std::string bytes(StreamingFileCopier::kChunkBytes + 4097, '\0');
  uint32_t state = 7;
  for (char& byte : bytes) byte = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
  return bytes;
}

TEST(CopiedDigestsTest, TheCopysDigestIsGivenOnceAndOnlyForTheFileAsTheCopyLeftIt) {
  struct Case {
    const char* what;
    std::function<void(const fs::path& copy)> after_copy;
    bool digest_from_copy;
  };
  const Case cases[] = {
      {"nothing", [](const fs::path&) {}, true},
      {"touched", [](const fs::path& copy) { fs::last_write_time(copy, fs::file_time_type::clock::now()); }, false},
      {"a byte changed", [](const fs::path& copy) { std::fstream(copy, std::ios::in | std::ios::out).put('!'); }, false},
      {"grown", [](const fs::path& copy) { std::ofstream(copy, std::ios::app).put('!'); }, false},
      {"replaced under its name",
       [](const fs::path& copy) {
         WriteFile(copy.parent_path() / "other", "other");
         fs::rename(copy.parent_path() / "other", copy);
       },
       false},
  };
  const std::string contents = Contents();
  for (const Case& c : cases) {
    TempPrefix prefix;
    const fs::path source = prefix.OnDriveC("Brevak/Customerdata.car");
    WriteFile(source, contents);
    fs::last_write_time(source, fs::file_time_type::clock::now() - std::chrono::hours(30));
    fs::create_directories(prefix.OnDriveC("Brevak/20261210"));
    const fs::path written = prefix.OnDriveC("Brevak/20261210/.~copy.tmp");
    const fs::path copy = prefix.OnDriveC("Brevak/20261210/Customerdata.car");

    CopiedDigests copied;
    StreamingFileCopier copier(&copied);
    ASSERT_EQ(copier.CopyFile(source, written, [](uint64_t) { return true; }), 0) << c.what;
    fs::rename(written, copy);  // as the shell copy puts a finished copy in place
    c.after_copy(copy);

    const WinePrefix wine(prefix.root());
    const std::u16string path = u"C:\\Brevak\\20261210\\Customerdata.car";
    const std::optional<std::string> held = PosixFileDigests(wine).Sha256(path, nullptr);
    PosixFileDigests digests(wine, &copied);
    int reads = 0;
    EXPECT_EQ(digests.Sha256(path, [&] { ++reads; }), held) << c.what;
    EXPECT_EQ(reads == 0, c.digest_from_copy) << c.what;
    reads = 0;
    EXPECT_EQ(digests.Sha256(path, [&] { ++reads; }), held) << c.what;
    EXPECT_GT(reads, 0) << c.what << ": read again after the one answer";
    if (c.digest_from_copy) {
      EXPECT_EQ(held, PosixFileDigests(wine).Sha256(u"C:\\Brevak\\Customerdata.car", nullptr)) << c.what;
    }
  }
}

TEST(CopiedDigestsTest, CopiesStillBeingReadWhenMoreFollowEachGetTheirOwnDigest) {
  TempPrefix prefix;
  const WinePrefix wine(prefix.root());
  CopiedDigests copied;
  StreamingFileCopier copier(&copied);
  const size_t copies = CopiedDigests::kReadingAtOnce + 2;
  std::string contents = Contents();
  for (size_t i = 0; i < copies; ++i) {
    contents[i] = 'a';  // each file its own bytes
    WriteFile(prefix.OnDriveC("from" + std::to_string(i)), contents);
    ASSERT_EQ(copier.CopyFile(prefix.OnDriveC("from" + std::to_string(i)), prefix.OnDriveC("to" + std::to_string(i)),
                              [](uint64_t) { return true; }),
              0);
  }
  // The same file copied again is read again.
  fs::remove(prefix.OnDriveC("to0"));
  ASSERT_EQ(copier.CopyFile(prefix.OnDriveC("from1"), prefix.OnDriveC("to0"), [](uint64_t) { return true; }), 0);
  PosixFileDigests digests(wine, &copied);
  for (size_t i = copies; i-- > 0;) {
    const std::u16string to = u"C:\\to" + std::u16string(1, static_cast<char16_t>(u'0' + i));
    int reads = 0;
    EXPECT_EQ(digests.Sha256(to, [&] { ++reads; }), PosixFileDigests(wine).Sha256(to, nullptr)) << i;
    EXPECT_EQ(reads, 0) << i;
  }
}

TEST(CopiedDigestsTest, ACopyThatDidNotEndKeepsNoDigest) {
  TempPrefix prefix;
  const fs::path source = prefix.OnDriveC("Customerdata.car");
  WriteFile(source, Contents());
  CopiedDigests copied;
  StreamingFileCopier copier(&copied);
  ASSERT_EQ(copier.CopyFile(source, prefix.OnDriveC("stopped.car"), [](uint64_t) { return false; }), 1223);
  WriteFile(prefix.OnDriveC("taken.car"), "");
  ASSERT_EQ(copier.CopyFile(source, prefix.OnDriveC("taken.car"), [](uint64_t) { return true; }), 80);
  // What the failed copies left is never answered from them.
  for (const char* left : {"stopped.car", "taken.car"}) EXPECT_EQ(copied.Take(prefix.OnDriveC(left)), std::nullopt) << left;
}

}  // namespace
}  // namespace brevak::posix
