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

const std::u16string kInstall = u"C:\\I\\";
const std::u16string kRecord = kInstall + u"upgrade-in-progress.brevak";

struct LogFixture {
  Platform Services() {
    Platform p;
    p.window = &window;
    p.clock = &h.clock;
    p.code_page = &h.code_page;
    p.log_files = &h.log_files;
    p.durable_files = &h.durable_files;
    p.folders = &h.folders;
    p.version_info = &h.version_files;
    return p;
  }
  // The log's lines that start with one of `starts`.
  std::vector<std::string> Lines(const std::vector<std::string>& starts) {
    std::istringstream log(posix::Utf16ToUtf8(h.code_page.FromAnsi(h.log_files.files[kInstall + kUpgradeLogName])));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) {
      for (const std::string& start : starts) {
        if (line.starts_with(start)) lines.push_back(line.substr(0, line.size() - 1));  // without its CR
      }
    }
    return lines;
  }
  testing::CoreHarness h;
  testing::FakeWindow window;
  Platform platform = Services();
  ShownMessages messages{platform};
  UpgradeLogObserver log{platform, messages};
};

// A table listed twice has moved when either pass moved it; a table's last
// word on why it did not move stands; rows that differed are said in words.
TEST(UpgradeLogObserverTest, EachTableIsLoggedOnceWithWhatBecameOfIt) {
  struct Case {
    std::function<void(MigrationEvents&)> events;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {[](MigrationEvents& e) { e.TableNotMoved(u"R", u"x"); e.TableMoved(u"R", {3, 4}); }, {"已转移：R，备份中 4 条，升级后 3 条"}},
      {[](MigrationEvents& e) { e.TableMoved(u"R", {2, 2}); e.TableNotMoved(u"R", u"x"); }, {"已转移：R，备份中 2 条，升级后 2 条"}},
      {[](MigrationEvents& e) { e.TableNotMoved(u"T", u"a"); e.TableNotMoved(u"T", u"T: 1 / 2"); },
       {"未转移：T，原因：转入后有 1 条，备份中有 2 条，条数不一致，这个数据表的转移已撤回"}},
      {[](MigrationEvents& e) { e.TableNotMoved(u"T", u"T: 1 / x2"); }, {"未转移：T，原因：T: 1 / x2"}},
      {[](MigrationEvents& e) { e.TableAbsent(u"A"); e.TableAbsent(u"A"); }, {"无需转移：A，升级前的数据库中没有这个数据表"}},
  };
  for (const Case& c : cases) {
    LogFixture f;
    f.log.BeginUpdate(UpgradeLogEntry::Kind::kUpdate, kInstall + u"Brevak.exe");
    c.events(f.log);
    f.log.Write(kInstall, kRecord, false);
    EXPECT_EQ(f.Lines({"已转移", "未转移", "无需转移"}), c.expected);
  }
}

// Only a handler that began an entry writes one; the last message is the
// handler's own, and a run-time error that ends it is said.
TEST(UpgradeLogObserverTest, LogAtEndWritesTheEntryHoweverTheHandlerEnds) {
  struct Case {
    bool begin, ends_by_error, record_left;
    std::u16string shown;  // the handler's message, if any
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {false, true, true, u"M", {}},
      {true, false, false, u"", {"结果：升级没有完成：数据没有转移", "最后显示的消息：（没有显示消息）"}},
      {true, true, true, u"M",
       {"结果：升级没有完成：数据没有转移，随后程序因运行时错误而结束；升级进度文件（upgrade-in-progress.brevak）仍在，"
        "下次点击“开始更新”会询问是否继续完成这次升级",
        "最后显示的消息：M（随后程序因运行时错误而结束）"}},
  };
  for (const Case& c : cases) {
    LogFixture f;
    if (c.record_left) f.h.durable_files.texts[kRecord] = u"kind=update";
    f.messages.MsgBox(u"an earlier handler's", MsgBoxButtons::kOkOnly);
    try {
      const LogAtEnd at_end(f.log, kInstall, kRecord);
      if (c.begin) f.log.BeginUpdate(UpgradeLogEntry::Kind::kUpdate, kInstall + u"Brevak.exe");
      if (!c.shown.empty()) f.messages.MsgBox(c.shown, MsgBoxButtons::kOkOnly);
      if (c.ends_by_error) throw RunTimeError(5, u"invalid");
    } catch (const RunTimeError&) {
    }
    EXPECT_EQ(f.Lines({"结果", "最后显示的消息"}), c.expected);
  }
}

}  // namespace
}  // namespace brevak
