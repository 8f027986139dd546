#include "platform/posix/prefix/posix_file_existence.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {

TEST(PosixFileExistenceTest, MatchesFilesOnlyWithoutRegardToCase) {
  testing::TempPrefix prefix;
  const std::filesystem::path store = prefix.OnDriveC("Users/店主/VirtualStore/Brevak");
  std::filesystem::create_directories(store / "图片.car");  // a folder, not a file
  testing::WriteFile(store / "Addr.MDB", "x");
  const struct {
    std::u16string pattern;
    bool found;
  } cases[] = {
      {u"C:\\Users\\店主\\VirtualStore\\Brevak\\*.mdb", true},
      {u"c:\\users\\店主\\virtualstore\\brevak\\addr.mdb", true},
      {u"C:\\Users\\店主\\VirtualStore\\Brevak\\*.car", false},
      {u"C:\\Users\\店主\\VirtualStore\\Brevak\\*.ini", false},
      {u"C:\\Users\\店主\\VirtualStore\\无此目录\\*.mdb", false},
  };
  PosixFileExistence files{WinePrefix(prefix.root())};
  for (const auto& c : cases) {
    EXPECT_EQ(files.AnyFileMatches(c.pattern), c.found);
  }
}

}  // namespace
}  // namespace brevak::posix
