#include "core/virtual_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/profile_list.h"
#include "platform/posix/prefix/posix_folders.h"
#include "platform/scripted/transcript.h"
#include "support/core_harness.h"

namespace brevak {
namespace {

using testing::CoreHarness;

// An environment variable as a test sets it (unset for nullopt), restored
// afterwards.
class Variable {
 public:
  Variable(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~Variable() { Set(old_); }

 private:
  void Set(const std::optional<std::string>& value) const {
    value ? setenv(name_, value->c_str(), 1) : unsetenv(name_);
  }
  const char* name_;
  std::optional<std::string> old_;
};

// LOCALAPPDATA as a test sets it.
class LocalAppData : public Variable {
 public:
  explicit LocalAppData(const std::optional<std::string>& value) : Variable("LOCALAPPDATA", value) {}
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
TEST(HoldsDataFilesTest, FindsDatabaseFilesOnlyWithoutRegardToCase) {
  const struct {
    const char* entry;  // below the store; a trailing '/' makes a folder
    std::u16string folder;
    bool holds;
  } cases[] = {
      {"Addr.MDB", kStore, true},
      {"Customerdata.car", u"c:\\users\\店主\\appdata\\local\\virtualstore\\program files\\brevak", true},
      {"图片.car/", kStore, false},
      {"Brevak.ini", kStore, false},
      {"Addr.mdb", u"C:\\Users\\店主\\AppData\\Local\\VirtualStore\\Program Files\\无此目录", false},
  };
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
    posix::PosixFolders folders(wine);
    Platform platform;
    platform.folders = &folders;
    EXPECT_EQ(HoldsDataFiles(platform, c.folder), c.holds) << c.entry;
  }
}

// The machine's profile list as Windows keeps it: a key per account, the
// profile's folder in ProfileImagePath.
constexpr char kProfileList[] = R"(Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList)";

std::string Profile(const std::string& sid, const std::string& value_lines) {
  return std::string("[") + kProfileList + "\\\\" + sid + "] 1700000000\n" + value_lines + "\n\n";
}

// A system.reg with the application's key and these profiles.
std::string SystemRegWithProfiles(const std::string& profiles) {
  return testing::TempPrefix::SystemRegWithKey(
             R"(Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brevak.exe)",
             R"(@="C:\\Program Files\\Brevak\\Brevak.exe")") + profiles;
}

// Every profile whose path reads, expanded, in the registry's order; the
// system's own profiles, whose paths name variables a process of the tool
// need not have, and profiles without a path are left out.
TEST(LocalProfileFoldersTest, AreTheProfilesPathsExpanded) {
  Variable system_drive("SystemDrive", "C:");
  Variable system_root("SystemRoot", std::nullopt);
  const std::string profiles =
      Profile("S-1-5-18", R"("ProfileImagePath"=str(2):"%systemroot%\\system32\\config\\systemprofile")") +
      Profile("S-1-5-21-7-1000", R"("Flags"=dword:00000000)" "\n" R"("ProfileImagePath"=str(2):"%SystemDrive%\\Users\\店主")") +
      Profile("S-1-5-21-7-1001", R"("profileimagepath"="D:\\用户\\员工\\")") +
      Profile("S-1-5-21-7-1002", R"("Flags"=dword:00000000)") +
      Profile("S-1-5-21-7-1003", R"("ProfileImagePath"=dword:00000001)") +
      Profile("S-1-5-21-7-1004", R"("ProfileImagePath"="")");
  const struct {
    std::string system_reg;
    std::vector<std::u16string> folders;
  } cases[] = {
      {SystemRegWithProfiles(profiles), {u"C:\\Users\\店主", u"D:\\用户\\员工"}},
      {SystemRegWithProfiles(""), {}},
  };
  for (const auto& c : cases) {
    CoreHarness harness;
    harness.prefix.WriteSystemReg(c.system_reg);
    posix::PosixRegistry registry(posix::WinePrefix(harness.prefix.root()), harness.code_page);
    Platform platform;
    platform.registry = &registry;
    platform.code_page = &harness.code_page;
    EXPECT_EQ(LocalProfileFolders(platform), c.folders);
  }
}

// The administrator who typed the password runs the tool; the standard user
// ran Brevak. Each account's store is looked in, and each that holds data
// is named, the running account's first; any stops the update.
TEST(VirtualStoreTest, EveryLocalAccountsStoreIsLookedIn) {
  LocalAppData variable(kUser);  // the administrator, 店主
  const std::u16string staff = u"C:\\Users\\员工\\AppData\\Local\\VirtualStore\\Program Files\\Brevak";
  const std::string profiles = Profile("S-1-5-21-7-1000", R"("ProfileImagePath"="C:\\users\\店主")") +
                               Profile("S-1-5-21-7-1001", R"("ProfileImagePath"="C:\\Users\\员工")");
  const struct {
    std::vector<std::u16string> holding;
  } cases[] = {{{}}, {{kStore}}, {{staff}}, {{kStore, staff}}};
  for (const auto& c : cases) {
    CoreHarness harness;
    harness.prefix.WriteSystemReg(SystemRegWithProfiles(profiles));
    for (const std::u16string& folder : c.holding) harness.folders.files[folder] = {{u"Customerdata.car", 1}};
    const auto transcript = harness.Run("yes\nclick CmdUpdate\nok\nclose");
    const auto messages = CoreHarness::LinesStartingWith(transcript, "msgbox OK");
    ASSERT_EQ(messages.size(), 1u);
    std::string named;
    for (const std::u16string& folder : c.holding) named += EscapeText(folder) + "\\r\\n";
    EXPECT_EQ(messages[0].find("：\\r\\n" + named + "在技术支持核对") != std::string::npos, !c.holding.empty())
        << messages[0];
    EXPECT_EQ(harness.shell.requests.empty(), !c.holding.empty()) << messages[0];
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
