// The checks before a run on their own: the order each run makes them in
// (the first that fails is the only one told), and the tool's own
// connection closed before the files in use are asked about.
#include "core/checks_before_run.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/prompts.h"
#include "support/services_bench.h"

namespace brevak {
namespace {
using testing::ServicesBench;
using Fault = std::function<void(ServicesBench&)>;

constexpr char16_t kInstall[] = u"C:\\Program Files\\Brevak\\";
const std::u16string kAddr = std::u16string(kInstall) + u"Addr.mdb";

// The checks, with the window's version comparison and its connection.
struct Checks {
  explicit Checks(ServicesBench& b, bool package_newer = true)
      : newer(package_newer), copies(b.platform, b.window), preconditions(b.platform, b.window),
        checks(b.platform, b.window, preconditions, copies,
               {[this] { return newer; }, [this, &b] { queries_when_closed = b.harness.data_file_use.checked.size(); }}) {}
  bool newer;
  size_t queries_when_closed = 99;  // files-in-use queries made when the connection closed; 99: never closed
  CopyRequests copies;
  Preconditions preconditions;
  ChecksBeforeRun checks;
};

void ShortOfSpace(ServicesBench& b) { b.harness.folders.available_space = 1; }
void AddressBookInUse(ServicesBench& b) { b.harness.data_file_use.in_use.insert(kAddr); }
void DamagedPackage(ServicesBench& b) { b.harness.version_files.files.erase("C:\\pkg\\Brevak.exe"); }

TEST(ChecksBeforeRunTest, EachRunStopsAtTheFirstCheckOfItsOrderThatFails) {
  struct Case {
    CheckedRun run;
    std::vector<Fault> faults;
    int version_answer;  // 0: the package is newer
    bool go_on;
    std::u16string told;  // a part of the only message, if any
    bool files_asked;     // after the connection closed
  };
  using enum CheckedRun;
  const std::u16string kSpace = u"磁盘空间不足", kNotNewer = u"升级版本并不比当前版本更新，是否继续？";
  const Case cases[] = {
      {kNewUpdate, {ShortOfSpace, AddressBookInUse}, 0, false, kSpace, false},
      {kFinishing, {ShortOfSpace, AddressBookInUse}, 0, false, prompt::FileInUse(kAddr), true},
      {kRestore, {ShortOfSpace, AddressBookInUse}, 0, false, prompt::FileInUse(kAddr), true},
      {kNewUpdate, {ShortOfSpace}, vbNo, false, kNotNewer, false},
      {kNewUpdate, {}, vbYes, true, kNotNewer, true},
      {kFinishing, {}, vbNo, true, u"", true},  // asks no version
      {kNewUpdate, {DamagedPackage}, 0, false, prompt::PackageProgramDamaged(), false},
      {kRestore, {DamagedPackage}, 0, true, u"", true},  // lays no package
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    ServicesBench bench;
    bench.harness.folders.files[kInstall + std::u16string(u"\\20121224093000")] = {{u"Addr.mdb", 1}};
    for (const Fault& fault : c.faults) fault(bench);
    if (c.version_answer != 0) bench.window.QueueAnswer(c.version_answer);
    Checks checks(bench, c.version_answer == 0);
    EXPECT_EQ(checks.checks.PassChecksBefore(c.run, kInstall, u"20121224093000"), c.go_on) << "case " << i;
    const std::vector<std::u16string> told = bench.Messages();
    ASSERT_EQ(told.size(), c.told.empty() ? 0u : 1u) << "case " << i;
    EXPECT_TRUE(told.empty() || told[0].find(c.told) != std::u16string::npos) << "case " << i;
    EXPECT_EQ(checks.queries_when_closed, c.files_asked ? 0u : 99u) << "case " << i;
  }
}

}  // namespace
}  // namespace brevak
