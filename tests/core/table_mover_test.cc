// One table's move as the engine sees it and as the observer hears it, and
// the outcome the passes over the table list add up to.
#include "core/table_mover.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/posix/text/utf.h"
#include "support/fake_platform.h"

namespace brevak {
namespace {
using posix::Utf16ToUtf8;

struct HeardEvents : MigrationEvents {
  void TableMoved(const std::u16string& t, const RowCounts& r) override {
    heard += "moved " + Utf16ToUtf8(t) + " " + std::to_string(r.installed) + "/" + std::to_string(r.backup);
  }
  void TableNotMoved(const std::u16string& t, const std::u16string& why) override {
    heard += "not moved " + Utf16ToUtf8(t + u" (" + why + u")");
  }
  void TableAbsent(const std::u16string& t) override { heard += "absent " + Utf16ToUtf8(t); }
  std::string heard;
};

TEST(TableMoverTest, ATableCommitsOnlyWhenItsRowsMatchItsBackups) {
  struct Case {
    std::vector<std::u16string> failing;  // the calls that raise `number`
    int32_t number, backup_rows;          // the installed table counts 5
    std::string expected;                 // the last call | what was heard | the error raised (-1: answered false)
  };
  const Case cases[] = {
      {{}, 0, 5, "commit | moved T 5/5 | 0"},
      {{}, 0, 6, "rollback | not moved T (T: 5 / 6) | 51"},
      {{u"exec Insert"}, kJetInputTableNotFound, 5, "rollback | absent T | -1"},
      {{u"exec Insert"}, 3000, 5, "rollback | not moved T (injected failure) | 3000"},
      {{u"exec delete", u"rollback"}, 3000, 5, "rollback | not moved T (injected failure) | 3000"},
      {{u"begin"}, 3000, 5, "begin | not moved T (injected failure) | 3000"},
      {{u"commit"}, 3000, 5, "rollback | not moved T (injected failure) | 3000"},
  };
  for (const Case& c : cases) {
    testing::FakeDatabase engine;
    engine.log.fail = [&](const std::u16string& line) {
      return std::ranges::any_of(c.failing, [&](const std::u16string& s) { return line.starts_with(s); });
    };
    engine.log.fail_number = c.number;
    engine.log.count = [&](const std::u16string& s) { return s == u"select count(*) from [T]" ? 5 : c.backup_rows; };
    const std::unique_ptr<Connection> conn = engine.CreateConnection(u"Adodb.Connection");
    conn->Open(u"");
    HeardEvents events;
    int32_t raised = 0;
    try {
      if (!TableMover(events).MoveCustomerTable(*conn, u"T", u"C:\\B")) raised = -1;
    } catch (const RunTimeError& e) {
      raised = e.number();
    }
    EXPECT_EQ(Utf16ToUtf8(engine.log.lines.back()) + " | " + events.heard + " | " + std::to_string(raised), c.expected);
  }
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
    EXPECT_EQ(std::tie(outcome.failed, outcome.absent, outcome.first_reason),
              std::tie(c.failed, c.absent, c.first_reason));
    EXPECT_EQ(outcome.reasons.size(), c.failed.size());
  }
}

}  // namespace
}  // namespace brevak
