// The journal: the file upgrade-in-progress.brevak in the installation
// folder, kept by one writer (Journal) so that a run interrupted anywhere
// leaves a state the next run can name.
//
// States (the file's text: "kind=" and what else it holds):
//
//   None              no file
//   UpdateInProgress  kind=update: the backup folder, its databases'
//                     digests, the folders that saved the present data
//                     of each run that finished this update
//   UpdateEnded       kind=update with after.* lines: as above, with the
//                     installation's databases as the update left them,
//                     tables not moved (lines "failed.TABLE": why each),
//                     and "retry=will-not-help" when the tool found no
//                     cause a retry could remove
//   RestoreCopying    kind=restore: the safety folder and its digests, the
//                     history entry copied back, the chain's first safety
//                     folder and entry (lines "chain.*", when this restore
//                     follows up an interrupted one), and the update the
//                     restore found unfinished (lines "update.*")
//   Damaged           a text that is no whole record, or one of a newer
//                     tool: the reason and the folders it names; never
//                     written
//   UpdateBackingUp   kind=update-backup: the backup folder the update
//                     made and is copying into; nothing of it is a backup
//                     yet
//   RestoreSafetyCopy kind=restore-safety-copy: the folder the restore
//                     made for its safety copy and is copying into, the
//                     entry to restore, the update it carries (lines
//                     "update.*") and the interrupted restore it follows
//                     up (lines "restore.*")
//   UpdateSaving      kind=update-save: the folder a finishing made to
//                     save the present data into, and the update it
//                     finishes (lines "update.*"); the package has not
//                     replaced anything yet
//
// Transitions (from -> to: the Journal function, the FormUpdate step that
// calls it):
//
//   UpdateBackingUp             -> UpdateInProgress  BeginUpdate     RecordUpdateInProgress
//   UpdateSaving (UpdateIn-     -> the update, one   NoteSaved       RecordSavedFolder
//   Progress, Ended: the save      more saved folder
//   was not named)
//   UpdateInProgress, Ended     -> UpdateEnded       EndWithTables   RecordUpdateEnded
//                                                    Left
//   UpdateInProgress, Ended     -> None              End             MigrateData (every table
//                                                                    moved), AskToGiveUp
//   RestoreSafetyCopy           -> RestoreCopying    BeginRestore    RestoreEntry
//                                  (an update carried along;
//                                  following up an interrupted restore,
//                                  the chain's first safety folder and
//                                  entry are kept until one is in place)
//   RestoreCopying              -> the carried       ReturnToUpdate  RestoreEntry (the put-back
//                                  update's state                    of a carried update)
//   RestoreCopying              -> None              End             EndRestore
//   Damaged                     -> None              SetAside        SetAsideUntrustedRecord
//                                  (file renamed)
//   None                        -> UpdateBackingUp   BeginUpdate-    BackUpInstallation (after
//                                                    Backup          making the folder)
//   None, UpdateInProgress,     -> RestoreSafetyCopy BeginSafety-    RestoreEntry (after making
//   Ended, RestoreCopying                            Copy            the folder)
//   UpdateInProgress, Ended     -> UpdateSaving      BeginSave       SavePresentData (after
//                                                                    making the folder)
//   UpdateBackingUp             -> None              DropUnfinished- a copy that failed; the next
//   RestoreSafetyCopy,          -> the state it         Copy         run, after removing the
//   UpdateSaving                   began from                        folder (EndUnfinishedCopy);
//                                                                    a copy whole but not
//                                                                    recorded (then kept)
//
// A transition from any other state is a fault of the caller: it raises
// std::logic_error and the file is not touched. A write, removal or rename
// that fails raises the platform's RunTimeError and leaves the state the
// file still holds.
//
// When the file cannot be changed or read again, the run decides:
//   BeginUpdate, BeginRestore, NoteSaved fail  the run stops before anything
//                                              is replaced, naming the folder
//                                              (a whole backup or safety
//                                              copy stays: DropUnfinished-
//                                              Copy)
//   NoteSaved finds the file gone or unbelieved the same, both folders named
//   EndWithTablesLeft fails                    UpdateInProgress stays; its
//                                              question holds either way
//   End fails after a migration                the data is whole; the next
//                                              question is answered No, then
//                                              given up
//   End fails after a restore                  RestoreCopying stays; the
//                                              next question is answered No
//                                              (the same entry again)
//   End fails on giving up                     nothing changed; call support
//   ReturnToUpdate fails                       RestoreCopying stays, said
//   SetAside fails                             nothing changed, said
//   BeginUpdateBackup, BeginSafetyCopy,        the folder just made (empty)
//   BeginSave fail
//                                              is removed; nothing changed
//   DropUnfinishedCopy fails                   the state stays; the next run
//                                              removes the folder it names
//   the named folder cannot be removed         said; the state ends, and the
//                                              folder (a part copy of data
//                                              that was not changed) stays
//   the named folder holds what no copy wrote  kept, said; the state ends
//
// A folder is made before it is named and named before anything is copied
// into it: a run killed between the first two leaves an empty folder that
// no state names, which is never removed (it may as well be the user's).
#ifndef BREVAK_CORE_JOURNAL_H_
#define BREVAK_CORE_JOURNAL_H_

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "core/update_record.h"

namespace brevak {

class DurableFiles;

using JournalDigests = std::map<std::u16string, std::u16string>;
using JournalUnknownLines = std::vector<std::pair<std::u16string, std::u16string>>;

struct JournalNone {
  bool operator==(const JournalNone&) const = default;
};

struct UpdateInProgress {
  std::u16string backup;  // as recorded: a name, or (read from the earlier form) a path
  JournalDigests backup_files;
  std::vector<std::u16string> saved;
  JournalUnknownLines unknown;
  bool operator==(const UpdateInProgress&) const = default;
};

// Why an update ended with tables left.
struct TablesLeft {
  JournalUnknownLines reasons;  // each table not moved and the engine's word on it, one line
  bool retry_will_not_help = false;  // the tool's own checks found no cause a retry could remove
  bool operator==(const TablesLeft&) const = default;
};

struct UpdateEnded {
  UpdateInProgress update;
  JournalDigests after_files;  // the installation's databases when the update ended
  TablesLeft tables_left = {};
  bool operator==(const UpdateEnded&) const = default;
};

using CarriedUpdate = std::variant<UpdateInProgress, UpdateEnded>;

struct RestoreCopying {
  std::u16string safety;  // the folder holding what the restore replaces
  JournalDigests safety_files;
  std::u16string entry;  // the history entry copied back
  std::optional<CarriedUpdate> carried;
  JournalUnknownLines unknown;
  // The safety folder and the entry of the chain's first restore, when this
  // one follows up an interrupted restore; empty: this one is the first.
  std::u16string first_safety = {};
  std::u16string first_entry = {};
  bool operator==(const RestoreCopying&) const = default;
};

struct JournalDamaged {
  bool newer_tool = false;              // a newer tool's record, read only for its backup
  std::vector<std::u16string> folders;  // the fourteen-digit names it gives
  bool operator==(const JournalDamaged&) const = default;
};

// A copy into a backup folder the run made itself, recorded before the
// copy starts: only a folder a state of these names is ever removed.
struct UpdateBackingUp {
  std::u16string folder;
  bool operator==(const UpdateBackingUp&) const = default;
};

struct RestoreSafetyCopy {
  std::u16string folder;
  std::u16string entry;
  std::optional<CarriedUpdate> carried;
  // The interrupted restore this one follows up: the state to go back to
  // when the safety copy does not complete.
  std::optional<RestoreCopying> interrupted;
  bool operator==(const RestoreSafetyCopy&) const = default;
};

// The present data saved into a folder the run made, before the update
// it names is finished.
struct UpdateSaving {
  std::u16string folder;
  CarriedUpdate update;
  bool operator==(const UpdateSaving&) const = default;
};

using JournalState = std::variant<JournalNone, UpdateInProgress, UpdateEnded, RestoreCopying, JournalDamaged,
                                  UpdateBackingUp, RestoreSafetyCopy, UpdateSaving>;

// The codec. The text is always written in this tool's version; reading
// keeps the record's version rules (an earlier form read in full, unknown
// keys kept, a newer version read only for its backup folder).
std::u16string FormatJournal(const JournalState& state);
JournalState ParseJournal(const std::optional<std::u16string>& text);

// Between the journal's states and the record the update and restore
// steps prove and follow.
JournalState JournalStateOf(const UpdateRecord& record);
UpdateRecord RecordOf(const JournalState& state);  // state: an update or a restore
CarriedUpdate CarriedUpdateOf(const UpdateRecord& record);  // record: an update's

// The only writer of the journal file.
class Journal {
 public:
  explicit Journal(DurableFiles& files) : files_(files) {}

  // Reads the file at `path`, the journal of that installation from now
  // on, and returns its text (nothing: no file). A file that cannot be
  // read raises the platform's RunTimeError and leaves the state unknown:
  // then only SetAside is allowed until a read succeeds.
  std::optional<std::u16string> Read(const std::u16string& path);
  // The state last read or written; nothing when unknown.
  const std::optional<JournalState>& state() const { return state_; }

  void BeginUpdate(const UpdateInProgress& update);
  // `update` is the recorded update as the run proved it (a record of the
  // earlier form is rewritten in this version).
  void NoteSaved(const CarriedUpdate& update, const std::u16string& folder);
  // Each reason is kept on one line (its line breaks become spaces).
  void EndWithTablesLeft(const CarriedUpdate& update, const JournalDigests& after_files,
                         const TablesLeft& why = {});
  void BeginRestore(const RestoreCopying& restore);
  void ReturnToUpdate(const CarriedUpdate& carried);
  void End();
  void SetAside(const std::u16string& to);
  void BeginUpdateBackup(const std::u16string& folder);
  // The update (in progress or ended) saves the present data into `folder`.
  void BeginSave(const CarriedUpdate& update, const std::u16string& folder);
  void BeginSafetyCopy(const RestoreSafetyCopy& copy);
  // Ends a copy state: a restore's goes back to the state it began from.
  void DropUnfinishedCopy();
  // Whether the state last read or written is a copy under way.
  bool CopyUnderWay() const;

 private:
  // The state a transition starts from; raises std::logic_error when it
  // is none of `allowed` (indexes into JournalState).
  const JournalState& From(std::initializer_list<size_t> allowed, const char* transition) const;
  // Every transition changes the file at the journal's path only here.
  void Apply(const JournalState& next);

  DurableFiles& files_;
  std::u16string path_;
  std::optional<JournalState> state_;
};

}  // namespace brevak

#endif  // BREVAK_CORE_JOURNAL_H_
