#include "platform/posix/prefix/wine_prefix.h"

#include <gtest/gtest.h>

#include "support/temp_prefix.h"

namespace brevak::posix {
namespace {
namespace fs = std::filesystem;

TEST(WinePrefixTest, MapsDrivesSeparatorsAndLetterCase) {
  testing::TempPrefix prefix;
  fs::create_directories(prefix.OnDriveC("Program Files/Brevak/20121225051422"));
  const WinePrefix wine(prefix.root());
  const fs::path brevak = fs::canonical(prefix.OnDriveC("Program Files/Brevak"));
  struct Case { std::u16string windows; fs::path host; };
  const Case cases[] = {
      {u"C:\\Program Files\\Brevak\\", brevak},
      {u"c:/program files/BREVAK", brevak},
      {u"C:\\Program Files\\Brevak\\\\20121225051422", brevak / "20121225051422"},
      {u"C:\\Program Files\\\\Brevak\\.\\x\\..\\Addr.mdb", brevak / "Addr.mdb"},
      {u"C:\\Program Files\\Brevak\\备份", brevak / "备份"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fs::weakly_canonical(wine.ToHost(c.windows)), c.host) << fs::path(c.windows).string();
  }
}

TEST(WinePrefixTest, MapsHostPathsBackToTheDeepestDrive) {
  testing::TempPrefix prefix;
  fs::create_directories(prefix.OnDriveC("Brevak/pkg"));
  fs::create_directory_symlink(prefix.OnDriveC("Brevak"), prefix.root() / "dosdevices" / "d:");
  const WinePrefix wine(prefix.root());
  EXPECT_EQ(wine.ToWindows(prefix.OnDriveC("Brevak/pkg")), u"D:\\pkg");
  EXPECT_EQ(wine.ToWindows(prefix.OnDriveC("")), u"C:");
  EXPECT_EQ(wine.ToWindows("/usr/bin"), u"Z:\\usr\\bin");
}

}  // namespace
}  // namespace brevak::posix
