// What must hold before a run, on its own: each refusal says its cause; a
// restore of a folder that is no backup goes on only on the user's yes.
#include "core/preconditions.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/guard_texts.h"
#include "support/services_bench.h"

namespace brevak {
namespace {
using testing::ServicesBench;
namespace text = guard_text;

constexpr char16_t kInstall[] = u"C:\\Program Files\\Brevak\\";
const std::u16string kCar = std::u16string(kInstall) + u"Customerdata.car";

TEST(PreconditionsTest, EachRefusalSaysItsCauseAndAGoAheadSaysNothing) {
  struct Case {
    const char* name;
    std::function<void(ServicesBench&)> arrange;
    std::function<bool(Preconditions&)> check;
    bool go_on;
    std::vector<std::u16string> told;
  };
  const auto found = [](std::u16string dir) { return [=](Preconditions& p) { return p.InstallationFound(text::kUpdate, dir); }; };
  const auto package = [](Preconditions& p) { return p.PackageUsable(); };
  const auto databases = [](Preconditions& p) { return p.InstalledDatabasesOpen(kInstall); };
  const auto restore = [](std::u16string entry) { return [=](Preconditions& p) { return p.ConfirmRestoreOf(kInstall, entry); }; };
  const auto none = [](ServicesBench&) {};
  // `entry` holds `files`; a question about it is answered `answer`.
  const auto folder = [](std::u16string entry, std::vector<testing::FakeFile> files, int answer) {
    return [=](ServicesBench& b) { b.harness.folders.files[kInstall + entry] = files; b.window.QueueAnswer(answer); };
  };
  const Case cases[] = {
      {"installation", none, found(kInstall), true, {}},
      {"no installation", none, found(u""), false, {text::InstallationNotFound(text::kUpdate, u"")}},
      {"no Brevak.exe", none, found(u"C:\\Other\\"), false, {text::InstallationNotFound(text::kUpdate, u"C:\\Other\\")}},
      {"package without Brevak.exe", [](ServicesBench& b) { b.harness.folders.files[u"C:\\pkg"].clear(); }, package, false,
       {text::PackageNotExtracted(u"C:\\pkg")}},
      {"package name", [](ServicesBench& b) { b.harness.folders.app_path = u"C:\\업그레이드"; }, package, false,
       {text::PackageFolderNameUnusable(u"C:\\업그레이드")}},
      {"customer database does not open",
       [](ServicesBench& b) { b.harness.database.log.fail = [](const std::u16string& l) { return l.find(kCar) != l.npos; }; },
       databases, false, {text::InstalledDatabaseProblem(prompt::CustomerDatabase(), kCar, u"injected failure")}},
      {"address book missing", [](ServicesBench& b) { b.harness.folders.files[kInstall].pop_back(); }, databases, false,
       {text::InstalledDatabaseProblem(prompt::AddressBook(), kInstall + std::u16string(u"Addr.mdb"), u"")}},
      {"a backup", folder(u"20121224093000", {{u"Customerdata.car"}, {u"Addr.mdb"}}, vbNo), restore(u"20121224093000"), true, {}},
      {"a folder gone since it was listed", none, restore(u"20121224093000"), true, {}},
      {"no backup, yes", folder(u"旧数据", {{u"b.txt"}, {u"a.txt"}}, vbYes), restore(u"旧数据"), true,
       {text::NotABackupQuestion(u"旧数据", {u"a.txt", u"b.txt"})}},
      {"no backup, no", folder(u"旧数据", {{u"a.txt"}}, vbNo), restore(u"旧数据"), false,
       {text::NotABackupQuestion(u"旧数据", {u"a.txt"})}},
      {"a name the code page cannot hold", none, restore(u"백업"), false, {text::RestoreFolderNameUnusable(u"백업")}},
  };
  for (const Case& c : cases) {
    ServicesBench bench;
    c.arrange(bench);
    Preconditions preconditions(bench.platform, bench.window);
    EXPECT_EQ(c.check(preconditions), c.go_on) << c.name;
    EXPECT_EQ(bench.Messages(), c.told) << c.name;
  }
}

}  // namespace
}  // namespace brevak
