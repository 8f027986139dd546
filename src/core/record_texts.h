#ifndef BREVAK_CORE_RECORD_TEXTS_H_
#define BREVAK_CORE_RECORD_TEXTS_H_

// What the tool says about an in-progress record it cannot follow, made
// from the values each text names.
#include <string>
#include <vector>

namespace brevak {

// A backup folder as the messages name it: its path and its date in words.
struct NamedFolder {
  std::u16string path;
  std::u16string date_in_words;  // 2012年12月24日09时30分00秒
};

// 备份文件夹 PATH（DATE）, joined by 、.
std::u16string FolderListText(const std::vector<NamedFolder>& folders);

// Why a record is not believed, for the question below.
std::u16string RecordUnreadableReason(const std::u16string& description);
std::u16string RecordIncompleteReason();
std::u16string RecordFolderOutsideReason(const std::u16string& value);
std::u16string RecordEntryNotListedReason(const std::u16string& entry);
std::u16string RecordDatabasesChangedReason(const std::u16string& folder);
std::u16string RecordGoneReason();

// The question when a record does not prove itself: Yes sets it aside and
// goes on as usual, No changes nothing.
std::u16string UntrustedRecordQuestion(const std::u16string& reason, const std::vector<NamedFolder>& folders,
                                       const std::u16string& record_path);
// The line every last message of a run that set a record aside carries.
std::u16string SetAsideRecordLine(const std::vector<NamedFolder>& folders);
// A restore that set a record aside and went through: the folder that saved
// what it replaced, and the set-aside record's folders.
std::u16string RestoreAfterSetAsideMessage(const NamedFolder& saved, const std::vector<NamedFolder>& folders);
// A newer tool's update is unfinished: nothing is done.
std::u16string NewerToolRecordMessage(const std::vector<NamedFolder>& folders, const std::u16string& record_path);

// A restore that copied its entry back but could not remove its progress
// file: the next click asks about it as an interrupted restore. `earlier`
// names the folders of an interrupted restore or update it replaced.
// `put_back`: the restore put back what an interrupted one replaced, so
// the answer that keeps the data in place is 是, not 否.
std::u16string RestoreNotEndedMessage(const std::u16string& entry, const std::vector<NamedFolder>& safety,
                                      const std::vector<NamedFolder>& earlier, const std::u16string& description,
                                      const std::u16string& record_path, bool put_back = false);
// Giving up an update whose progress file cannot be removed: nothing
// changed, and the same question comes back.
std::u16string GiveUpNotMadeMessage(const std::vector<NamedFolder>& backup, const std::u16string& description,
                                    const std::u16string& record_path);

// Finishing an update stopped after saving the present data, because its
// record was gone or no longer believed when the save was to be noted.
std::u16string SavedButRecordLostMessage(const std::u16string& reason, const std::vector<NamedFolder>& saved,
                                         const std::vector<NamedFolder>& backup, const std::u16string& record_path);

// An update whose tables the new version's databases refused, with no
// cause the tool could find: 开始更新 does not try it again. `tables` on a
// line of their own; `reason` the engine's word on the first.
std::u16string RetryWillNotHelpMessage(const std::vector<std::u16string>& tables, const std::u16string& reason,
                                       const std::vector<NamedFolder>& backup,
                                       const std::vector<NamedFolder>& saved);
// Finishing an update whose installation holds just what its last attempt
// left: nothing is saved again.
std::u16string FinishWithoutSavingLine();

}  // namespace brevak

#endif  // BREVAK_CORE_RECORD_TEXTS_H_
