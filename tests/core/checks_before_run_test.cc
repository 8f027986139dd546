// The checks before a run on their own: the order each run makes them in
// (the first that fails is the only one told), the connection closed
// before the files in use are asked about, and what a retry is told.
#include "core/checks_before_run.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/guard_texts.h"
#include "core/prompts.h"
#include "support/services_bench.h"

namespace brevak {
namespace {
using testing::ServicesBench;

constexpr char16_t kInstall[] = u"C:\\Program Files\\Brevak\\";
constexpr char16_t kEntry[] = u"20121224093000";
const std::u16string kAddr = std::u16string(kInstall) + u"Addr.mdb";
const std::u16string kNotNewer = u"升级版本并不比当前版本更新，是否继续？";
const std::u16string kSpaceShort = u"磁盘空间不足";

// The checks with the window's version comparison and connection.
struct Checks {
  explicit Checks(ServicesBench& bench)
      : copies(bench.platform, bench.window),
        preconditions(bench.platform, bench.window),
        checks(bench.platform, bench.window, preconditions, copies,
               {[this] { return newer; },
                [this, &bench] { closed_with_queries = bench.harness.data_file_use.checked.size(); }}) {}
  bool newer = true;
  size_t closed_with_queries = 99;  // files-in-use queries made when the connection closed
  CopyRequests copies;
  Preconditions preconditions;
  ChecksBeforeRun checks;
};

void ShortOfSpace(ServicesBench& b) { b.harness.folders.available_space = 1; }
void AddressBookInUse(ServicesBench& b) { b.harness.data_file_use.in_use.insert(kAddr); }
void DamagedPackage(ServicesBench& b) { b.harness.version_files.files.erase("C:\\pkg\\Brevak.exe"); }

TEST(ChecksBeforeRunTest, EachRunStopsAtTheFirstCheckOfItsOrderThatFails) {
  struct Case {
    const char* name;
    CheckedRun run;
    std::vector<std::function<void(ServicesBench&)>> faults;
    bool package_newer;
    int answer;  // to the version question, when asked
    bool go_on;
    std::u16string told;  // the only message, or a part of it
  };
  using enum CheckedRun;
  const Case cases[] = {
      {"update, space before files", kNewUpdate, {ShortOfSpace, AddressBookInUse}, true, 0, false, kSpaceShort},
      {"finishing, files first", kFinishing, {ShortOfSpace, AddressBookInUse}, true, 0, false, prompt::FileInUse(kAddr)},
      {"restore, files first", kRestore, {ShortOfSpace, AddressBookInUse}, true, 0, false, prompt::FileInUse(kAddr)},
      {"update, version first", kNewUpdate, {ShortOfSpace}, false, vbNo, false, kNotNewer},
      {"update, yes to the version", kNewUpdate, {}, false, vbYes, true, kNotNewer},
      {"finishing asks no version", kFinishing, {}, false, 0, true, u""},
      {"update, damaged package", kNewUpdate, {DamagedPackage}, true, 0, false, prompt::PackageProgramDamaged()},
      {"restore lays no package", kRestore, {DamagedPackage}, true, 0, true, u""},
  };
  for (const Case& c : cases) {
    ServicesBench bench;
    bench.harness.folders.files[kInstall + std::u16string(u"\\") + kEntry] = {{u"Addr.mdb", 1}};
    for (const auto& fault : c.faults) fault(bench);
    if (c.answer != 0) bench.window.QueueAnswer(c.answer);
    Checks checks(bench);
    checks.newer = c.package_newer;
    EXPECT_EQ(checks.checks.PassChecksBefore(c.run, kInstall, kEntry), c.go_on) << c.name;
    const std::vector<std::u16string> told = bench.Messages();
    ASSERT_EQ(told.size(), c.told.empty() ? 0u : 1u) << c.name;
    EXPECT_TRUE(told.empty() || told[0].find(c.told) != std::u16string::npos) << c.name;
  }
}

TEST(ChecksBeforeRunTest, ARetryIsToldTheCauseToRemoveOrThatItWillNotHelp) {
  const auto shortage = [](ServicesBench& b) {
    CopyRequests copies(b.platform, b.window);
    return SpaceCheck(b.platform).SpaceProblemFor(kInstall, u"C:\\pkg", copies.PackageSourceList(), true);
  };
  struct Case {
    const char* name;
    std::function<void(ServicesBench&)> fault;
    std::function<std::u16string(ServicesBench&)> ending;
    bool asks_files;  // the files in use are asked about, after the connection closed
  };
  const Case cases[] = {
      {"space", ShortOfSpace, [&](ServicesBench& b) { return guard_text::RetryAfterFreeingSpace(shortage(b)); }, false},
      {"file in use", AddressBookInUse, [](ServicesBench&) { return guard_text::RetryAfterClosing(kAddr); }, true},
      {"nothing found", [](ServicesBench&) {}, [](ServicesBench&) { return guard_text::RetryWillNotHelp(u"字段太长"); },
       true},
  };
  for (const Case& c : cases) {
    ServicesBench bench;
    c.fault(bench);
    Checks checks(bench);
    const std::u16string ending = ChecksBeforeRun::RetryEnding(checks.checks.RetryRemedy(kInstall), u"字段太长");
    EXPECT_EQ(ending, c.ending(bench)) << c.name;
    EXPECT_TRUE(bench.Messages().empty()) << c.name;
    EXPECT_EQ(checks.closed_with_queries, c.asks_files ? 0u : 99u) << c.name;
  }
}

}  // namespace
}  // namespace brevak
