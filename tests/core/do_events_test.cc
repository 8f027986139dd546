// The window answers during an update: the core lets it work off its
// messages between every two steps of work.
#include <gtest/gtest.h>

#include "core/module_main.h"
#include "support/core_harness.h"
#include "support/fake_window.h"

namespace brevak {
namespace {

TEST(DoEventsTest, TheWindowAnswersBetweenEveryTwoStepsOfAnUpdate) {
  testing::CoreHarness harness;  // for its services; the window is a FakeWindow here
  const posix::WinePrefix wine(harness.prefix.root());
  posix::PosixRegistry registry(wine, harness.code_page);
  testing::FakeWindow window;
  // One log of the work and of the window's turns, in order.
  std::vector<std::u16string>& log = harness.database.log.lines;
  window.on_do_events = [&] { log.push_back(u"doevents"); };
  harness.shell.on_call = [&] { log.push_back(u"copy"); };
  window.QueueAnswer(vbYes);
  window.QueueAction([](testing::FakeWindow& w) { w.Click(Control::CmdUpdate); });
  Platform platform = harness.MakePlatform(registry, window);
  FormUpdate form(platform);
  window.Run([&] { Main(platform, form); });

  // A copy or a table's transaction may start only after the window has had
  // its turn since the last one.
  size_t steps = 0;
  bool answered = true;
  for (size_t i = 0; i < log.size(); ++i) {
    if (log[i] == u"doevents") answered = true;
    if (log[i] != u"copy" && log[i] != u"begin") continue;
    EXPECT_TRUE(answered) << "no DoEvents before step " << steps << " (log line " << i << ")";
    answered = false;
    ++steps;
  }
  EXPECT_EQ(steps, 2 + kAddressBookTables.size() + kCustomerTables.size());
}

// Every copy of an update and of a restore runs while the window names
// what is running (the reason a waiting shutdown shows).
TEST(DoEventsTest, EveryCopyRunsWhileTheWindowNamesWhatIsRunning) {
  testing::CoreHarness harness;
  harness.folders.subfolders[testing::CoreHarness::kInstallDir] = {u"20121224093000"};
  harness.folders.files[u"C:\\Program Files\\Brevak\\20121224093000"] = {{u"Customerdata.car"}, {u"Addr.mdb"}};
  harness.Run("yes\nclick CmdUpdate\nok\nclick cmdGetHistory\nselect 0\nclick CmdRestore\nclose");
  const std::u16string update = u"正在升级Brevak数据", restore = u"正在恢复Brevak数据";
  EXPECT_TRUE(harness.busy_reasons_at_copies == (std::vector<std::u16string>{update, update, restore, restore}));
}

}  // namespace
}  // namespace brevak
