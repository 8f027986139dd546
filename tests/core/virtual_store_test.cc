#include "core/virtual_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

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

TEST(VirtualStoreTest, DataFilesThereStopTheUpdateBeforeAnythingChanges) {
  LocalAppData variable(kUser);
  const struct {
    const char16_t* pattern;
    bool stops;
  } cases[] = {{u"\\*.mdb", true}, {u"\\*.car", true}, {u"\\*.ini", false}};
  for (const auto& c : cases) {
    CoreHarness harness;
    harness.file_existence.matching = {kStore + std::u16string(c.pattern)};
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
