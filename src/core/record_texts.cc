#include "core/record_texts.h"

#include "core/prompts.h"
#include "core/vb_text.h"

namespace brevak {
namespace {
using prompt::Fill;
using prompt::Id;
}  // namespace

std::u16string NameList(const std::vector<std::u16string>& names) {
  std::u16string text;
  for (const std::u16string& name : names) text += (text.empty() ? u"" : Fill(Id::kNameSeparator)) + name;
  return text;
}

std::u16string FolderListText(const std::vector<NamedFolder>& folders) {
  std::vector<std::u16string> named;
  for (const NamedFolder& folder : folders) {
    named.push_back(Fill(Id::kFolderNamed, {{u"folder", folder.path}, {u"date", folder.date_in_words}}));
  }
  return NameList(named);
}

std::u16string RecordUnreadableReason(const std::u16string& description) {
  return Fill(Id::kRecordUnreadable, {{u"description", description}});
}

std::u16string RecordIncompleteReason() { return Fill(Id::kRecordIncomplete); }

std::u16string RecordFolderOutsideReason(const std::u16string& value) {
  return Fill(Id::kRecordFolderOutside, {{u"value", value}});
}

std::u16string RecordEntryNotListedReason(const std::u16string& entry) {
  return Fill(Id::kRecordEntryNotListed, {{u"entry", entry}});
}

std::u16string RecordDatabasesChangedReason(const std::u16string& folder) {
  return Fill(Id::kRecordDatabasesChanged, {{u"folder", folder}});
}

std::u16string RecordGoneReason() { return Fill(Id::kRecordGone); }

std::u16string UntrustedRecordQuestion(const std::u16string& reason, const std::vector<NamedFolder>& folders,
                                       const std::u16string& record_path) {
  const std::u16string where = folders.empty() ? Fill(Id::kNoBackupFolderFound)
                                               : Fill(Id::kBackupDataMayBeIn, {{u"folders", FolderListText(folders)}});
  return Fill(Id::kUntrustedRecordQuestion, {{u"reason", reason}, {u"where", where}, {u"file", record_path}});
}

std::u16string SetAsideRecordLine(const std::vector<NamedFolder>& folders) {
  if (folders.empty()) return Fill(Id::kSetAsideNamedNoFolder);
  return Fill(Id::kSetAsideFolders, {{u"folders", FolderListText(folders)}});
}

std::u16string RestoreAfterSetAsideMessage(const NamedFolder& saved, const std::vector<NamedFolder>& folders) {
  return Fill(Id::kRestoreAfterSetAside, {{u"saved", FolderListText({saved})}, {u"set_aside", SetAsideRecordLine(folders)}});
}

std::u16string NewerToolRecordMessage(const std::vector<NamedFolder>& folders, const std::u16string& record_path) {
  const std::u16string where = folders.empty() ? u"" : Fill(Id::kBackupDataIn, {{u"folders", FolderListText(folders)}});
  return Fill(Id::kNewerToolRecord, {{u"where", where}, {u"file", record_path}});
}

std::u16string RestoreNotEndedMessage(const std::u16string& entry, const std::vector<NamedFolder>& safety,
                                      const std::vector<NamedFolder>& earlier, const std::u16string& description,
                                      const std::u16string& record_path, bool put_back,
                                      const std::u16string& button) {
  const std::u16string answer = Fill(put_back ? Id::kPutBackAgain : Id::kRestoreAgain, {{u"entry", entry}});
  const std::u16string before =
      earlier.empty() ? u"" : Fill(Id::kEarlierDataIn, {{u"folders", FolderListText(earlier)}});
  return Fill(Id::kRestoreNotEnded, {{u"entry", entry},
                                     {u"description", description},
                                     {u"safety", FolderListText(safety)},
                                     {u"earlier", before},
                                     {u"answer", answer},
                                     {u"buttons", prompt::RestoreButtons(button)},
                                     {u"file", record_path}});
}

std::u16string GiveUpNotMadeMessage(const std::vector<NamedFolder>& backup, const std::u16string& description,
                                    const std::u16string& record_path) {
  return Fill(Id::kGiveUpNotMade,
              {{u"description", description}, {u"backup", FolderListText(backup)}, {u"file", record_path}});
}

std::u16string SavedButRecordLostMessage(const std::u16string& reason, const std::vector<NamedFolder>& saved,
                                         const std::vector<NamedFolder>& backup, const std::u16string& record_path) {
  return Fill(Id::kSavedButRecordLost, {{u"reason", reason},
                                        {u"saved", FolderListText(saved)},
                                        {u"backup", FolderListText(backup)},
                                        {u"file", record_path}});
}

std::u16string RetryWillNotHelpMessage(const std::vector<std::u16string>& tables, const std::u16string& reason,
                                       const std::vector<NamedFolder>& backup,
                                       const std::vector<NamedFolder>& saved) {
  const std::u16string saved_in =
      saved.empty() ? u"" : Fill(Id::kSavedBeforeFinishingIn, {{u"folders", FolderListText(saved)}});
  return Fill(Id::kRetryWillNotHelpMessage, {{u"tables", NameList(tables)},
                                             {u"backup", FolderListText(backup)},
                                             {u"saved", saved_in},
                                             {u"reason", reason}});
}

std::u16string FinishWithoutSavingLine() { return Fill(Id::kFinishWithoutSaving); }

std::u16string TryAgainLine(const std::u16string& button) { return Fill(Id::kTryAgain, {{u"button", button}}); }

std::u16string ProgressFileNotWrittenMessage(const std::u16string& what, const std::u16string& description,
                                             const std::u16string& next_step, const std::u16string& record_path) {
  return Fill(Id::kProgressFileNotWritten,
              {{u"what", what}, {u"description", description}, {u"next_step", next_step}, {u"file", record_path}});
}

std::u16string UnfinishedCopyNotEndedMessage(const std::u16string& description, const std::u16string& record_path) {
  return ProgressFileNotWrittenMessage(Fill(Id::kUnfinishedCopyNotEnded), description, Fill(Id::kCallSupport),
                                       record_path);
}

std::u16string BackupFolderNotMadeMessage(const std::u16string& what, const NamedFolder& folder,
                                          const std::u16string& description, const std::u16string& button) {
  return Fill(Id::kBackupFolderNotMade, {{u"what", what},
                                         {u"folder", FolderListText({folder})},
                                         {u"description", description},
                                         {u"next_step", TryAgainLine(button)}});
}

std::u16string UnfinishedCopyKeptMessage(const NamedFolder& folder, const std::u16string& description,
                                         bool foreign_files) {
  const std::u16string why =
      foreign_files ? Fill(Id::kForeignFiles) : Fill(Id::kCopyNotRemoved, {{u"description", description}});
  return Fill(Id::kUnfinishedCopyKept,
              {{u"folder", FolderListText({folder})},
               {u"why", why},
               {u"next_step", Fill(foreign_files ? Id::kMoveYourFilesFirst : Id::kMayDeleteFolder)}});
}

std::u16string RecordNotSetAsideMessage(const std::u16string& description) {
  return Fill(Id::kRecordNotSetAside, {{u"description", description}});
}

std::u16string FinishQuestion(const std::vector<NamedFolder>& backup, WorkSince since,
                              const std::vector<NamedFolder>& saved) {
  const Id since_id = since == WorkSince::kUnknown   ? Id::kWorkSinceUnknown
                      : since == WorkSince::kChanged ? Id::kWorkSinceChanged
                                                     : Id::kWorkSinceUnchanged;
  const std::u16string saved_in = saved.empty() ? u"" : SavedEarlierLine(saved);
  return Fill(Id::kFinishQuestion,
              {{u"backup", FolderListText(backup)},
               {u"since", Fill(since_id)},
               {u"saved", saved_in},
               {u"saving", since == WorkSince::kUnchanged ? FinishWithoutSavingLine() : Fill(Id::kSaveBeforeFinishing)}});
}

std::u16string GiveUpQuestion(const std::vector<NamedFolder>& backup, const std::vector<NamedFolder>& saved) {
  const std::u16string saved_in = saved.empty() ? u"" : SavedEarlierLine(saved);
  return Fill(Id::kGiveUpQuestion, {{u"backup", FolderListText(backup)}, {u"saved", saved_in}});
}

std::u16string SavedEarlierLine(const std::vector<NamedFolder>& saved) {
  return Fill(Id::kSavedEarlierIn, {{u"folders", FolderListText(saved)}});
}

std::u16string GivenUpDataLine(const std::u16string& folder) { return Fill(Id::kGivenUpDataIn, {{u"folder", folder}}); }

std::u16string ProgressNotNotedMessage(const std::u16string& description, const std::u16string& what_stops,
                                       const std::u16string& folder) {
  return Fill(Id::kProgressNotNoted, {{u"description", description}, {u"what_stops", what_stops}, {u"folder", folder}});
}

std::u16string UpdateStopsAfterSaving() { return Fill(Id::kUpdateStopsAfterSaving); }
std::u16string UpdateStopsAfterBackup() { return Fill(Id::kUpdateStopsAfterBackup); }

std::u16string RecordNotRemovedMessage(const std::u16string& record_path, const std::u16string& description) {
  return Fill(Id::kRecordNotRemoved, {{u"file", record_path}, {u"description", description}});
}

}  // namespace brevak
