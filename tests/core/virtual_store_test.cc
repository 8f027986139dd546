#include "core/virtual_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/posix/prefix/posix_folders.h"
#include "support/core_harness.h"

namespace brevak {
namespace {

using testing::CoreHarness;

// LOCALAPPDATA as a test sets it (unset for nullopt), restored afterwards.
class LocalAppData {
 public:
  explicit LocalAppData(const std::optional<std::string>& value) {
    if (const char* old = std::getenv("LOCALAPPDATA")) old_ = old;
    Set(value);
  }
  ~LocalAppData() { Set(old_); }

 private:
  static void Set(const std::optional<std::string>& value) {
    value ? setenv("LOCALAPPDATA", value->c_str(), 1) : unsetenv("LOCALAPPDATA");
  }
  std::optional<std::string> old_;
};

const char kUser[] = "C:\\Users\\店主\\AppData\\Local";
const char16_t kStore[] = u"C:\\Users\\店主\\AppData\\Local\\VirtualStore\\Program Files\\Brevak";

TEST(VirtualStoreFolderTest, IsTheInstallationWithoutItsDriveUnderLocalAppData) {
  const struct {
    std::optional<std::string> local_app_data;
    std::u16string install_dir, folder;
  } cases[] = {
      {kUser, u"C:\\Program Files\\Brevak\\", kStore},
      {"C:\\A\\", u"D:\\Brevak\\", u"C:\\A\\VirtualStore\\Brevak"},
      {std::nullopt, u"C:\\Program Files\\Brevak\\", u""},  // Windows XP: no VirtualStore
      {kUser, u"", u""},                                     // no installation found
      {kUser, u"\\\\server\\share\\Brevak\\", u""},          // a network folder is never virtualized
  };
  CoreHarness harness;  // its registry expands from the process environment
  posix::PosixRegistry registry(posix::WinePrefix(harness.prefix.root()), harness.code_page);
  Platform platform;
  platform.registry = &registry;
  platform.code_page = &harness.code_page;
  for (const auto& c : cases) {
    LocalAppData variable(c.local_app_data);
    EXPECT_EQ(VirtualStoreFolder(platform, c.install_dir), c.folder);
  }
}

// The store's files on a real prefix: only files count, names and the
// folder's path are matched without regard to case, and a store that is
// not there holds nothing.
TEST(VirtualStoreFolderWithDataTest, FindsDatabaseFilesOnlyWithoutRegardToCase) {
  const struct {
    const char* entry;  // below the store; a trailing '/' makes a folder
    std::u16string install_dir, found;
  } cases[] = {
      {"Addr.MDB", u"C:\\Program Files\\Brevak\\", kStore},
      {"Customerdata.car", u"c:\\program files\\brevak\\",
       u"C:\\Users\\店主\\AppData\\Local\\VirtualStore\\program files\\brevak"},
      {"图片.car/", u"C:\\Program Files\\Brevak\\", u""},
      {"Brevak.ini", u"C:\\Program Files\\Brevak\\", u""},
      {"Addr.mdb", u"C:\\Program Files\\无此目录\\", u""},
  };
  LocalAppData variable(kUser);
  for (const auto& c : cases) {
    CoreHarness harness;
    const std::filesystem::path entry =
        harness.prefix.OnDriveC("Users/店主/AppData/Local/VirtualStore/Program Files/Brevak/" + std::string(c.entry));
    if (std::string(c.entry).ends_with('/')) {
      std::filesystem::create_directories(entry);
    } else {
      testing::WriteFile(entry, "x");
    }
    const posix::WinePrefix wine(harness.prefix.root());
    posix::PosixRegistry registry(wine, harness.code_page);
    posix::PosixFolders folders(wine);
    Platform platform;
    platform.registry = &registry;
    platform.code_page = &harness.code_page;
    platform.folders = &folders;
    EXPECT_EQ(VirtualStoreFolderWithData(platform, c.install_dir), c.found) << c.entry;
  }
}

TEST(VirtualStoreTest, DataFilesThereStopTheUpdateBeforeAnythingChanges) {
  LocalAppData variable(kUser);
  const struct {
    const char16_t* name;
    bool stops;
  } cases[] = {{u"Addr.mdb", true}, {u"Customerdata.car", true}, {u"Brevak.ini", false}};
  for (const auto& c : cases) {
    CoreHarness harness;
    harness.folders.files[kStore] = {{c.name, 1}};
    const auto transcript = harness.Run("yes\nclick CmdUpdate\nok\nclose");
    const auto messages = CoreHarness::LinesStartingWith(transcript, "msgbox OK");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].find("\\\\VirtualStore\\\\Program Files\\\\Brevak\\r\\n") !=
                  std::string::npos, c.stops) << messages[0];
    EXPECT_EQ(harness.shell.requests.empty(), c.stops);
  }
}

}  // namespace
}  // namespace brevak
