// One table's move as the engine sees it and as the observer hears it, and
// the outcome the passes over the table list add up to.
#include "core/table_mover.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/posix/text/utf.h"

namespace brevak {
namespace {

// Logs each call; a call whose line starts with a key of `fail` raises that
// error number. The installed table counts 5 rows, its backup `backup_rows`.
struct ScriptedConnection : Connection {
  void Call(const std::u16string& line) {
    lines.push_back(posix::Utf16ToUtf8(line));
    for (const auto& [start, number] : fail) {
      if (lines.back().starts_with(start)) throw RunTimeError(number, u"refused");
    }
  }
  void SetProvider(const std::u16string& p) override { Call(u"provider " + p); }
  void Open(const std::u16string& s) override { Call(u"open " + s); }
  void Execute(const std::u16string& s) override { Call(s); }
  int32_t ExecuteCount(const std::u16string& s) override { return Call(s), s == u"select count(*) from [T]" ? 5 : backup_rows; }
  void Close() override { Call(u"close"); }
  int32_t State() override { return adStateOpen; }
  void BeginTrans() override { Call(u"begin"); }
  void CommitTrans() override { Call(u"commit"); }
  void RollbackTrans() override { Call(u"rollback"); }
  std::vector<std::string> lines;
  std::map<std::string, int32_t> fail;
  int32_t backup_rows = 5;
};

struct HeardEvents : MigrationEvents {
  void TableMoved(const std::u16string& t, const RowCounts& r) override {
    heard += "moved " + posix::Utf16ToUtf8(t) + " " + std::to_string(r.installed) + "/" + std::to_string(r.backup);
  }
  void TableNotMoved(const std::u16string& t, const std::u16string& why) override {
    heard += "not moved " + posix::Utf16ToUtf8(t) + " (" + posix::Utf16ToUtf8(why) + ")";
  }
  void TableAbsent(const std::u16string& t) override { heard += "absent " + posix::Utf16ToUtf8(t); }
  std::string heard;
};

TEST(TableMoverTest, ATableCommitsOnlyWhenItsRowsMatchItsBackups) {
  struct Case {
    std::map<std::string, int32_t> fail;
    int32_t backup_rows;
    std::string last_line, heard;
    int32_t raised;  // 0: none; -1: the move answered false
  };
  const Case cases[] = {
      {{}, 5, "commit", "moved T 5/5", 0},
      {{}, 6, "rollback", "not moved T (T: 5 / 6)", vb_error::kInternalError},
      {{{"Insert", kJetInputTableNotFound}}, 5, "rollback", "absent T", -1},
      {{{"Insert", 3000}}, 5, "rollback", "not moved T (refused)", 3000},
      {{{"delete", 3000}, {"rollback", 3001}}, 5, "rollback", "not moved T (refused)", 3000},
      {{{"begin", 3000}}, 5, "begin", "not moved T (refused)", 3000},
      {{{"commit", 3000}}, 5, "rollback", "not moved T (refused)", 3000},
  };
  for (const Case& c : cases) {
    ScriptedConnection conn;
    conn.fail = c.fail;
    conn.backup_rows = c.backup_rows;
    HeardEvents events;
    int32_t raised = 0;
    try {
      if (!TableMover(events).MoveCustomerTable(conn, u"T", u"C:\\B")) raised = -1;
    } catch (const RunTimeError& e) {
      raised = e.number();
    }
    EXPECT_EQ(conn.lines.back() + " | " + events.heard + " | " + std::to_string(raised),
              c.last_line + " | " + c.heard + " | " + std::to_string(c.raised));
  }
  ScriptedConnection conn;
  HeardEvents events;
  TableMover(events).MoveAddressBookTable(conn, u"T", u"C:\\B");
  EXPECT_EQ(conn.lines, (std::vector<std::string>{"begin", "delete from [T]",
                                                  "Insert into [T] Select * From [;database=C:\\B\\Addr.mdb;].T",
                                                  "select count(*) from [T]",
                                                  "select count(*) from [;database=C:\\B\\Addr.mdb;].[T]", "commit"}));
}

// Each pass: "+" moved, "-" absent, else the engine's reason it failed.
TEST(TableMoverTest, ATableMovedByEitherPassIsNeitherFailedNorAbsent) {
  struct Case {
    std::vector<std::pair<std::u16string, std::u16string>> passes;
    std::vector<std::u16string> failed, absent;
    std::u16string first_reason;
  };
  const Case cases[] = {
      {{{u"R", u"x"}, {u"A", u"y"}, {u"R", u"+"}}, {u"A"}, {}, u"y"},
      {{{u"R", u"+"}, {u"R", u"x"}, {u"P", u"-"}}, {}, {u"P"}, u""},
      {{{u"R", u"-"}, {u"R", u"x"}, {u"R", u"z"}}, {u"R"}, {}, u"x"},
      {{{u"R", u"-"}, {u"R", u"+"}, {u"S", u"-"}, {u"S", u"-"}}, {}, {u"S"}, u""},
  };
  for (const Case& c : cases) {
    MigrationOutcome outcome;
    for (const auto& [table, result] : c.passes) {
      TableMover::Count(outcome, table, [&] {
        if (result != u"+" && result != u"-") throw RunTimeError(3000, result);
        return result == u"+";
      });
    }
    TableMover::Settle(outcome);
    EXPECT_EQ(outcome.failed, c.failed);
    EXPECT_EQ(outcome.absent, c.absent);
    EXPECT_EQ(outcome.first_reason, c.first_reason);
    EXPECT_EQ(outcome.reasons.size(), c.failed.size());
  }
}

}  // namespace
}  // namespace brevak
