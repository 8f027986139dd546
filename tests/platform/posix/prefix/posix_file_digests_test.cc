// The SHA-256 of files on the prefix's drive: the standard's vectors, a
// missing file, and the window's turn after each 1 MiB chunk.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "platform/posix/prefix/posix_file_digests.h"
#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {

TEST(PosixFileDigestsTest, GivesTheStandardsDigestsAndLetsTheWindowAnswerBetweenChunks) {
  const std::tuple<std::string, std::string, int> cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", 0},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", 1},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0", 1},
      {std::string(2500000, 'a'), "", 3}};
  for (const auto& [bytes, digest, chunks] : cases) {
    testing::TempPrefix prefix;
    std::filesystem::create_directories(prefix.OnDriveC("Brevak"));
    testing::WriteFile(prefix.OnDriveC("Brevak/Addr.mdb"), bytes);
    int turns = 0;
    const auto got = PosixFileDigests{WinePrefix(prefix.root())}.Sha256(u"C:\\BREVAK\\addr.mdb", [&] { ++turns; });
    EXPECT_TRUE(got && (digest.empty() || *got == digest)) << bytes.size();
    EXPECT_EQ(turns, chunks) << bytes.size();
    EXPECT_EQ(PosixFileDigests{WinePrefix(prefix.root())}.Sha256(u"C:\\Brevak\\Customerdata.car", nullptr), std::nullopt);
  }
}

}  // namespace
}  // namespace brevak::posix
