#include "core/virtual_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "support/core_harness.h"

namespace brevak {
namespace {

using testing::CoreHarness;
using Lines = std::vector<std::string>;

// LOCALAPPDATA as a test sets it (unset for nullopt), restored afterwards.
class LocalAppData {
 public:
  explicit LocalAppData(const std::optional<std::string>& value) {
    if (const char* old = std::getenv("LOCALAPPDATA")) old_ = old;
    if (value) setenv("LOCALAPPDATA", value->c_str(), 1);
    else unsetenv("LOCALAPPDATA");
  }
  ~LocalAppData() {
    if (old_) setenv("LOCALAPPDATA", old_->c_str(), 1);
    else unsetenv("LOCALAPPDATA");
  }

 private:
  std::optional<std::string> old_;
};

const char kShopUser[] = "C:\\Users\\店主\\AppData\\Local";
const char16_t kShopStore[] = u"C:\\Users\\店主\\AppData\\Local\\VirtualStore\\Program Files\\Brevak";

TEST(VirtualStoreFolderTest, IsTheInstallationWithoutItsDriveUnderLocalAppData) {
  struct Case {
    std::optional<std::string> local_app_data;
    std::u16string install_dir;
    std::u16string folder;
  };
  const Case cases[] = {
      {kShopUser, u"C:\\Program Files\\Brevak\\", kShopStore},
      {"C:\\Users\\a\\AppData\\Local\\", u"D:\\Brevak\\", u"C:\\Users\\a\\AppData\\Local\\VirtualStore\\Brevak"},
      {std::nullopt, u"C:\\Program Files\\Brevak\\", u""},  // Windows XP: no VirtualStore
      {kShopUser, u"", u""},                                 // no installation found
      {kShopUser, u"\\\\server\\share\\Brevak\\", u""},      // a network folder is never virtualized
  };
  CoreHarness harness;  // its registry expands from the process environment
  for (const Case& c : cases) {
    LocalAppData variable(c.local_app_data);
    const posix::WinePrefix wine(harness.prefix.root());
    posix::PosixRegistry registry(wine, harness.code_page);
    Platform platform;
    platform.registry = &registry;
    platform.code_page = &harness.code_page;
    EXPECT_EQ(VirtualStoreFolder(platform, c.install_dir), c.folder)
        << c.local_app_data.value_or("(unset)");
  }
}

TEST(VirtualStoreTest, DataFilesThereStopTheUpdateBeforeAnythingChanges) {
  LocalAppData variable(kShopUser);
  for (const char16_t* copy : {u"\\Addr.mdb", u"\\CUSTOMERDATA.CAR"}) {
    CoreHarness harness;
    harness.file_existence.files = {kShopStore + std::u16string(copy)};
    const Lines transcript = harness.Run("yes\nclick CmdUpdate\nok\nclose");
    EXPECT_TRUE(harness.shell.requests.empty());
    EXPECT_TRUE(CoreHarness::LinesStartingWith(transcript, "progress").empty());
    const Lines messages = CoreHarness::LinesStartingWith(transcript, "msgbox OK");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("\\\\VirtualStore\\\\Program Files\\\\Brevak\\r\\n"), std::string::npos)
        << messages[0];
    for (const std::u16string& call : harness.database.log.lines) {
      EXPECT_FALSE(call.starts_with(u"exec") || call.starts_with(u"begin"));
    }
    EXPECT_EQ(harness.exit_code(), 0);
  }
}

TEST(VirtualStoreTest, OtherFilesThereLetTheUpdateGoOn) {
  LocalAppData variable(kShopUser);
  CoreHarness harness;
  harness.file_existence.files = {kShopStore + std::u16string(u"\\Brevak.ini")};
  harness.Run("yes\nclick CmdUpdate\nok\nclose");
  EXPECT_EQ(harness.shell.requests.size(), 2u);
}

}  // namespace
}  // namespace brevak
