// The upgrade log's entry as the handler's notes and the table mover's
// events build it, and as LogAtEnd writes it however the handler ends.
#include "core/upgrade_log_observer.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "core/log_at_end.h"
#include "platform/posix/text/utf.h"
#include "support/core_harness.h"
#include "support/fake_window.h"

namespace brevak {
namespace {

const std::u16string kInstall = u"C:\\I\\", kRecord = kInstall + u"upgrade-in-progress.brevak";

struct Handler {
  testing::CoreHarness h;
  testing::FakeWindow window;
  Platform platform{nullptr, &h.version_files, nullptr, nullptr, &h.folders, &window, &h.clock, &h.code_page,
                    nullptr, nullptr, &h.durable_files, &h.log_files, nullptr};
  ShownMessages messages{platform};
  UpgradeLogObserver log{platform, messages};
};

// A table listed twice has moved when either pass moved it; a table's last
// word on why it did not move stands; the last message is the handler's
// own, and a run-time error that ends the handler is said.
TEST(UpgradeLogObserverTest, TheEntrySaysWhatBecameOfEachTableAndHowTheHandlerEnded) {
  const std::string kLeft = "；升级进度文件（upgrade-in-progress.brevak）仍在，下次点击“开始更新”会询问是否继续完成这次升级";
  const std::pair<std::function<void(Handler&)>, std::vector<std::string>> cases[] = {
      {[](Handler& f) { f.log.TableNotMoved(u"R", u"x"), f.log.TableMoved(u"R", {3, 4}); },
       {"已转移：R，备份中 4 条，升级后 3 条", "结果：升级完成", "最后显示的消息：（没有显示消息）"}},
      {[](Handler& f) { f.log.TableMoved(u"R", {2, 2}), f.log.TableNotMoved(u"R", u"x"), f.log.TableAbsent(u"A"); },
       {"已转移：R，备份中 2 条，升级后 2 条", "无需转移：A，升级前的数据库中没有这个数据表", "结果：升级完成",
        "最后显示的消息：（没有显示消息）"}},
      {[](Handler& f) { f.log.TableNotMoved(u"T", u"a"), f.log.TableNotMoved(u"T", u"T: 1 / 2"), f.log.TableAbsent(u"T"); },
       {"未转移：T，原因：转入后有 1 条，备份中有 2 条，条数不一致，这个数据表的转移已撤回", "无需转移：T，升级前的数据库中没有这个数据表",
        "结果：升级没有完成：1 个数据表没有转移", "最后显示的消息：（没有显示消息）"}},
      {[](Handler& f) {
         f.h.durable_files.texts[kRecord] = u"kind=update";
         f.messages.MsgBox(u"M", MsgBoxButtons::kOkOnly);
         throw RunTimeError(5, u"invalid");
       },
       {"结果：升级没有完成：数据没有转移，随后程序因运行时错误而结束" + kLeft, "最后显示的消息：M（随后程序因运行时错误而结束）"}},
  };
  for (const auto& [during, expected] : cases) {
    Handler f;
    f.messages.MsgBox(u"an earlier handler's", MsgBoxButtons::kOkOnly);
    try {
      const LogAtEnd at_end(f.log, kInstall, kRecord);
      f.log.BeginUpdate(UpgradeLogEntry::Kind::kUpdate, kInstall + u"Brevak.exe");
      during(f);
    } catch (const RunTimeError&) {
    }
    std::istringstream log(posix::Utf16ToUtf8(f.h.code_page.FromAnsi(f.h.log_files.files[kInstall + kUpgradeLogName])));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) {
      if (line.find("转移：") != std::string::npos || line.starts_with("结果") || line.starts_with("最后")) {
        lines.push_back(line.substr(0, line.size() - 1));  // without its CR
      }
    }
    EXPECT_EQ(lines, expected);
  }
}

}  // namespace
}  // namespace brevak
