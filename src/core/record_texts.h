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

// Names joined by 、.
std::u16string NameList(const std::vector<std::u16string>& names);
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
// the answer that keeps the data in place is 是, not 否. `button`: the
// restore button's label as on screen when it names the selected backup.
std::u16string RestoreNotEndedMessage(const std::u16string& entry, const std::vector<NamedFolder>& safety,
                                      const std::vector<NamedFolder>& earlier, const std::u16string& description,
                                      const std::u16string& record_path, bool put_back = false,
                                      const std::u16string& button = u"");
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

// The backup folder a run names for its copy cannot be made (it exists
// already, or the folder cannot be written). `what` says what did not
// happen ("升级没有进行"), `button` the button to click again.
std::u16string BackupFolderNotMadeMessage(const std::u16string& what, const NamedFolder& folder,
                                          const std::u16string& description, const std::u16string& button);
// What did not happen, for the two texts below, and the button to click
// again.
inline constexpr char16_t kUpdateNotMade[] = u"升级没有进行";
inline constexpr char16_t kUpdateNotFinished[] = u"升级没有继续";
inline constexpr char16_t kRestoreNotMade[] = u"恢复没有进行";
inline constexpr char16_t kUpdateButton[] = u"开始更新";

// What to do when a run that changed nothing can be tried again.
std::u16string TryAgainLine(const std::u16string& button);
// The progress file cannot be written before a copy into a backup folder:
// `what` did not happen, nothing changed; `next_step` ends the text.
std::u16string ProgressFileNotWrittenMessage(const std::u16string& what, const std::u16string& description,
                                             const std::u16string& next_step, const std::u16string& record_path);
// The progress file naming an unfinished backup cannot be changed after
// its folder was dealt with: nothing else is done.
std::u16string UnfinishedCopyNotEndedMessage(const std::u16string& description, const std::u16string& record_path);
// A backup an earlier run left unfinished, in a folder that run made, is
// left in place: it could not be removed (`description`), or it holds
// files no backup copies (`foreign_files`).
std::u16string UnfinishedCopyKeptMessage(const NamedFolder& folder, const std::u16string& description,
                                         bool foreign_files);

// The progress file naming an untrusted run cannot be renamed: nothing changed.
std::u16string RecordNotSetAsideMessage(const std::u16string& description);

// What became of the data since an interrupted update ended, as the
// finishing question tells it: unknown (no digests were kept), changed, or
// just as that update left it.
enum class WorkSince { kUnknown, kChanged, kUnchanged };
// Whether to finish the update whose backup is `backup`; `saved` the
// folders earlier finishings saved the data into.
std::u16string FinishQuestion(const std::vector<NamedFolder>& backup, WorkSince since,
                              const std::vector<NamedFolder>& saved);
// Whether to give the interrupted update up: its backup stays.
std::u16string GiveUpQuestion(const std::vector<NamedFolder>& backup, const std::vector<NamedFolder>& saved);
// Lines, each starting with a line break, the last message of a run after a
// given-up update carries.
std::u16string SavedEarlierLine(const std::vector<NamedFolder>& saved);
std::u16string GivenUpDataLine(const std::u16string& folder);
// The progress file could not note a step: the run stops (`what_stops`)
// and its data is in `folder` (as FolderListText names it).
std::u16string ProgressNotNotedMessage(const std::u16string& description, const std::u16string& what_stops,
                                       const std::u16string& folder);
std::u16string UpdateStopsAfterSaving();
std::u16string UpdateStopsAfterBackup();
// An update whose every table moved could not remove its progress file.
std::u16string RecordNotRemovedMessage(const std::u16string& record_path, const std::u16string& description);

}  // namespace brevak

#endif  // BREVAK_CORE_RECORD_TEXTS_H_
