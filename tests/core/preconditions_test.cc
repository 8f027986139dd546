// What must hold before a run, checked on its own: each refusal says its
// cause, a run that may go on is told nothing, and a restore of a folder
// that is no backup goes on only on the user's yes.
#include "core/preconditions.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/guard_texts.h"
#include "support/services_bench.h"

namespace brevak {
namespace {
using testing::ServicesBench;
using Texts = std::vector<std::u16string>;

constexpr char16_t kInstall[] = u"C:\\Program Files\\Brevak\\";
const std::u16string kCar = std::u16string(kInstall) + u"Customerdata.car";

TEST(PreconditionsTest, EachRefusalSaysItsCauseAndAGoAheadSaysNothing) {
  namespace text = guard_text;
  struct Case {
    const char* name;
    std::function<void(ServicesBench&)> arrange;
    std::function<bool(Preconditions&)> check;
    bool go_on;
    Texts told;
  };
  const auto found = [](const std::u16string& dir) {
    return [dir](Preconditions& p) { return p.InstallationFound(text::kUpdate, dir); };
  };
  const auto none = [](ServicesBench&) {};
  const auto restore = [](const std::u16string& entry) {
    return [entry](Preconditions& p) { return p.ConfirmRestoreOf(kInstall, entry); };
  };
  const auto folder = [](const std::u16string& entry, std::vector<testing::FakeFile> files, int answer) {
    return [=](ServicesBench& b) {
      b.harness.folders.files[kInstall + entry] = files;
      b.window.QueueAnswer(answer);
    };
  };
  const Case cases[] = {
      {"no installation", none, found(u""), false, {text::InstallationNotFound(text::kUpdate, u"")}},
      {"installation", none, found(kInstall), true, {}},
      {"installation without Brevak.exe", none, found(u"C:\\Other\\"), false,
       {text::InstallationNotFound(text::kUpdate, u"C:\\Other\\")}},
      {"package", none, [](Preconditions& p) { return p.PackageUsable(); }, true, {}},
      {"package without Brevak.exe", [](ServicesBench& b) { b.harness.folders.files[u"C:\\pkg"].clear(); },
       [](Preconditions& p) { return p.PackageUsable(); }, false, {text::PackageNotExtracted(u"C:\\pkg")}},
      {"package folder the code page cannot name", [](ServicesBench& b) { b.harness.folders.app_path = u"C:\\업그레이드"; },
       [](Preconditions& p) { return p.PackageUsable(); }, false, {text::PackageFolderNameUnusable(u"C:\\업그레이드")}},
      {"installed databases", none, [](Preconditions& p) { return p.InstalledDatabasesOpen(kInstall); }, true, {}},
      {"customer database does not open",
       [](ServicesBench& b) { b.harness.database.log.fail = [](const std::u16string& l) { return l.find(kCar) != l.npos; }; },
       [](Preconditions& p) { return p.InstalledDatabasesOpen(kInstall); }, false,
       {text::InstalledDatabaseProblem(prompt::CustomerDatabase(), kCar, u"injected failure")}},
      {"address book missing", [](ServicesBench& b) { b.harness.folders.files[kInstall].pop_back(); },
       [](Preconditions& p) { return p.InstalledDatabasesOpen(kInstall); }, false,
       {text::InstalledDatabaseProblem(prompt::AddressBook(), kInstall + std::u16string(u"Addr.mdb"), u"")}},
      {"a backup", folder(u"20121224093000", {{u"Customerdata.car"}, {u"Addr.mdb"}}, vbNo),
       restore(u"20121224093000"), true, {}},
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
