// The SHA-256 of files on the prefix's drive.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/prefix/posix_file_digests.h"
#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {
namespace fs = std::filesystem;

TEST(PosixFileDigestsTest, GivesTheStandardsDigestsAndLetsTheWindowAnswerBetweenChunks) {
  struct Case {
    std::string bytes;
    const char* digest;
    int chunks;
  };
  const Case cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", 0},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", 1},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0", 1},
      {std::string(2500000, 'a'), nullptr, 3},
  };
  for (const Case& c : cases) {
    testing::TempPrefix prefix;
    fs::create_directories(prefix.OnDriveC("Brevak"));
    testing::WriteFile(prefix.OnDriveC("Brevak/Addr.mdb"), c.bytes);
    int chunks = 0;
    const std::optional<std::string> digest =
        PosixFileDigests{WinePrefix(prefix.root())}.Sha256(u"C:\\BREVAK\\addr.mdb", [&] { ++chunks; });
    ASSERT_TRUE(digest.has_value());
    if (c.digest != nullptr) {
      EXPECT_EQ(*digest, c.digest);
    }
    EXPECT_EQ(chunks, c.chunks) << c.bytes.size();
  }
  testing::TempPrefix prefix;
  EXPECT_EQ(PosixFileDigests{WinePrefix(prefix.root())}.Sha256(u"C:\\Brevak\\Addr.mdb", nullptr), std::nullopt);
}

}  // namespace
}  // namespace brevak::posix
