// The journal's codec (each state through its text and back) and its one
// writer (each transition from the states it allows, refused from the
// others, and a failed write leaving the state the file holds).
#include "core/journal.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "platform/runtime_error.h"
#include "support/fake_platform.h"

namespace brevak {
namespace {

const std::u16string kPath = u"C:\\Brevak\\upgrade-in-progress.brevak";
const JournalDigests kDigests = {{u"Addr.mdb", u""}, {u"Customerdata.car", u"sha256:" + std::u16string(64, u'b')}};
const UpdateInProgress kUpdate{u"20121224093000", kDigests, {u"20121226000000"}, {{u"note", u"x=y"}}};
const UpdateEnded kEnded{kUpdate, kDigests};
const RestoreCopying kRestore{u"20121225051422", kDigests, u"旧的 数据", std::nullopt, {}};
const RestoreCopying kRestoreCarrying{u"20121225051422", kDigests, u"20121224093000", kEnded, {}};
const UpdateEnded kEndedRefused{kUpdate, kDigests, {{{u"SmsSave", u"a  b"}}, true}};
const RestoreCopying kRestoreChained{u"20121225051423", kDigests, u"20121225051422", kEnded, {},
                                     u"20121225051422", u"旧的 数据"};
const UpdateBackingUp kBackingUp{u"20121225051422"};
const RestoreSafetyCopy kSafetyCopy{u"20121226000000", u"20121224093000", kEnded, std::nullopt};
const RestoreSafetyCopy kSafetyCopyAfterRestore{u"20121226000000", u"20121224093000", kEnded, kRestoreCarrying};

TEST(JournalCodecTest, EveryWrittenStateReadsBackAsItself) {
  for (const JournalState& state :
       std::vector<JournalState>{kUpdate, kEnded, kEndedRefused, kRestore, kRestoreCarrying, kRestoreChained,
                                 kBackingUp, kSafetyCopy, kSafetyCopyAfterRestore,
                                 RestoreSafetyCopy{u"20121226000000", u"20121224093000", kEnded, kRestoreChained},
                                 UpdateSaving{u"20121226000000", kEndedRefused}}) {
    const std::u16string text = FormatJournal(state);
    EXPECT_TRUE(text.starts_with(u"version=1\r\n"));
    EXPECT_EQ(ParseJournal(text), state) << std::string(text.begin(), text.end());
  }
  EXPECT_EQ(ParseJournal(std::nullopt), JournalState(JournalNone{}));
  EXPECT_EQ(ParseJournal(u"kind=update\r\nbackup=x\\20121224093000\r\n"),
            JournalState(JournalDamaged{false, {u"20121224093000"}}));
  EXPECT_EQ(ParseJournal(u"version=2\r\nbackup=20121224093000\r\nsaved=20121226000000\r\n"),
            JournalState(JournalDamaged{true, {u"20121224093000", u"20121226000000"}}));
  EXPECT_THROW(FormatJournal(JournalNone{}), std::logic_error);
  // A chain's first restore is named whole, by a restore only.
  std::u16string text = FormatJournal(kRestoreChained);
  for (const char16_t* cut : {u"chain.restored=旧的 数据\r\n", u"chain.backup=20121225051422\r\n"}) {
    std::u16string half = text;
    half.erase(half.find(cut), std::u16string(cut).size());
    EXPECT_TRUE(std::holds_alternative<JournalDamaged>(ParseJournal(half)));
  }
  text = FormatJournal(kUpdate) + u"chain.backup=20121225051422\r\nchain.restored=x\r\n";
  EXPECT_TRUE(std::holds_alternative<JournalDamaged>(ParseJournal(text)));
}

struct TransitionCase {
  const char* name;
  std::optional<JournalState> from;  // nothing: no file
  std::function<void(Journal&)> make;
  std::optional<JournalState> to;  // nothing: refused, the file untouched
};

TEST(JournalWriterTest, EachTransitionStartsOnlyFromItsStates) {
  const std::vector<TransitionCase> cases = {
      {"begin update", kBackingUp, [](Journal& j) { j.BeginUpdate(kUpdate); }, kUpdate},
      {"begin update with no backup", std::nullopt, [](Journal& j) { j.BeginUpdate(kUpdate); }, std::nullopt},
      {"begin update over one", kUpdate, [](Journal& j) { j.BeginUpdate(kUpdate); }, std::nullopt},
      {"backup begins", std::nullopt, [](Journal& j) { j.BeginUpdateBackup(u"20121225051422"); }, kBackingUp},
      {"backup begins over an update", kUpdate, [](Journal& j) { j.BeginUpdateBackup(u"20121225051422"); },
       std::nullopt},
      {"backup dropped", kBackingUp, [](Journal& j) { j.DropUnfinishedCopy(); }, JournalNone{}},
      {"nothing to drop", kUpdate, [](Journal& j) { j.DropUnfinishedCopy(); }, std::nullopt},
      {"safety copy over an update", kEnded, [](Journal& j) { j.BeginSafetyCopy(kSafetyCopy); }, kSafetyCopy},
      {"safety copy after a restore", kRestoreCarrying,
       [](Journal& j) { j.BeginSafetyCopy(kSafetyCopyAfterRestore); }, kSafetyCopyAfterRestore},
      {"safety copy losing the restore", kRestoreCarrying, [](Journal& j) { j.BeginSafetyCopy(kSafetyCopy); },
       std::nullopt},
      {"safety copy dropped, the update back", kSafetyCopy, [](Journal& j) { j.DropUnfinishedCopy(); }, kEnded},
      {"safety copy dropped, the restore back", kSafetyCopyAfterRestore, [](Journal& j) { j.DropUnfinishedCopy(); },
       kRestoreCarrying},
      {"save noted", kEnded, [](Journal& j) { j.NoteSaved(kEnded, u"20121227000000"); }, [] {
         UpdateEnded ended = kEnded;
         ended.update.saved.push_back(u"20121227000000");
         return JournalState(ended);
       }()},
      {"save noted in a restore", kRestore, [](Journal& j) { j.NoteSaved(kUpdate, u"20121227000000"); }, std::nullopt},
      {"tables left", kUpdate, [](Journal& j) { j.EndWithTablesLeft(kUpdate, kDigests); }, kEnded},
      {"tables left, reasons on one line", kUpdate,
       [](Journal& j) { j.EndWithTablesLeft(kUpdate, kDigests, {{{u"SmsSave", u"a\r\nb"}}, true}); }, kEndedRefused},
      {"tables left, no update", std::nullopt, [](Journal& j) { j.EndWithTablesLeft(kUpdate, kDigests); },
       std::nullopt},
      {"restore after its safety copy", kSafetyCopy, [](Journal& j) { j.BeginRestore(kRestoreCarrying); },
       kRestoreCarrying},
      {"restore without a safety copy", kEnded, [](Journal& j) { j.BeginRestore(kRestoreCarrying); }, std::nullopt},
      {"back to the update", kRestoreCarrying, [](Journal& j) { j.ReturnToUpdate(kEnded); }, kEnded},
      {"back to no update", kRestore, [](Journal& j) { j.ReturnToUpdate(kEnded); }, std::nullopt},
      {"update ends", kUpdate, [](Journal& j) { j.End(); }, JournalNone{}},
      {"restore ends", kRestore, [](Journal& j) { j.End(); }, JournalNone{}},
      {"nothing to end", std::nullopt, [](Journal& j) { j.End(); }, std::nullopt},
      {"set aside", kRestore, [](Journal& j) { j.SetAside(kPath + u".damaged"); }, JournalNone{}},
      {"nothing to set aside", std::nullopt, [](Journal& j) { j.SetAside(kPath + u".damaged"); }, std::nullopt},
  };
  for (const TransitionCase& c : cases) {
    testing::FakeDurableFiles files;
    if (c.from) files.texts[kPath] = FormatJournal(*c.from);
    const auto before = files.texts;
    Journal journal(files);
    journal.Read(kPath);
    if (!c.to) {
      EXPECT_THROW(c.make(journal), std::logic_error) << c.name;
      EXPECT_EQ(files.texts, before) << c.name;
      continue;
    }
    c.make(journal);
    EXPECT_EQ(journal.state(), c.to) << c.name;
    EXPECT_EQ(ParseJournal(files.texts.count(kPath) ? std::optional(files.texts.at(kPath)) : std::nullopt), *c.to)
        << c.name;
  }
}

// A write, removal or rename that fails leaves the state the file holds;
// an unread journal allows nothing but setting a file aside.
TEST(JournalWriterTest, AFailedChangeLeavesTheStateTheFileHolds) {
  testing::FakeDurableFiles files;
  files.texts[kPath] = FormatJournal(kUpdate);
  Journal journal(files);
  EXPECT_THROW(journal.End(), std::logic_error);
  journal.Read(kPath);
  files.fail_remove = true;
  EXPECT_THROW(journal.End(), RunTimeError);
  files.fail_write = true;
  EXPECT_THROW(journal.EndWithTablesLeft(kUpdate, kDigests), RunTimeError);
  EXPECT_THROW(journal.SetAside(kPath + u".damaged"), RunTimeError);
  EXPECT_EQ(journal.state(), JournalState(kUpdate));
  EXPECT_EQ(files.texts.at(kPath), FormatJournal(kUpdate));
  files.fail_read = true;
  EXPECT_THROW(journal.Read(kPath), RunTimeError);
  EXPECT_THROW(journal.BeginUpdate(kUpdate), std::logic_error);
  files.fail_write = false;
  journal.SetAside(kPath + u".damaged");
  EXPECT_EQ(journal.state(), JournalState(JournalNone{}));
}

}  // namespace
}  // namespace brevak
