// The prompts' table: every template is built by a builder that fills
// exactly its placeholders, and Fill refuses a value too few or too many.
#include "core/prompts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <stdexcept>

#include "core/guard_texts.h"
#include "core/record_texts.h"
#include "core/upgrade_log.h"
#include "platform/posix/text/utf.h"

namespace brevak {
namespace {
using prompt::Id;

// The fixed parts of a template, between its placeholders.
std::vector<std::u16string> FixedParts(std::u16string_view text) {
  std::vector<std::u16string> parts;
  size_t from = 0;
  for (size_t open = text.find(u'{'); open != std::u16string_view::npos; open = text.find(u'{', from)) {
    parts.emplace_back(text.substr(from, open - from));
    from = text.find(u'}', open) + 1;
  }
  parts.emplace_back(text.substr(from));
  return parts;
}

// Log entries that between them word every fact and result the log has.
std::u16string LogOf(UpgradeLogEntry::Kind kind, int moved, bool not_moved, bool error) {
  UpgradeLogEntry e;
  e.kind = kind;
  e.installed_version = u"1.0";
  e.backups = {{u"C:\\B\\20121225051422", u"p", {}}};
  for (int i = 0; i < moved; ++i) e.moved.push_back({u"Car", 1, 1});
  if (not_moved) e.not_moved = {{u"Car", u"r", std::nullopt}, {u"Job", u"r", UpgradeLogEntry::TableNotMoved::Rows{1, 2}}};
  e.absent = {u"Old"};
  e.ended_by_error = error;
  e.record_left = error;
  e.result = u"r";
  return FormatUpgradeLogEntry(e);
}

// Lines that list tables or folders, one a line, in the samples below.
const std::u16string kTableList = u"Pic";
const std::u16string kFolderList = u"C:\\v";

// One builder for each template, from sample values.
const std::map<Id, std::function<std::u16string()>>& Builders() {
  static const std::vector<std::u16string> seven = {u"a", u"b", u"c", u"d", u"e", u"f", u"g"};
  static const std::vector<NamedFolder> folders = {{u"C:\\B\\20121224093000", u"2012年12月24日09时30分00秒"}};
  static const std::u16string backup = folders[0].path;
  static const std::u16string file = u"C:\\B\\upgrade-in-progress.brevak";
  using Kind = UpgradeLogEntry::Kind;
  static const std::map<Id, std::function<std::u16string()>> builders = {
      {Id::kAnotherCopyRunning, [] { return prompt::AnotherCopyRunning(); }},
      {Id::kInstallationNotFound, [] { return guard_text::InstallationNotFound(prompt::kUpdate, u""); }},
      {Id::kNotRegistered, [] { return guard_text::InstallationNotFound(prompt::kUpdate, u""); }},
      {Id::kRegisteredFolderWithoutProgram, [] { return guard_text::InstallationNotFound(prompt::kRestore, u"C:\\B\\"); }},
      {Id::kPackageNotExtracted, [] { return guard_text::PackageNotExtracted(u"C:\\pkg"); }},
      {Id::kPackageFolderNameUnusable, [] { return guard_text::PackageFolderNameUnusable(u"C:\\pkg"); }},
      {Id::kRestoreFolderNameUnusable, [] { return guard_text::RestoreFolderNameUnusable(u"x"); }},
      {Id::kCustomerDatabase, [] { return prompt::CustomerDatabase(); }},
      {Id::kAddressBook, [] { return prompt::AddressBook(); }},
      {Id::kInstalledDatabaseMissing, [] { return guard_text::InstalledDatabaseProblem(u"w", u"C:\\B\\Addr.mdb", u""); }},
      {Id::kInstalledDatabaseUnopened, [] { return guard_text::InstalledDatabaseProblem(u"w", u"C:\\B\\Addr.mdb", u"r"); }},
      {Id::kNotABackupQuestion, [] { return guard_text::NotABackupQuestion(u"x", {u"a"}); }},
      {Id::kNoFilesInFolder, [] { return guard_text::NotABackupQuestion(u"x", {}); }},
      {Id::kNameSeparator, [] { return guard_text::NotABackupQuestion(u"x", {u"a", u"b"}); }},
      {Id::kMoreFiles, [] { return guard_text::NotABackupQuestion(u"x", seven); }},
      {Id::kCustomerDatabaseNotOpened, [] { return guard_text::CustomerDatabaseNotOpened(); }},
      {Id::kRetryAfterFreeingSpace, [] { return guard_text::RetryAfterFreeingSpace(u"s"); }},
      {Id::kRetryAfterClosing, [] { return guard_text::RetryAfterClosing(u"C:\\B\\Addr.mdb"); }},
      {Id::kRetryWillNotHelp, [] { return guard_text::RetryWillNotHelp(u"r"); }},
      {Id::kDataLeftInVirtualStore, [] { return prompt::DataLeftInVirtualStore({kFolderList}); }},
      {Id::kUpdateSpaceShort, [] { return prompt::SpaceShort(prompt::kUpdate, u"s"); }},
      {Id::kRestoreSpaceShort, [] { return prompt::SpaceShort(prompt::kRestore, u"s"); }},
      {Id::kSpaceNeeded, [] { return prompt::SpaceNeeded(1, 0); }},
      {Id::kPackageProgramDamaged, [] { return prompt::PackageProgramDamaged(); }},
      {Id::kPackageDatabaseDamaged, [] { return prompt::PackageDatabaseDamaged(u"Addr.mdb", u"r"); }},
      {Id::kProgramInUse, [] { return prompt::FileInUse(u"C:\\B\\BREVAK.EXE"); }},
      {Id::kDataFileInUse, [] { return prompt::FileInUse(u"C:\\B\\Addr.mdb"); }},
      {Id::kBackupFolderExists, [] { return prompt::BackupFolderExists(u"C:\\B\\20121225051422"); }},
      {Id::kBusyReason, [] { return guard_text::BusyReason(prompt::kRestore); }},
      {Id::kFolderNamed, [] { return FolderListText(folders); }},
      {Id::kRecordUnreadable, [] { return RecordUnreadableReason(u"d"); }},
      {Id::kRecordIncomplete, [] { return RecordIncompleteReason(); }},
      {Id::kRecordFolderOutside, [] { return RecordFolderOutsideReason(u"v"); }},
      {Id::kRecordEntryNotListed, [] { return RecordEntryNotListedReason(u"e"); }},
      {Id::kRecordDatabasesChanged, [] { return RecordDatabasesChangedReason(u"C:\\B\\20121224093000"); }},
      {Id::kRecordGone, [] { return RecordGoneReason(); }},
      {Id::kUntrustedRecordQuestion, [] { return UntrustedRecordQuestion(u"r", folders, file); }},
      {Id::kNoBackupFolderFound, [] { return UntrustedRecordQuestion(u"r", {}, file); }},
      {Id::kBackupDataMayBeIn, [] { return UntrustedRecordQuestion(u"r", folders, file); }},
      {Id::kSetAsideNamedNoFolder, [] { return SetAsideRecordLine({}); }},
      {Id::kSetAsideFolders, [] { return SetAsideRecordLine(folders); }},
      {Id::kRestoreAfterSetAside, [] { return RestoreAfterSetAsideMessage(folders[0], folders); }},
      {Id::kNewerToolRecord, [] { return NewerToolRecordMessage({}, file); }},
      {Id::kBackupDataIn, [] { return NewerToolRecordMessage(folders, file); }},
      {Id::kRestoreNotEnded, [] { return RestoreNotEndedMessage(u"e", folders, {}, u"d", file); }},
      {Id::kEarlierDataIn, [] { return RestoreNotEndedMessage(u"e", folders, folders, u"d", file); }},
      {Id::kPutBackAgain, [] { return RestoreNotEndedMessage(u"e", folders, {}, u"d", file, true); }},
      {Id::kRestoreAgain, [] { return RestoreNotEndedMessage(u"e", folders, {}, u"d", file, false); }},
      {Id::kGiveUpNotMade, [] { return GiveUpNotMadeMessage(folders, u"d", file); }},
      {Id::kSavedButRecordLost, [] { return SavedButRecordLostMessage(u"r", folders, folders, file); }},
      {Id::kRetryWillNotHelpMessage, [] { return RetryWillNotHelpMessage({kTableList}, u"r", folders, {}); }},
      {Id::kSavedBeforeFinishingIn, [] { return RetryWillNotHelpMessage({kTableList}, u"r", folders, folders); }},
      {Id::kFinishWithoutSaving, [] { return FinishWithoutSavingLine(); }},
      {Id::kTryAgain, [] { return TryAgainLine(kUpdateButton); }},
      {Id::kProgressFileNotWritten, [] { return ProgressFileNotWrittenMessage(kUpdateNotMade, u"d", u"n", file); }},
      {Id::kUnfinishedCopyNotEnded, [] { return UnfinishedCopyNotEndedMessage(u"d", file); }},
      {Id::kCallSupport, [] { return UnfinishedCopyNotEndedMessage(u"d", file); }},
      {Id::kBackupFolderNotMade, [] { return BackupFolderNotMadeMessage(kUpdateNotMade, folders[0], u"d", kUpdateButton); }},
      {Id::kUnfinishedCopyKept, [] { return UnfinishedCopyKeptMessage(folders[0], u"d", false); }},
      {Id::kForeignFiles, [] { return UnfinishedCopyKeptMessage(folders[0], u"", true); }},
      {Id::kCopyNotRemoved, [] { return UnfinishedCopyKeptMessage(folders[0], u"d", false); }},
      {Id::kMoveYourFilesFirst, [] { return UnfinishedCopyKeptMessage(folders[0], u"", true); }},
      {Id::kMayDeleteFolder, [] { return UnfinishedCopyKeptMessage(folders[0], u"d", false); }},
      {Id::kRecordNotSetAside, [] { return RecordNotSetAsideMessage(u"d"); }},
      {Id::kFinishQuestion, [] { return FinishQuestion(folders, WorkSince::kUnknown, folders); }},
      {Id::kWorkSinceUnknown, [] { return FinishQuestion(folders, WorkSince::kUnknown, {}); }},
      {Id::kWorkSinceChanged, [] { return FinishQuestion(folders, WorkSince::kChanged, {}); }},
      {Id::kWorkSinceUnchanged, [] { return FinishQuestion(folders, WorkSince::kUnchanged, {}); }},
      {Id::kSaveBeforeFinishing, [] { return FinishQuestion(folders, WorkSince::kChanged, {}); }},
      {Id::kGiveUpQuestion, [] { return GiveUpQuestion(folders, folders); }},
      {Id::kSavedEarlierIn, [] { return GiveUpQuestion(folders, folders); }},
      {Id::kGivenUpDataIn, [] { return GivenUpDataLine(backup); }},
      {Id::kProgressNotNoted, [] { return ProgressNotNotedMessage(u"d", UpdateStopsAfterBackup(), FolderListText(folders)); }},
      {Id::kUpdateStopsAfterSaving, [] { return UpdateStopsAfterSaving(); }},
      {Id::kUpdateStopsAfterBackup, [] { return UpdateStopsAfterBackup(); }},
      {Id::kRecordNotRemoved, [] { return RecordNotRemovedMessage(file, u"d"); }},
      {Id::kRestoreSourceGone, [] { return guard_text::RestoreSourceMissing(u"x", true); }},
      {Id::kRestoreSourceEmpty, [] { return guard_text::RestoreSourceMissing(u"x", false); }},
      {Id::kUpdateStillUnfinished, [] { return prompt::UnfinishedUpdateLine(u"C:\\B\\1", true); }},
      {Id::kUpdateGivenUpByRestore, [] { return prompt::UnfinishedUpdateLine(u"C:\\B\\1", false); }},
      {Id::kRestoreDone, [] { return prompt::RestoreDone(u"C:\\B\\1", u"u"); }},
      {Id::kInterruptedRestoreDone, [] { return prompt::InterruptedRestoreDone(u"C:\\B\\1", u"C:\\B\\2", u""); }},
      {Id::kRestoreStops, [] { return prompt::RestoreStops(); }},
      {Id::kRestoreCopyFailed, [] { return prompt::RestoreCopyFailed(u"C:\\B\\1", u"f", u"C:\\B\\2", u""); }},
      {Id::kInterruptedRestoreQuestion, [] { return prompt::InterruptedRestoreQuestion(u"C:\\B\\1", u"\\2"); }},
      {Id::kRestoreBackupPurpose, [] { return prompt::RestoreBackupPurpose(); }},
      {Id::kRestoreBackupFailed, [] { return prompt::RestoreBackupFailed(u"f"); }},
      {Id::kCopyRequestNotMade, [] { return prompt::CopyRequestNotMade(u"d"); }},
      {Id::kCopyCancelled, [] { return prompt::CopyCancelled(); }},
      {Id::kCopyFailedWithCode, [] { return prompt::CopyFailedWithCode(u"5"); }},
      {Id::kCopyAborted, [] { return prompt::CopyAborted(); }},
      {Id::kUpdateBackupPurpose, [] { return prompt::UpdateBackupPurpose(); }},
      {Id::kFinishBackupPurpose, [] { return prompt::FinishBackupPurpose(); }},
      {Id::kSavedBeforeFinishPurpose, [] { return prompt::SavedBeforeFinishPurpose(); }},
      {Id::kPackageCopyFailed, [] { return prompt::PackageCopyFailed(u"C:\\B\\1", u"", u""); }},
      {Id::kSavedBeforeFinishLine, [] { return prompt::PackageCopyFailed(u"C:\\B\\1", u"C:\\B\\2", u""); }},
      {Id::kTablesNotMoved, [] { return prompt::TablesNotMoved({u"Car", u"Job"}); }},
      {Id::kBackupStillHolds, [] { return prompt::BackupStillHolds(u"C:\\B\\1"); }},
      {Id::kSavedBeforeFinishAfterMigration, [] { return prompt::SavedBeforeFinishAfterMigration(u"C:\\B\\2"); }},
      {Id::kLogRestoreDone, [] { return prompt::LogRestoreResult(true, u""); }},
      {Id::kLogRestoreNotDone, [] { return prompt::LogRestoreResult(false, u"f"); }},
      {Id::kLogEndedByError, [] { return prompt::LogEndedByError(); }},
      {Id::kLogKindUpdate, [] { return LogOf(Kind::kUpdate, 1, false, false); }},
      {Id::kLogKindFinish, [] { return LogOf(Kind::kFinish, 1, false, false); }},
      {Id::kLogKindRestore, [] { return LogOf(Kind::kRestore, 0, false, false); }},
      {Id::kLogUpdateDone, [] { return LogOf(Kind::kUpdate, 1, false, false); }},
      {Id::kLogUpdateNotDone, [] { return LogOf(Kind::kUpdate, 1, true, true); }},
      {Id::kLogTablesNotMoved, [] { return LogOf(Kind::kUpdate, 1, true, true); }},
      {Id::kLogNothingMoved, [] { return LogOf(Kind::kUpdate, 0, false, false); }},
      {Id::kLogAllTablesMoved, [] { return LogOf(Kind::kUpdate, 1, false, true); }},
      {Id::kLogThenRunTimeError, [] { return LogOf(Kind::kUpdate, 1, true, true); }},
      {Id::kLogProgressFileLeft, [] { return LogOf(Kind::kUpdate, 1, true, true); }},
      {Id::kLogRowsDiffered, [] { return LogOf(Kind::kUpdate, 1, true, true); }},
      {Id::kLogUnreadable, [] { return LogOf(Kind::kUpdate, 1, false, false); }},
      {Id::kLogNoFiles, [] { return LogOf(Kind::kUpdate, 1, false, false); }},
      {Id::kLogMoved, [] { return LogOf(Kind::kUpdate, 1, false, false); }},
      {Id::kLogNotMoved, [] { return LogOf(Kind::kUpdate, 1, true, true); }},
      {Id::kLogAbsent, [] { return LogOf(Kind::kUpdate, 1, false, false); }},
      {Id::kLogInstalledVersion, [] { return LogOf(Kind::kUpdate, 1, false, false); }},
      {Id::kLogRestoredVersion, [] { return LogOf(Kind::kRestore, 0, false, false); }},
      {Id::kLogPackageVersion, [] { return LogOf(Kind::kUpdate, 1, false, false); }},
      {Id::kLogRestoredFolder, [] { return LogOf(Kind::kRestore, 0, false, false); }},
      {Id::kLogBackupFolder, [] { return LogOf(Kind::kUpdate, 1, false, false); }},
      {Id::kLogResult, [] { return LogOf(Kind::kRestore, 0, false, false); }},
      {Id::kLogLastMessage, [] { return LogOf(Kind::kUpdate, 1, false, false); }},
      {Id::kLogNoMessage, [] { return LogOf(Kind::kUpdate, 1, false, false); }},
      {Id::kRestoreBackupFolderExists, [] { return prompt::RestoreBackupFolderExists(u"C:\\B\\1", u""); }},
      {Id::kRestoreOrUpdateButtons, [] { return prompt::RestoreButtons(u"恢复12年12月25日05时14分22秒数据"); }},
      {Id::kUpdateButtonOnly, [] { return prompt::RestoreButtons(u""); }},
      {Id::kCopyFailedNoReason, [] { return prompt::CopyFailedWithCode(u"0"); }},
      {Id::kUpdateBackupFailed, [] { return prompt::BackupFailed(false, u"f"); }},
      {Id::kFinishSaveFailed, [] { return prompt::BackupFailed(true, u"f"); }},
  };
  return builders;
}

TEST(PromptsTest, EveryTemplateIsBuiltByABuilderThatFillsExactlyItsPlaceholders) {
  const std::map<Id, std::function<std::u16string()>>& builders = Builders();
  const std::vector<prompt::Template>& templates = prompt::Templates();
  for (size_t i = 0; i < templates.size(); ++i) {
    const prompt::Template& t = templates[i];
    ASSERT_EQ(static_cast<size_t>(t.id), i) << "out of the order of Id";
    const auto builder = builders.find(t.id);
    ASSERT_NE(builder, builders.end()) << "template " << i << " has no builder here";
    std::u16string built;
    ASSERT_NO_THROW(built = builder->second()) << "template " << i;
    for (const std::u16string& part : FixedParts(t.text)) {
      EXPECT_NE(built.find(part), std::u16string::npos) << "template " << i << " is not what its builder built";
    }
  }
  EXPECT_EQ(templates.size(), builders.size());
}

bool IsChinese(char16_t c) { return (c >= 0x3000 && c <= 0x9fff) || (c >= 0xff00 && c <= 0xffef); }

// Each fault the house rules make checkable in a built text, or "" when
// there is none.
std::string HouseRuleBroken(const std::u16string& text) {
  const std::u16string first = text.substr(0, text.find(u"\r\n"));
  std::u16string lower_first;
  for (char16_t c : first) lower_first += (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
  for (const char16_t* name : {u"upgrade-in-progress.brevak", u".mdb", u".car"}) {
    if (lower_first.find(name) != std::u16string::npos) return "an internal file name on the first line";
  }
  for (const char16_t* word : {u"新的文件夹", u"日期文件夹", u"原有数据", u"原来的数据", u"现有数据", u"进度记录",
                               u"这个记录", u"技术人员", u"选择“"}) {
    if (text.find(word) != std::u16string::npos) return "a word the shop owner is never told";
  }
  // 升级记录 is the original's list of backups, named by its button only.
  for (size_t at = text.find(u"升级记录"); at != std::u16string::npos; at = text.find(u"升级记录", at + 1)) {
    if (at < 3 || text.compare(at - 3, 8, u"“显示升级记录”") != 0) return "升级记录 outside the original's button";
  }
  if (text.find(u"\\\\") != std::u16string::npos) return "a doubled backslash";
  int lines = 0;
  for (size_t from = 0; from <= text.size(); ++lines) {
    const size_t end = std::min(text.find(u"\r\n", from), text.size());
    const std::u16string line = text.substr(from, end - from);
    if (line == kTableList || line == kFolderList) --lines;
    from = end + 2;
  }
  if (lines > 6) return "more than six lines";
  for (size_t i = 0; i < text.size(); ++i) {
    if (std::u16string_view(u",;:?()").find(text[i]) == std::u16string_view::npos) continue;
    if ((i > 0 && IsChinese(text[i - 1])) || (i + 1 < text.size() && IsChinese(text[i + 1]))) {
      return "ASCII punctuation in Chinese text";
    }
  }
  return "";
}

TEST(PromptsTest, EveryBuiltPromptKeepsTheHouseRules) {
  // Texts that are a line inside a longer message, never its first line.
  const std::set<Id> excused = {Id::kRetryAfterClosing};
  // The upgrade log's words (kLogRestoreDone to kLogNoMessage, kept
  // together in the table) are read by support, not shown in a box.
  const auto log_word = [](Id id) { return id >= Id::kLogRestoreDone && id <= Id::kLogNoMessage; };
  for (const auto& [id, build] : Builders()) {
    if (log_word(id)) continue;
    const std::u16string text = build();
    const std::string broken = HouseRuleBroken(text);
    EXPECT_EQ(broken.empty(), !excused.count(id))
        << "template " << static_cast<int>(id) << ": " << (broken.empty() ? "keeps the rules, drop its excuse" : broken)
        << "\n" << std::string(text.begin(), text.end());
  }
}

TEST(PromptsTest, FillRefusesAMissingOrUnknownPlaceholderAndPutsValuesInAsTheyAre) {
  const struct {
    const char* name;
    prompt::Values values;
    bool refused;
  } cases[] = {
      {"as named", {{u"name", u"Addr.mdb"}, {u"reason", u"{reason}"}}, false},
      {"one missing", {{u"name", u"Addr.mdb"}}, true},
      {"one unknown", {{u"name", u"Addr.mdb"}, {u"reason", u"r"}, {u"folder", u"f"}}, true},
      {"none", {}, true},
  };
  for (const auto& c : cases) {
    if (c.refused) {
      EXPECT_THROW(prompt::Fill(Id::kPackageDatabaseDamaged, c.values), std::logic_error) << c.name;
    } else {
      EXPECT_TRUE(prompt::Fill(Id::kPackageDatabaseDamaged, c.values).ends_with(u"：Addr.mdb（{reason}）")) << c.name;
    }
  }
}

// Only the text shown collapses a doubled backslash and a "/" (a network
// path keeps its leading two).
TEST(PromptsTest, APathIsShownWithOneBackslashBetweenItsParts) {
  const struct {
    std::u16string path, shown;
  } cases[] = {
      {u"C:\\Program Files\\Brevak\\\\20261209183248", u"C:\\Program Files\\Brevak\\20261209183248"},
      {u"C:/Program Files/Brevak\\\\2026", u"C:\\Program Files\\Brevak\\2026"},
      {u"\\\\server\\share\\\\Brevak", u"\\\\server\\share\\Brevak"},
      {u"C:\\Brevak", u"C:\\Brevak"},
  };
  for (const auto& c : cases) EXPECT_EQ(prompt::ShownPath(c.path), c.shown);
  EXPECT_NE(prompt::RestoreCopyFailed(u"C:\\Brevak\\\\2026", u"f", u"s", u"").find(u"：C:\\Brevak\\2026"),
            std::u16string::npos);
}

// The guide a support person reads on the phone quotes every text the tool
// adds, and the original's own, in the tool's exact words: each fixed part
// of each template, line by line, is found in it.
TEST(PromptsTest, EveryFixedPartOfEveryTemplateIsQuotedInTheGuide) {
  std::ifstream file(std::string(BREVAK_SOURCE_DIR) + "/docs/使用说明.md", std::ios::binary);
  ASSERT_TRUE(file) << "the guide is missing";
  const std::string guide((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  // Texts the guide does not quote whole yet; each leaves this list when
  // the guide does.
  const std::set<Id> excused = {};
  const std::vector<std::u16string> originals = {
      u"升级完成", u"没有找到升级记录", u"请点击左侧列表选择需要恢复的数据",
      u"需要先建立数据备份文件夹并备份数据才可继续，请再试一次", u"升级版本并不比当前版本更新，是否继续？",
      u"Operation Failed", u"显示升级记录", u"恢复原来记录", u"开始更新"};
  std::vector<std::pair<std::string, std::u16string>> quoted;
  for (const std::u16string& text : originals) quoted.emplace_back("original", text);
  for (const prompt::Template& t : prompt::Templates()) {
    if (excused.contains(t.id)) continue;
    for (const std::u16string& part : FixedParts(t.text)) {
      for (size_t from = 0; from <= part.size();) {
        const size_t end = std::min(part.find(u"\r\n", from), part.size());
        quoted.emplace_back("template " + std::to_string(static_cast<int>(t.id)), part.substr(from, end - from));
        from = end + 2;
      }
    }
  }
  for (const auto& [where, text] : quoted) {
    if (text.empty()) continue;
    EXPECT_NE(guide.find(posix::Utf16ToUtf8(text)), std::string::npos)
        << where << " is not quoted in the guide: " << posix::Utf16ToUtf8(text);
  }
}

}  // namespace
}  // namespace brevak
